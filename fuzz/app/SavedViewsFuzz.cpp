// The views to reopen read from settings of any bytes (as JSON): never a crash; each one is a
// view of the workbench, named once, whose state is the frame now held under its key and says
// it was visible; reading adds no entry: a view key holds a frame afterwards exactly when it held
// one before.
#include <algorithm>
#include <cstdint>
#include <iterator>
#include <cstdlib>
#include <set>
#include <string>
#include <string_view>

#include "app/shell/VSKFWindowViews.h"
#include "framework/core/JSKCReader.h"
#include "framework/core/LLKFLog.h"

namespace {
const char* const kKeys[] = {"ui.conversation",      "ui.timeline",         "ui.expression",   "ui.gist",
                             "ui.uvc.feed",          "ui.qav.seg.fovl",     "ui.qav.seg.peri", "ui.qav.lab.fovl",
                             "ui.qav.lab.peri",      "ui.inject",           "ui.inject.keys",  "ui.cocofeed",
                             "ui.qav.labeling.fovl", "ui.qav.labeling.peri"};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool quiet = [] {
    (void)LLKFLogSetSink([](const std::string&) {});
    return true;
  }();
  (void)quiet;
  Ref<JSKCFrame> settings =
      JSKCReader::reader()->readFromString(std::string_view(reinterpret_cast<const char*>(data), size));
  if (!settings) return 0;
  std::set<std::string> framed;
  for (const char* key : kKeys)
    if (settings->frameForLabel(key)) framed.insert(key);
  std::set<std::string> named;
  for (const VSKTSavedView& view : VSKFWindowSavedViews(*settings)) {
    if (!named.insert(view.key).second) std::abort();
    if (std::find_if(std::begin(kKeys), std::end(kKeys),
                     [&](const char* key) { return view.key == std::string_view(key); }) == std::end(kKeys))
      std::abort();
    if (!view.state || view.state != settings->frameForLabel(view.key)) std::abort();
    if (!view.state->boolForLabel("visible", false)) std::abort();
  }
  for (const char* key : kKeys) {
    const bool hadFrame = framed.count(key) != 0;
    if (hadFrame != (settings->frameForLabel(key) != nullptr)) std::abort();
  }
  return 0;
}
