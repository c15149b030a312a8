#include "app/shell/VSKTRecents.h"

#include <algorithm>

#include "app/base/VSKFConfig.h"
#include "app/base/VSKFPaths.h"
#include "framework/core/JSKCArray.h"
#include "framework/core/JSKCString.h"
#include "framework/core/LLKFFiles.h"

namespace {

constexpr const char* kRecentsKey = "load.recents";
constexpr const char* kItemsKey = "items";

}  // namespace

VSKTRecents::VSKTRecents() : VSKTRecents(LLKFTakeString(LLKFRelativeToAbsolutePath(kVSKTestsFolder))) {}

VSKTRecents::VSKTRecents(std::string base) : base_(std::move(base)) {}

std::string VSKTRecents::displayForm(const std::string& path) const { return VSKFPathDisplayForm(path, base_); }

bool VSKTRecents::append(const std::string& path) {
  if (path.empty()) return false;
  std::string shown = displayForm(path);
  if (std::any_of(paths_.begin(), paths_.end(), [&](const std::string& p) { return displayForm(p) == shown; }))
    return false;
  if (paths_.size() >= kCapacity) paths_.erase(paths_.begin());
  paths_.push_back(path);
  return true;
}

void VSKTRecents::restore(JSKCFrame& config) {
  Ref<JSKCFrame> recents = VSKFConfigMake(config, kRecentsKey);
  Ref<JSKCArray> items = recents ? recents->arrayForLabel(kItemsKey) : nullptr;
  if (!items) return;
  for (size_t i = 0; i < items->count(); ++i) {
    Ref<JSKCString> item = refCast<JSKCString>(items->atIndex(i));
    if (item && LLKFDoesFilePathExists(item->string().c_str())) (void)append(item->string());
  }
}

void VSKTRecents::archive(JSKCFrame& config) const {
  Ref<JSKCFrame> recents = VSKFConfigMake(config, kRecentsKey);
  if (!recents || paths_.empty()) return;
  Ref<JSKCArray> items = JSKCArray::arrayWithCapacity(paths_.size());
  for (const std::string& path : paths_) (void)items->append(JSKCString::stringWithString(path));
  (void)recents->store(items, kItemsKey);
}
