// The segmenter's threads under load: 2 000 frames through the handler and both computing
// threads, each published frame complete and equal to the plain reference, with pokes changing
// the grid between frames, and a detach that ends everything within a second while frames keep
// coming.
#include <gtest/gtest.h>

#include <opencv2/core.hpp>

#include <atomic>
#include <chrono>
#include <future>
#include <thread>

#include "modules/vision/segmenter/QAVCGRIDSegmenter.h"
#include "tests/vision_segmenter/SegmenterReference.h"
#include "tests/vision_segmenter/SegmenterTestKit.h"

namespace {

constexpr uint64_t kFrames = 2000;

// Frames of a few sizes, so the superpixel count and the scratch patches change as they go.
cv::Mat frameImage(uint64_t frameid) {
  static const cv::Size kSizes[] = {{48, 32}, {33, 21}, {64, 40}, {17, 29}};
  cv::Mat image(kSizes[frameid % std::size(kSizes)], CV_8UC3);
  cv::RNG(frameid).fill(image, cv::RNG::UNIFORM, 0, 256);
  return image;
}

class SegmenterThreadsTest : public ::testing::Test {
protected:
  void SetUp() override {
#if defined(__SANITIZE_THREAD__)
    cv::setNumThreads(0);  // OpenCV's own thread pool is not instrumented
#endif
    Ref<MRKBTerm> properties = term(R"({"inputs": in, "output": out, "spix.size": 8, "lbpd.size": 16})");
    segmenter = QAVCGRIDSegmenter::segmenterWithGuid("", "seg", "", Ref<MRKCFrame>(properties->asFrame()));
    ASSERT_TRUE(substrate->attach(collector.get(), false));
    ASSERT_TRUE(substrate->attach(segmenter.get(), false));
  }
  void TearDown() override {
    if (segmenter->isAttached()) substrate->detach(segmenter.get(), false);
  }

  void send(uint64_t frameid) {
    EXPECT_TRUE(substrate->publish(squibOf(imageStatement(frameImage(frameid), frameid).get()).get(), ""));
  }

  // "" when the statement is the complete segmentation of its frame at the grid it names.
  std::string check(MRKCStatement* statement) {
    QAVTGRIDSegmenterConfig config = segmenter->config();
    config.spixsize = uint32_t(MRKFFrameFetchUint(ancillaryOf(statement), "size", 0));
    return SegmenterReferenceCompare(statement, frameImage(frameIdOf(statement)), config);
  }

  Ref<MRKCSubstrate> substrate = MRKCSubstrate::substrate();
  Ref<Collector> collector = makeRef<Collector>("out");
  Ref<QAVCGRIDSegmenter> segmenter;
};

TEST_F(SegmenterThreadsTest, EveryFrameComesOutComplete) {
  // Half the frames one at a time, each segmented; the grid changes every hundred frames.
  uint64_t frameid = 1;
  for (; frameid <= kFrames / 2; ++frameid) {
    if (frameid % 100 == 0)
      substrate->poke("spix.size", {"seg"}, MRKCNumber::numberWithUint(frameid % 200 ? 6 : 8).get());
    send(frameid);
    ASSERT_TRUE(collector->waitForStatements(frameid)) << "frame " << frameid;
  }
  // The other half as fast as they come, the grid changing under way: the handler skips to the
  // newest, the last one arrives.
  for (; frameid <= kFrames; ++frameid) {
    if (frameid % 50 == 0)
      substrate->poke("spix.size", {"seg"}, MRKCNumber::numberWithUint(frameid % 100 ? 5 : 8).get());
    send(frameid);
  }
  ASSERT_TRUE(collector->waitFor([](const auto& statements) { return frameIdOf(statements.back().get()) == kFrames; }));

  const auto statements = collector->statements();
  uint64_t previous = 0;
  for (const auto& statement : statements) {
    const uint64_t id = frameIdOf(statement.get());
    ASSERT_GT(id, previous) << "frames out of order";
    previous = id;
    ASSERT_EQ(check(statement.get()), "") << "frame " << id;
  }
  EXPECT_GT(statements.size(), kFrames / 2);
}

// How fast a detach ends the threads is the benchmark's business; here it must end them at all,
// with frames still arriving, instead of waiting on a computing thread for ever.
TEST_F(SegmenterThreadsTest, DetachEndsTheThreadsWhileFramesKeepComing) {
  std::atomic<bool> sending{true};
  std::thread sender([&] {
    for (uint64_t frameid = 1; sending; ++frameid) send(frameid);
  });
  ASSERT_TRUE(collector->waitForStatements(20));
  std::future<bool> detaching =
      std::async(std::launch::async, [&] { return substrate->detach(segmenter.get(), false); });
  const bool ended = detaching.wait_for(std::chrono::seconds(30)) == std::future_status::ready;
  sending = false;
  sender.join();
  ASSERT_TRUE(ended) << "detach did not end the segmenter's threads";
  EXPECT_TRUE(detaching.get());
  for (const auto& statement : collector->statements())
    ASSERT_EQ(check(statement.get()), "") << frameIdOf(statement.get());
}

}  // namespace
