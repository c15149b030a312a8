// The plain actor class: runtime events become its hooks, its posting methods refuse missing
// terms.
#include <gtest/gtest.h>

#include "modules/ctm/actors/CTMBPLNActor.h"
#include "tests/ctm_actors/ActorTestSupport.h"

namespace {

class Listening : public CTMBPLNActor {
public:
  using CTMBPLNActor::CTMBPLNActor;
  std::vector<std::string> heard;

  void onReceivedTick(MRKCList* winners, uint64_t tick, MRKCFrame* frame) override {
    heard.push_back("tick " + std::to_string(tick) + " " + winners->text() + " " + MRKFTermText(frame));
  }
  void onReceivedLink(MRKCList* chunks, uint64_t tick, MRKCFrame* frame) override {
    heard.push_back("link " + std::to_string(tick) + " " + chunks->text() + " " + MRKFTermText(frame));
  }
  void onReceivedReply(MRKBTerm* reply, MRKCSymbol* query) override { heard.push_back("reply " + query->value()); }
  void onReceivedKudos(MRKCList* kudos, MRKCSymbol* reply) override { heard.push_back("kudos " + reply->value()); }
  using CTMBPLNActor::onReceivedReply;
};

TEST(PlainActor, EventsBecomeHooks) {
  Ref<MRKCSubstrate> substrate = MRKCSubstrate::substrate();
  Ref<Listening> actor = refCast<Listening>(CTMFActorMake<Listening>({}, "ear", {}, nullptr));
  ASSERT_TRUE(actor);
  ASSERT_TRUE(substrate->attach(actor.get(), false));
  onStrand(actor.get(), [&] {
    CTMTActor* a = actor->actor();
    Ref<MRKCSymbol> q = MRKCSymbol::symbolWithValue("q"), r = MRKCSymbol::symbolWithValue("r");
    // Seen first by link: the same query is left out when it later wins on the stage.
    Ref<MRKCFlash> flash = MRKCFlash::flashWithFunctor(asFunc(term("link([b, 3, q1, query, x, 1.0, 1.0, 0.0])").get()));
    EXPECT_FALSE(CTMFActorReceivedFlash(a, flash.get()));
    Ref<MRKCList> tick =
        list("[4, [[b, 3, q1, query, x, 1.0, 1.0, 0.0], [b, 4, t1, tweet, y, 1.0, 1.0, 0.0]], {\"mood\": 0.0}]");
    Ref<MRKCSquib> squib =
        MRKCSquib::squibWithLabel("ctm.tick", MRKCStatement::statementWithLabel("ctm.tick", tick.get(), 1).get(), 5);
    EXPECT_FALSE(CTMFActorReceivedSquib(a, squib.get()));
    CTMFActorPulsated(a);  // a beat: no hook
    CTMFPLNActorReplyCB(actor.get(), q.get(), list("[]").get(), nullptr);
    CTMFPLNActorKudosCB(actor.get(), r.get(), list("[]").get(), nullptr);
  });
  EXPECT_EQ(actor->heard, (std::vector<std::string>{"link 3 [[b, 3, q1, query, x, 1.0, 1.0, 0.0]] nil",
                                                    "tick 4 [[b, 4, t1, tweet, y, 1.0, 1.0, 0.0]] {\"mood\": 0.0}",
                                                    "reply q", "kudos r"}));
  substrate->detach(actor.get(), false);
}

TEST(PlainActor, PostingRefusesMissingTerms) {
  Ref<MRKCSubstrate> substrate = MRKCSubstrate::substrate();
  Ref<Listening> actor = refCast<Listening>(CTMFActorMake<Listening>({}, "mouth", {}, nullptr));
  ASSERT_TRUE(substrate->attach(actor.get(), false));
  onStrand(actor.get(), [&] {
    Ref<MRKCSymbol> uid = MRKCSymbol::symbolWithValue("u");
    EXPECT_FALSE(actor->tweetWithGist(nullptr, 1, 0));
    EXPECT_FALSE(actor->queryWithGist(term("x").get(), 1, 0, nullptr));
    EXPECT_FALSE(actor->replyTo(nullptr, term("x").get(), 1, 0));
    EXPECT_FALSE(actor->kudosTo(uid.get(), nullptr, 1, 0));
    EXPECT_EQ(actor->actor()->sent->count(), 0u);
    EXPECT_TRUE(actor->tweetWithGist(term("x").get(), 1, 0));
    EXPECT_TRUE(actor->replyTo(uid.get(), term("x").get(), 1, 0));
  });
  substrate->detach(actor.get(), false);
}

}  // namespace
