// The processor base: following "inputs", the squib filter and the image check on the way in.
#include <gtest/gtest.h>

#include "modules/vision/processors/QAVBProcessor.h"
#include "tests/vision/ProcessorTestKit.h"

namespace {

// Counts the images the base lets through and republishes them on its output label.
class ImageCounter : public QAVBProcessor {
public:
  ImageCounter(const std::string& label, Ref<MRKCFrame> properties)
      : QAVBProcessor({}, label, {}, std::move(properties)) {}
  void onReceivedSquib(MRKCSquib* squib, const std::string& source) override {
    forEachImage(squib, source, [this](const QAVTImageStatement& image) {
      ++seen;
      publishImage(
          MRKCStatement::statementWithLabel(outputLabel(), image.statement->terms(), image.statement->value()).get());
    });
  }
  std::atomic<int> seen{0};
};

TEST(ProcessorBase, FollowsTheSymbolsOfItsInputsFromAttachToDetach) {
  OutputCapture log;
  VisionStage stage({});
  Ref<ImageCounter> counter = adoptRef(new ImageCounter("counter", frameOf(R"({"inputs": [a, 3, "c", b]})")));
  EXPECT_FALSE(counter->followLabel("early")) << "the substrate refuses a processor not attached";
  EXPECT_FALSE(counter->isFollowing("early"));
  stage.attach(counter);
  EXPECT_TRUE(counter->isFollowing("a"));
  EXPECT_TRUE(counter->isFollowing("b"));
  EXPECT_FALSE(counter->isFollowing("3"));
  EXPECT_FALSE(counter->isFollowing("c")) << "strings are no labels";
  EXPECT_EQ(log.lines(), (std::vector<std::string>{"counter - property 'inputs' lists 3, which is no label",
                                                   "counter - property 'inputs' lists \"c\", which is no label"}));
  EXPECT_EQ(counter->scheduler(), stage.substrate->globals()->fetch<MRKCOffloader>("qav.scheduler").get());
  EXPECT_EQ(counter->outputLabel(), "counter");

  EXPECT_TRUE(counter->followLabel("a")) << "following twice is following";
  EXPECT_TRUE(counter->forgetLabel("a"));
  EXPECT_FALSE(counter->isFollowing("a"));
  EXPECT_TRUE(counter->forgetLabel("never")) << "forgetting what is not followed";

  stage.substrate->detach(counter.get(), false);
  EXPECT_FALSE(counter->isFollowing("b"));
  EXPECT_EQ(counter->scheduler(), nullptr);

  stage.attach(counter);
  EXPECT_TRUE(counter->isFollowing("a")) << "attached again, it follows its inputs anew";
}

// An "inputs" of the wrong kind is told, naming what was given, rather than followed as nothing.
TEST(ProcessorBase, InputsOfTheWrongKindAreTold) {
  OutputCapture log;
  VisionStage stage({});
  Ref<ImageCounter> counter = adoptRef(new ImageCounter("counter", frameOf(R"({"inputs": 5})")));
  stage.attach(counter);
  EXPECT_TRUE(log.saw("counter - property 'inputs' must be a label or a list of labels, not 5")) << log.lines().size();
}

TEST(ProcessorBase, HandlesFollowedSquibsFromOthersOnly) {
  VisionStage stage({"out"});
  Ref<ImageCounter> counter =
      stage.attach(adoptRef(new ImageCounter("counter", frameOf(R"({"inputs": in, "output": out})"))));
  stage.send("in", {makeImage("in", "rgb", 2, 2, patternPixels(2, 2, 3))}, counter->guid());  // its own: dropped
  stage.send("in", {makeImage("in", "rgb", 2, 2, patternPixels(2, 2, 3), 0.75)});
  std::vector<Ref<MRKCStatement>> out = stage.tap->waitFor("out", 1);
  ASSERT_EQ(out.size(), 1u);
  EXPECT_EQ(out[0]->value(), 0.75);
  EXPECT_EQ(counter->seen.load(), 1);
}

TEST(ProcessorBase, DropsShortPixelsWithALogLineWhenVerbose) {
  for (bool verbose : {false, true}) {
    OutputCapture log;
    VisionStage stage({"out"});
    Ref<ImageCounter> counter = stage.attach(adoptRef(new ImageCounter(
        "counter",
        frameOf(std::string(R"({"inputs": in, "output": out, "verbose": )") + (verbose ? "true" : "false") + "}"))));
    Ref<MRKCStatement> malformed = makeImage("in", "rgb", 2, 2, patternPixels(2, 2, 3));
    MRKFFrameStoreUint(metaOf(malformed.get()), "height", 0);
    stage.send("in", {makeImage("in", "rgb", 4, 4, patternPixels(4, 3, 3)), malformed,
                      makeImage("in", "bgr", 2, 2, patternPixels(2, 2, 3))});
    ASSERT_EQ(stage.tap->waitFor("out", 1).size(), 1u);
    EXPECT_EQ(counter->seen.load(), 1) << "only the whole image goes through";
    std::vector<std::string> expected;
    if (verbose)
      expected.push_back("counter : received image whose pixel data is shorter than its size and format require");
    EXPECT_EQ(log.lines(), expected) << "the malformed statement is skipped without a word";
  }
}

}  // namespace
