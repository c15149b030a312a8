// The conversation view as a solution meets it through the ux protocol: a probe processor sends
// every command, well-formed and malformed, and reads the answers and the view's squibs; and as
// a person meets it in a window: typed text and terms, choices, ratings, distraction and pause
// reach the solution.
#include <gtest/gtest.h>

#include <functional>

#include "framework/substrate/MRKCPredicate.h"
#include "framework/substrate/MRKCString.h"
#include "tests/app/ConversationProbe.h"
#include "tests/app/ConversationWindow.h"
#include "tests/widgets/QELTestWidgets.h"
#include "ui/widgets/QELBRadiobox.h"
#include "ui/widgets/QELBSymbol.h"

namespace {

class ConversationTest : public ::testing::Test, public ConversationWindow {
protected:
  void SetUp() override {
    ASSERT_TRUE(open());
    probe = ConversationProbe::make();
    ASSERT_TRUE(MRKCSubstrate::shared()->attach(probe.get(), false));
    frames(2);
  }
  void TearDown() override {
    if (probe) (void)MRKCSubstrate::shared()->detach(probe.get(), false);
    close();
  }

public:
  const VSKCConversationEntry& last() { return *record().entries.back(); }

protected:
  void frames(int count) {
    for (int i = 0; i < count; ++i) window->frame();
  }
  size_t entries() { return record().entries.size(); }

  // Steps frames until the condition holds, waiting for the probe's news in between; false
  // after a generous timeout.
  bool until(const std::function<bool()>& condition) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < deadline) {
      window->frame();
      if (condition()) return true;
      probe->waitForNews(std::chrono::milliseconds(5));
    }
    return false;
  }
  // Sends the predicate and waits for its answer.
  Ref<MRKCReply> exchange(const std::string& predicate) {
    size_t before = probe->replyCount();
    EXPECT_TRUE(probe->ask(predicate)) << predicate;
    EXPECT_TRUE(until([&] { return probe->replyCount() > before; })) << predicate;
    frames(1);
    return probe->reply(before);
  }
  // Waits until the probe heard a squib holding the text.
  bool heard(const std::string& text) {
    return until([&] {
      for (const std::string& squib : probe->squibs())
        if (squib.find(text) != std::string::npos) return true;
      return false;
    });
  }
  // A point inside the widget, in window coordinates.
  static OGLTPoint centre(QELBWidget* widget) {
    OGLTSize s = widget->size();
    return widget->localToWorld({s.w / 2, s.h / 2});
  }
  void type(const std::string& text) {
    window->click(centre(record().textbox.get()));
    for (char c : text) {
      window->character(static_cast<unsigned char>(c));
      window->frame();
    }
    window->key(kOGLKeyEnter, kOGLActionPress);
    window->frame();
    window->key(kOGLKeyEnter, kOGLActionRelease);
    frames(2);
  }
  template <typename T>
  T* find(QELBWidget* root, const std::function<bool(T*)>& wanted) {
    if (auto* t = dynamic_cast<T*>(root); t && wanted(t)) return t;
    if (auto* parent = dynamic_cast<QELBParent*>(root))
      for (const Ref<QELBWidget>& child : parent->childs())
        if (T* found = find<T>(child.get(), wanted)) return found;
    return nullptr;
  }

  Ref<ConversationProbe> probe;
};

std::string termsOf(const Ref<MRKCReply>& reply) { return reply ? reply->statement()->terms()->text() : "no reply"; }
double valueOf(const Ref<MRKCReply>& reply) { return reply ? reply->statement()->value() : -1; }
std::string predicateTerms(const std::string& predicate) {
  return MRKCReader::reader()->readTermFromString(predicate)->asPredicate()->terms()->text();
}

TEST_F(ConversationTest, EveryCommandIsCarriedOutAndAnsweredAndRefusedArgumentsGetAFailureAnswer) {
  struct Case {
    const char* predicate;
    double value;
    size_t entries;  // the feed's length afterwards
    std::function<void(ConversationTest&)> check;
  };
  auto nothing = [](ConversationTest&) {};
  const Case cases[] = {
      {"?ux(speak({}, \"hello\"), q1)", 1.0, 1,
       [](ConversationTest& t) {
         EXPECT_EQ(t.last().speaker(), kVSKSpeakerCTM);
         EXPECT_EQ(t.last().term()->text(), "\"hello\"");
         EXPECT_FALSE(t.last().refUid());
       }},
      {"?ux(speak(\"no frame\"), q2)", 0.0, 1, nothing},
      {"?ux(speak({\"example\": \"my answer\"}, \"\"), q3)", 1.0, 1,
       [](ConversationTest& t) { EXPECT_EQ(t.record().textbox->value(), "my answer"); }},
      {"?ux(reply({\"ruid\": r7}, \"ratable\"), q4)", 1.0, 2,
       [](ConversationTest& t) { EXPECT_EQ(t.last().refUid()->value(), "r7"); }},
      {"?ux(reply([], \"x\"), q5)", 0.0, 2, nothing},
      {"?ux(spins({\"label\": \"Pondering\"}), q6)", 1.0, 2,
       [](ConversationTest& t) {
         EXPECT_TRUE(t.record().ticker->visible());
         EXPECT_EQ(t.record().ticker->texts().front(), "Pondering .");
       }},
      {"?ux(spins(), q7)", 1.0, 2, [](ConversationTest& t) { EXPECT_FALSE(t.record().ticker->visible()); }},
      {"?ux(setup({\"enable\": false}), q8)", 1.0, 2,
       [](ConversationTest& t) { EXPECT_FALSE(t.record().textbox->enabled()); }},
      {"?ux(setup({}), q9)", 1.0, 2, [](ConversationTest& t) { EXPECT_TRUE(t.record().textbox->enabled()); }},
      {"?ux(query({}, \"a question\"), q10)", 1.0, 3, nothing},
      {"?ux(query(1, \"a question\"), q11)", 0.0, 3, nothing},
      {"?ux(picks({\"quid\": p1}, \"Pick one\", [a, b]), q12)", 1.0, 4,
       [](ConversationTest& t) {
         EXPECT_EQ(t.last().kind(), kVSKEntryPickOne);
         EXPECT_EQ(t.last().refUid()->value(), "p1");
       }},
      {"?ux(picks({}, \"Pick one\", a), q13)", 0.0, 4, nothing},
      {"?ux(picks(\"Pick one\", [a]), q14)", 0.0, 4, nothing},
      {"?ux(feeds({}, \"as if typed\"), q15)", 1.0, 5,
       [](ConversationTest& t) { EXPECT_EQ(t.last().speaker(), kVSKSpeakerUser); }},
      {"?ux(feeds(\"x\"), q16)", 0.0, 5, nothing},
      {"?ux(spin(), q18)", 1.0, 5, [](ConversationTest& t) { EXPECT_TRUE(t.record().ticker->visible()); }},
      {"?ux(pick(\"Colour?\", [red, green]), q17)", 1.0, 6,
       [](ConversationTest& t) {
         EXPECT_EQ(t.last().refUid()->value(), "q17");
         EXPECT_FALSE(t.record().ticker->visible());
       }},
      {"?ux(pick(\"Colour?\"), q19)", 0.0, 6, nothing},
      {"?ux(pick(\"Colour?\", red), q20)", 0.0, 6, nothing},
      {"?ux(greet(\"Hi there\", \"Hi CTM\"), q21)", 1.0, 7,
       [](ConversationTest& t) {
         EXPECT_EQ(t.last().refUid()->value(), "q21");
         EXPECT_EQ(t.record().textbox->value(), "Hi CTM");
       }},
      {"?ux(greet(), q22)", 1.0, 7, nothing},
      {"?ux(42, q23)", 0.0, 7, nothing},
      {"?ux(\"not a command\")", 0.0, 7, nothing},
      {"?ux(reads(3), q24)", 0.0, 7, nothing},
      {"?ux(clear(), q25)", 1.0, 0, nothing},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.predicate);
    Ref<MRKCReply> reply = exchange(c.predicate);
    EXPECT_EQ(termsOf(reply), predicateTerms(c.predicate));
    EXPECT_EQ(valueOf(reply), c.value);
    EXPECT_EQ(entries(), c.entries);
    c.check(*this);
  }
}

TEST_F(ConversationTest, ReadsAnswersTheUsersInputsFromTheOffsetAndIsPausedTheFlag) {
  (void)exchange("?ux(speak({}, \"h\"), q1)");
  (void)exchange("?ux(feeds({}, \"a\"), q2)");
  (void)exchange("?ux(speak({}, \"b\"), q3)");
  (void)exchange("?ux(feeds({}, \"c\"), q4)");
  struct Case {
    const char* predicate;
    const char* answer;
  };
  const Case cases[] = {
      {"?ux(reads({\"offset\": 0}), q5)", "[reads({\"offset\": 0}, {\"offset\": 4, \"inputs\": [\"a\", \"c\"]})]"},
      {"?ux(reads({\"offset\": 2}), q6)", "[reads({\"offset\": 2}, {\"offset\": 4, \"inputs\": [\"c\"]})]"},
      {"?ux(reads({\"offset\": 9}), q7)", "[reads({\"offset\": 9}, {\"offset\": 4, \"inputs\": []})]"},
      {"?ux(reads({}), q8)", "[reads({}, {\"offset\": 4, \"inputs\": []})]"},
      {"?ux(is.paused(), q9)", "[is.paused(false)]"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.predicate);
    Ref<MRKCReply> reply = exchange(c.predicate);
    EXPECT_EQ(termsOf(reply), c.answer);
    EXPECT_EQ(valueOf(reply), 1.0);
  }
}

TEST_F(ConversationTest, TypedTextAndTermsReachTheSolution) {
  type("Ada");
  EXPECT_TRUE(heard("[peek(\"Ada\")]"));
  EXPECT_TRUE(heard("[reads({}, {\"offset\": 1, \"inputs\": [\"Ada\"]})]"));
  EXPECT_EQ(record().textbox->value(), "");
  EXPECT_TRUE(record().ticker->visible());

  window->click(centre(record().symbols->locate("inp.term")));
  frames(1);
  EXPECT_EQ(record().mode, kVSKInputTerm);
  EXPECT_EQ(record().textbox->label(), "Type a new message (term)");
  EXPECT_TRUE(dynamic_cast<QELBSymbol*>(record().symbols->locate("inp.term"))->underlined());
  EXPECT_FALSE(dynamic_cast<QELBSymbol*>(record().symbols->locate("inp.text"))->underlined());
  type("colour(sky, X)");
  EXPECT_TRUE(heard("[peek(colour(sky, X))]"));

  // A term that cannot be read is shown, no peek goes out, and the user is told where it failed.
  size_t before = probe->squibs().size();
  type("colour(sky");
  EXPECT_TRUE(heard("[reads({}, {\"offset\": 4, \"inputs\": []})]"));
  for (size_t i = before; i < probe->squibs().size(); ++i)
    EXPECT_EQ(probe->squibs()[i].find("peek"), std::string::npos);
  EXPECT_EQ(last().speaker(), kVSKSpeakerCTM);
  EXPECT_NE(last().term()->text().find("not a term"), std::string::npos);
}

TEST_F(ConversationTest, AChoiceARatingADistractionAndAPauseReachTheSolution) {
  (void)exchange("?ux(pick(\"Colour?\", [red, green]), q17)");
  QELBRadiobox* green = find<QELBRadiobox>(view.get(), [](QELBRadiobox* r) { return r->label() == "green"; });
  ASSERT_TRUE(green);
  window->click(centre(green));
  EXPECT_TRUE(heard("[peek(green, q17)]"));
  EXPECT_TRUE(heard("[reads({}, {\"offset\": 2, \"inputs\": [green]})]"));
  EXPECT_EQ(record().entries[0]->chosen(), 1);
  EXPECT_EQ(last().term()->text(), "\"green\"");
  EXPECT_FALSE(green->parent()->enabled());

  (void)exchange("?ux(reply({\"ruid\": r7}, \"Rate me\"), q18)");
  QELBWidget* wrap = last().wrap().get();
  ASSERT_TRUE(wrap);
  window->moveTo(centre(wrap));
  frames(2);
  QELBWidget* thumbs = dynamic_cast<QELBParent*>(wrap)->locate("thumbs");
  ASSERT_TRUE(thumbs);
  EXPECT_TRUE(thumbs->visible());
  QELBSymbol* up = find<QELBSymbol>(thumbs, [](QELBSymbol* s) { return s->icon() == 0xE8DC; });
  ASSERT_TRUE(up);
  window->click(centre(up));
  EXPECT_TRUE(heard("[rate(1.0, r7)]"));

  QELBSymbol* distract = find<QELBSymbol>(record().symbols, [](QELBSymbol* s) { return s->icon() == 0xE043; });
  ASSERT_TRUE(distract);
  window->click(centre(distract));
  EXPECT_TRUE(heard("[dist("));
  frames(1);
  EXPECT_EQ(last().term()->text(), "\"** distraction **\"");
  EXPECT_EQ(last().code().ctx, kVSKEntryDistraction);

  QELBSymbol* pause = find<QELBSymbol>(record().symbols, [](QELBSymbol* s) { return s->icon() == 0xE034; });
  ASSERT_TRUE(pause);
  window->click(centre(pause));
  frames(2);
  EXPECT_EQ(pause->icon(), 0xE037u);
  EXPECT_EQ(termsOf(exchange("?ux(is.paused(), q19)")), "[is.paused(true)]");
  ASSERT_TRUE(record().hint);
  EXPECT_EQ(record().hint->text(), "resume the conversation");
}

// An open conversation with nothing happening asks for no frame: a widget behind the view is
// not drawn again, frame after frame.
TEST(ConversationAtRest, AnOpenViewWithNothingHappeningDrawsNothing) {
  ConversationWindow conversation;
  ASSERT_TRUE(conversation.open());
  Ref<Probe> behind = Probe::make({640, 600}, {0, 0});
  behind->setLayer(-8);
  ASSERT_TRUE(conversation.window->attach(behind));
  conversation.window->setRedrawsOnRequest(true);
  conversation.window->moveTo({690, 630});  // beside the view
  for (int i = 0; i < 10; ++i) conversation.window->frame();
  size_t drawn = behind->renders.size();
  for (int i = 0; i < 10; ++i) conversation.window->frame();
  EXPECT_EQ(behind->renders.size(), drawn) << "frames drawn at rest";
  conversation.close();
}

}  // namespace
