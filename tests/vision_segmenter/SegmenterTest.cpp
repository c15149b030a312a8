// The segmenter run by a real substrate: images in on "in", segmented statements out on "out",
// checked against a plain reference; peeks and pokes; what it refuses.
#include <gtest/gtest.h>

#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include "modules/vision/segmenter/QAVCGRIDSegmenter.h"
#include "tests/vision_segmenter/SegmenterReference.h"
#include "tests/vision_segmenter/SegmenterTestKit.h"

namespace {

cv::Mat uniform(cv::Size size) { return cv::Mat(size, CV_8UC3, cv::Scalar(40, 120, 200)); }

cv::Mat stripes(cv::Size size, int width) {
  cv::Mat image(size, CV_8UC3);
  for (int x = 0; x < size.width; ++x)
    image.col(x).setTo((x / width) % 2 ? cv::Scalar(250, 240, 10) : cv::Scalar(5, 30, 60));
  return image;
}

cv::Mat edges(cv::Size size) {
  cv::Mat image = uniform(size);
  cv::rectangle(image, cv::Rect(size.width / 3, size.height / 4, size.width / 3, size.height / 2), cv::Scalar(0, 0, 0),
                cv::FILLED);
  return image;
}

cv::Mat noise(cv::Size size, uint64_t seed) {
  cv::Mat image(size, CV_8UC3);
  cv::RNG(seed).fill(image, cv::RNG::UNIFORM, 0, 256);
  return image;
}

class SegmenterTest : public ::testing::Test {
protected:
  void SetUp() override {
#if defined(__SANITIZE_THREAD__)
    cv::setNumThreads(0);  // OpenCVs own thread pool is not instrumented
#endif
  }
  void TearDown() override {
    if (segmenter && segmenter->isAttached()) substrate->detach(segmenter.get(), false);
  }

  // A segmenter following "in" and publishing on "out", with these extra properties.
  void attach(const std::string& extra = "") {
    Ref<MRKBTerm> properties = term(R"({"inputs": in, "output": out)" + (extra.empty() ? "" : ", " + extra) + "}");
    ASSERT_TRUE(properties && properties->asFrame());
    segmenter = QAVCGRIDSegmenter::segmenterWithGuid("", "seg", "", Ref<MRKCFrame>(properties->asFrame()));
    ASSERT_TRUE(substrate->attach(collector.get(), false));
    ASSERT_TRUE(substrate->attach(segmenter.get(), false));
  }

  // Publishes the image and answers the statement segmented from it.
  Ref<MRKCStatement> segment(const cv::Mat& image, uint64_t frameid) {
    const size_t before = collector->statements().size();
    EXPECT_TRUE(substrate->publish(squibOf(imageStatement(image, frameid).get()).get(), ""));
    if (!collector->waitForStatements(before + 1)) return nullptr;
    return collector->statements().back();
  }

  std::string ask(std::string_view predicate) {
    const size_t before = collector->replies().size();
    substrate->inquire(query(predicate).get(), collector->guid());
    if (!collector->waitForReplies(before + 1)) return "no reply";
    return collector->replies().back();
  }

  Ref<MRKCSubstrate> substrate = MRKCSubstrate::substrate();
  Ref<Collector> collector = makeRef<Collector>("out");
  Ref<QAVCGRIDSegmenter> segmenter;
};

TEST_F(SegmenterTest, SmallImagesMatchThePlainReference) {
  attach();
  const struct {
    const char* name;
    cv::Mat image;
  } cases[] = {
      {"uniform", uniform({64, 32})}, {"stripes", stripes({64, 48}, 5)}, {"edges", edges({70, 45})},
      {"noise", noise({53, 37}, 11)}, {"tiny", noise({3, 2}, 5)},        {"one column", noise({1, 40}, 9)},
  };
  uint64_t frameid = 0;
  for (const auto& test : cases) {
    SCOPED_TRACE(test.name);
    Ref<MRKCStatement> published = segment(test.image, ++frameid);
    ASSERT_TRUE(published);
    EXPECT_EQ(published->label(), "out");
    EXPECT_EQ(published->value(), 0.5);
    EXPECT_EQ(frameIdOf(published.get()), frameid);
    EXPECT_EQ(SegmenterReferenceCompare(published.get(), test.image, segmenter->config()), "");
  }
}

TEST_F(SegmenterTest, UniformImageIsARegularGridOfRectangles) {
  attach();
  const cv::Mat image = uniform({64, 32});
  Ref<MRKCStatement> published = segment(image, 1);
  ASSERT_TRUE(published);
  MRKCFrame* ancillary = ancillaryOf(published.get());
  EXPECT_EQ(MRKFFrameFetchUint(ancillary, "cols", 0), 5u);
  EXPECT_EQ(MRKFFrameFetchUint(ancillary, "rows", 0), 3u);
  EXPECT_EQ(MRKFFrameFetchUint(ancillary, "size", 0), 16u);
  EXPECT_EQ(MRKFFrameFetchUint(ancillary, "marker", 0), 7u);  // the received ancillary frames keys stay
  EXPECT_TRUE(asNumber(MRKFFrameFetchTerm(ancillary, "elapsed")));
  MRKCBinary* received = asBinary(MRKFFrameFetchTerm(ancillary, "image"));
  ASSERT_TRUE(received);
  EXPECT_EQ(received->length(), 64u * 32u * 3u);

  // Seams through the cells middles: columns 7, 23, 39 (and the rest up to 63), rows 7 and 23.
  const std::vector<PublishedSuperpixel> superpixels = superpixelsOf(published.get());
  ASSERT_EQ(superpixels.size(), 15u);
  const PublishedSuperpixel& first = superpixels[0];
  EXPECT_EQ(first.record, (std::vector<int16_t>{0, 3, 3, 64, int16_t((0.299 * 200 + 0.587 * 120 + 0.114 * 40) / 3), 40,
                                                120, 200, 0, 0, 7, 7}));
  // One colour: no neighbour is brighter than any pixel, every code is 0.
  std::vector<float> pattern(48, 0.0f);
  pattern[0] = 1.0f;
  EXPECT_EQ(first.pattern, pattern);
  ASSERT_EQ(first.polygon.size(), 32u);
  EXPECT_EQ(first.polygon.front(), cv::Point(0, 0));
  const PublishedSuperpixel& last = superpixels.back();
  EXPECT_EQ(last.record[0], 14);
  EXPECT_EQ(std::vector<int16_t>(last.record.begin() + 8, last.record.end()), (std::vector<int16_t>{56, 24, 63, 31}));
}

// Random sizes, grids, pattern and polygon sizes and tolerances, straight through the worker.
TEST_F(SegmenterTest, WorkerMatchesThePlainReferenceOnAnyImageAndConfiguration) {
  Ref<QAVCGRIDSegmenterWorker> worker = QAVCGRIDSegmenterWorker::workerWithLabel("out", "worker", nullptr);
  cv::RNG rng(2024);
  for (int round = 0; round < 150; ++round) {
    QAVTGRIDSegmenterConfig config;
    config.spixsize = uint32_t(rng.uniform(2, 41));
    config.spixstay = rng.uniform(0.0, 2.0);
    config.lbpdsize = uint32_t(rng.uniform(1, 256));
    config.polysize = rng.uniform(0, 4) == 0 ? 0u : uint32_t(rng.uniform(2, 80));
    config.polyaccy = rng.uniform(0, 3) == 0 ? 1.0 : rng.uniform(0.0, 0.2);
    worker->setConfig(config);
    const cv::Mat image = noise({rng.uniform(1, 90), rng.uniform(1, 90)}, uint64_t(round));
    Ref<MRKCStatement> statement = imageStatement(image, 1);
    QAVTImageStatement parts;
    ASSERT_EQ(QAVFImageStatementRead(statement.get(), &parts), kQAVImageValid);
    Ref<MRKCStatement> published = worker->process(parts);
    ASSERT_TRUE(published);
    ASSERT_EQ(SegmenterReferenceCompare(published.get(), image, config), "")
        << image.cols << "x" << image.rows << " step " << config.spixsize << " bins " << config.lbpdsize << " points "
        << config.polysize << " accuracy " << config.polyaccy;
  }
}

TEST_F(SegmenterTest, OutlinesFollowPolygonSizeAndAccuracy) {
  attach(R"("poly.size": 0, "poly.accy": 1, "spix.size": 8)");
  const cv::Mat image = edges({40, 24});
  Ref<MRKCStatement> raw = segment(image, 1);
  ASSERT_TRUE(raw);
  EXPECT_EQ(SegmenterReferenceCompare(raw.get(), image, segmenter->config()), "");
  const cv::Mat labels = labelsOf(raw.get(), image.size());
  for (const PublishedSuperpixel& superpixel : superpixelsOf(raw.get())) {
    SCOPED_TRACE(superpixel.record[0]);
    ASSERT_GE(superpixel.polygon.size(), 3u);
    EXPECT_EQ(superpixel.polygon.front(), superpixel.polygon.back());  // closed, not resampled
    for (const cv::Point& p : superpixel.polygon) EXPECT_EQ(labels.at<uint16_t>(p), superpixel.record[0]);
  }
  // Simplified outlines of a rectangle keep its four corners.
  EXPECT_EQ(ask("?seg(poke(poly.accy, 0.01))"), "<seg [poke(poly.accy, 0.01)] 1.0>");
  Ref<MRKCStatement> simple = segment(uniform({16, 16}), 2);
  ASSERT_TRUE(simple);
  for (const PublishedSuperpixel& superpixel : superpixelsOf(simple.get())) EXPECT_EQ(superpixel.polygon.size(), 5u);
}

TEST_F(SegmenterTest, SuperpixelsOfOneOrTwoPixelsGetTheirCentroidAsPolygon) {
  attach();
  Ref<MRKCStatement> published = segment(uniform({2, 1}), 1);
  ASSERT_TRUE(published);
  const std::vector<PublishedSuperpixel> superpixels = superpixelsOf(published.get());
  ASSERT_EQ(superpixels.size(), 1u);
  EXPECT_EQ(superpixels[0].polygon, std::vector<cv::Point>(32, cv::Point(0, 0)));
}

// One entry per label: list index, record id and mask value name the same superpixel (a skipped
// superpixel keeps its slot, empty), so that r x cols + c finds the record of a grid cell.
TEST_F(SegmenterTest, SuperpixelListKeepsOneEntryPerLabel) {
  attach(R"("spix.size": 8)");
  cv::Mat logo(375, 500, CV_8UC3, cv::Scalar(255, 255, 255));
  cv::circle(logo, {150, 180}, 90, cv::Scalar(0, 0, 200), cv::FILLED);
  cv::rectangle(logo, cv::Rect(300, 60, 150, 250), cv::Scalar(200, 0, 0), cv::FILLED);
  Ref<MRKCStatement> published = segment(logo, 1);
  ASSERT_TRUE(published);
  MRKCList* list = asList(MRKFFrameFetchTerm(ancillaryOf(published.get()), "superpixels"));
  ASSERT_TRUE(list);
  const cv::Mat labels = labelsOf(published.get(), logo.size());
  ASSERT_FALSE(labels.empty());
  double highest = 0;
  cv::minMaxLoc(labels, nullptr, &highest);
  EXPECT_EQ(list->count(), size_t(highest) + 1);
  for (size_t index = 0; index < list->count(); ++index) {
    MRKCData* supixel = asData(MRKFFrameFetchTerm(asFrame(list->fetchAtIndex(index)), "supixel"));
    if (!supixel) continue;
    const auto* record = static_cast<const int16_t*>(supixel->buffer());
    ASSERT_EQ(record[0], int16_t(index));
    // The record's centroid lies in its box, and the mask names this superpixel inside it.
    const cv::Rect box(cv::Point(record[8], record[9]), cv::Point(record[10] + 1, record[11] + 1));
    const cv::Mat inside = labels(box) == uint16_t(index);
    ASSERT_GT(cv::countNonZero(inside), 0) << "superpixel " << index;
  }
}

TEST_F(SegmenterTest, MoreSuperpixelsThanRecordIdsHoldGoOutWithoutSuperpixelData) {
  attach(R"("spix.size": 2, "verbose": true)");
  OutputCapture console(OutputCapture::kConsole);
  const cv::Mat image = noise({400, 400}, 6);  // 201 × 201 labels, beyond the 32768 signed ids
  Ref<MRKCStatement> published = segment(image, 1);
  ASSERT_TRUE(published);
  MRKCFrame* ancillary = ancillaryOf(published.get());
  EXPECT_FALSE(MRKFFrameFetchTerm(ancillary, "superpixels"));
  EXPECT_FALSE(MRKFFrameFetchTerm(ancillary, "supixelmask"));
  EXPECT_TRUE(MRKFFrameFetchTerm(ancillary, "elapsed"));
  EXPECT_TRUE(MRKFFrameFetchTerm(ancillary, "image"));
  EXPECT_TRUE(console.saw("QAVCGRIDSegmenter - 40401 supixels do not fit 16-bit records"));
}

TEST_F(SegmenterTest, PeeksAnswerStoredValuesOrDefaults) {
  attach(R"("lbpd.size": 8)");
  EXPECT_EQ(ask("?seg(peek(spix.size, X))"), "<seg [peek(spix.size, 16)] 1.0>");
  EXPECT_EQ(ask("?seg(peek(lbpd.size, X))"), "<seg [peek(lbpd.size, 8)] 1.0>");
  EXPECT_EQ(ask("?seg(peek(poly.show, X))"), "<seg [peek(poly.show, false)] 1.0>");
  EXPECT_EQ(ask("?seg(peek(unknown, X))"), "<seg [peek(unknown, nil)] 1.0>");
}

TEST_F(SegmenterTest, PeeksAnswerTheValuesTheSegmenterRunsWithNotRefusedOnes) {
  attach(R"("spix.size": 1, "poly.size": 1, "poly.show": "perhaps")");
  EXPECT_EQ(ask("?seg(peek(spix.size, X))"), "<seg [peek(spix.size, 16)] 1.0>");
  EXPECT_EQ(ask("?seg(peek(poly.size, X))"), "<seg [peek(poly.size, 32)] 1.0>");
  EXPECT_EQ(ask("?seg(peek(poly.show, X))"), "<seg [peek(poly.show, false)] 1.0>");
}

TEST_F(SegmenterTest, PeekOfPatternSizeWithoutPropertyIsNil) {
  attach();
  EXPECT_EQ(ask("?seg(peek(lbpd.size, X))"), "<seg [peek(lbpd.size, nil)] 1.0>");
}

TEST_F(SegmenterTest, PokesApplyFromTheNextImage) {
  attach();
  EXPECT_EQ(ask("?seg(poke(spix.size, 8))"), "<seg [poke(spix.size, 8)] 1.0>");
  EXPECT_EQ(ask("?seg(poke(lbpd.size, 4))"), "<seg [poke(lbpd.size, 4)] 1.0>");
  EXPECT_EQ(ask("?seg(poke(poly.size, 12))"), "<seg [poke(poly.size, 12)] 1.0>");
  EXPECT_EQ(ask("?seg(peek(spix.size, X))"), "<seg [peek(spix.size, 8)] 1.0>");
  const cv::Mat image = noise({40, 24}, 3);
  Ref<MRKCStatement> published = segment(image, 1);
  ASSERT_TRUE(published);
  EXPECT_EQ(MRKFFrameFetchUint(ancillaryOf(published.get()), "size", 0), 8u);
  EXPECT_EQ(MRKFFrameFetchUint(ancillaryOf(published.get()), "cols", 0), 6u);
  EXPECT_EQ(SegmenterReferenceCompare(published.get(), image, segmenter->config()), "");
  ASSERT_FALSE(superpixelsOf(published.get()).empty());
  EXPECT_EQ(superpixelsOf(published.get())[0].pattern.size(), 4u);
  // The value it already has: answered, nothing changes.
  EXPECT_EQ(ask("?seg(poke(spix.size, 8))"), "<seg [poke(spix.size, 8)] 1.0>");
  EXPECT_EQ(segmenter->config().spixsize, 8u);
}

TEST_F(SegmenterTest, PokesOutOfRangeAreRefusedWithAnErrorReply) {
  attach();
  const struct {
    const char* poke;
    const char* why;
  } cases[] = {
      {"poke(spix.size, 0)", "spix.size takes a whole number from 2 to 512"},
      {"poke(spix.size, 100000)", "spix.size takes a whole number from 2 to 512"},
      {"poke(lbpd.size, 256)", "lbpd.size takes a whole number from 1 to 255"},
      {"poke(poly.size, 1)", "poly.size takes 0 or a whole number from 2 to 1024"},
      {"poke(poly.accy, -0.5)", "poly.accy takes a finite number of at least 0"},
      {"poke(spix.stay, #nan)", "spix.stay takes a finite number of at least 0"},
      {"poke(poly.show, perhaps)", "poly.show takes a boolean"},
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(test.poke);
    EXPECT_EQ(ask(std::string("?seg(") + test.poke + ")"),
              std::string("<seg [error(") + test.poke + ", \"" + test.why + "\")] 0.0>");
  }
  QAVTGRIDSegmenterConfig defaults;
  defaults.ttl = segmenter->ttl();
  EXPECT_EQ(segmenter->config(), defaults);
  EXPECT_EQ(ask("?seg(peek(spix.size, X))"), "<seg [peek(spix.size, 16)] 1.0>");
  // The substrates own pokes are refused the same way.
  substrate->poke("spix.size", {"seg"}, term("1").get());
  EXPECT_EQ(ask("?seg(peek(spix.size, X))"), "<seg [peek(spix.size, 16)] 1.0>");
}

TEST_F(SegmenterTest, OnlyWholeBgrImagesAreSegmented) {
  attach(R"("verbose": true)");
  OutputCapture console(OutputCapture::kConsole);
  const cv::Mat image = noise({20, 10}, 1);
  EXPECT_TRUE(substrate->publish(squibOf(imageStatement(image, 1, "rgb").get()).get(), ""));
  EXPECT_TRUE(substrate->publish(squibOf(imageStatement(image, 2, "bgr", 1).get()).get(), ""));
  EXPECT_TRUE(substrate->publish(squibOf(imageStatement(image, 3).get()).get(), ""));
  ASSERT_TRUE(collector->waitForStatements(1));
  EXPECT_TRUE(console.saw("seg : received image of un-supported pixel format"));
  // The hooks run in order, so the first two had been dropped before the third was queued.
  const auto statements = collector->statements();
  ASSERT_EQ(statements.size(), 1u);
  EXPECT_EQ(frameIdOf(statements[0].get()), 3u);
}

TEST_F(SegmenterTest, SegmentsAgainOnceAttachedAgain) {
  attach();
  ASSERT_TRUE(segment(noise({20, 10}, 4), 1));
  ASSERT_TRUE(substrate->detach(segmenter.get(), false));
  EXPECT_FALSE(segmenter->isFollowing("in"));
  // Attached again, it follows and segments anew.
  ASSERT_TRUE(substrate->attach(segmenter.get(), false));
  Ref<MRKCStatement> again = segment(noise({20, 10}, 4), 3);
  ASSERT_TRUE(again);
  EXPECT_EQ(frameIdOf(again.get()), 3u);
}

// The handler's queue: of the images waiting, only the newest is segmented.
TEST_F(SegmenterTest, NewestWaitingImageWins) {
  ASSERT_TRUE(substrate->attach(collector.get(), false));
  Ref<QAVCGRIDSegmenterWorker> worker = QAVCGRIDSegmenterWorker::workerWithLabel("out", "worker", substrate.get());
  QAVTGRIDSegmenterConfig config;
  config.ttl = 30.0f;
  worker->setConfig(config);
  const cv::Mat image = noise({24, 16}, 8);
  for (uint64_t frameid = 1; frameid <= 20; ++frameid)
    EXPECT_TRUE(worker->enqueue(imageStatement(image, frameid).get()));
  EXPECT_FALSE(worker->enqueue(imageStatement(image, 21, "rgb").get()));
  ASSERT_TRUE(worker->start());
  ASSERT_TRUE(collector->waitForStatements(1));
  EXPECT_TRUE(worker->enqueue(imageStatement(image, 22).get()));
  ASSERT_TRUE(collector->waitForStatements(2));
  worker->stopAndJoin();
  const auto statements = collector->statements();
  ASSERT_EQ(statements.size(), 2u);
  EXPECT_EQ(frameIdOf(statements[0].get()), 20u);
  EXPECT_EQ(frameIdOf(statements[1].get()), 22u);
  EXPECT_FALSE(worker->enqueue(imageStatement(image, 23).get()));
}

}  // namespace
