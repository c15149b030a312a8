// Routing by label and guid, the processor threads, time to live, scraps, tables and counters.
#include <gtest/gtest.h>

#include <algorithm>
#include <thread>

#include "framework/substrate/MRKCReader.h"
#include "framework/substrate/MRKFTerms.h"
#include "tests/substrate/Recorder.h"

namespace {

Ref<MRKBTerm> term(std::string_view text) { return MRKCReader::reader()->readTermFromString(text); }

Ref<MRKCSquib> squib(const std::string& label, std::string_view terms, float ttl = 5.0f) {
  Ref<MRKCStatement> statement = MRKCStatement::statementWithLabel(label, term(terms)->asList(), 1.0);
  return MRKCSquib::squibWithLabel(label, statement.get(), ttl);
}

Ref<MRKCQuery> query(std::string_view predicate, float ttl = 5.0f) {
  return MRKCQuery::queryWithPredicate(term(predicate)->asPredicate(), nullptr, ttl);
}

class SubstrateTest : public ::testing::Test {
protected:
  Ref<Recorder> attach(const std::string& label, Ref<MRKCFrame> properties = nullptr) {
    Ref<Recorder> recorder = adoptRef(new Recorder(label, std::move(properties)));
    EXPECT_TRUE(substrate->attach(recorder.get(), false));
    return recorder;
  }

  Ref<MRKCSubstrate> substrate = MRKCSubstrate::substrate();
};

TEST_F(SubstrateTest, SquibsReachFollowersUntilWithheld) {
  Ref<Recorder> a = attach("a"), b = attach("b");
  EXPECT_TRUE(substrate->disclose("news", b->guid()));
  EXPECT_TRUE(substrate->disclose("marker", b->guid()));
  EXPECT_FALSE(substrate->disclose("news", "no-such-guid"));
  EXPECT_TRUE(substrate->publish(squib("news", "[1]").get(), a->guid()));
  ASSERT_TRUE(b->waitForEvent("squib news [1]"));
  EXPECT_TRUE(substrate->withhold("news", b->guid()));
  EXPECT_FALSE(substrate->withhold("news", b->guid()));
  EXPECT_TRUE(substrate->publish(squib("news", "[2]").get(), a->guid()));
  EXPECT_TRUE(substrate->publish(squib("marker", "[]").get(), a->guid()));
  ASSERT_TRUE(b->waitForEvent("squib marker []"));
  EXPECT_EQ(b->countOf("squib news"), 1u);
  EXPECT_EQ(a->countOf("squib"), 0u);
}

TEST_F(SubstrateTest, QueriesReachLabelAndFollowersAndRepliesTheAsker) {
  Ref<Recorder> asker = attach("asker");
  Ref<MRKCFrame> properties = MRKCFrame::frame();
  properties->store(MRKCNumber::numberWithUint(16).get(), "size");
  Ref<Recorder> oracle = attach("oracle", properties), follower = attach("watcher");
  follower->answerQueries = false;
  EXPECT_TRUE(substrate->disclose("oracle", follower->guid()));

  EXPECT_TRUE(substrate->inquire(query("?oracle(peek(size, X))").get(), asker->guid()));
  ASSERT_TRUE(asker->waitForEvent("reply <oracle [peek(size, 16)] 1.0>"));
  EXPECT_TRUE(follower->waitForEvent("query ?oracle(peek(size, X))"));
  EXPECT_EQ(asker->countOf("reply"), 1u) << "the follower did not answer";

  substrate->inquire(query("?oracle(peek(size, 17))").get(), asker->guid());
  ASSERT_TRUE(asker->waitForEvent("reply <oracle [peek(size, 16)] 0.0>"));
  substrate->inquire(query("?oracle(poke(size, 32))").get(), asker->guid());
  ASSERT_TRUE(asker->waitForEvent("reply <oracle [poke(size, 32)] 1.0>"));
  EXPECT_EQ(MRKFFrameFetchUint(oracle->properties(), "size", 0), 32u);
  substrate->inquire(query("?oracle(peek(absent, X))").get(), asker->guid());
  ASSERT_TRUE(asker->waitForEvent("reply <oracle [peek(absent, nil)] 1.0>"));
}

TEST_F(SubstrateTest, TargetedQueriesReachOnlyTheTarget) {
  Ref<Recorder> one = attach("same"), two = attach("same");
  one->answerQueries = two->answerQueries = false;
  substrate->inquire(query("?same(ping)").get(), {}, two->guid());
  substrate->inquire(query("?same(both)").get(), {});
  ASSERT_TRUE(one->waitForEvent("query ?same(both)"));
  ASSERT_TRUE(two->waitForEvent("query ?same(both)"));
  EXPECT_EQ(one->countOf("query ?same(ping)"), 0u);
  EXPECT_EQ(two->countOf("query ?same(ping)"), 1u);
}

TEST_F(SubstrateTest, FlashesReachTargetsOrFollowers) {
  Ref<Recorder> stage = attach("ctm"), other = attach("p"), follower = attach("f");
  EXPECT_TRUE(substrate->disclose("link", follower->guid()));
  Ref<MRKCFlash> flash = MRKCFlash::flashWithFunctor(term("link([x])")->asFunc());
  substrate->flash(flash.get(), {"ctm"}, other->guid());
  ASSERT_TRUE(stage->waitForEvent("flash link([x])"));
  EXPECT_TRUE(substrate->publish(flash.get(), other->guid()));
  ASSERT_TRUE(follower->waitForEvent("flash link([x])"));
  EXPECT_EQ(other->countOf("flash"), 0u);
}

class Picky : public Recorder {
public:
  Picky() : Recorder("qav.extr") {}
  bool onPropertyPoked(const std::string& name, MRKBTerm* value) override {
    record("poked " + name);
    return name != "locked";
  }
};

TEST_F(SubstrateTest, PokesStoreOnlyAcceptedValues) {
  Ref<Picky> picky = adoptRef(new Picky());
  EXPECT_TRUE(substrate->attach(picky.get(), false));
  substrate->poke("locked", {"qav.extr"}, term("1").get());
  substrate->poke("roi.center", {"qav.extr"}, term("[+3, -4]").get());
  ASSERT_TRUE(picky->waitForEvent("poked roi.center"));
  MRKTStatistics statistics;
  substrate->queryStatistics(picky->guid(), &statistics);  // runs after the store, on its thread
  EXPECT_EQ(MRKFTermText(picky->properties()->fetchForLabel("roi.center")), "[+3, -4]");
  EXPECT_FALSE(picky->properties()->fetchForLabel("locked"));
  EXPECT_FALSE(substrate->poke("x", {"qav.extr"}, nullptr));
}

TEST_F(SubstrateTest, MessagesWhoseTimeRanOutAreDropped) {
  Ref<Recorder> sender = attach("sender"), slow = attach("slow");
  EXPECT_TRUE(substrate->disclose("work", slow->guid()));
  EXPECT_FALSE(substrate->publish(squib("work", "[stale]", -1.0f).get(), sender->guid()));

  std::mutex gate;
  std::condition_variable opened;
  bool open = false;
  slow->onEvent = [&](Recorder&, const std::string& event) {
    if (event != "squib work [block]") return;
    std::unique_lock lock(gate);
    opened.wait(lock, [&] { return open; });
  };
  EXPECT_TRUE(substrate->publish(squib("work", "[block]").get(), sender->guid()));
  EXPECT_TRUE(substrate->publish(squib("work", "[short]", 0.02f).get(), sender->guid()));
  std::this_thread::sleep_for(std::chrono::milliseconds(60));  // lets the short time to live run out
  {
    std::lock_guard lock(gate);
    open = true;
  }
  opened.notify_all();
  EXPECT_TRUE(substrate->publish(squib("work", "[after]").get(), sender->guid()));
  ASSERT_TRUE(slow->waitForEvent("squib work [after]"));
  EXPECT_EQ(slow->countOf("squib work [short]"), 0u);
  MRKTStatistics statistics;
  ASSERT_TRUE(substrate->queryStatistics(slow->guid(), &statistics));
  EXPECT_EQ(statistics.dropped, 1u);
  EXPECT_EQ(statistics.received, 2u);  // block and after
}

TEST_F(SubstrateTest, HooksRunOneAtATimeAndNeverOnTheCallersThread) {
  Ref<Recorder> target = attach("target");
  EXPECT_TRUE(substrate->disclose("load", target->guid()));
  std::vector<std::thread> publishers;
  for (int t = 0; t < 4; ++t)
    publishers.emplace_back([&] {
      for (int i = 0; i < 250; ++i) EXPECT_TRUE(substrate->publish(squib("load", "[x]").get(), {}));
    });
  for (auto& publisher : publishers) publisher.join();
  ASSERT_TRUE(target->waitForCount("squib load", 1000));
  EXPECT_FALSE(target->overlapped);
  EXPECT_FALSE(target->onCreatorThread) << "attached synchronously, yet not on the caller's thread";
}

TEST_F(SubstrateTest, AProcessorMayDetachItselfAndAskItselfFromItsHook) {
  Ref<Recorder> self = attach("self");
  EXPECT_TRUE(substrate->disclose("go", self->guid()));
  self->onEvent = [&](Recorder& me, const std::string& event) {
    if (event == "squib go []") {
      Ref<MRKCKnowledge> knowledge = substrate->saveKnowledge();  // waits on every processor, itself included
      substrate->detach(&me, false);
    }
  };
  EXPECT_TRUE(substrate->publish(squib("go", "[]").get(), {}));
  ASSERT_TRUE(self->waitForEvent("detached"));
  EXPECT_FALSE(self->isAttached());
}

TEST_F(SubstrateTest, NoHookRunsBeforeOnAttached) {
  std::atomic<bool> stop{false};
  std::thread asker([&] {
    while (!stop) substrate->inquire(query("?late(ping)", 0.5f).get(), {});
  });
  int early = 0;
  for (int round = 0; round < 1000; ++round) {
    Ref<Recorder> late = adoptRef(new Recorder("late"));
    late->answerQueries = false;
    EXPECT_TRUE(substrate->attach(late.get(), round % 2 == 0));
    ASSERT_TRUE(late->waitForEvent("attached"));
    if (late->events().front() != "attached") ++early;
    substrate->detach(late.get(), false);
  }
  stop = true;
  asker.join();
  EXPECT_EQ(early, 0) << "times a query came before onAttached";
}

TEST_F(SubstrateTest, AttachAndDetachFromManyThreadsAlternateAndFrameEveryHook) {
  Ref<Recorder> flip = adoptRef(new Recorder("flip"));
  flip->answerQueries = false;
  std::atomic<bool> stop{false};
  std::thread asker([&] {
    while (!stop) substrate->inquire(query("?flip(ping)", 0.5f).get(), {});
  });
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t)
    threads.emplace_back([&, t] {
      for (int i = 0; i < 500; ++i) {
        (void)substrate->attach(flip.get(), (i + t) % 2 == 0);  // another thread may hold it attached
        substrate->detach(flip.get(), (i + t) % 3 == 0);
      }
    });
  for (auto& thread : threads) thread.join();
  stop = true;
  asker.join();
  ASSERT_TRUE(substrate->attach(flip.get(), false));
  ASSERT_TRUE(substrate->detach(flip.get(), false));  // every hook queued before has run
  size_t outOfTurn = 0, outside = 0, turns = 0;
  bool attached = false;
  for (const std::string& event : flip->events()) {
    if (event == "attached" || event == "detached") {
      outOfTurn += attached == (event == "attached");
      attached = event == "attached";
      ++turns;
    } else {
      outside += !attached;
    }
  }
  EXPECT_EQ(outOfTurn, 0u) << "of " << turns << " attach and detach hooks";
  EXPECT_EQ(outside, 0u) << "queries outside onAttached and onDetached";
}

TEST_F(SubstrateTest, AsyncAttachAndDetachKeepTheirOrder) {
  Ref<Recorder> observer = adoptRef(new Recorder("observer"));
  for (int round = 0; round < 3; ++round) {
    EXPECT_TRUE(substrate->attach(observer.get(), true));
    EXPECT_FALSE(substrate->attach(observer.get(), true)) << "already attached";
    EXPECT_TRUE(substrate->detach(observer.get(), true));
  }
  EXPECT_FALSE(substrate->detach(observer.get(), true));
  ASSERT_TRUE(observer->waitForCount("detached", 3));
  std::vector<std::string> expected = {"attached", "detached", "attached", "detached", "attached", "detached"};
  EXPECT_EQ(observer->events(), expected);
}

TEST_F(SubstrateTest, DetachedProcessorsReceiveNothingMore) {
  Ref<Recorder> sender = attach("sender"), gone = attach("gone");
  EXPECT_TRUE(substrate->disclose("news", gone->guid()));
  substrate->detach(gone.get(), false);
  EXPECT_TRUE(substrate->publish(squib("news", "[1]").get(), sender->guid()));
  EXPECT_FALSE(substrate->disclose("news", gone->guid()));
  std::vector<std::string> expected = {"attached", "detached"};
  EXPECT_EQ(gone->events(), expected);
}

TEST_F(SubstrateTest, QueriesOfALeavingAskerOrOutOfTimeAreScrapped) {
  Ref<Recorder> asker = attach("asker"), oracle = attach("oracle");
  oracle->answerQueries = false;
  substrate->inquire(query("?oracle(a)").get(), asker->guid());
  substrate->inquire(query("?oracle(b)").get(), asker->guid());
  ASSERT_TRUE(oracle->waitForCount("query", 2));
  substrate->detach(asker.get(), false);
  ASSERT_TRUE(oracle->waitForEvent("scrap 2"));

  MRKTConfigs configs = substrate->configs();
  configs.pulse = 10;
  substrate->setConfigs(configs);
  Ref<Recorder> other = attach("other");
  substrate->inquire(query("?oracle(c)", 0.05f).get(), other->guid());
  ASSERT_TRUE(oracle->waitForEvent("scrap 1"));
  ASSERT_TRUE(oracle->waitForEvent("pulse"));
  Ref<MRKCReply> late = MRKCReply::replyWithLabel(
      "oracle", MRKFMakeStatementWithTerm("oracle", term("c").get(), 1.0).get(), oracle->lastQuery->context(), 5.0f);
  EXPECT_FALSE(substrate->answers(late.get(), oracle->guid())) << "nobody waits for it any more";
}

TEST_F(SubstrateTest, TablesAndGlobals) {
  Ref<MRKCSymbol> first = substrate->symbols()->store("tick");
  EXPECT_EQ(substrate->symbols()->store(MRKCSymbol::symbolWithValue("tick").get()), first);
  EXPECT_TRUE(substrate->globals()->fetch<MRKCOffloader>("offloader"));
  EXPECT_TRUE(substrate->globals()->fetch<MRKCOffloader>("qav.scheduler"));
  for (const char* key : {"zarn.version", "zarn.os", "zarn.arch"})
    EXPECT_TRUE(substrate->globals()->fetch<MRKCString>(key)) << key;
  EXPECT_TRUE(substrate->globals()->objectForKey("absent", MRKCSymbol::symbolWithValue("d")));
  {
    std::lock_guard lock(substrate->constants()->monitor());
    EXPECT_EQ(substrate->constants()->store(MRKCNumber::numberWithBool(true), "vesko.ux"), 0);
  }
  EXPECT_EQ(MRKFTermText(substrate->constants()->fetch<MRKBTerm>("vesko.ux").get()), "true");
  EXPECT_GT(MRKKGlobals[1], 0.0);
  EXPECT_GT(substrate->configs().ttl, 0.0f);
  EXPECT_EQ(MRKCSubstrate::shared(), MRKCSubstrate::shared());
}

class Saver : public Recorder {
public:
  Saver() : Recorder("saver") {}
  bool onSavingKnowledge(MRKCKnowledge* container) override {
    return container->store(MRKCManifesto::manifestoWithLabel(label(), properties()).get()) == 0;
  }
  void onQueryingStatistics(MRKTStatistics* statistics) override { statistics->published = 0; }
};

TEST_F(SubstrateTest, KnowledgeAndStatisticsGoThroughTheHooks) {
  Ref<Saver> saver = adoptRef(new Saver());
  EXPECT_TRUE(substrate->attach(saver.get(), false));
  Ref<MRKCKnowledge> knowledge = substrate->saveKnowledge();
  ASSERT_EQ(knowledge->manifestos().size(), 1u);
  EXPECT_EQ(knowledge->manifestos()[0]->label(), "saver");
  EXPECT_TRUE(substrate->publish(squib("x", "[]").get(), saver->guid()));
  MRKTStatistics statistics;
  ASSERT_TRUE(substrate->queryStatistics(saver->guid(), &statistics));
  EXPECT_EQ(statistics.published, 0u) << "the hook has the last word";
  EXPECT_FALSE(substrate->queryStatistics("nobody", &statistics));
}

}  // namespace
