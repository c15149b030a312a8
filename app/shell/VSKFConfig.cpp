#include "app/shell/VSKFConfig.h"

Ref<JSKCFrame> VSKFConfigFind(JSKCFrame& config, std::string_view key) {
  if (Ref<JSKCFrame> found = config.frameForLabel(key)) return found;
  Ref<JSKCFrame> made = JSKCFrame::frame();
  return config.store(made, key) == 0 ? made : nullptr;
}
