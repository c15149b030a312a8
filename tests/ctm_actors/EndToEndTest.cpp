// Whole CTMs through the real substrate: a stage ticking every 50 ms, the demonstration actors
// and an actor driven by query commands from a test processor.
#include <gtest/gtest.h>

#include <algorithm>

#include "framework/substrate/MRKCPrimitive.h"
#include "framework/substrate/MRKFTerms.h"
#include "framework/substrate/MRKFUnify.h"
#include "modules/ctm/actors/CTMCBFSActor.h"
#include "modules/ctm/actors/CTMCFUNActor.h"
#include "modules/ctm/actors/CTMCTNTActor.h"
#include "modules/ctm/stage/CTMCStage.h"
#include "modules/demo/DEMCAnswerer.h"
#include "modules/demo/DEMCAsker.h"
#include "modules/demo/DEMCTweeter.h"
#include "tests/ctm_actors/ActorTestSupport.h"

namespace {

class EndToEnd : public testing::Test {
protected:
  void SetUp() override {
    substrate_->setConfigs({6.0f, 100});
    EXPECT_TRUE(substrate_->attach(driver_.get(), false));
    EXPECT_TRUE(substrate_->attach(watcher_.get(), false));
  }
  void TearDown() override {
    for (const auto& processor : attached_) substrate_->detach(processor.get(), false);
    substrate_->detach(watcher_.get(), false);
    substrate_->detach(driver_.get(), false);
  }

  // A fresh CTM for the next case of a table.
  void restart() {
    TearDown();
    attached_.clear();
    driver_ = adoptRef(new Tap("driver", {}));
    watcher_ = adoptRef(new Tap("watcher", {"ctm.tick"}));
    SetUp();
  }

  void stage(const std::string& properties = "{\"tick\": 50, \"size\": 7}") {
    Ref<CTMCStage> made = CTMCStage::stageWithGuid({}, "ctm", {}, frame(properties));
    ASSERT_TRUE(made);
    keep(made);
  }
  template <typename T>
  Ref<T> actor(const std::string& label, const std::string& properties) {
    Ref<T> made = refCast<T>(CTMFActorMake<T>({}, label, {}, frame(properties)));
    if (made) keep(made);
    return made;
  }
  void keep(Ref<MRKBProcessor> processor) {
    ASSERT_TRUE(substrate_->attach(processor.get(), false));
    attached_.push_back(processor);
  }

  // The answer statements the driver got, as [command, options, terms, data] lists.
  std::vector<Ref<MRKCStatement>> answers(size_t count) {
    EXPECT_TRUE(driver_->waitForReplies(count)) << "no " << count << " answers";
    return driver_->replies();
  }

  Ref<MRKCSubstrate> substrate_ = MRKCSubstrate::substrate();
  Ref<Tap> driver_ = adoptRef(new Tap("driver", {}));
  Ref<Tap> watcher_ = adoptRef(new Tap("watcher", {"ctm.tick"}));
  std::vector<Ref<MRKBProcessor>> attached_;
};

const char* const kOracle = "{\"knows\": [[colour(sky), colour(sky, blue)]]}";

TEST_F(EndToEnd, AQueryIsAnsweredByTheWinningReply) {
  stage();
  actor<DEMCAnswerer>("oracle", kOracle);
  actor<CTMCTNTActor>("asker", "{}");
  driver_->ask("?asker(query, {}, [colour(sky), 1.0, 0.0])");  // three terms: answered at once
  driver_->ask("?asker(query, {}, [colour(sky), 1.0, 0.0], R)");
  auto replies = answers(2);
  ASSERT_GE(replies.size(), 2u);
  EXPECT_EQ(replies[0]->text(), "<asker [query, {}, [colour(sky), 1.0, 0.0]] 1.0>");
  MRKCList* reply = asList(replies[1]->terms()->fetchAtIndex(3));
  ASSERT_TRUE(reply) << replies[1]->text();
  EXPECT_EQ(replies[1]->value(), 1.0);
  EXPECT_EQ(reply->fetchAtIndex(0)->text(), "oracle");
  EXPECT_EQ(reply->fetchAtIndex(4)->text(), "colour(sky, blue)");
}

// Every query taken gets an answer: "null" when no reply wins in time, when the query itself
// never wins a tick, or when the actor forgets it before any reply came.
TEST_F(EndToEnd, AnUnansweredQueryIsAnsweredWithNull) {
  struct Case {
    const char* why;
    const char* stage;
    const char* asker;
    const char* options;
  } cases[] = {
      {"timed out", "{\"tick\": 50}", "{}", "{\"timeout\": 0.3}"},
      {"never won", "{\"tick\": 50, \"size\": 1}", "{\"ctime\": 60.0}", "{\"timeout\": 0.3}"},
      {"forgotten", "{\"tick\": 50}", "{\"ctime\": 0.3}", "{}"},
  };
  for (const auto& c : cases) {
    restart();
    stage(c.stage);
    actor<DEMCTweeter>("loud", "{\"every\": 1, \"weight\": 100.0, \"topics\": [shout]}");
    actor<CTMCTNTActor>("asker", c.asker);
    // The loud tweets compete from the second tick on; ask once they do.
    ASSERT_TRUE(watcher_->waitFor([](const std::vector<Tap::Entry>& entries) {
      for (const auto& entry : entries)
        if (MRKCList* winners = asList(entry.statement->terms()->fetchAtIndex(1)); winners && winners->count() > 0)
          return true;
      return false;
    }));
    driver_->ask(std::string("?asker(query, ") + c.options + ", [unknown(thing), 0.001, 0.0], R)");
    auto replies = answers(1);
    ASSERT_EQ(replies.size(), 1u) << c.why;
    EXPECT_EQ(MRKFTermText(replies[0]->terms()->fetchAtIndex(3)), "null") << c.why;
    EXPECT_EQ(replies[0]->value(), 1.0) << c.why;
  }
}

TEST_F(EndToEnd, CollectingQueriesAnswerWithEveryReplyAndDiverseOnesSkipRepeats) {
  struct Case {
    const char* options;
    size_t replies;  // in the final answer, after the "null" in front
  } cases[] = {
      {"{\"collect\": true, \"timeout\": 1.0}", 3},
      {"{\"collect\": true, \"diverse\": true, \"timeout\": 1.0}", 2},
  };
  for (const auto& c : cases) {
    restart();
    stage();
    actor<DEMCAnswerer>("oracle", kOracle);
    actor<DEMCAnswerer>("echo", kOracle);
    actor<DEMCAnswerer>("sage", "{\"knows\": [[colour(sky), colour(sky, azure)]]}");
    actor<CTMCTNTActor>("asker", "{}");
    driver_->ask(std::string("?asker(query, ") + c.options + ", [colour(sky), 1.0, 0.0], R)");
    ASSERT_TRUE(driver_->waitFor([](const std::vector<Tap::Entry>& entries) {
      for (const auto& entry : entries) {
        MRKCList* data = entry.statement ? asList(entry.statement->terms()->fetchAtIndex(3)) : nullptr;
        if (data && data->head() && data->head()->compareToChars("null") == 0) return true;
      }
      return false;
    })) << c.options;
    auto replies = driver_->replies();
    MRKCList* last = asList(replies.back()->terms()->fetchAtIndex(3));
    EXPECT_EQ(last->count(), c.replies + 1) << c.options << " " << last->text();
    // Before the timeout, each winning reply answered with all replies so far, newest first.
    MRKCList* first = asList(replies.front()->terms()->fetchAtIndex(3));
    EXPECT_EQ(first->count(), 1u);
    EXPECT_EQ(replies.size(), c.replies + 1) << c.options;
  }
}

TEST_F(EndToEnd, AnAwaitAnswersUpToItsLimitAndIsThenRemoved) {
  stage();
  actor<DEMCTweeter>("chatter", "{\"every\": 1, \"topics\": [weather(sunny)]}");
  Ref<CTMCTNTActor> listener = actor<CTMCTNTActor>("listener", "{}");
  driver_->ask("?listener(await, {\"limit\": 2, \"collect\": true}, [chatter, _, _, tweet, weather(_), _, _, _], R)");
  auto replies = answers(2);
  ASSERT_EQ(replies.size(), 2u);
  EXPECT_EQ(asList(replies[0]->terms()->fetchAtIndex(3))->count(), 1u);
  MRKCList* both = asList(replies[1]->terms()->fetchAtIndex(3));
  ASSERT_EQ(both->count(), 2u);
  EXPECT_GT(asNumber(asList(both->fetchAtIndex(0))->fetchAtIndex(1))->uint(),
            asNumber(asList(both->fetchAtIndex(1))->fetchAtIndex(1))->uint());
  size_t waits = 1;
  onStrand(listener.get(), [&] { waits = listener->actor()->awaits->count(); });
  EXPECT_EQ(waits, 0u);
}

TEST_F(EndToEnd, RecallFindsTheStagesSeenWithinItsWindow) {
  stage();
  actor<DEMCTweeter>("chatter", "{\"every\": 1, \"topics\": [weather(sunny)]}");
  actor<CTMCTNTActor>("remembering", "{\"rtime\": 30.0}");
  actor<CTMCTNTActor>("forgetful", "{}");
  ASSERT_TRUE(watcher_->waitFor([](const std::vector<Tap::Entry>& entries) { return entries.size() >= 4; }));
  driver_->ask("?remembering(recall, {}, [chatter, _, _, tweet, _, _, _, _], R)");
  driver_->ask("?forgetful(recall, {}, [chatter, _, _, tweet, _, _, _, _], R)");
  auto replies = answers(2);
  ASSERT_EQ(replies.size(), 2u);
  for (const auto& reply : replies) {
    const bool remembering = reply->label() == "remembering";
    MRKCList* found = asList(reply->terms()->fetchAtIndex(3));
    ASSERT_TRUE(found);
    EXPECT_EQ(found->count() > 0, remembering) << reply->text();
    EXPECT_EQ(reply->value(), 1.0);
  }
}

TEST_F(EndToEnd, KudosStrengthenALinkUntilQueriesGoByFlash) {
  stage();
  actor<DEMCAnswerer>("oracle", kOracle);
  actor<DEMCAsker>("curious",
                   "{\"every\": 1, \"links\": true, \"tlink\": 2.0, \"ukudo\": false, \"questions\": [colour(sky)]}");
  // A query of the asker among the winners first, later one in the stage's link list.
  auto queryFrom = [](MRKCList* chunks) {
    for (const auto& member : chunks ? chunks->terms() : std::vector<Ref<MRKBTerm>>{}) {
      MRKCList* chunk = asList(member.get());
      if (chunk && chunk->fetchAtIndex(0)->compareToChars("curious") == 0 &&
          chunk->fetchAtIndex(3)->compareToChars("query") == 0)
        return true;
    }
    return false;
  };
  ASSERT_TRUE(watcher_->waitFor([&](const std::vector<Tap::Entry>& entries) {
    bool competed = false;
    for (const auto& entry : entries) {
      MRKCList* terms = entry.statement->terms();
      competed = competed || queryFrom(asList(terms->fetchAtIndex(1)));
      if (competed && queryFrom(asList(MRKFFrameFetchTerm(asFrame(terms->fetchAtIndex(2)), "links")))) return true;
    }
    return false;
  }));
}

// Calls of the function runner's "tick" function, as text.
std::mutex calledMutex;
std::vector<std::string> called;

int recordTick(MRKCSubstrate*, MRKBProcessor*, MRKCStatement* statement, MRKCList*, MRKCVariables*) {
  std::lock_guard lock(calledMutex);
  called.push_back(statement->terms()->text());
  return 0;
}

TEST_F(EndToEnd, SolverAndRunnerActorsTakeCommandsAndHearTicks) {
  substrate_->primitives()->store(MRKCPrimitive::primitiveWithFunction(recordTick), "tick");
  stage();
  actor<DEMCTweeter>("chatter", "{\"every\": 1, \"topics\": [weather(sunny)]}");
  actor<CTMCFUNActor>("runner", "{}");
  actor<CTMCBFSActor>("solver", "{}");
  driver_->ask("?runner(tweet, {}, [hello, 1.0, 0.0])");
  driver_->ask("?solver(tweet, {}, [hello, 1.0, 0.0])");
  driver_->ask("?solver(colour(sky))");  // not a command: the solver says no
  auto replies = answers(3);
  std::vector<std::string> texts;
  for (const auto& reply : replies) texts.push_back(reply->text());
  std::sort(texts.begin(), texts.end());
  EXPECT_EQ(texts,
            (std::vector<std::string>{"<runner [tweet, {}, [hello, 1.0, 0.0]] 1.0>", "<solver [colour(sky)] 0.0>",
                                      "<solver [tweet, {}, [hello, 1.0, 0.0]] 1.0>"}));
  ASSERT_TRUE(watcher_->waitFor([](const std::vector<Tap::Entry>& entries) { return entries.size() >= 3; }));
  std::lock_guard lock(calledMutex);
  ASSERT_FALSE(called.empty());
  Ref<MRKBTerm> pattern = term("[N, quote(W), quote(F)]");
  EXPECT_TRUE(MRKFUnifyTermsIsolated(nullptr, nullptr, term(called.back()).get(), pattern.get())) << called.back();
}

}  // namespace
