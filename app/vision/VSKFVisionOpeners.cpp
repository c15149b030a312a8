#include "app/vision/VSKFVisionOpeners.h"

#include <functional>

#include "app/shell/VSKFConfig.h"
#include "app/vision/VSKCCocoFeedView.h"
#include "app/vision/VSKCImageView.h"
#include "app/vision/VSKCInjectViews.h"
#include "app/vision/VSKCLabeledView.h"
#include "app/vision/VSKCLabelingView.h"
#include "app/vision/VSKCSegmentedView.h"
#include "framework/core/LLKCString.h"
#include "framework/core/LLKFConsole.h"

namespace {
constexpr OGLTPoint kPosition = {10, 100};
constexpr const char* kSorry = "sorry, out of memory";

using Maker = std::function<Ref<ZRVBView>(Ref<JSKCFrame> frame)>;

struct Opening {
  const char* key;
  const char* title;
  const char* failure;
  bool aliasByKey;  // views that take no alias of their own
};

void open(QELBWindow* window, JSKCFrame* settings, Ref<JSKCFrame> frame, const Opening& opening, const Maker& make) {
  if (!window || window->locate(opening.key)) return;
  if (!frame && settings) frame = VSKFConfigFind(*settings, opening.key);
  Ref<ZRVBView> view = frame ? make(frame) : nullptr;
  if (!view) {
    LLKFConsolePrintf("%s\n", opening.failure);
    return;
  }
  view->setTitle(opening.title);
  view->setFlags(view->flags() + 0x1000);
  if (opening.aliasByKey) view->setAlias(opening.key);
  view->setVisible(true);
  if (!window->attach(view)) {
    LLKFConsolePrintf("%s\n", opening.failure);
    return;
  }
  (void)window->raise(view.get());
}
}  // namespace

void VSKFWindowImageFeed(QELBWindow* window, JSKCFrame* settings, Ref<JSKCFrame> frame) {
  open(window, settings, std::move(frame), {"ui.uvc.feed", "Images feed", "image.feed : out of memory", true},
       [](Ref<JSKCFrame> f) { return VSKCImageView::viewWithSize({0, 0}, kPosition, "qav.stream", std::move(f)); });
}

void VSKFWindowSegmentedFeed(QELBWindow* window, JSKCFrame* settings, Ref<JSKCFrame> frame, uint32_t fov) {
  if (fov != 1 && fov != 2) return;
  const bool foveal = fov == 1;
  const Opening opening = {foveal ? "ui.qav.seg.fovl" : "ui.qav.seg.peri",
                           foveal ? "Segmented feed (foveal)" : "Segmented feed (peripherial)", kSorry, false};
  open(window, settings, std::move(frame), opening, [&](Ref<JSKCFrame> f) {
    return VSKCSegmentedView::viewWithSize({0, 0}, kPosition, opening.key, foveal ? "qav.stream.fovl.seg" : "qav.stream.peri.seg",
                                           foveal ? "qav.proc.fovl" : "qav.proc.peri", foveal ? 320 : 640, std::move(f));
  });
}

void VSKFWindowLabeledFeed(QELBWindow* window, JSKCFrame* settings, Ref<JSKCFrame> frame, uint32_t fov) {
  if (fov != 1 && fov != 2) return;
  const bool foveal = fov == 1;
  const Opening opening = {foveal ? "ui.qav.lab.fovl" : "ui.qav.lab.peri",
                           foveal ? "Labeled feed (foveal)" : "Labeled feed (peripherial)", kSorry, false};
  open(window, settings, std::move(frame), opening, [&](Ref<JSKCFrame> f) {
    return VSKCLabeledView::viewWithSize({0, 0}, kPosition, opening.key, foveal ? "qav.stream.fovl.lab" : "qav.stream.peri.lab",
                                         foveal ? 320 : 640, std::move(f));
  });
}

void VSKFWindowInjectImageView(QELBWindow* window, JSKCFrame* settings, Ref<JSKCFrame> frame) {
  open(window, settings, std::move(frame), {"ui.inject", "Inject images", "inject : out of memory", true},
       [](Ref<JSKCFrame> f) { return VSKCInjectImageView::viewWithSize({0, 0}, kPosition, std::move(f)); });
}

void VSKFWindowInjectKeyView(QELBWindow* window, JSKCFrame* settings, Ref<JSKCFrame> frame) {
  open(window, settings, std::move(frame), {"ui.inject.keys", "Inject keys", "inject : out of memory", true},
       [](Ref<JSKCFrame> f) { return VSKCInjectKeyView::viewWithSize({174, 160}, kPosition, std::move(f)); });
}

void VSKFWindowCocoFeedView(QELBWindow* window, JSKCFrame* settings, Ref<JSKCFrame> frame) {
  open(window, settings, std::move(frame), {"ui.cocofeed", "COCO feed", "cocofeed : out of memory", true},
       [](Ref<JSKCFrame> f) { return VSKCCocoFeedView::viewWithSize({0, 0}, kPosition, std::move(f)); });
}

Ref<QELBWidget> VSKFWindowLabelingView(QELBWindow* window, JSKCFrame* settings, Ref<JSKCFrame> frame, uint32_t fov) {
  if (fov != 1 && fov != 2) return nullptr;
  const bool foveal = fov == 1;
  const Opening opening = {foveal ? "ui.qav.labeling.fovl" : "ui.qav.labeling.peri",
                           foveal ? "Labeling (foveal)" : "Labeling (peripherial)", kSorry, false};
  if (!window || window->locate(opening.key)) return nullptr;
  open(window, settings, std::move(frame), opening, [&](Ref<JSKCFrame> f) {
    return VSKCLabelingView::viewWithSize({0, 0}, kPosition, opening.key, foveal ? "qav.stream.fovl.seg" : "qav.stream.peri.seg",
                                          foveal ? 320 : 640, std::move(f));
  });
  QELBWidget* view = window->locate(opening.key);
  return view ? Ref<QELBWidget>(view) : nullptr;
}

void VSKFWindowLabelingDataFolder(QELBWindow* window, const std::string& dataPath) {
  if (!window || dataPath.empty()) return;
  for (const char* key : {"ui.qav.labeling.fovl", "ui.qav.labeling.peri"}) {
    QELBWidget* view = window->locate(key);
    Ref<LLKCString> path = LLKCString::stringWithString(dataPath);
    if (view && path) (void)view->poke(LLKCMessage::messageWithCode({kVSKLabelingDataFolderUid, 1, 0}, path));
  }
}

bool VSKFWindowOpenVisionView(QELBWindow* window, JSKCFrame* settings, uint32_t tag, uint32_t fov) {
  switch (tag) {
    case kVSKOpenImageFeed:
      VSKFWindowImageFeed(window, settings, nullptr);
      return true;
    case kVSKOpenLabeledFeed:
      VSKFWindowLabeledFeed(window, settings, nullptr, fov);
      return true;
    case kVSKOpenSegmentedFeed:
      VSKFWindowSegmentedFeed(window, settings, nullptr, fov);
      return true;
    case kVSKOpenInjectImage:
      VSKFWindowInjectImageView(window, settings, nullptr);
      return true;
    case kVSKOpenInjectKey:
      VSKFWindowInjectKeyView(window, settings, nullptr);
      return true;
    case kVSKOpenCocoFeed:
      VSKFWindowCocoFeedView(window, settings, nullptr);
      return true;
    case kVSKOpenLabeling:
      (void)VSKFWindowLabelingView(window, settings, nullptr, fov);
      return true;
    default:
      return false;
  }
}

void VSKFWindowRestoreVisionViews(QELBWindow* window, JSKCFrame* settings) {
  if (!settings) return;
  const struct {
    const char* key;
    uint32_t tag;
    uint32_t fov;
  } views[] = {{"ui.uvc.feed", kVSKOpenImageFeed, 0},        {"ui.qav.seg.fovl", kVSKOpenSegmentedFeed, 1},
               {"ui.qav.seg.peri", kVSKOpenSegmentedFeed, 2}, {"ui.qav.lab.fovl", kVSKOpenLabeledFeed, 1},
               {"ui.qav.lab.peri", kVSKOpenLabeledFeed, 2},   {"ui.inject", kVSKOpenInjectImage, 0},
               {"ui.inject.keys", kVSKOpenInjectKey, 0},      {"ui.cocofeed", kVSKOpenCocoFeed, 0},
               {"ui.qav.labeling.fovl", kVSKOpenLabeling, 1}, {"ui.qav.labeling.peri", kVSKOpenLabeling, 2}};
  for (const auto& view : views) {
    Ref<JSKCFrame> frame = VSKFConfigFind(*settings, view.key);
    if (frame && frame->boolForLabel("visible", false)) (void)VSKFWindowOpenVisionView(window, settings, view.tag, view.fov);
  }
}
