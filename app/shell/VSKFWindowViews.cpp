#include "app/shell/VSKFWindowViews.h"

#include "app/ctm/VSKCTimelineView.h"
#include "app/shell/VSKFConfig.h"
#include "framework/app/ZRVBWindow.h"
#include "framework/core/LLKFLog.h"

namespace {

constexpr const char* kTimelineKey = "ui.timeline";
constexpr OGLTSize kViewSize = {640, 480};
constexpr OGLTPoint kViewPosition = {10, 100};

// The frame given, else the window's entry under the key (made when missing); null when neither.
Ref<JSKCFrame> settingsFor(ZRVBWindow* window, JSKCFrame* given, const char* key) {
  if (given) return Ref<JSKCFrame>(given);
  JSKCFrame* config = window->config();
  return config ? VSKFConfigFind(*config, key) : nullptr;
}

}  // namespace

void VSKFWindowTimeline(ZRVBWindow* window, JSKCFrame* config) {
  if (!window || window->locate(kTimelineKey)) return;
  Ref<JSKCFrame> settings = settingsFor(window, config, kTimelineKey);
  Ref<VSKCTimelineView> view =
      settings ? VSKCTimelineView::viewWithSize(kViewSize, kViewPosition, kTimelineKey, "ctm.tick", settings) : nullptr;
  if (!view) {
    LLKFLog("timeline : out of memory");
    return;
  }
  view->setTitle("Conscious contents");
  view->setFlags(view->flags() | kQELViewDetachOnClose);
  view->setVisible(true);
  if (!window->attach(view)) LLKFLog("timeline : out of memory");
}

void VSKFWindowRestoreViews(ZRVBWindow* window) {
  JSKCFrame* config = window ? window->config() : nullptr;
  if (!config) return;
  Ref<JSKCFrame> timeline = VSKFConfigFind(*config, kTimelineKey);
  if (timeline && timeline->boolForLabel("visible", false)) VSKFWindowTimeline(window, timeline.get());
}
