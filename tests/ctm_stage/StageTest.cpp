// The stage as the substrate runs it: its own timer, an external clock, chunks posted on the
// pass label, link flashes, and chunks injected by a probe processor from a solution.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <fstream>
#include <mutex>

#include "framework/core/LLKFRandom.h"
#include "framework/core/LLKFTime.h"
#include "framework/substrate/MRKCFlash.h"
#include "framework/substrate/MRKCFunc.h"
#include "framework/substrate/MRKCSquib.h"
#include "framework/substrate/MRKCSubstrate.h"
#include "framework/substrate/MRKFTerms.h"
#include "modules/ctm/stage/CTMCStage.h"
#include "tests/ctm_stage/StageTestKit.h"

namespace {

const std::string kSolutions = CTM_SOLUTIONS;

// Follows "ctm.tick" and keeps every tick statement.
class TickListener : public MRKBProcessor {
public:
  TickListener() : MRKBProcessor({}, "listener", {}, nullptr) {}

  void onAttached() override { EXPECT_TRUE(substrate()->disclose("ctm.tick", guid())); }
  void onReceivedSquib(MRKCSquib* squib, const std::string& source) override {
    {
      std::lock_guard lock(mutex_);
      for (const auto& statement : squib->statements()->terms())
        if (MRKCStatement* tick = asStatement(statement.get())) ticks_.emplace_back(tick);
    }
    changed_.notify_all();
  }

  // The first count ticks, once they arrived (within ten seconds), else what there is.
  std::vector<Ref<MRKCStatement>> waitForTicks(size_t count) {
    std::unique_lock lock(mutex_);
    changed_.wait_for(lock, std::chrono::seconds(10), [&] { return ticks_.size() >= count; });
    return ticks_;
  }

private:
  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<Ref<MRKCStatement>> ticks_;
};

uint64_t numberOf(MRKCStatement* tick) { return asNumber(tick->terms()->fetchAtIndex(0))->uint(); }
MRKCList* winnersOf(MRKCStatement* tick) { return asList(tick->terms()->fetchAtIndex(1)); }
MRKCFrame* frameOf(MRKCStatement* tick) { return asFrame(tick->terms()->fetchAtIndex(2)); }
std::vector<std::string> keysOf(MRKCFrame* frame) {
  std::vector<std::string> keys;
  for (const auto& member : frame->members()) keys.push_back(member.first);
  return keys;
}

class StageTest : public ::testing::Test {
protected:
  void SetUp() override {
    listener = adoptRef(new TickListener());
    ASSERT_TRUE(substrate->attach(listener.get(), false));
  }

  void publish(const std::string& label, MRKBTerm* term) {
    Ref<MRKCStatement> statement = MRKCStatement::statementWithLabel(label, MRKCList::listWithTerms({term}).get(), 1.0);
    ASSERT_TRUE(substrate->publish(MRKCSquib::squibWithLabel(label, statement.get(), 5.0f).get(), {}));
  }

  // A clock tick at least a millisecond after the stage's last processed tick (clock ticks
  // within one millisecond make one broadcast), returning once its broadcast arrived: two ticks
  // queued on the stage's strand could otherwise be taken within one millisecond.
  void clock(uint64_t number) {
    size_t seen = listener->waitForTicks(0).size();
    int64_t start = LLKFNowInMS();
    while (LLKFNowInMS() <= start) LLKFSnoozeMS(1);
    publish("clock", MRKCNumber::numberWithUint(number).get());
    listener->waitForTicks(seen + 1);
  }

  Ref<MRKCSubstrate> substrate = MRKCSubstrate::substrate();
  Ref<TickListener> listener;
};

TEST_F(StageTest, ExternalClockCompetesPostedChunksAndCarriesLinks) {
  OutputCapture output(OutputCapture::kLogAndConsole);
  Ref<MRKCFrame> properties = MRKCFrame::frame();
  properties->store(MRKCSymbol::symbolWithValue("clock").get(), "tick");
  properties->store(MRKCNumber::numberWithUint(2).get(), "size");
  properties->store(MRKCNumber::numberWithReal(0.5).get(), "mood");
  Ref<CTMCStage> stage = CTMCStage::stageWithGuid({}, "ctm", {}, properties);
  ASSERT_TRUE(stage);
  ASSERT_TRUE(substrate->attach(stage.get(), false));
  // Timer ticks do nothing under an external clock, however late they come.
  int64_t attached = LLKFNowInMS();
  while (LLKFNowInMS() <= attached) LLKFSnoozeMS(1);
  stage->schedule([stage] { stage->onTicked(); });

  publish("ctm.pass", MRKCSymbol::symbolWithValue("not-a-chunk").get());
  Ref<MRKCList> chunks[] = {makeChunk({"c", 2, 0.6, 0.2}), makeChunk({"a", 1, 0.2, -0.1}),
                            makeChunk({"b", 3, 0.3, 0.1})};
  for (const auto& chunk : chunks) publish("ctm.pass", chunk.get());
  clock(5);
  auto ticks = listener->waitForTicks(1);
  ASSERT_EQ(ticks.size(), 1u);
  EXPECT_TRUE(output.saw("ctm : malformed chunk refused"));
  // Sorted by sender: a and b pair off (b wins, absorbing a), c goes on alone.
  EXPECT_EQ(numberOf(ticks[0].get()), 5u);
  EXPECT_EQ(sendersOf(winnersOf(ticks[0].get())), (std::vector<std::string>{"c", "b"}));
  EXPECT_NEAR(realAt(winnersOf(ticks[0].get())->fetchAtIndex(1), kCTMChunkIntensity), 0.25, 1e-12);
  MRKCFrame* frame = frameOf(ticks[0].get());
  EXPECT_EQ(keysOf(frame), (std::vector<std::string>{"drop", "intr", "chunks", "links", "time", "tick", "mood"}));
  EXPECT_EQ(sendersOf(asList(MRKFFrameFetchTerm(frame, "chunks"))), (std::vector<std::string>{"a", "b", "c"}));
  EXPECT_FLOAT_EQ(static_cast<float>(MRKFFrameFetchReal(frame, "mood", 0)), 0.5f);

  // A link flash hands its chunk over; one without a first term is ignored.
  Ref<MRKCList> linked = makeChunk({"l", 1});
  Ref<MRKCFunc> link = MRKCFunc::funcWithLabel("link", MRKCList::listWithTerms({linked.get()}).get());
  Ref<MRKCFunc> empty = MRKCFunc::funcWithLabel("link", nullptr);
  EXPECT_TRUE(substrate->flash(MRKCFlash::flashWithFunctor(empty.get()).get(), {"ctm"}));
  EXPECT_TRUE(substrate->flash(MRKCFlash::flashWithFunctor(link.get()).get(), {"ctm"}));
  clock(6);
  clock(7);
  ticks = listener->waitForTicks(3);
  ASSERT_EQ(ticks.size(), 3u);
  EXPECT_EQ(numberOf(ticks[1].get()), 6u);
  MRKCList* links = asList(MRKFFrameFetchTerm(frameOf(ticks[1].get()), "links"));
  ASSERT_EQ(links->count(), 1u);
  EXPECT_EQ(links->head(), linked.get());
  EXPECT_EQ(winnersOf(ticks[1].get())->count(), 0u);
  EXPECT_EQ(MRKFFrameFetchReal(frameOf(ticks[1].get()), "mood", 1), 0.0);
  EXPECT_EQ(asList(MRKFFrameFetchTerm(frameOf(ticks[2].get()), "links"))->count(), 0u);

  EXPECT_TRUE(substrate->detach(stage.get(), false));
}

TEST_F(StageTest, ProbabilisticModeWithSeededRandomness) {
  Ref<MRKCFrame> properties = MRKCFrame::frame();
  properties->store(MRKCSymbol::symbolWithValue("clock").get(), "tick");
  properties->store(MRKCSymbol::symbolWithValue("probabilistic").get(), "mode");
  properties->store(MRKCNumber::numberWithUint(1).get(), "size");
  Ref<CTMCStage> stage = CTMCStage::stageWithGuid({}, "ctm", {}, properties);
  ASSERT_TRUE(substrate->attach(stage.get(), false));
  for (uint64_t seed = 1; seed <= 6; ++seed) {
    LLKFRandomSeed(seed);
    const bool firstWins = LLKFRandomDraw() < 0.75;
    LLKFRandomSeed(seed);
    publish("ctm.pass", makeChunk({"a", 3}).get());
    publish("ctm.pass", makeChunk({"b", 1}).get());
    clock(seed);
    auto ticks = listener->waitForTicks(seed);
    ASSERT_EQ(ticks.size(), seed);
    EXPECT_EQ(sendersOf(winnersOf(ticks.back().get())), (std::vector<std::string>{firstWins ? "a" : "b"}))
        << "seed " << seed;
    EXPECT_EQ(MRKFFrameFetchTerm(frameOf(ticks.back().get()), "drop"), nullptr);
  }
  substrate->detach(stage.get(), false);
}

TEST_F(StageTest, OwnTimerBroadcastsNumberedTicks) {
  std::string error;
  ASSERT_TRUE(substrate->load(kSolutions + "/timer.json", &error)) << error;
  auto ticks = listener->waitForTicks(3);
  ASSERT_GE(ticks.size(), 3u);
  for (uint64_t i = 0; i < 3; ++i) {
    MRKCStatement* tick = ticks[i].get();
    EXPECT_EQ(tick->label(), "ctm.tick");
    EXPECT_EQ(numberOf(tick), i);
    EXPECT_EQ(winnersOf(tick)->count(), 0u);
    MRKCFrame* frame = frameOf(tick);
    ASSERT_TRUE(frame);
    EXPECT_EQ(keysOf(frame), (std::vector<std::string>{"drop", "intr", "chunks", "links", "time", "mood", "tick"}));
    EXPECT_EQ(asList(MRKFFrameFetchTerm(frame, "chunks"))->count(), 0u);
    EXPECT_EQ(asList(MRKFFrameFetchTerm(frame, "links"))->count(), 0u);
    EXPECT_EQ(MRKFFrameFetchReal(frame, "mood", 1), 0.0);
    EXPECT_EQ(MRKFFrameFetchReal(frame, "drop", 0), 0.800000011920929);
    EXPECT_GT(MRKFFrameFetchUint(frame, "tick", 0), 0u);
  }
  substrate->wipe();
}

// A stage without a label has no record to tick with: the load is refused, not attached unusable.
TEST_F(StageTest, ALoadRefusesAStageThatCannotBeMade) {
  const std::string path = testing::TempDir() + "unlabelled-stage-" + std::to_string(getpid()) + ".json";
  std::ofstream(path) << R"({"modules": ["modWRN"], "processors": [{"class": "CTMCStage", "label": ""}]})";
  std::string error;
  EXPECT_FALSE(substrate->load(path, &error));
  EXPECT_EQ(error, path + ": processors[0]: CTMCStage could not be made from its properties");
  EXPECT_EQ(substrate->processors().size(), 1u) << "only the listener";
  std::remove(path.c_str());
}

TEST_F(StageTest, ProbeInjectedChunksCompete) {
  struct Case {
    const char* solution;
    std::vector<std::string> winners;
    double intensity;  // of the first winner
  };
  for (const Case& c :
       {Case{"/probe-weightcentric.json", {"c", "b"}, 9.0}, Case{"/probe-deterministic.json", {"c"}, 0.4}}) {
    listener = adoptRef(new TickListener());
    ASSERT_TRUE(substrate->attach(listener.get(), false));
    std::string error;
    ASSERT_TRUE(substrate->load(kSolutions + c.solution, &error)) << error;
    auto ticks = listener->waitForTicks(1);
    ASSERT_EQ(ticks.size(), 1u) << c.solution;
    EXPECT_EQ(numberOf(ticks[0].get()), 1u);
    EXPECT_EQ(sendersOf(winnersOf(ticks[0].get())), c.winners) << c.solution;
    EXPECT_NEAR(realAt(winnersOf(ticks[0].get())->head(), kCTMChunkIntensity), c.intensity, 1e-12) << c.solution;
    EXPECT_EQ(asList(MRKFFrameFetchTerm(frameOf(ticks[0].get()), "chunks"))->count(), 3u);
    substrate->wipe();
    substrate->detach(listener.get(), false);
  }
}

TEST_F(StageTest, SavesItselfAsAManifesto) {
  Ref<MRKCFrame> properties = MRKCFrame::frame();
  properties->store(MRKCNumber::numberWithUint(3).get(), "size");
  Ref<CTMCStage> stage = CTMCStage::stageWithGuid({}, "ctm", {}, properties);
  ASSERT_TRUE(substrate->attach(stage.get(), false));
  Ref<MRKCKnowledge> knowledge = substrate->saveKnowledge();
  ASSERT_TRUE(knowledge);
  bool found = false;
  for (const auto& manifesto : knowledge->manifestos()) {
    if (manifesto->label() != "ctm") continue;
    found = true;
    EXPECT_EQ(MRKFFrameFetchUint(manifesto->properties(), "size", 0), 3u);
    // A stage made again from what was saved.
    Ref<MRKCFrame> saved = manifesto->properties()->copy();
    saved->store(MRKCSymbol::symbolWithValue("the stage").get(), "alias");
    Ref<CTMCStage> again =
        CTMCStage::stageWithManifesto(*MRKCManifesto::manifestoWithLabel(manifesto->label(), saved.get()));
    ASSERT_TRUE(again);
    EXPECT_EQ(again->label(), "ctm");
    EXPECT_EQ(again->alias(), "the stage");
    EXPECT_NE(again->guid(), stage->guid());
    EXPECT_EQ(MRKFFrameFetchUint(again->properties(), "size", 0), 3u);
  }
  EXPECT_TRUE(found);
  EXPECT_FALSE(CTMCStage::stageWithGuid({}, "", {}, MRKCFrame::frame())) << "a stage needs a label";
  MRKTStatistics statistics{4, 5, 6};
  EXPECT_TRUE(substrate->queryStatistics(stage->guid(), &statistics));
  EXPECT_EQ(statistics.received + statistics.published + statistics.dropped, 0u);
  substrate->detach(stage.get(), false);
}

}  // namespace
