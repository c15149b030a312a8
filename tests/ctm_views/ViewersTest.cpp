// The expression viewer and the chunk viewer in a headless window: statements into samples,
// the term and caption shown, zoom, scroll bars that agree with the offset, the chunk viewer's
// tick intake, its answers to the timeline's live mode and picks, and the pan.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/ctm/VSKCExpressionView.h"
#include "app/ctm/VSKCGistSurface.h"
#include "app/ctm/VSKCGistView.h"
#include "app/ctm/VSKCTimelineSurface.h"
#include "app/ctm/VSKCTimelineView.h"
#include "app/ctm/VSKFTimelineCards.h"
#include "framework/core/LLKCAttributedString.h"
#include "framework/core/LLKFLog.h"
#include "framework/substrate/MRKCSquib.h"
#include "framework/substrate/MRKCSubstrate.h"
#include "tests/ctm_views/ChunkText.h"
#include "tests/widgets/QELTestHeadlessWindow.h"

namespace {

std::string shownText(const VSKBTermViewer& view) {
  MRKBTerm* shown = view.surface()->expr();
  return shown ? shown->text() : std::string("nothing");
}

// A squib of the statement <label terms 1.0>, as the observer hands it over.
Ref<LLKCMessage> squibMessage(const std::string& label, const std::string& terms) {
  Ref<MRKBTerm> term = readTerm("<" + label + " " + terms + " 1.0>");
  MRKCStatement* statement = term ? term->asStatement() : nullptr;
  Ref<MRKCSquib> squib = MRKCSquib::squibWithLabel(label, statement, 5.0f);
  return LLKCMessage::messageWithCode(LLKTMessageCode{kVSKViewerSquib, 1, 0}, squib);
}

Ref<LLKCMessage> code(uint32_t uid, uint32_t tag, Ref<LLKBObject> payload = nullptr) {
  return LLKCMessage::messageWithCode(LLKTMessageCode{uid, tag, 0}, std::move(payload));
}

class Viewers : public ::testing::Test {
protected:
  void SetUp() override {
    window = QELTestHeadlessWindow::make({900, 700});
    ASSERT_TRUE(window);
    expression = VSKCExpressionView::viewWithSize({400, 300}, {10, 10}, "ui.expression",
                                                  {"nlp.decode", "nlp.decode.all"}, nullptr);
    gist = VSKCGistView::viewWithSize({400, 300}, {450, 10}, "ui.gist", {"ctm.tick"}, nullptr);
    ASSERT_TRUE(expression && gist);
    for (const Ref<ZRVBView>& view : {Ref<ZRVBView>(expression), Ref<ZRVBView>(gist)}) {
      view->setVisible(true);
      ASSERT_TRUE(window->attach(view));
    }
    window->frame();
  }
  void TearDown() override {
    if (!window) return;
    std::vector<Ref<ZRVCObserver>> observers;
    for (VSKBTermViewer* view :
         {static_cast<VSKBTermViewer*>(expression.get()), static_cast<VSKBTermViewer*>(gist.get())})
      if (view) observers.emplace_back(view->observer());
    window->close();
    expression = nullptr;
    gist = nullptr;
    // The observers leave the substrate on their own threads; wait until they have let go, so
    // that nothing of theirs is still queued when the process ends.
    for (const Ref<ZRVCObserver>& observer : observers)
      EXPECT_TRUE(window->pumpUntil([&] { return observer->retainCount() == 1; }));
  }
  // Hands the statement to the expression viewer and lays it out.
  void decode(const std::string& terms) {
    expression->onMessaged(squibMessage("nlp.decode", terms));
    window->frame();
  }
  void tick(const std::string& terms) {
    gist->onMessaged(squibMessage("ctm.tick", terms));
    window->frame();
  }
  std::vector<std::string> samples() const {
    std::vector<std::string> texts;
    for (const Ref<LLKBObject>& value : *expression->samples()->values())
      if (auto* sample = dynamic_cast<LLKCAttributedString*>(value.get())) texts.push_back(sample->string());
    return texts;
  }
  OGLTPoint onSurface(VSKBTermViewer& view, OGLTPoint local) { return view.surface()->localToWorld(local); }
  bool panning() const { return static_cast<VSKCGistSurface*>(gist->surface())->dragging(); }

  Ref<QELTestHeadlessWindow> window;
  Ref<VSKCExpressionView> expression;
  Ref<VSKCGistView> gist;
};

TEST_F(Viewers, StatementsBecomeSamplesAndTheShownTermAndCaption) {
  struct Step {
    const char* terms;
    size_t samples;
    const char* shown;
    const char* caption;
    uint32_t selected;
  };
  const Step steps[] = {
      // A list of new terms: each a sample; its last element shown; the first sample selected
      // since nothing was shown before.
      {"[0, \"three\", [f(1), g(2), h(3)], 0]", 3, "h(3)", "three", 0},
      // The same list again adds nothing but shows its last element; the last sample is selected.
      {"[0, \"again\", [f(1), g(2), h(3)], 0]", 3, "h(3)", "again", 2},
      // A single term: no caption unless the term is itself a string.
      {"[0, \"single\", k(4), 0]", 4, "k(4)", "", 3},
      {"[0, \"words\", \"hi there\", 0]", 5, "\"hi there\"", "words", 4},
      // A single term seen before is neither listed nor shown again.
      {"[0, \"single\", k(4), 0]", 5, "\"hi there\"", "words", 4},
      // Statements of another shape are ignored.
      {"[0, \"three terms\", m(5)]", 5, "\"hi there\"", "words", 4},
      {"[0, notastring, m(5), 0]", 5, "\"hi there\"", "words", 4},
      // An empty list is shown itself.
      {"[0, \"empty\", [], 0]", 5, "[]", "empty", 4},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.terms);
    decode(step.terms);
    EXPECT_EQ(samples().size(), step.samples);
    EXPECT_EQ(shownText(*expression), step.shown);
    EXPECT_EQ(expression->surface()->string(), step.caption);
    EXPECT_EQ(expression->samples()->selected(), step.selected);
    EXPECT_TRUE(expression->samples()->enabled());
  }
  ASSERT_TRUE(expression->surface()->tree());
  EXPECT_EQ(samples()[0], VSKCExpressionView::sampleText("three", readTerm("f(1)").get()));
}

TEST_F(Viewers, TheSampleBoxKeepsTheLastTenAndTermsPastTheEighthAreStillShown) {
  for (int i = 0; i < 70; ++i) {
    decode("[0, \"n\", t(" + std::to_string(i) + "), 0]");
    ASSERT_EQ(shownText(*expression), "t(" + std::to_string(i) + ")");
  }
  EXPECT_EQ(samples().size(), kVSKExpressionSamples);
  EXPECT_EQ(samples().front(), VSKCExpressionView::sampleText("n", readTerm("t(60)").get()));
  // What is remembered as seen stays bounded; a term pushed out of it counts as new again.
  EXPECT_EQ(expression->seen().count(), kVSKSeenTermsCapacity);
  decode("[0, \"n\", t(0), 0]");
  EXPECT_EQ(shownText(*expression), "t(0)");
  decode("[0, \"n\", t(69), 0]");
  EXPECT_EQ(shownText(*expression), "t(0)");
}

TEST_F(Viewers, ASampleTextCutsTheCaptionAndEndsInTheTermsHash) {
  Ref<MRKBTerm> term = readTerm("f(1)");
  char hash[16];
  std::snprintf(hash, sizeof hash, "%x", static_cast<uint32_t>(term->hashCode()));
  EXPECT_EQ(VSKCExpressionView::sampleText("short", term.get()), std::string("short - ") + hash);
  const std::string cut = VSKCExpressionView::sampleText(std::string(60, 'a'), term.get());
  EXPECT_EQ(cut, std::string(50, 'a') + "\u2026 - " + hash);
}

TEST_F(Viewers, PickingASampleShowsItAndClearingEmptiesTheBox) {
  decode("[0, \"first\", [f(1), g(2)], 0]");
  decode("[0, \"second\", h(3), 0]");
  Ref<LLKCMessage> picked = code(kVSKViewerControl, kVSKExpressionSample);
  (void)picked->details().storeObject(expression->samples()->values()->fetchAtIndex(1), "value");
  expression->onMessaged(picked);
  EXPECT_EQ(shownText(*expression), "g(2)");
  EXPECT_EQ(expression->surface()->string(), "first");

  expression->onMessaged(code(kVSKViewerControl, kVSKExpressionClear));
  EXPECT_EQ(shownText(*expression), "nothing");
  EXPECT_TRUE(samples().empty());
  EXPECT_FALSE(expression->samples()->enabled());
  EXPECT_EQ(expression->samples()->selected(), kQELChoiceNone);
  // Every term counts as new again; the next one shown selects the first sample.
  decode("[0, \"again\", h(3), 0]");
  EXPECT_EQ(samples().size(), 1u);
  EXPECT_EQ(expression->samples()->selected(), 0u);
  EXPECT_TRUE(expression->samples()->enabled());
}

TEST_F(Viewers, TheWheelZoomsWithinTheRangeAndTheRightButtonResetsIt) {
  struct Case {
    VSKBTermViewer* view;
    float min, max, reset;
  };
  decode("[0, \"z\", f(1), 0]");
  tick(tickTerms(1, "[" + chunkText("s", "u1") + "]", "[]", "[]"));
  for (const Case& c : {Case{expression.get(), 0.4f, 1.0f, 1.0f}, Case{gist.get(), 0.5f, 1.5f, 1.5f}}) {
    const OGLTPoint over = onSurface(*c.view, {100, 100});
    window->cursorEvent(over);
    window->scroll({0, -1});
    window->frame();
    EXPECT_NEAR(c.view->surface()->scale(), 0.9f, 1e-4);
    for (int i = 0; i < 20; ++i) {
      window->cursorEvent(over);
      window->scroll({0, -1});
      window->frame();
    }
    EXPECT_NEAR(c.view->surface()->scale(), c.min, 1e-4);
    for (int i = 0; i < 20; ++i) {
      window->cursorEvent(over);
      window->scroll({0, 1});
      window->frame();
    }
    EXPECT_NEAR(c.view->surface()->scale(), c.max, 1e-4);
    c.view->surface()->setScale(c.min);
    window->click(over, 2);
    EXPECT_NEAR(c.view->surface()->scale(), c.reset, 1e-4);
    // Outside the surface (on the title bar) the button changes nothing.
    c.view->surface()->setScale(c.min);
    window->click(c.view->localToWorld({50, 5}), 3);
    EXPECT_NEAR(c.view->surface()->scale(), c.min, 1e-4);
  }
}

TEST_F(Viewers, TheBarsShowForAWideTermCentredAndAgreeWithTheOffset) {
  decode("[0, \"small\", f(1), 0]");
  EXPECT_FALSE(expression->horizontalBar()->visible());
  EXPECT_FALSE(expression->verticalBar()->visible());

  std::string wide = "w(";
  for (int i = 0; i < 60; ++i) wide += (i ? ", " : "") + std::to_string(1000 + i);
  decode("[0, \"wide\", " + wide + "), 0]");
  window->frame();
  VSKCExpressionSurface* surface = expression->surface();
  ASSERT_GT(surface->content().w, surface->size().w);
  EXPECT_TRUE(expression->horizontalBar()->visible());
  EXPECT_NEAR(expression->horizontalBar()->scroll(), 0.5f, 0.01f);
  EXPECT_NEAR(surface->offset().x, (surface->content().w - surface->size().w) / 2, 1.0f);
  // From the bar: the offset follows, the bar's value standing for the content at the middle of
  // the surface; at the ends the surface keeps the first or last column in view and the bar
  // says where the offset is.
  struct Case {
    double scroll;
  };
  const float content = surface->content().w, shown = surface->size().w;
  for (const Case& c : {Case{0.3}, Case{0.6}, Case{0.0}, Case{1.0}}) {
    SCOPED_TRACE(c.scroll);
    Ref<LLKCMessage> moved = code(kVSKViewerControl, kVSKViewerHorizontalBar);
    (void)moved->details().storeReal(c.scroll, "scroll");
    expression->onMessaged(moved);
    const float wanted = std::clamp(static_cast<float>(content * c.scroll - shown / 2), 0.0f, content - shown);
    EXPECT_NEAR(surface->offset().x, wanted, 1.0f);
    const float middle = surface->offset().x + shown / 2;
    EXPECT_NEAR(expression->horizontalBar()->scroll(), middle / content, 1e-4);
  }
}

TEST_F(Viewers, TheChunkViewerShowsTheFirstWinnerAndKeepsTheChunksOfATick) {
  struct Step {
    std::string terms;
    const char* shown;
    const char* caption;
    size_t table;
  };
  const std::string first = chunkText("chatter", "u1", "tweet", "f(1)");
  const std::string second = chunkText("oracle", "u2", "reply(q9)", "g(2)");
  const std::string malformed = "[oops, 7, u3]";
  const Step steps[] = {
      {tickTerms(7, "[" + first + ", " + second + "]", "[" + first + ", " + second + ", " + malformed + "]", "[]"),
       "f(1)", "T (u1) - chatter - (1.00,0.50,0.25)", 3},  // u1, u2 and the reservation of q9
      // A malformed first winner is passed over; the links go into the table too.
      {tickTerms(8, "[" + malformed + ", " + second + "]", "[]", "[" + chunkText("sage", "u4") + "]"), "g(2)",
       "R (u2) - oracle - (1.00,0.50,0.25)", 4},
      // No winner: the display is cleared.
      {tickTerms(9, "[]", "[]", "[]"), "nothing", "", 4},
      // Winners that are no list show nothing new; the chunks still count.
      {tickTerms(10, "nolist", "[" + chunkText("x", "u5") + "]", "[]"), "nothing", "", 5},
      // Not a tick: ignored.
      {"[11, [" + first + "]]", "nothing", "", 5},
      {"[eleven, [" + first + "], {}]", "nothing", "", 5},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.terms);
    tick(step.terms);
    EXPECT_EQ(shownText(*gist), step.shown);
    EXPECT_EQ(gist->surface()->string(), step.caption);
    EXPECT_EQ(gist->chunks().chunkTable->count(), step.table);
  }
  EXPECT_EQ(gist->chunks().lastTick, 10u);
}

TEST_F(Viewers, WhileTheTimelineIsPausedTicksChangeNothingButAPickIsShown) {
  const std::string first = chunkText("chatter", "u1", "tweet", "f(1)");
  tick(tickTerms(1, "[" + first + "]", "[" + first + "]", "[]"));
  gist->onMessaged(code(0, kVSKGistPaused));
  EXPECT_FALSE(gist->follow());
  tick(tickTerms(2, "[" + chunkText("s", "u2", "tweet", "g(2)") + "]", "[" + chunkText("s", "u2") + "]", "[]"));
  EXPECT_EQ(shownText(*gist), "f(1)");
  EXPECT_EQ(gist->chunks().chunkTable->count(), 1u);
  EXPECT_EQ(gist->chunks().lastTick, 1u);

  Ref<MRKBTerm> picked = readTerm(chunkText("sage", "u9", "query", "p(9)"));
  gist->onMessaged(code(0, kVSKGistShowChunk, picked));
  window->frame();
  EXPECT_EQ(shownText(*gist), "p(9)");
  EXPECT_EQ(gist->surface()->string(), "Q (u9) - sage - (1.00,0.50,0.25)");
  // A pick that is no chunk is dropped; the display stays.
  gist->onMessaged(code(0, kVSKGistShowChunk, readTerm("[not, a, chunk]")));
  gist->onMessaged(code(0, kVSKGistShowChunk));
  EXPECT_EQ(shownText(*gist), "p(9)");

  gist->onMessaged(code(0, kVSKGistLive));
  EXPECT_TRUE(gist->follow());
  EXPECT_EQ(shownText(*gist), "nothing");
  tick(tickTerms(3, "[" + first + "]", "[]", "[]"));
  EXPECT_EQ(shownText(*gist), "f(1)");
}

TEST_F(Viewers, TheTimelineTellsTheChunkViewerOfItsLiveModeAndItsPicks) {
  Ref<VSKCTimelineView> timeline =
      VSKCTimelineView::viewWithSize({400, 300}, {10, 350}, "ui.timeline", "ctm.tick", nullptr);
  ASSERT_TRUE(timeline);
  timeline->setVisible(true);
  ASSERT_TRUE(window->attach(timeline));
  timeline->onMessaged(code(kVSKTimelineControl, kVSKTimelineLive));
  ASSERT_TRUE(window->pumpUntil([&] { return !gist->follow(); }));
  timeline->onMessaged(code(kVSKTimelineControl, kVSKTimelineLive));
  ASSERT_TRUE(window->pumpUntil([&] { return gist->follow(); }));

  // A click on a card of the shown tick picks its chunk.
  const std::string chunk = chunkText("oracle", "u5", "tweet", "w(5)");
  Ref<MRKBTerm> statement = readTerm("<ctm.tick " + tickTerms(4, "[" + chunk + "]", "[" + chunk + "]", "[]") + " 1.0>");
  timeline->onMessaged(LLKCMessage::messageWithCode(
      LLKTMessageCode{kVSKTimelineSquib, 1, 0}, MRKCSquib::squibWithLabel("ctm.tick", statement->asStatement(), 5.0f)));
  gist->onMessaged(code(0, kVSKGistPaused));
  window->frame();
  std::vector<OGLTPoint> centres;
  VSKFTimelineCardCentres(1, timeline->surface()->content().w, centres);
  window->click(timeline->surface()->localToWorld(centres[0]));
  window->frame();
  ASSERT_TRUE(window->pumpUntil([&] { return shownText(*gist) == "w(5)"; }));
  timeline->close();
}

TEST_F(Viewers, APublisherOfMalformedTicksFillsNeitherViewsLog) {
  Ref<VSKCTimelineView> timeline =
      VSKCTimelineView::viewWithSize({400, 300}, {10, 350}, "ui.timeline", "ctm.tick", nullptr);
  ASSERT_TRUE(timeline);
  timeline->setVisible(true);
  ASSERT_TRUE(window->attach(timeline));
  std::vector<std::string> logged;
  (void)LLKFLogSetSink([&](const std::string& line) { logged.push_back(line); });
  auto count = [&](const std::string& start, const std::string& part) {
    size_t n = 0;
    for (const std::string& line : logged)
      if (line.rfind(start, 0) == 0 && line.find(part) != std::string::npos) ++n;
    return n;
  };
  // Four ticks a second for ten seconds: each with a malformed chunk, each followed by a
  // statement that is no tick.
  const std::string good = chunkText("s", "u1");
  for (int n = 1; n <= 40; ++n) {
    const std::string bad = tickTerms(n, "[" + good + "]", "[" + good + ", [oops, 7, u3]]", "[]");
    gist->onMessaged(squibMessage("ctm.tick", bad));
    timeline->onMessaged(squibMessage("ctm.tick", bad));
    timeline->onMessaged(squibMessage("ctm.tick", "[" + std::to_string(n) + ", nolist, {}]"));
    window->frame();
  }
  EXPECT_EQ(count("gist :", "malformed"), 1u);
  EXPECT_EQ(count("timeline :", "malformed"), 1u);
  EXPECT_EQ(count("timeline :", "dropped"), 1u);
  // Leaving, each view tells how many more it did not log.
  logged.clear();
  ASSERT_TRUE(window->detach(Ref<QELBWidget>(timeline)));
  EXPECT_EQ(count("timeline :", "39 more"), 2u);
  (void)LLKFLogSetSink(nullptr);
}

TEST_F(Viewers, APanFollowsThePointerAndEndsOnAReleaseAnywhere) {
  std::string big = "[";
  for (int i = 0; i < 40; ++i)
    big +=
        std::string(i ? ", " : "") + "[a" + std::to_string(i) + ", [b, [c, [d, [e, [f, [g, [h, [i, [j, [k]]]]]]]]]]]";
  tick(tickTerms(1, "[" + chunkText("s", "u1", "tweet", big + "]") + "]", "[]", "[]"));
  window->frame();
  VSKCExpressionSurface* surface = gist->surface();
  ASSERT_GT(surface->content().w, surface->size().w);
  ASSERT_GT(surface->content().h, surface->size().h);
  const OGLTPoint before = surface->offset();
  const OGLTPoint start = onSurface(*gist, {200, 150});

  window->cursorEvent(start, kOGLButtonLeft, kOGLActionPress);
  window->frame();
  ASSERT_TRUE(panning());
  window->cursorEvent({start.x - 40, start.y - 30}, kOGLButtonLeft, kOGLActionPress);
  window->frame();
  EXPECT_NEAR(surface->offset().x, before.x + 40, 0.5f);
  EXPECT_NEAR(surface->offset().y, before.y + 30, 0.5f);
  EXPECT_NEAR(gist->horizontalBar()->scroll(), (surface->offset().x + surface->size().w / 2) / surface->content().w,
              1e-4);
  EXPECT_NEAR(gist->verticalBar()->scroll(), (surface->offset().y + surface->size().h / 2) / surface->content().h,
              1e-4);
  // Held still, the content stays where the pointer put it.
  window->cursorEvent({start.x - 40, start.y - 30}, kOGLButtonLeft, kOGLActionPress);
  window->frame();
  EXPECT_NEAR(surface->offset().x, before.x + 40, 0.5f);
  // Outside the view the pan goes on, and a release there ends it.
  window->cursorEvent({start.x - 20, 690}, kOGLButtonLeft, kOGLActionPress);
  window->frame();
  EXPECT_NEAR(surface->offset().x, before.x + 20, 0.5f);
  window->cursorEvent({start.x - 20, 690}, kOGLButtonLeft, kOGLActionRelease);
  window->frame();
  EXPECT_FALSE(panning());
  // The bars still agree with the offset at the next update.
  EXPECT_NEAR(gist->horizontalBar()->scroll(), (surface->offset().x + surface->size().w / 2) / surface->content().w,
              1e-4);
  // A press outside the surface (the title bar) or on a bar starts nothing.
  QELCScrollbar* bar = gist->verticalBar();
  for (OGLTPoint elsewhere : {gist->localToWorld({100, 5}), bar->localToWorld({8, bar->size().h / 2})}) {
    window->cursorEvent(elsewhere, kOGLButtonLeft, kOGLActionPress);
    window->frame();
    EXPECT_FALSE(panning());
    window->cursorEvent(elsewhere, kOGLButtonLeft, kOGLActionRelease);
    window->frame();
  }
}

TEST_F(Viewers, BothViewersFollowTheirChannelsThroughTheSubstrate) {
  struct Case {
    const char* label;
    std::string terms;
    VSKBTermViewer* view;
    const char* shown;
  };
  const Case cases[] = {
      {"nlp.decode.all", "[0, \"fed\", fed(1), 0]", expression.get(), "fed(1)"},
      {"ctm.tick", tickTerms(3, "[" + chunkText("s", "u1", "tweet", "ticked(2)") + "]", "[]", "[]"), gist.get(),
       "ticked(2)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    Ref<MRKBTerm> statement = readTerm(std::string("<") + c.label + " " + c.terms + " 1.0>");
    Ref<MRKCSquib> squib = MRKCSquib::squibWithLabel(c.label, statement->asStatement(), 5.0f);
    // The observer's label is appended on a strand: publish until it is heard.
    ASSERT_TRUE(window->pumpUntil([&] {
      (void)MRKCSubstrate::shared()->publish(squib.get(), {});
      return shownText(*c.view) == c.shown;
    }));
  }
}

}  // namespace
