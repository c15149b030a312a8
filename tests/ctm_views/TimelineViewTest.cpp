// The timeline view in a headless window: squibs into ticks and the status, malformed ones
// dropped with a log line, the live button told to the chunk viewer, a click on a card handing
// the chunk to it, and the title-bar menu flipping its labels with the settings saved on leaving.
#include <gtest/gtest.h>

#include "app/ctm/VSKCTimelineView.h"
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
  window->cursorEvent(card, 1, kOGLActionPress);
  window->frame();
  EXPECT_FALSE(surface->chunk()) << "a press picks nothing";
  window->cursorEvent(card, 1, kOGLActionRelease);
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
  window->cursorEvent(card, 1, kOGLActionPress);
  window->cursorEvent(card, 1, kOGLActionRelease);
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

}  // namespace
