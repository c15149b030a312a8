// The actor runtime over one attached actor, driven from its own strand: weights, configuration,
// links, tick handling, ageing, commands, awaits, recall and scraps.
#include <gtest/gtest.h>

#include <cmath>

#include "framework/core/LLKFTime.h"
#include "framework/substrate/MRKCVariable.h"
#include "framework/substrate/MRKFTerms.h"
#include "framework/substrate/MRKFUnify.h"
#include "modules/ctm/actors/CTMCTNTActor.h"
#include "tests/ctm_actors/ActorTestSupport.h"
#include "tests/support/OutputCapture.h"

namespace {

// What the runtime handed to the callbacks.
struct Heard {
  std::vector<std::string> events, replies, kudos;
};

void heardEvent(MRKBProcessor*, void*, MRKCList* event, void* context) {
  static_cast<Heard*>(context)->events.push_back(event->text());
}
void heardReply(MRKBProcessor*, MRKCSymbol* query, MRKBTerm* replies, void* context) {
  static_cast<Heard*>(context)->replies.push_back(query->value() + " " + replies->text());
}
void heardKudos(MRKBProcessor*, MRKCSymbol* reply, MRKCList* kudos, void* context) {
  static_cast<Heard*>(context)->kudos.push_back(reply->value() + " " + kudos->text());
}

class Runtime : public testing::Test {
protected:
  void SetUp() override { attach("{}"); }
  void TearDown() override {
    if (actor_) substrate_->detach(actor_.get(), false);
    substrate_->detach(tap_.get(), false);
  }

  // A fresh actor "asker" with these properties, its events going to heard_.
  void attach(const std::string& properties) {
    if (actor_) substrate_->detach(actor_.get(), false);
    actor_ = refCast<CTMCTNTActor>(CTMFActorMake<CTMCTNTActor>({}, "asker", {}, frame(properties)));
    ASSERT_TRUE(actor_);
    // Not attached yet: no hook runs, so the record may be set from here.
    CTMTActor* a = actor_->actor();
    a->onEvent = heardEvent;
    a->onReply = heardReply;
    a->onKudos = heardKudos;
    a->context = &heard_;
    ASSERT_TRUE(substrate_->attach(actor_.get(), false));
  }

  // Runs the code on the actor's strand with its record.
  void run(const std::function<void(CTMTActor*)>& code) {
    onStrand(actor_.get(), [&] { code(actor_->actor()); });
  }

  // Keeps a record in sent as if the chunk had been posted.
  static Ref<CTMCActorRecord> remember(CTMTActor* a, const std::string& chunk, uint32_t type) {
    Ref<CTMCActorRecord> record = adoptRef(new CTMCActorRecord(list(chunk).get(), type));
    a->sent->store(record, asSymbol(record->iChunk->fetchAtIndex(2))->value());
    return record;
  }

  static bool stage(CTMTActor* a, uint64_t tick, const std::string& winners, const std::string& frameText,
                    bool flashed = false) {
    Ref<MRKCNumber> number = MRKCNumber::numberWithUint(tick);
    Ref<MRKCFrame> tickFrame = frameText.empty() ? nullptr : frame(frameText);
    return CTMFActorStageHandle(a, number.get(), list(winners).get(), tickFrame.get(), flashed);
  }

  Ref<MRKCSubstrate> substrate_ = [] {
    Ref<MRKCSubstrate> made = MRKCSubstrate::substrate();
    made->setConfigs({6.0f, 3600000});  // no pulses during a test
    return made;
  }();
  Ref<Tap> tap_ = [this] {
    Ref<Tap> made = adoptRef(new Tap("tap", {"ctm.pass", "asker"}));
    EXPECT_TRUE(substrate_->attach(made.get(), false));
    return made;
  }();
  Ref<CTMCTNTActor> actor_;
  Heard heard_;
};

TEST_F(Runtime, WeightModifiers) {
  struct Case {
    double weight, mood, kudos, wtmod, drop;
    uint32_t dreco;
    uint64_t since;
    double expected;
  } cases[] = {
      {2, 0, 0, 0, 0, 0, 0, 2},
      {2, 0.5, 1, 0.5, 0, 4, 3, 2 * 1.5 * 2.5},    // no drop: w (1 + M)(1 + K + S)
      {2, 0.5, 1, 0.5, 0.5, 0, 3, 2 * 1.5 * 2.5},  // drop without recovery is off
      {2, 0, 0, 0, 0.5, 4, 1, 0.75},
      {-2, 0, 0, 0, 0.5, 4, 1, -2.75},
  };
  run([&](CTMTActor* a) {
    for (const auto& c : cases) {
      a->mood = c.mood, a->dynamicMod = c.kudos, a->staticMod = c.wtmod, a->drop = c.drop, a->dreco = c.dreco,
      a->sinceDrop = c.since;
      EXPECT_DOUBLE_EQ(CTMFActorApplyWeightModifiers(a, c.weight)->real(), c.expected)
          << c.weight << " drop " << c.drop;
    }
  });
}

TEST_F(Runtime, Configuration) {
  struct Case {
    std::string properties;
    bool linksOn;
    std::string tickLabel, passLabel;
    double ctime, tlink, wtmod, rtime = 0.0;
  } cases[] = {
      {"{}", false, "ctm.tick", "ctm.pass", 6.0, 5.0, 0.0},
      {"{\"links\": false}", false, "ctm.tick", "ctm.pass", 6.0, 5.0, 0.0},
      {"{\"links\": true, \"stage\": studio}", true, "studio.tick", "studio.pass", 6.0, 5.0, 0.0},
      {"{\"links\": [], \"ctime\": 2.5, \"tlink\": 1, \"wtmod\": 0.25, \"rtime\": 3.0}", true, "ctm.tick", "ctm.pass",
       2.5, 1.0, 0.25, 3.0},
      // Settings that would keep the tables they pace from ever emptying fall back to the defaults.
      {"{\"ctime\": #nan, \"tlink\": #inf, \"wtmod\": -#inf, \"rtime\": #nan}", false, "ctm.tick", "ctm.pass", 6.0, 5.0,
       0.0},
      {"{\"ctime\": -1.0, \"rtime\": -2.0}", false, "ctm.tick", "ctm.pass", 6.0, 5.0, 0.0},
  };
  for (const auto& c : cases) {
    attach(c.properties);
    run([&](CTMTActor* a) {
      EXPECT_EQ(a->linksOn, c.linksOn) << c.properties;
      EXPECT_EQ(a->tickLabel, c.tickLabel);
      EXPECT_EQ(a->passLabel, c.passLabel);
      EXPECT_EQ(a->ctime, c.ctime);
      EXPECT_EQ(a->tlink, c.tlink);
      EXPECT_EQ(a->staticMod, c.wtmod);
      EXPECT_EQ(a->rtime, c.rtime);
      EXPECT_EQ(a->links->count(), 0u);
    });
  }
  EXPECT_EQ(heard_.events.front(), "[init]");
}

TEST_F(Runtime, GeneralisedGistsMatchAnyLeafOfTheSameKind) {
  Ref<MRKBTerm> pattern = CTMFActorGeneralizeTerm(term("query(color(red), 3, \"s\", [a], {\"k\": 1}, a^b)").get());
  ASSERT_TRUE(pattern);
  EXPECT_EQ(pattern->text(),
            "query(color(_:[is.symbol]), _:[is.number], _:[is.string], _:[is.list], _:[is.frame], _:[is.quirk])");
  EXPECT_TRUE(MRKFUnifyTermsIsolated(nullptr, nullptr, term("query(color(blue), 7.5, \"t\", [], {}, c^[d])").get(),
                                     pattern.get()));
  EXPECT_FALSE(
      MRKFUnifyTermsIsolated(nullptr, nullptr, term("query(color(3), 7.5, \"t\", [], {}, a^b)").get(), pattern.get()));
  EXPECT_FALSE(
      MRKFUnifyTermsIsolated(nullptr, nullptr, term("query(hue(red), 7.5, \"t\", [], {}, a^b)").get(), pattern.get()));
  EXPECT_FALSE(MRKFUnifyTermsIsolated(nullptr, nullptr, term("query(color(red), 3, \"s\", [a], {}, [a, b])").get(),
                                      pattern.get()));
  EXPECT_EQ(CTMFActorGeneralizeTerm(term("X").get())->text(), "_");
}

TEST_F(Runtime, LinksAreUsedOnceStrongEnoughAndBelongToTheirProcessor) {
  attach("{\"links\": true}");
  run([&](CTMTActor* a) {
    Ref<MRKCFunc> pattern(asFunc(CTMFActorGeneralizeTerm(term("colour(sky)").get()).get()));
    Ref<MRKCFunc> gist(asFunc(term("colour(grass)").get()));
    Ref<MRKCSymbol> oracle = MRKCSymbol::symbolWithValue("oracle"), sage = MRKCSymbol::symbolWithValue("sage");
    auto usable = [&] {
      Ref<LLKCObjectList> found = LLKCObjectList::list();
      CTMFActorLinksSearch(a, gist.get(), found.get());
      std::string names;
      for (const auto& link : *found) names += static_cast<CTMCActorLink*>(link.get())->iProc->value() + " ";
      return names;
    };
    CTMFActorLinksUpdate(a, pattern.get(), oracle.get(), 4.0);
    EXPECT_EQ(usable(), "");
    // Kudos earned by another replier do not strengthen the oracle's link.
    CTMFActorLinksUpdate(a, pattern.get(), sage.get(), 1.0);
    EXPECT_EQ(usable(), "");
    CTMFActorLinksUpdate(a, pattern.get(), oracle.get(), 1.0);
    EXPECT_EQ(usable(), "oracle ");
    EXPECT_EQ(CTMFActorLinkToList(a)->count(), 2u);
  });
}

TEST_F(Runtime, LinksLoadMergeAndSaveOnce) {
  {
    OutputCapture console(OutputCapture::kConsole);
    attach("{\"verbose\": true, \"links\": [[g(X), p, 3], [g(X), p, 4], [g(X), 5, 1], [g(X), p], h]}");
    EXPECT_EQ(console.lines(), std::vector<std::string>{"asker : incorrect content in links property"});
  }
  run([&](CTMTActor* a) {
    EXPECT_EQ(CTMFActorLinkToList(a)->text(), "[[g(X), p, 7.0]]");
    a->dynamicMod = 0.5;
    a->staticMod = 0.25;
  });
  // Saved, detached and attached again: the stored pulls and kudos are not counted twice.
  Ref<MRKCKnowledge> knowledge = substrate_->saveKnowledge();
  ASSERT_EQ(knowledge->manifestos().size(), 1u);  // the actor's own; the tap saves nothing
  EXPECT_EQ(MRKFTermText(MRKFFrameFetchTerm(actor_->properties(), "links")), "[[g(X), p, 7.0]]");
  ASSERT_TRUE(substrate_->detach(actor_.get(), false));
  ASSERT_TRUE(substrate_->attach(actor_.get(), false));
  run([&](CTMTActor* a) {
    EXPECT_EQ(CTMFActorLinkToList(a)->text(), "[[g(X), p, 7.0]]");
    EXPECT_DOUBLE_EQ(a->staticMod + a->dynamicMod, 0.75);
  });
  // Values put into the properties since are read as configured.
  ASSERT_TRUE(substrate_->detach(actor_.get(), false));
  MRKFFrameStoreReal(actor_->properties(), "wtmod", 2.0);
  MRKFFrameStoreTerm(actor_->properties(), "links", list("[[h(Y), q, 1.0]]").get());
  ASSERT_TRUE(substrate_->attach(actor_.get(), false));
  run([&](CTMTActor* a) {
    EXPECT_EQ(CTMFActorLinkToList(a)->text(), "[[h(Y), q, 1.0]]");
    EXPECT_DOUBLE_EQ(a->staticMod, 2.0);
  });
}

TEST_F(Runtime, RepliesToOwnQueriesAreKeptAndHandedOn) {
  struct Case {
    const char* options;
    std::vector<std::string> replies;
  } cases[] = {
      {"plain",
       {"q1 [oracle, 1, r1, reply(q1), blue, 1.0, 1.0, 0.0]", "q1 [sage, 1, r2, reply(q1), blue, 1.0, 1.0, 0.0]"}},
      {"collect",
       {"q1 [[oracle, 1, r1, reply(q1), blue, 1.0, 1.0, 0.0]]",
        "q1 [[sage, 1, r2, reply(q1), blue, 1.0, 1.0, 0.0], [oracle, 1, r1, reply(q1), blue, 1.0, 1.0, 0.0]]"}},
      {"diverse", {"q1 [oracle, 1, r1, reply(q1), blue, 1.0, 1.0, 0.0]"}},
  };
  for (const auto& c : cases) {
    attach("{}");
    heard_.replies.clear();
    run([&](CTMTActor* a) {
      Ref<CTMCActorRecord> query = remember(a, "[asker, 1, q1, query, colour(sky), 1.0, 1.0, 0.0]", kCTMChunkQuery);
      query->iCollect = std::string(c.options) == "collect";
      query->iDiverse = std::string(c.options) == "diverse";
      ASSERT_TRUE(stage(
          a, 1, "[[oracle, 1, r1, reply(q1), blue, 1.0, 1.0, 0.0], [x, 1, r9, reply(other), blue, 1.0, 1.0, 0.0]]",
          "{}"));
      ASSERT_TRUE(stage(a, 2, "[[sage, 1, r2, reply(q1), blue, 1.0, 1.0, 0.0]]", "{}"));
      EXPECT_EQ(a->received->contains("r2"), !query->iDiverse) << c.options;
      EXPECT_FALSE(a->received->contains("r9"));  // a reply to someone else's query
      EXPECT_NE(query->iStaged, 0.0);             // seen replying: the timeout counts from here
    });
    EXPECT_EQ(heard_.replies, c.replies) << c.options;
  }
}

TEST_F(Runtime, KudosForOwnRepliesCountAndAreHandedOn) {
  run([&](CTMTActor* a) {
    Ref<CTMCActorRecord> reply = remember(a, "[asker, 1, r1, reply(q1), blue, 2.0, 2.0, 0.5]", kCTMChunkReply);
    reply->iWeight = 2.0;
    reply->iDKudos = list("[[r0, 0.5]]");
    reply->iOptions = frame("{\"retries\": 1}");
    // Amounts that are not finite numbers come from a broken sender: counted, they would
    // poison every later weight of the actor (and the "wtmod" it saves) for good. The owner
    // still hears of them.
    ASSERT_TRUE(
        stage(a, 2,
              "[[critic, 2, k0, kudos(r1), #nan, 1.0, 1.0, 0.0], [critic, 2, k0, kudos(r1), #inf, 1.0, 1.0, 0.0], "
              "[critic, 2, k0, kudos(r1), great, 1.0, 1.0, 0.0]]",
              "{}"));
    EXPECT_EQ(reply->iKudos, 0.0);
    EXPECT_EQ(a->dynamicMod, 0.0);
    EXPECT_EQ(a->sent->count(), 1u);
    ASSERT_TRUE(stage(a, 3, "[[critic, 3, k1, kudos(r1), 4.0, 1.0, 1.0, 0.0]]", "{}"));
    EXPECT_EQ(reply->iKudos, 4.0);
    // The handed-on kudos are a record of their own, without kudos yet.
    EXPECT_EQ(a->dynamicMod, 4.0);
    EXPECT_EQ(a->sent->count(), 2u);
  });
  EXPECT_EQ(heard_.kudos, (std::vector<std::string>{"r1 [critic, 2, k0, kudos(r1), #nan, 1.0, 1.0, 0.0]",
                                                    "r1 [critic, 2, k0, kudos(r1), #inf, 1.0, 1.0, 0.0]",
                                                    "r1 [critic, 2, k0, kudos(r1), great, 1.0, 1.0, 0.0]",
                                                    "r1 [critic, 3, k1, kudos(r1), 4.0, 1.0, 1.0, 0.0]"}));
  ASSERT_TRUE(tap_->waitFor([](const auto& entries) { return !entries.empty(); }));
  Ref<MRKCList> handed(asList(tap_->entries().front().statement->terms()->head()));
  EXPECT_EQ(handed->fetchAtIndex(3)->text(), "kudos(r0)");
  EXPECT_EQ(handed->fetchAtIndex(4)->text(), "2.0");
  EXPECT_EQ(handed->fetchAtIndex(7)->text(), "0.5");
}

TEST_F(Runtime, OwnWinsSetAndRecoverTheDropPenalty) {
  attach("{\"dreco\": 3}");
  run([&](CTMTActor* a) {
    Ref<CTMCActorRecord> tweet = remember(a, "[asker, 1, t1, tweet, hi, 1.0, 1.0, 0.0]", kCTMChunkTweet);
    tweet->iRetries = 5;
    const std::string own = "[[asker, 1, t1, tweet, hi, 1.0, 1.0, 0.0]]";
    ASSERT_TRUE(stage(a, 1, own, "{\"drop\": 0.4, \"mood\": 0.5}"));
    EXPECT_EQ(tweet->iRetries, 0);
    EXPECT_EQ(a->drop, 0.4);
    EXPECT_EQ(a->mood, 0.5);
    std::vector<uint64_t> since;
    for (uint64_t tick = 2; tick <= 4; ++tick) {
      ASSERT_TRUE(stage(a, tick, tick == 3 ? own : "[]", "{\"drop\": 0.4}"));
      since.push_back(a->sinceDrop);
    }
    EXPECT_EQ(since, (std::vector<uint64_t>{1, 2, 3}));
    EXPECT_EQ(a->drop, 0.0);
    // A link flash carries no frame: mood 0, the penalty untouched.
    a->drop = 0.2;
    ASSERT_TRUE(stage(a, 5, own, ""));
    EXPECT_EQ(a->mood, 0.0);
    EXPECT_EQ(a->drop, 0.2);
    EXPECT_EQ(a->sinceDrop, 3u);
    EXPECT_FALSE(CTMFActorStageHandle(a, nullptr, list("[]").get(), nullptr, false));
  });
}

TEST_F(Runtime, NoticedQueriesAreFilteredFromLaterStages) {
  run([&](CTMTActor* a) {
    ASSERT_TRUE(stage(a, 1, "[[b, 1, q1, query, x, 1.0, 1.0, 0.0]]", "", true));
    Ref<MRKCList> kept = CTMFActorFilterStageOfQueries(
        a, list("[[b, 1, q1, query, x, 1.0, 1.0, 0.0], [b, 1, q2, query, y, 1.0, 1.0, 0.0], 7]").get());
    EXPECT_EQ(kept->text(), "[[b, 1, q2, query, y, 1.0, 1.0, 0.0], 7]");
  });
}

TEST_F(Runtime, PulsesAgeNoticesInTicksAndRecordsInSeconds) {
  run([&](CTMTActor* a) {
    a->tick = 10;
    a->time = LLKFNowInS();
    for (const char* chunk :
         {"[b, 11, next, tweet, x, 1.0, 1.0, 0.0]", "[b, 4, six, tweet, x, 1.0, 1.0, 0.0]",
          "[b, 3, seven, tweet, x, 1.0, 1.0, 0.0]", "[b, 1000000000000, ahead, tweet, x, 1.0, 1.0, 0.0]",
          "[b, 9223372036854775808, wrapped, tweet, x, 1.0, 1.0, 0.0]"}) {
      Ref<CTMCActorNotice> notice = adoptRef(new CTMCActorNotice(list(chunk).get(), kCTMChunkTweet));
      a->received->store(notice, asSymbol(notice->iChunk->fetchAtIndex(2))->value());
    }
    Ref<CTMCActorRecord> old = remember(a, "[asker, 1, old, reply(q), x, 1.0, 1.0, 0.0]", kCTMChunkReply);
    old->iStaged = a->time - 10;
    old->iKudos = 2.0;
    Ref<CTMCActorRecord> retrying = remember(a, "[asker, 1, retrying, tweet, x, 1.0, 1.0, 0.0]", kCTMChunkTweet);
    retrying->iPosted = a->time - 10;
    retrying->iRetries = -1;
    CTMFActorUpdateDynamicModifier(a);
    CTMFActorPulsated(a);
    EXPECT_TRUE(a->received->contains("next"));  // made for the coming tick: newest, not oldest
    EXPECT_TRUE(a->received->contains("six"));
    EXPECT_FALSE(a->received->contains("seven"));
    // A stamp far beyond the tick is no newer than any other: it must not pin its notice.
    EXPECT_FALSE(a->received->contains("ahead"));
    EXPECT_FALSE(a->received->contains("wrapped"));
    EXPECT_FALSE(a->sent->contains("old"));
    EXPECT_TRUE(a->sent->contains("retrying"));
    EXPECT_EQ(a->staticMod, 2.0);
    EXPECT_EQ(a->dynamicMod, 0.0);
  });
  EXPECT_EQ(heard_.events.back(), "[beat, 10.0]");
}

TEST_F(Runtime, RecallSearchesPastStagesOrOwnChunks) {
  run([&](CTMTActor* a) {
    CTMFActorRecallConsume(
        a, list("[[b, 1, t1, tweet, rain, 1.0, 1.0, 0.0], [b, 1, q1, query, sun, 1.0, 1.0, 0.0]]").get());
    CTMFActorRecallConsume(a, list("[[c, 2, t2, tweet, snow, 1.0, 1.0, 0.0]]").get());
    remember(a, "[asker, 1, t3, tweet, hail, 1.0, 1.0, 0.0]", kCTMChunkTweet);
    EXPECT_EQ(CTMFActorRecallCount(a), 3u);
    Ref<MRKBTerm> tweets = term("[_, _, U, tweet, G, _, _, _]");
    EXPECT_EQ(CTMFActorRecallSearch(a, tweets.get(), false)->text(),
              "[[c, 2, t2, tweet, snow, 1.0, 1.0, 0.0], [b, 1, t1, tweet, rain, 1.0, 1.0, 0.0]]");
    EXPECT_EQ(CTMFActorRecallSearch(a, tweets.get(), true)->text(), "[[asker, 1, t3, tweet, hail, 1.0, 1.0, 0.0]]");
    CTMFActorRecallCleanup(a, LLKFNowInS() + 1);
    EXPECT_EQ(CTMFActorRecallCount(a), 0u);
  });
}

TEST_F(Runtime, AScrapCancelsPendingQueriesAndWaitsAlike) {
  Ref<MRKCQuery> asked = MRKCQuery::queryWithPredicate(asPredicate(term("?asker(x)").get()), nullptr, 30);
  Ref<MRKCQuery> other = MRKCQuery::queryWithPredicate(asPredicate(term("?asker(y)").get()), nullptr, 30);
  run([&](CTMTActor* a) {
    Ref<CTMCActorRecord> record =
        adoptRef(new CTMCActorRecord(list("[asker, 1, q1, query, x, 1.0, 1.0, 0.0]").get(), asked.get()));
    a->sent->store(record, "q1");
    a->awaits->store(CTMCActorWait::waitWithQuery(asked.get(), term("_").get(), term("_").get()), "a");
    a->awaits->store(CTMCActorWait::waitWithQuery(other.get(), term("_").get(), term("_").get()), "b");
    Ref<MRKCScrap> scrap = MRKCScrap::scrapWithContexts({Ref<MRKCContext>(asked->context())});
    EXPECT_FALSE(CTMFActorReceivedScrap(a, scrap.get()));
    EXPECT_EQ(a->sent->count(), 0u);
    EXPECT_EQ(a->awaits->count(), 1u);
    EXPECT_TRUE(CTMFActorReceivedScrap(a, scrap.get()));  // nothing left to cancel
  });
}

TEST_F(Runtime, CommandsTakeOnlyWellFormedQueries) {
  struct Case {
    const char* predicate;
    bool passedOn;
  } cases[] = {
      {"?asker(beat, 3.0)", true},                 // an event, not a command
      {"?asker(dance, {}, [a, 1.0, 0.0])", true},  // unknown
      {"?asker(tweet, {}, [a, 1.0])", true},       // terms not [gist, weight, mood]
      {"?asker(recall, {}, _)", true},             // recall takes exactly four terms
      {"?asker(tweet, {}, [a, 1.0, 0.0])", false},
      {"?asker(reply, {}, [a, 1.0, 0.0])", false},  // no query uid: refused, but answered
      {"?asker(recall, {}, _, R)", false},
      {"?asker(await, {}, _, R)", false},
  };
  for (const auto& c : cases) {
    Ref<MRKCQuery> query = MRKCQuery::queryWithPredicate(asPredicate(term(c.predicate).get()), nullptr, 30);
    run([&](CTMTActor* a) { EXPECT_EQ(CTMFActorReceivedQuery(a, query.get()), c.passedOn) << c.predicate; });
  }
}

TEST_F(Runtime, AQueryDisplacedByAnotherOfTheSameUidIsAnswered) {
  tap_->ask("?asker(query, {\"uid\": q1}, [where, 1.0, 0.0], R)");
  tap_->ask("?asker(query, {\"uid\": q1}, [when, 1.0, 0.0], R)");
  // The first asker is not left waiting: its record is gone, so no reply can answer it.
  ASSERT_TRUE(tap_->waitForReplies(1));
  EXPECT_EQ(tap_->replies()[0]->text(), "<asker [query, {\"uid\": q1}, [where, 1.0, 0.0], null] 1.0>");
  run([&](CTMTActor* a) {
    EXPECT_EQ(a->sent->fetchForKeyAs<CTMCActorRecord>("q1")->iChunk->fetchAtIndex(4)->text(), "when");
  });
}

TEST_F(Runtime, QueriesStillPendingAtDetachAreAnswered) {
  tap_->ask("?asker(query, {\"uid\": q1}, [where, 1.0, 0.0], R)");
  run([&](CTMTActor* a) { ASSERT_TRUE(a->sent->fetchForKey("q1")); });
  ASSERT_TRUE(substrate_->detach(actor_.get(), false));
  actor_.reset();
  ASSERT_TRUE(tap_->waitForReplies(1));
  EXPECT_EQ(tap_->replies()[0]->text(), "<asker [query, {\"uid\": q1}, [where, 1.0, 0.0], null] 1.0>");
}

// "chatty" in a solution's properties makes an actor publish its own-label copies; without it
// only the carrier goes out.
TEST_F(Runtime, ChattyFromThePropertiesPublishesTheOwnLabelCopy) {
  for (bool chatty : {true, false}) {
    attach(chatty ? "{\"chatty\": true, \"nosy\": \"yes\"}" : "{}");
    EXPECT_EQ(actor_->chatty(), chatty);
    EXPECT_EQ(actor_->nosy(), chatty);
    run([&](CTMTActor* a) {
      ASSERT_TRUE(CTMFActorPublishTweet(a, nullptr, term(chatty ? "loud" : "quiet").get(), 1.0f, 0.0f));
    });
    const std::string gist = chatty ? "loud" : "quiet";
    auto count = [&](const std::vector<Tap::Entry>& entries, const char* label) {
      size_t found = 0;
      for (const auto& entry : entries)
        if (entry.statement && entry.statement->label() == label &&
            entry.statement->text().find(gist) != std::string::npos)
          ++found;
      return found;
    };
    ASSERT_TRUE(tap_->waitFor([&](const auto& entries) {
      return count(entries, "ctm.pass") == 1 && (!chatty || count(entries, "asker") == 1);
    }));
    EXPECT_EQ(count(tap_->entries(), "asker"), chatty ? 1u : 0u) << gist;
  }
}

TEST_F(Runtime, PostingAnswersTheUidOnlyForChunksThatWentOut) {
  run([&](CTMTActor* a) {
    Ref<MRKCFrame> options = frame("{\"uid\": mine, \"repeats\": 3}");
    Ref<MRKCSymbol> uid = CTMFActorPublishTweet(a, options.get(), term("hello").get(), 2.0f, 0.25f);
    ASSERT_TRUE(uid);
    EXPECT_EQ(uid->value(), "mine");
    Ref<CTMCActorRecord> record = a->sent->fetchForKeyAs<CTMCActorRecord>("mine");
    EXPECT_EQ(record->iRepeats, 2);
    EXPECT_EQ(record->iChunk->text(), "[asker, 1, mine, tweet, hello, 2.0, 2.0, 0.25]");
    EXPECT_FALSE(CTMFActorPublishTweet(a, options.get(), nullptr, 2.0f, 0.25f));
    EXPECT_FALSE(
        CTMFActorPublishKudos(a, options.get(), term("lots").get(), MRKCSymbol::symbolWithValue("r").get(), 1, 0));
    // The stage refuses chunks whose numbers are not finite: such a posting cannot go out.
    const size_t remembered = a->sent->count();
    EXPECT_FALSE(CTMFActorPublishTweet(a, nullptr, term("hello").get(), NAN, 0.25f));
    EXPECT_FALSE(CTMFActorPublishQuery(a, nullptr, term("hello").get(), 1.0f, INFINITY));
    // Nor kudos of such an amount: their receiver ignores them, and the link they teach would
    // take a pull that is not a number for good.
    EXPECT_FALSE(CTMFActorPublishKudos(a, nullptr, term("#nan").get(), MRKCSymbol::symbolWithValue("r").get(), 1, 0));
    a->mood = 1e308;  // a modified weight that overflows
    EXPECT_FALSE(CTMFActorPublishTweet(a, nullptr, term("hello").get(), 2.0f, 0.0f));
    a->mood = 0;
    EXPECT_EQ(a->sent->count(), remembered);
  });
  ASSERT_TRUE(tap_->waitFor([](const auto& entries) { return !entries.empty(); }));
  EXPECT_EQ(tap_->entries().front().statement->text(),
            "<ctm.pass [[asker, 1, mine, tweet, hello, 2.0, 2.0, 0.25]] 1.0>");

  // An actor that was never attached has nothing to send through: nothing is claimed as sent.
  Ref<CTMCTNTActor> alone = refCast<CTMCTNTActor>(CTMFActorMake<CTMCTNTActor>({}, "alone", {}, nullptr));
  EXPECT_FALSE(CTMFActorPublishTweet(alone->actor(), nullptr, term("hello").get(), 1, 0));
  EXPECT_FALSE(CTMFActorPublishQuery(alone->actor(), nullptr, term("hello").get(), 1, 0));
  EXPECT_EQ(alone->actor()->sent->count(), 0u);
}

TEST_F(Runtime, LinkedQueriesGoStraightToTheLinkedProcessor) {
  Ref<Tap> oracle = adoptRef(new Tap("oracle", {}));
  ASSERT_TRUE(substrate_->attach(oracle.get(), false));
  attach("{\"links\": [[colour(_:[is.symbol]), oracle, 6.0]]}");
  run([&](CTMTActor* a) {
    a->tick = 7;
    Ref<MRKCSymbol> uid =
        CTMFActorPublishQuery(a, frame("{\"uid\": q1, \"dropout\": 2.0}").get(), term("colour(sky)").get(), 1, 0);
    ASSERT_TRUE(uid);
    EXPECT_EQ(CTMFActorLinkToList(a)->text(), "[[colour(_:[is.symbol]), oracle, 4.0]]");
    // Below the threshold now: the next query of that shape competes on the stage.
    EXPECT_TRUE(CTMFActorPublishQuery(a, frame("{\"uid\": q2}").get(), term("colour(sea)").get(), 1, 0));
  });
  ASSERT_TRUE(oracle->waitFor([](const auto& entries) { return !entries.empty(); }));
  EXPECT_EQ(oracle->entries().front().functor->text(), "link([asker, 7, q1, query, colour(sky), 1.0, 1.0, 0.0])");
  ASSERT_TRUE(tap_->waitFor([](const auto& entries) { return !entries.empty(); }));
  EXPECT_EQ(tap_->entries().front().statement->text(),
            "<ctm.pass [[asker, 8, q2, query, colour(sea), 1.0, 1.0, 0.0]] 1.0>");
  EXPECT_EQ(tap_->entries().size(), 1u);  // the linked query never reached the competition
  substrate_->detach(oracle.get(), false);
}

TEST_F(Runtime, RepeatsAndRetriesResendOnLaterTicks) {
  struct Case {
    const char* uid;
    const char* options;
    size_t resends;
    double lastWeight;
  } cases[] = {
      {"once", "{\"uid\": once, \"repeats\": 1}", 1, 1.0},
      {"twice", "{\"uid\": twice, \"repeats\": 2}", 1, 1.0},
      {"thrice", "{\"uid\": thrice, \"repeats\": 3, \"boost\": 1.0}", 2, 4.0},
      {"always", "{\"uid\": always, \"retries\": -1, \"repeats\": -1, \"boost\": 1.0}", 4, 1.0},
  };
  run([&](CTMTActor* a) {
    for (const auto& c : cases) ASSERT_TRUE(CTMFActorPublishTweet(a, frame(c.options).get(), term("hi").get(), 1, 0));
    for (int tick = 0; tick < 4; ++tick) CTMFActorChunkResend(a);
  });
  const size_t expected = 4 + 1 + 1 + 2 + 4;
  ASSERT_TRUE(tap_->waitFor([&](const auto& entries) { return entries.size() >= expected; }));
  for (const auto& c : cases) {
    size_t sent = 0;
    double weight = 0;
    for (const auto& entry : tap_->entries()) {
      MRKCList* chunk = asList(entry.statement->terms()->head());
      if (chunk->fetchAtIndex(2)->compareToChars(c.uid) != 0) continue;
      ++sent;
      weight = asNumber(chunk->fetchAtIndex(5))->real();
      EXPECT_EQ(asNumber(chunk->fetchAtIndex(1))->uint(), 1u);  // resends keep their first tick
    }
    EXPECT_EQ(sent, c.resends + 1) << c.uid;
    EXPECT_EQ(weight, c.lastWeight) << c.uid;
  }
}

// Terms from other processors are untrusted: broadcasts, flashes and commands of the wrong
// shape are dropped without harm.
TEST_F(Runtime, MalformedMessagesAreDropped) {
  const char* broadcasts[] = {
      "[]",
      "[x]",
      "[1, x, {}]",
      "[1, [], 7]",
      "[1, [7, [], [a], [a, 1, u, 5, g, 1.0, 1.0, 0.0]], {\"mood\": x}]",
      "[1, [[a, 1, u, reply(), g, 1.0, 1.0, 0.0], [a, 1, u, kudos(), g], [a, 1, u, kudos(r), x, 1.0, 1.0, 0.0]], {}]",
      "[1, [[asker, x, 5, query, g, 1.0, 1.0, 0.0], [a, 1, u, reply(5), g, 1.0, 1.0, 0.0]], {\"drop\": x}]",
  };
  const char* functors[] = {"link()", "link(1, 2)", "link(7)", "link([a, x, u, tweet])", "news([a])"};
  run([&](CTMTActor* a) {
    remember(a, "[asker, 1, r, reply(q), g, 1.0, 1.0, 0.0]", kCTMChunkReply);
    remember(a, "[asker, 1, q, query, g, 1.0, 1.0, 0.0]", kCTMChunkQuery);
    for (const char* terms : broadcasts) {
      Ref<MRKCStatement> statement = MRKCStatement::statementWithLabel("ctm.tick", list(terms).get(), 1.0);
      Ref<MRKCSquib> squib = MRKCSquib::squibWithLabel("ctm.tick", statement.get(), 5);
      EXPECT_FALSE(CTMFActorReceivedSquib(a, squib.get())) << terms;
    }
    for (const char* functor : functors) {
      Ref<MRKCFlash> flash = MRKCFlash::flashWithFunctor(asFunc(term(functor).get()));
      EXPECT_TRUE(CTMFActorReceivedFlash(a, flash.get())) << functor;
    }
    EXPECT_TRUE(CTMFActorReceivedSquib(a, nullptr));
    EXPECT_TRUE(CTMFActorReceivedQuery(a, nullptr));
    EXPECT_TRUE(CTMFActorReceivedScrap(a, nullptr));
    EXPECT_EQ(a->sent->fetchForKeyAs<CTMCActorRecord>("r")->iKudos, 0.0);
  });
}

}  // namespace
