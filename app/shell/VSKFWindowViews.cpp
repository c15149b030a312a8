#include "app/shell/VSKFWindowViews.h"

#include <string_view>

#include "app/ctm/VSKCConversationView.h"
#include "app/ctm/VSKCExpressionView.h"
#include "app/ctm/VSKCGistView.h"
#include "app/ctm/VSKCTimelineView.h"
#include "app/base/VSKFConfig.h"
#include "app/base/VSKFViewOpening.h"
#include "app/shell/VSKFWindowCodes.h"
#include "app/vision/VSKFVisionOpeners.h"
#include "framework/core/LLKFLog.h"

namespace {

constexpr OGLTSize kViewSize = {640, 480};
constexpr OGLTPoint kViewPosition = {10, 100};

// Every view kind: its settings key, the menu tag and fov that open it, in the order in which
// they are restored (views attached later stack above those before them).
struct ViewKind {
  const char* key;
  uint32_t tag;
  uint32_t fov;
};
constexpr ViewKind kViewKinds[] = {
    {"ui.conversation", kVSKCommandConversation, 0}, {"ui.timeline", kVSKCommandTimeline, 0},
    {"ui.expression", kVSKCommandExpression, 0},     {"ui.gist", kVSKCommandGist, 0},
    {"ui.uvc.feed", kVSKOpenImageFeed, 0},           {"ui.qav.seg.fovl", kVSKOpenSegmentedFeed, 1},
    {"ui.qav.seg.peri", kVSKOpenSegmentedFeed, 2},   {"ui.qav.lab.fovl", kVSKOpenLabeledFeed, 1},
    {"ui.qav.lab.peri", kVSKOpenLabeledFeed, 2},     {"ui.inject", kVSKOpenInjectImage, 0},
    {"ui.inject.keys", kVSKOpenInjectKey, 0},        {"ui.cocofeed", kVSKOpenCocoFeed, 0},
    {"ui.qav.labeling.fovl", kVSKOpenLabeling, 1},   {"ui.qav.labeling.peri", kVSKOpenLabeling, 2},
};
// Keys of the settings that hold a view's state but are restored elsewhere (the statistics view).
constexpr const char* kOtherViewKeys[] = {"ui.stats.ctm"};

bool isKnownViewKey(std::string_view key) {
  for (const ViewKind& kind : kViewKinds)
    if (key == kind.key) return true;
  for (const char* other : kOtherViewKeys)
    if (key == other) return true;
  return false;
}

// The view's saved state, checked, when it says the view was visible; a state that cannot be read
// is logged and counts as not visible.
Ref<JSKCFrame> visibleState(JSKCFrame& settings, const char* key) {
  Ref<JSKBValue> saved = settings.fetchForLabel(key);
  if (saved && saved->kind() != JSKBValue::Kind::frame) {
    LLKFLog("vesko : the saved state of %s is not a frame; the view stays closed", key);
    return nullptr;
  }
  Ref<JSKCFrame> state = VSKFConfigFind(settings, key);
  return state && VSKFConfigCheckViewState(*state, key) ? state : nullptr;
}

// Saved states of views this workbench no longer has: said once at start-up, left in place.
void logUnknownViews(const JSKCFrame& settings) {
  for (size_t i = 0; i < settings.count(); ++i) {
    const std::string& key = settings.labelAtIndex(i);
    Ref<JSKCFrame> state = refCast<JSKCFrame>(settings.fetchAtIndex(i));
    if (!state || !state->boolForLabel("visible", false) || isKnownViewKey(key)) continue;
    LLKFLog("vesko : no view is named %s; its saved state is skipped", key.c_str());
  }
}

bool openKind(QELBWindow* window, JSKCFrame* settings, Ref<JSKCFrame> frame, uint32_t tag, uint32_t fov,
              const std::string& dataPath) {
  switch (tag) {
    case kVSKCommandConversation:
      VSKFWindowConversation(window, settings, std::move(frame));
      return true;
    case kVSKCommandTimeline:
      VSKFWindowTimeline(window, settings, std::move(frame));
      return true;
    case kVSKCommandExpression:
      VSKFWindowExpression(window, settings, std::move(frame));
      return true;
    case kVSKCommandGist:
      VSKFWindowGist(window, settings, std::move(frame));
      return true;
    case kVSKOpenImageFeed:
      VSKFWindowImageFeed(window, settings, std::move(frame));
      return true;
    case kVSKOpenSegmentedFeed:
      VSKFWindowSegmentedFeed(window, settings, std::move(frame), fov);
      return true;
    case kVSKOpenLabeledFeed:
      VSKFWindowLabeledFeed(window, settings, std::move(frame), fov);
      return true;
    case kVSKOpenInjectImage:
      VSKFWindowInjectImageView(window, settings, std::move(frame));
      return true;
    case kVSKOpenInjectKey:
      VSKFWindowInjectKeyView(window, settings, std::move(frame));
      return true;
    case kVSKOpenCocoFeed:
      VSKFWindowCocoFeedView(window, settings, std::move(frame));
      return true;
    case kVSKOpenLabeling:
      if (VSKFWindowLabelingView(window, settings, std::move(frame), fov))
        VSKFWindowLabelingDataFolder(window, dataPath);
      return true;
    default:
      return false;
  }
}

}  // namespace

void VSKFWindowTimeline(QELBWindow* window, JSKCFrame* settings, Ref<JSKCFrame> frame) {
  (void)VSKFWindowOpenView(
      window, settings, std::move(frame),
      {"ui.timeline", "Conscious contents", "timeline : out of memory", false, false}, [](Ref<JSKCFrame> f) {
        return VSKCTimelineView::viewWithSize(kViewSize, kViewPosition, "ui.timeline", "ctm.tick", std::move(f));
      });
}

void VSKFWindowExpression(QELBWindow* window, JSKCFrame* settings, Ref<JSKCFrame> frame) {
  (void)VSKFWindowOpenView(window, settings, std::move(frame),
                           {"ui.expression", "Expression", "expression : out of memory", false, false},
                           [](Ref<JSKCFrame> f) {
                             return VSKCExpressionView::viewWithSize(kViewSize, kViewPosition, "ui.expression",
                                                                     {"nlp.decode", "nlp.decode.all"}, std::move(f));
                           });
}

void VSKFWindowGist(QELBWindow* window, JSKCFrame* settings, Ref<JSKCFrame> frame) {
  (void)VSKFWindowOpenView(window, settings, std::move(frame),
                           {"ui.gist", "Chunk viewer", "gist : out of memory", false, false}, [](Ref<JSKCFrame> f) {
                             return VSKCGistView::viewWithSize(kViewSize, kViewPosition, "ui.gist", {"ctm.tick"},
                                                               std::move(f));
                           });
}

void VSKFWindowConversation(QELBWindow* window, JSKCFrame* settings, Ref<JSKCFrame> frame) {
  (void)VSKFWindowOpenView(
      window, settings, std::move(frame),
      {"ui.conversation", "Conversation", "conversation : out of memory", false, true, "conversation: out of memory"},
      [](Ref<JSKCFrame> f) {
        return VSKCConversationView::viewWithSize(kViewSize, kViewPosition, "ui.conversation", std::move(f));
      });
}

bool VSKFWindowOpenViewForTag(QELBWindow* window, JSKCFrame* settings, uint32_t tag, uint32_t fov,
                              const std::string& dataPath) {
  return openKind(window, settings, nullptr, tag, fov, dataPath);
}

std::vector<VSKTSavedView> VSKFWindowSavedViews(JSKCFrame& settings) {
  logUnknownViews(settings);
  std::vector<VSKTSavedView> views;
  for (const ViewKind& kind : kViewKinds)
    if (Ref<JSKCFrame> state = visibleState(settings, kind.key))
      views.push_back({kind.key, kind.tag, kind.fov, std::move(state)});
  return views;
}

void VSKFWindowRestoreViews(QELBWindow* window, JSKCFrame* settings) {
  if (!window || !settings) return;
  for (const VSKTSavedView& view : VSKFWindowSavedViews(*settings))
    (void)openKind(window, settings, view.state, view.tag, view.fov, "");
}
