// Opening the workbench's views on a headless window: the opener leaves an open view alone, marks
// a view to leave the window when closed without touching its other flags, and restoring reopens
// only the views saved as visible, saying in the log which saved states it could not use.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/ctm/VSKCGistView.h"
#include "app/ctm/VSKCTimelineView.h"
#include "app/base/VSKFViewOpening.h"
#include "app/shell/VSKFWindowViews.h"
#include "framework/core/JSKCReader.h"
#include "framework/core/JSKCWriter.h"
#include "framework/core/LLKFLog.h"
#include "framework/substrate/MRKCSquib.h"
#include "tests/ctm_views/ChunkText.h"
#include "tests/widgets/QELTestHeadlessWindow.h"

namespace {

class ProbeView : public ZRVBView {
public:
  ProbeView(uint32_t flags, Ref<JSKCFrame> config) : ZRVBView({200, 100}, {10, 100}, "", flags, std::move(config)) {}
};

class ViewOpening : public ::testing::Test {
protected:
  void SetUp() override {
    window = QELTestHeadlessWindow::make({900, 700});
    ASSERT_TRUE(window);
    (void)LLKFLogSetSink([this](const std::string& line) { logged.push_back(line); });
  }
  void TearDown() override {
    (void)LLKFLogSetSink(nullptr);
    if (window) window->close();
  }
  bool saidAbout(const std::string& text) const {
    for (const std::string& line : logged)
      if (line.find(text) != std::string::npos) return true;
    return false;
  }

  Ref<QELTestHeadlessWindow> window;
  std::vector<std::string> logged;
};

TEST_F(ViewOpening, TheCloseFlagIsOredInAndAnOpenViewIsLeftAlone) {
  const VSKTViewOpening opening = {"ui.probe", "Probe", "probe : out of memory", true, true};
  const uint32_t ownFlags = kQELViewTitleBar | kQELViewDetachOnClose;
  int made = 0;
  auto make = [&](Ref<JSKCFrame> frame) {
    ++made;
    return Ref<ZRVBView>(makeRef<ProbeView>(ownFlags, std::move(frame)));
  };
  Ref<JSKCFrame> settings = JSKCFrame::frame();
  Ref<ZRVBView> view = VSKFWindowOpenView(window.get(), settings.get(), nullptr, opening, make);
  ASSERT_TRUE(view);
  // A flag the view already had stays set once, and no other flag appears.
  EXPECT_EQ(view->flags(), ownFlags);
  EXPECT_EQ(view->alias(), "ui.probe");
  EXPECT_TRUE(view->visible());
  EXPECT_EQ(view->config(), settings->frameForLabel("ui.probe").get()) << "the settings entry is made and handed over";

  EXPECT_FALSE(VSKFWindowOpenView(window.get(), settings.get(), nullptr, opening, make));
  EXPECT_EQ(made, 1) << "a second opening makes no view";
  EXPECT_EQ(window->locate("ui.probe"), view.get());
}

TEST_F(ViewOpening, RestoringOpensTheVisibleViewsAndSkipsStatesItCannotUse) {
  struct Case {
    const char* key;
    const char* saved;  // the JSON text stored under the key; none: nothing stored
    bool opens;
    const char* said;  // a log line that names the state; none: no line expected
  };
  const Case cases[] = {
      {"ui.timeline", R"({"visible": true, "position": {"x": 30, "y": 120}})", true, nullptr},
      {"ui.inject", R"({"visible": false})", false, nullptr},
      {"ui.cocofeed", nullptr, false, nullptr},
      // Saved far outside, or in a larger window, or not a size: within reach at the defaults.
      {"ui.expression", R"({"visible": true, "position": {"x": 1e38, "y": -1e38}})", true, nullptr},
      {"ui.gist", R"({"visible": true, "position": {"x": 5000, "y": 100}, "size": "big"})", true,
       "ui.gist has a \"size\" that is not a size"},
      {"ui.conversation", R"("not a frame")", false, "the saved state of ui.conversation is not a frame"},
      {"ui.qav.seg.fovl", R"({"visible": "yes"})", false, "ui.qav.seg.fovl has a \"visible\""},
      {"ui.retired", R"({"visible": true})", false, "no view is named ui.retired"},
  };
  std::string text;
  for (const Case& c : cases)
    if (c.saved) text += (text.empty() ? "{\"" : ", \"") + std::string(c.key) + "\": " + c.saved;
  Ref<JSKCFrame> settings = JSKCReader::reader()->readFromString(text + "}");
  ASSERT_TRUE(settings) << text;
  VSKFWindowRestoreViews(window.get(), settings.get());
  for (const Case& c : cases) {
    SCOPED_TRACE(c.key);
    EXPECT_EQ(window->locate(c.key) != nullptr, c.opens);
    if (c.said) {
      EXPECT_TRUE(saidAbout(c.said));
    }
  }
  QELBWidget* timeline = window->locate("ui.timeline");
  ASSERT_TRUE(timeline);
  EXPECT_EQ(timeline->position().x, 30);
  EXPECT_EQ(timeline->position().y, 120);
  // Every view opened can be taken by its title bar: a grip of it lies inside the window.
  for (const char* key : {"ui.timeline", "ui.expression", "ui.gist"}) {
    SCOPED_TRACE(key);
    QELBWidget* view = window->locate(key);
    ASSERT_TRUE(view);
    const OGLTRect f = view->frame();
    EXPECT_GE(f.right, 2 * kQELViewBarHeight);
    EXPECT_LE(f.left, 900 - 2 * kQELViewBarHeight);
    EXPECT_GE(f.top, 0);
    EXPECT_LE(f.top, 700 - kQELViewBarHeight);
  }
  EXPECT_EQ(window->locate("ui.gist")->size().w, 640) << "the default size stands for one that is not a size";
  // A view that was not saved gets no entry by being read: only an opened view makes its place.
  EXPECT_FALSE(settings->fetchForLabel("ui.cocofeed"));
  EXPECT_TRUE(settings->frameForLabel("ui.timeline"));
  // What could not be used is not kept to be written back unchanged.
  EXPECT_FALSE(settings->frameForLabel("ui.qav.seg.fovl")->fetchForLabel("visible"));
  EXPECT_FALSE(settings->frameForLabel("ui.gist")->fetchForLabel("size"));
}

TEST_F(ViewOpening, ReadingTheSavedViewsLeavesGoodSettingsAsTheyAre) {
  const char* const texts[] = {
      "{}",
      R"({"ui.timeline": {"visible": true, "position": {"x": 30, "y": 120}}, "ui.inject": {"visible": false}})",
      R"({"load.recents": {"items": []}, "ui.gist": {"visible": true}, "other": 3})",
  };
  for (const char* text : texts) {
    SCOPED_TRACE(text);
    Ref<JSKCFrame> settings = JSKCReader::reader()->readFromString(text);
    ASSERT_TRUE(settings);
    std::string before, after;
    ASSERT_TRUE(JSKCWriter::writer()->writeToString(settings.get(), before));
    (void)VSKFWindowSavedViews(*settings);
    ASSERT_TRUE(JSKCWriter::writer()->writeToString(settings.get(), after));
    EXPECT_EQ(after, before);
  }
}

// A tick whose one winner has the gist, as the observer hands it to the chunk viewer.
Ref<LLKCMessage> tickWithGist(uint64_t tick, const std::string& gist) {
  const std::string chunk = chunkText("sender", "u" + std::to_string(tick), "tweet", gist);
  Ref<MRKCStatement> statement = tickStatement(tickTerms(tick, "[" + chunk + "]", "[" + chunk + "]", "[]"));
  return LLKCMessage::messageWithCode(LLKTMessageCode{kVSKViewerSquib, 1, 0},
                                      MRKCSquib::squibWithLabel("ctm.tick", statement.get(), 5.0f));
}

TEST_F(ViewOpening, TheChunkViewerAndTheTimelineLearnEachOthersModeWhenEitherOpens) {
  Ref<JSKCFrame> settings = JSKCFrame::frame();
  auto gist = [&] { return dynamic_cast<VSKCGistView*>(window->locate("ui.gist")); };
  auto timeline = [&] { return dynamic_cast<VSKCTimelineView*>(window->locate("ui.timeline")); };
  auto shown = [&] {
    MRKBTerm* term = gist()->surface()->expr();
    return term ? term->text() : std::string("nothing");
  };
  auto tick = [&](uint64_t n, const std::string& term) {
    gist()->onMessaged(tickWithGist(n, term));
    window->frame();
  };
  auto clickLive = [&] {
    QELBSymbol* button = timeline()->liveButton();
    window->click(button->localToWorld({button->size().w / 2, button->size().h / 2}));
    window->frame();
  };
  // The close button at the right end of the view's title bar.
  auto clickClose = [&](ZRVBView* view) {
    window->click({view->position().x + view->size().w - 5, view->position().y + 11});
    window->frame();
  };

  // Paused, the timeline stops the chunk viewer; closed and opened again, it is live and the
  // chunk viewer follows the ticks again.
  VSKFWindowGist(window.get(), settings.get(), nullptr);
  VSKFWindowTimeline(window.get(), settings.get(), nullptr);
  ASSERT_TRUE(gist() && timeline());
  window->frame();
  clickLive();
  ASSERT_FALSE(timeline()->ticks().live());
  ASSERT_TRUE(window->pumpUntil([&] { return !gist()->follow(); }));
  tick(1, "first(1)");
  EXPECT_EQ(shown(), "nothing");
  clickClose(timeline());
  ASSERT_TRUE(window->pumpUntil([&] { return !timeline(); }));
  VSKFWindowTimeline(window.get(), settings.get(), nullptr);
  ASSERT_TRUE(timeline());
  window->frame();
  EXPECT_TRUE(timeline()->ticks().live());
  EXPECT_TRUE(window->pumpUntil([&] { return gist()->follow(); }));
  tick(2, "second(2)");
  EXPECT_EQ(shown(), "second(2)");

  // A chunk viewer opened while the timeline is paused does not follow the ticks. The timeline,
  // opened over the chunk viewer, is dragged down by its title bar to uncover the viewer's.
  clickLive();
  ASSERT_FALSE(timeline()->ticks().live());
  const OGLTPoint grip = {timeline()->position().x + 300, timeline()->position().y + 11};
  window->drag(grip, {grip.x, grip.y + 30});
  ASSERT_EQ(timeline()->position().y, gist()->position().y + 30);
  clickClose(gist());
  ASSERT_TRUE(window->pumpUntil([&] { return !gist(); }));
  VSKFWindowGist(window.get(), settings.get(), nullptr);
  ASSERT_TRUE(gist());
  window->frame();
  EXPECT_FALSE(gist()->follow());
  tick(3, "third(3)");
  EXPECT_EQ(shown(), "nothing");
}

}  // namespace
