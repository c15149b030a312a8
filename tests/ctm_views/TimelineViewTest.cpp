// The timeline view in a headless window: squibs into ticks and the status, malformed ones
// dropped with a log line, the live button told to the chunk viewer, a click on a card handing
// the chunk to it, the title-bar menu flipping its labels with the settings saved on leaving,
// the scroll bars and the wheel moving the surface, and Escape dropping the pick.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/ctm/VSKCTimelineView.h"
#include "app/ctm/VSKFTextDrawing.h"
#include "framework/core/LLKFLog.h"
#include "framework/substrate/MRKCSquib.h"
#include "tests/ctm_views/ChunkText.h"
#include "tests/ctm_views/ViewMenuLabels.h"
#include "tests/widgets/QELTestHeadlessWindow.h"
#include "ui/widgets/QELBMenu.h"

namespace {


// Stands in for the chunk viewer: keeps the codes and payloads poked at it.
class GistRecorder : public QELBWidget {
public:
  GistRecorder() : QELBWidget({0, 0}, {0, 0}) { setAlias("ui.gist"); }
  void onMessaged(const Ref<LLKCMessage>& message) override { heard.push_back(message); }
  std::vector<Ref<LLKCMessage>> heard;
};

class TimelineView : public testing::Test {
protected:
  void SetUp() override {
    window = QELTestHeadlessWindow::make({800, 600});
    ASSERT_TRUE(window);
    view = VSKCTimelineView::viewWithSize({640, 480}, {10, 100}, "ui.timeline", "test.tick", config);
    ASSERT_TRUE(view);
    view->setVisible(true);
    ASSERT_TRUE(window->attach(view));
    gist = makeRef<GistRecorder>();
    ASSERT_TRUE(window->attach(gist));
    previousSink = LLKFLogSetSink([this](const std::string& line) { logged.push_back(line); });
    window->frame();
  }
  void TearDown() override {
    LLKFLogSetSink(previousSink);
    if (!window) return;
    // The observer leaves the substrate on its own thread: wait until it has let go, so that
    // nothing of its is still queued when the process ends.
    Ref<ZRVCObserver> observer = view ? Ref<ZRVCObserver>(view->observer()) : nullptr;
    window->close();
    view = nullptr;
    if (observer) {
      EXPECT_TRUE(window->pumpUntil([&] { return observer->retainCount() == 1; }));
    }
  }
  void squib(const std::string& terms) {
    Ref<MRKCStatement> statement = tickStatement(terms);
    Ref<LLKCMessage> message = LLKCMessage::messageWithCode(
        LLKTMessageCode{kVSKTimelineSquib, 1, 0}, MRKCSquib::squibWithLabel("test.tick", statement.get(), 5.0f));
    view->onMessaged(message);
    window->frame();
  }
  void control(uint32_t uid, uint32_t tag) {
    view->onMessaged(LLKCMessage::messageWithCode(LLKTMessageCode{uid, tag, 0}));
    window->frame();
  }
  std::vector<std::string> menuLabels() { return VSKTestViewMenuLabels(window.get()); }

  Ref<QELTestHeadlessWindow> window;
  Ref<JSKCFrame> config = JSKCFrame::frame();
  Ref<VSKCTimelineView> view;
  Ref<GistRecorder> gist;
  std::vector<std::string> logged;
  LLKTLogSink previousSink;
};

TEST_F(TimelineView, SquibsBecomeTicksAndMalformedOnesAreDroppedWithALogLine) {
  EXPECT_EQ(view->status(), "in-sync");
  squib(tickTerms(41, "[]", "[" + chunkText("a", "u1") + "]", "[]"));
  EXPECT_EQ(view->status(), "41 - in-sync (1 ticks)");
  ASSERT_TRUE(view->surface()->tick());
  EXPECT_EQ(view->surface()->tick()->tick(), 41u);
  squib("[42, [], [\"chunks\"]]");
  EXPECT_EQ(view->status(), "41 - in-sync (1 ticks)") << "a bad statement changes nothing";
  ASSERT_FALSE(logged.empty());
  EXPECT_NE(logged.back().find("timeline : "), std::string::npos) << logged.back();
  squib(tickTerms(43, "[]", "[[a, 7], " + chunkText("b", "u2") + "]", "[]"));
  EXPECT_EQ(view->status(), "43 - in-sync (2 ticks)");
  EXPECT_NE(logged.back().find("1 malformed chunks"), std::string::npos) << logged.back();
}

TEST_F(TimelineView, TheLiveButtonTellsTheChunkViewerAndAClickedCardGoesToIt) {
  squib(tickTerms(5, "[" + chunkText("a", "u1") + "]", "[" + chunkText("a", "u1") + "]", "[]"));
  control(kVSKTimelineControl, kVSKTimelineLive);
  EXPECT_EQ(view->status(), "out-of-sync");
  EXPECT_EQ(view->liveButton()->icon(), 0xE037u);
  control(kVSKTimelineControl, kVSKTimelineLive);
  EXPECT_EQ(view->liveButton()->icon(), 0xE034u);
  ASSERT_TRUE(window->pumpUntil([&] { return gist->heard.size() >= 2; }));
  EXPECT_EQ(gist->heard[0]->codeValue(), 0xA00000000000u);
  EXPECT_EQ(gist->heard[1]->codeValue(), 0xB00000000000u);
  EXPECT_FALSE(gist->heard[0]->payload());

  VSKCTimelineSurface* surface = view->surface();
  OGLTPoint card = surface->localToWorld({surface->size().w / 2 - surface->offset().x, 40 - surface->offset().y});
  window->cursorEvent(card, kOGLButtonLeft, kOGLActionPress);
  window->frame();
  EXPECT_FALSE(surface->chunk()) << "a press picks nothing";
  window->cursorEvent(card, kOGLButtonLeft, kOGLActionRelease);
  window->frame();
  ASSERT_TRUE(surface->chunk());
  ASSERT_TRUE(window->pumpUntil([&] { return gist->heard.size() >= 3; }));
  EXPECT_EQ(gist->heard[2]->codeValue(), 0xC00000000000u);
  EXPECT_EQ(gist->heard[2]->payload().get(), surface->chunk());
}

TEST_F(TimelineView, AQuickClickWhosePressAndReleaseShareAFramePicksTheCard) {
  squib(tickTerms(5, "[" + chunkText("a", "u1") + "]", "[" + chunkText("a", "u1") + "]", "[]"));
  VSKCTimelineSurface* surface = view->surface();
  OGLTPoint card = surface->localToWorld({surface->size().w / 2 - surface->offset().x, 40 - surface->offset().y});
  window->cursorEvent(card, kOGLButtonLeft, kOGLActionPress);
  window->cursorEvent(card, kOGLButtonLeft, kOGLActionRelease);
  window->frame();
  EXPECT_TRUE(surface->chunk());
}

TEST_F(TimelineView, TheMenuFlipsItsLabelsAndTheSettingsAreSavedOnLeaving) {
  view->onToggleMenu();
  window->frame();
  EXPECT_EQ(menuLabels(), (std::vector<std::string>{"Hide Direct chunks", "Hide Kudos", "Roll-up", "Close"}));
  QELBWidget* menu = window->locate("term.menu");
  view->onToggleMenu();
  EXPECT_EQ(window->locate("term.menu"), menu) << "one menu at a time";
  control(kVSKTimelineMenu, kVSKTimelineHideKudos);
  control(kVSKTimelineMenu, kVSKTimelineHideLinks);
  ASSERT_TRUE(window->detach(Ref<QELBWidget>(menu)));
  view->onToggleMenu();
  window->frame();
  EXPECT_EQ(menuLabels(), (std::vector<std::string>{"Show Direct chunks", "Show Kudos", "Roll-up", "Close"}));
  ASSERT_TRUE(window->detach(Ref<QELBWidget>(view)));
  EXPECT_TRUE(config->boolForLabel("hide.kudos", false));
  EXPECT_TRUE(config->boolForLabel("hide.links", false));
  EXPECT_EQ(static_cast<QELBMenu*>(window->locate("term.menu"))->target(), nullptr)
      << "the menu no longer points at the view";
}

// A tick of so many submitted chunks that its cards overflow the surface both ways.
std::string crowdedTick(uint64_t tick) {
  std::string chunks;
  for (int i = 0; i < 30; ++i) chunks += (i ? ", " : "") + chunkText("a", "u" + std::to_string(i));
  return tickTerms(tick, "[]", "[" + chunks + "]", "[]");
}

TEST_F(TimelineView, TheBarsMoveTheSurfaceToTheirValueAndTheWheelMovesTheVerticalOne) {
  squib(crowdedTick(5));
  VSKCTimelineSurface* surface = view->surface();
  const OGLTSize content = surface->content(), shown = surface->size();
  ASSERT_GT(content.w, shown.w);
  ASSERT_GT(content.h, shown.h);
  ASSERT_TRUE(view->verticalBar()->visible());
  ASSERT_TRUE(view->horizontalBar()->visible());
  // A new tick centres the surface and both bars.
  EXPECT_EQ(view->verticalBar()->scroll(), 0.5f);
  EXPECT_EQ(view->horizontalBar()->scroll(), 0.5f);
  EXPECT_NEAR(surface->offset().y, content.h / 2 - shown.h / 2, 1.0f);
  // A bar's value is the content position at the middle of the surface, on even pixels; the
  // surface keeps its content in view.
  auto wanted = [](float along, float across, float scroll) {
    return std::clamp(VSKFRoundEven(along * scroll) - across / 2, 0.0f, along - across);
  };
  struct Case {
    bool vertical;
    float scroll;
  };
  for (const Case& c : {Case{true, 0.3f}, Case{true, 0.7f}, Case{false, 0.45f}, Case{false, 0.55f},
                        Case{false, 0.1f}, Case{true, 1.0f}}) {
    SCOPED_TRACE(std::string(c.vertical ? "vertical " : "horizontal ") + std::to_string(c.scroll));
    QELCScrollbar* bar = c.vertical ? view->verticalBar() : view->horizontalBar();
    bar->setScroll(c.scroll);
    (void)bar->trigger();
    window->frame();
    const float along = c.vertical ? content.h : content.w, across = c.vertical ? shown.h : shown.w;
    EXPECT_NEAR(c.vertical ? surface->offset().y : surface->offset().x, wanted(along, across, c.scroll), 0.5f);
  }
  // The wheel over the view moves the vertical bar a tenth a notch, and the surface with it.
  view->verticalBar()->setScroll(0.5f);
  (void)view->verticalBar()->trigger();
  const OGLTPoint over = view->localToWorld({200, 200});
  for (const auto& [dy, scroll] : {std::pair{-1.0f, 0.6f}, std::pair{2.0f, 0.4f}}) {
    SCOPED_TRACE(dy);
    window->cursorEvent(over);
    window->scroll({0, dy});
    window->frame();
    EXPECT_NEAR(view->verticalBar()->scroll(), scroll, 1e-4);
    EXPECT_NEAR(surface->offset().y, wanted(content.h, shown.h, scroll), 0.5f);
  }
  // Away from the view the wheel is not the timeline's.
  window->cursorEvent({790, 590});
  window->scroll({0, -1});
  window->frame();
  EXPECT_NEAR(view->verticalBar()->scroll(), 0.4f, 1e-4);
}

TEST_F(TimelineView, EscapeOverTheSurfaceDropsThePickedChunk) {
  squib(tickTerms(5, "[" + chunkText("a", "u1") + "]", "[" + chunkText("a", "u1") + "]", "[]"));
  VSKCTimelineSurface* surface = view->surface();
  const OGLTPoint card =
      surface->localToWorld({surface->size().w / 2 - surface->offset().x, 40 - surface->offset().y});
  window->click(card);
  window->frame();
  ASSERT_TRUE(surface->chunk());
  struct Step {
    const char* name;
    OGLTPoint at;
    int32_t action;
    bool kept;
  };
  const Step steps[] = {
      {"a press over the surface", card, kOGLActionPress, true},
      {"a release away from the view", {790, 590}, kOGLActionRelease, true},
      {"a release over the surface", card, kOGLActionRelease, false},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.name);
    window->cursorEvent(step.at);
    window->key(kOGLKeyEscape, step.action);
    window->frame();
    EXPECT_EQ(surface->chunk() != nullptr, step.kept);
  }
}

}  // namespace
