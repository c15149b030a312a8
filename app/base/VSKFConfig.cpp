#include "app/base/VSKFConfig.h"

#include <string>

#include "framework/core/JSKCNumber.h"
#include "framework/core/LLKFLog.h"
#include "ui/gl/OGLFValueCoding.h"

namespace {

// Drops the entry under the label when it is there and the check says it is not of its kind.
template <typename Check>
void dropUnless(JSKCFrame& state, std::string_view key, const char* label, const char* kind, Check fits) {
  Ref<JSKBValue> saved = state.fetchForLabel(label);
  if (!saved || fits(state)) return;
  LLKFLog("vesko : the saved state of %s has a \"%s\" that is not %s; it is dropped", std::string(key).c_str(), label,
          kind);
  (void)state.removeForLabel(label);
}

}  // namespace

Ref<JSKCFrame> VSKFConfigFind(const JSKCFrame& config, std::string_view key) { return config.frameForLabel(key); }

Ref<JSKCFrame> VSKFConfigMake(JSKCFrame& config, std::string_view key) {
  if (Ref<JSKCFrame> found = VSKFConfigFind(config, key)) return found;
  Ref<JSKCFrame> made = JSKCFrame::frame();
  return config.store(made, key) == 0 ? made : nullptr;
}

bool VSKFConfigCheckViewState(JSKCFrame& state, std::string_view key) {
  dropUnless(state, key, "visible", "true or false", [](const JSKCFrame& frame) {
    Ref<JSKCNumber> flag = refCast<JSKCNumber>(frame.fetchForLabel("visible"));
    return flag && flag->form() == JSKCNumber::Form::boolean;
  });
  dropUnless(state, key, "position", "a point", [](const JSKCFrame& frame) {
    OGLTPoint point;
    return OGL::fetchPoint(frame, point, "position") == kOGLCodingDone;
  });
  dropUnless(state, key, "size", "a size", [](const JSKCFrame& frame) {
    OGLTSize size;
    return OGL::fetchSize(frame, size, "size") == kOGLCodingDone;
  });
  return state.boolForLabel("visible", false);
}
