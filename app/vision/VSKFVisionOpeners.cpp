#include "app/vision/VSKFVisionOpeners.h"

#include "app/base/VSKFViewOpening.h"
#include "app/vision/VSKCCocoFeedView.h"
#include "app/vision/VSKCImageView.h"
#include "app/vision/VSKCInjectViews.h"
#include "app/vision/VSKCLabeledView.h"
#include "app/vision/VSKCLabelingView.h"
#include "app/vision/VSKCSegmentedView.h"
#include "framework/core/LLKCString.h"

namespace {
constexpr OGLTPoint kPosition = {10, 100};
constexpr const char* kSorry = "sorry, out of memory";
}  // namespace

void VSKFWindowImageFeed(QELBWindow* window, JSKCFrame* settings, Ref<JSKCFrame> frame) {
  (void)VSKFWindowOpenView(window, settings, std::move(frame),
                           {"ui.uvc.feed", "Images feed", "image.feed : out of memory", true, true},
                           [](Ref<JSKCFrame> f) {
                             return VSKCImageView::viewWithSize({0, 0}, kPosition, "qav.stream", std::move(f));
                           });
}

void VSKFWindowSegmentedFeed(QELBWindow* window, JSKCFrame* settings, Ref<JSKCFrame> frame, uint32_t fov) {
  if (fov != 1 && fov != 2) return;
  const bool foveal = fov == 1;
  const VSKTViewOpening opening = {foveal ? "ui.qav.seg.fovl" : "ui.qav.seg.peri",
                                   foveal ? "Segmented feed (foveal)" : "Segmented feed (peripherial)", kSorry, false,
                                   true};
  (void)VSKFWindowOpenView(window, settings, std::move(frame), opening, [&](Ref<JSKCFrame> f) {
    return VSKCSegmentedView::viewWithSize(
        {0, 0}, kPosition, opening.key, foveal ? "qav.stream.fovl.seg" : "qav.stream.peri.seg",
        foveal ? "qav.proc.fovl" : "qav.proc.peri", foveal ? 320 : 640, std::move(f));
  });
}

void VSKFWindowLabeledFeed(QELBWindow* window, JSKCFrame* settings, Ref<JSKCFrame> frame, uint32_t fov) {
  if (fov != 1 && fov != 2) return;
  const bool foveal = fov == 1;
  const VSKTViewOpening opening = {foveal ? "ui.qav.lab.fovl" : "ui.qav.lab.peri",
                                   foveal ? "Labeled feed (foveal)" : "Labeled feed (peripherial)", kSorry, false,
                                   true};
  (void)VSKFWindowOpenView(window, settings, std::move(frame), opening, [&](Ref<JSKCFrame> f) {
    return VSKCLabeledView::viewWithSize({0, 0}, kPosition, opening.key,
                                         foveal ? "qav.stream.fovl.lab" : "qav.stream.peri.lab", foveal ? 320 : 640,
                                         std::move(f));
  });
}

void VSKFWindowInjectImageView(QELBWindow* window, JSKCFrame* settings, Ref<JSKCFrame> frame) {
  (void)VSKFWindowOpenView(window, settings, std::move(frame),
                           {"ui.inject", "Inject images", "inject : out of memory", true, true}, [](Ref<JSKCFrame> f) {
                             return VSKCInjectImageView::viewWithSize({0, 0}, kPosition, std::move(f));
                           });
}

void VSKFWindowInjectKeyView(QELBWindow* window, JSKCFrame* settings, Ref<JSKCFrame> frame) {
  (void)VSKFWindowOpenView(window, settings, std::move(frame),
                           {"ui.inject.keys", "Inject keys", "inject : out of memory", true, true},
                           [](Ref<JSKCFrame> f) {
                             return VSKCInjectKeyView::viewWithSize({174, 160}, kPosition, std::move(f));
                           });
}

void VSKFWindowCocoFeedView(QELBWindow* window, JSKCFrame* settings, Ref<JSKCFrame> frame) {
  (void)VSKFWindowOpenView(window, settings, std::move(frame),
                           {"ui.cocofeed", "COCO feed", "cocofeed : out of memory", true, true}, [](Ref<JSKCFrame> f) {
                             return VSKCCocoFeedView::viewWithSize({0, 0}, kPosition, std::move(f));
                           });
}

Ref<QELBWidget> VSKFWindowLabelingView(QELBWindow* window, JSKCFrame* settings, Ref<JSKCFrame> frame, uint32_t fov) {
  if (fov != 1 && fov != 2) return nullptr;
  const bool foveal = fov == 1;
  const VSKTViewOpening opening = {foveal ? "ui.qav.labeling.fovl" : "ui.qav.labeling.peri",
                                   foveal ? "Labeling (foveal)" : "Labeling (peripherial)", kSorry, false, true};
  return VSKFWindowOpenView(window, settings, std::move(frame), opening, [&](Ref<JSKCFrame> f) {
    return VSKCLabelingView::viewWithSize({0, 0}, kPosition, opening.key,
                                          foveal ? "qav.stream.fovl.seg" : "qav.stream.peri.seg", foveal ? 320 : 640,
                                          std::move(f));
  });
}

void VSKFWindowLabelingDataFolder(QELBWindow* window, const std::string& dataPath) {
  if (!window || dataPath.empty()) return;
  for (const char* key : {"ui.qav.labeling.fovl", "ui.qav.labeling.peri"}) {
    QELBWidget* view = window->locate(key);
    Ref<LLKCString> path = LLKCString::stringWithString(dataPath);
    if (view && path)
      (void)view->poke(LLKCMessage::messageWithCode({kVSKLabelingDataFolderUid, kVSKLabelingDataFolderTag, 0}, path));
  }
}
