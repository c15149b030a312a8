// The vision road at 640 x 480 as the workbench runs it: a folder of the generated dataset, the
// COCO feed's worker, the grid-seam segmenter (two computing threads) and the segmented view's
// frame path into a picture box of a headless window.
//
//   FolderToSegmented   one image asked of the feed until its segmented statement arrives: the
//                       latency from reading the file to the segmented image, and (asking again at
//                       once) the images per second of the road; the segmenter keeps only the
//                       newest queued image, so asking for more at once would drop images
//   ViewShow            the view's part: checking the statement, converting it into the bitmap and
//                       drawing one window frame with it
#include <benchmark/benchmark.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "app/vision/VSKCCocoFeedWorker.h"
#include "app/vision/VSKFVisionView.h"
#include "framework/substrate/MRKCReader.h"
#include "framework/substrate/MRKCSubstrate.h"
#include "modules/vision/segmenter/QAVCGRIDSegmenter.h"
#include "tests/core/TemporaryFolder.h"
#include "tests/support/dataset/Dataset.h"
#include "tests/vision/VisionTestKit.h"
#include "tests/widgets/QELTestHeadlessWindow.h"

namespace {

struct Road {
  Road() {
    std::string why;
    (void)dataset::write(dataset::synthetic(16, 640, 480, 9), folder.path(), &why);
    Ref<MRKBTerm> properties = MRKCReader::reader()->readTermFromString(
        R"({"inputs": qav.stream.raw, "output": qav.stream.peri.seg, "spix.size": 16, "poly.size": 24})");
    segmenter = QAVCGRIDSegmenter::segmenterWithGuid({}, "qav.proc.peri", {}, Ref<MRKCFrame>(properties->asFrame()));
    (void)MRKCSubstrate::shared()->attach(segmenter.get(), false);
    (void)MRKCSubstrate::shared()->attach(tap.get(), false);
    worker = VSKCCocoFeedWorker::workerWithTarget(nullptr);
    (void)worker->start();
    post(kVSKCocoFeedFolder, LLKCFSFolder::folderWithFullPath(folder.path().c_str()));
    post(kVSKCocoFeedRandom);
  }
  ~Road() {
    worker->stopAndJoin();
    (void)MRKCSubstrate::shared()->detach(tap.get(), false);
    (void)MRKCSubstrate::shared()->detach(segmenter.get(), false);
  }
  void post(uint32_t tag, Ref<LLKBObject> payload = nullptr) const {
    (void)worker->post(LLKCMessage::messageWithCode({kVSKCocoFeedUid, tag, 0}, std::move(payload)));
  }
  // Asks for count images and waits until as many more segmented ones arrived.
  bool feed(size_t count) {
    const size_t before = tap->squibCount("qav.stream.peri.seg");
    for (size_t i = 0; i < count; ++i) post(kVSKCocoFeedNext);
    return tap->waitFor("qav.stream.peri.seg", before + count).size() >= before + count;
  }

  TemporaryFolder folder;
  Ref<QAVCGRIDSegmenter> segmenter;
  Ref<VisionTap> tap = makeRef<VisionTap>(std::vector<std::string>{"qav.stream.peri.seg"});
  Ref<VSKCCocoFeedWorker> worker;
};

void BM_FolderToSegmented(benchmark::State& state) {
  Road road;
  for (auto _ : state)
    if (!road.feed(1)) state.SkipWithError("no segmented image arrived");
  state.SetItemsProcessed(state.iterations());
}

void BM_ViewShow(benchmark::State& state) {
  Ref<QELTestHeadlessWindow> window = QELTestHeadlessWindow::make({700, 560});
  Ref<QELCPicturebox> picture = QELCPicturebox::widgetWithSize({640, 640}, {0, 0});
  (void)window->attach(picture);
  Ref<MRKCStatement> image = makeImage("qav.stream.peri.seg", "bgr", 640, 480, patternPixels(640, 480, 3));
  for (auto _ : state) {
    QAVTImageStatement checked;
    if (QAVFImageStatementRead(image.get(), &checked) != kQAVImageValid ||
        !VSKFVisionViewShow(picture.get(), checked.width, checked.height, checked.pixelFormat, *checked.pixels))
      state.SkipWithError("not shown");
    window->frame();
  }
  picture->setBitmap(nullptr);
  state.SetItemsProcessed(state.iterations());
}

}  // namespace

BENCHMARK(BM_FolderToSegmented)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1.0);
BENCHMARK(BM_ViewShow)->Unit(benchmark::kMillisecond)->MinTime(0.5);
