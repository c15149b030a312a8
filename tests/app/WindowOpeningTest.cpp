// The main window in process, on the display: opening publishes the constants and settles the
// data folder (the saved one when it exists, else the default made under XDG_DATA_HOME), and the
// observer follows the stage's ticks until closing.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <thread>

#include "app/shell/VSKCWindow.h"
#include "app/shell/VSKFWindowCodes.h"
#include "app/vision/VSKCLabelingView.h"
#include "ui/widgets/QELBGraph.h"
#include "framework/app/ZRVCSolutionPickDialog.h"
#include "framework/core/LLKCFSFolder.h"
#include "framework/core/LLKCString.h"
#include "tests/app/RecordingWindow.h"
#include "ui/widgets/QELBMessageDialog.h"
#include "framework/app/ZRVCApplication.h"
#include "framework/substrate/MRKCNumber.h"
#include "framework/substrate/MRKCString.h"
#include "framework/substrate/MRKCSubstrate.h"
#include "tests/core/TemporaryFolder.h"
#include "tests/gl/OGLTestXServer.h"
#include "ui/gl/OGLBWindow.h"

namespace {

std::string constantText(const char* key) {
  Ref<MRKCString> text = MRKCSubstrate::shared()->constants()->fetch<MRKCString>(key);
  return text ? std::string(text->value()) : std::string();
}

using Step = std::function<void(VSKCWindow&)>;

// Runs the window with its application until it opened, runs the steps one turn of the window's
// thread after the other (what a step pokes or posts arrives before the next), then closes it
// as Quit does.
void runOpened(std::vector<Step> steps) {
  Ref<VSKCWindow> window = VSKCWindow::window();
  ASSERT_TRUE(window);
  char name[] = "vesko-test";
  char* argv[] = {name, nullptr};
  Ref<ZRVCApplication> application = ZRVCApplication::applicationWithName("vesko", window.get(), 1, argv);
  ASSERT_TRUE(application && application->start());
  application->ready()->wait();
  std::atomic<size_t> done{0};
  std::function<void()> next = [&] {
    steps[done](*window);
    if (++done < steps.size() && window->sched(next)) return;
    window->stop();
  };
  ASSERT_TRUE(window->sched(next));
  EXPECT_TRUE(window->startSync());
  application->stopAndJoin();
  EXPECT_EQ(done.load(), steps.size());
}

void runOpened(const Step& check) { runOpened(std::vector<Step>{check}); }

// The command of the Commands menu as its item sends it.
Ref<LLKCMessage> command(uint32_t tag) { return LLKCMessage::messageWithCode({kVSKCommand, tag, 1}); }

class WindowOpeningTest : public ::testing::Test {
protected:
  // The GL layer stays open to the end: closing it unloads the software driver, whose blocks
  // the leak checker could then no longer tell from ours.
  static void SetUpTestSuite() { opened = OGLTestEnsureDisplay() && OGLFInit(); }
  void SetUp() override {
    ASSERT_TRUE(opened);
    setenv("VESKO_CONFIG_DIR", settings.path().c_str(), 1);
    setenv("XDG_DATA_HOME", data.path().c_str(), 1);
  }
  static inline bool opened = false;
  TemporaryFolder settings, data;
};

TEST_F(WindowOpeningTest, PublishesTheConstantsAndUsesTheDefaultDataFolder) {
  runOpened([&](VSKCWindow& window) {
    std::string folder = data.path() + "/vesko";
    EXPECT_EQ(window.dataPath(), folder);
    EXPECT_TRUE(std::filesystem::is_directory(folder));
    EXPECT_EQ(constantText("path.data"), folder);
    EXPECT_TRUE(std::filesystem::exists(constantText("path.rscs") + "/app.json")) << constantText("path.rscs");
    Ref<MRKCNumber> ux = MRKCSubstrate::shared()->constants()->fetch<MRKCNumber>("vesko.ux");
    EXPECT_TRUE(ux && ux->boolean());
    EXPECT_TRUE(window.observer()->isAttached());
    EXPECT_EQ(window.observer()->target().get(), window.stats().view.get());
    ASSERT_TRUE(window.menubar());
  });
}

TEST_F(WindowOpeningTest, WithEmptySettingsTheRecentsAndTheStatisticsHaveTheirFramesFromTheStart) {
  runOpened([&](VSKCWindow& window) {
    ASSERT_TRUE(window.config());
    for (const char* key : {"load.recents", "ui.stats.ctm"}) {
      Ref<JSKCFrame> frame = window.config()->frameForLabel(key);
      ASSERT_TRUE(frame) << key;
      EXPECT_EQ(frame->count(), 0u) << key;
    }
    // The statistics view is made hidden at its default place.
    ASSERT_TRUE(window.stats().view);
    EXPECT_FALSE(window.stats().view->visible());
    EXPECT_EQ(window.stats().view->position().x, 10);
    EXPECT_EQ(window.stats().view->position().y, 100);
  });
}

TEST_F(WindowOpeningTest, TheStatisticsGraphsHaveTheirLabelsColoursAndRanges) {
  struct Case {
    const char* label;
    OGLTColor colour;
  };
  runOpened([&](VSKCWindow& window) {
    const VSKTStatsRecord& stats = window.stats();
    const std::pair<QELCGraph*, Case> cases[] = {
        {stats.sck.get(), {"SCK", {0.149f, 0.545f, 0.823f, 1.0f}}},
        {stats.bck.get(), {"BCK", {0.827f, 0.211f, 0.509f, 1.0f}}},
        {stats.uck.get(), {"UCK", {0.423f, 0.443f, 0.768f, 1.0f}}},
    };
    for (const auto& [graph, c] : cases) {
      SCOPED_TRACE(c.label);
      ASSERT_TRUE(graph);
      EXPECT_EQ(graph->label(), c.label);
      const QELTGraphSetup& setup = graph->record().setup;
      EXPECT_EQ(setup.kind, 3);
      EXPECT_FLOAT_EQ(setup.colour.r, c.colour.r);
      EXPECT_FLOAT_EQ(setup.colour.g, c.colour.g);
      EXPECT_FLOAT_EQ(setup.colour.b, c.colour.b);
      EXPECT_FLOAT_EQ(setup.colour.a, c.colour.a);
      EXPECT_EQ(setup.capacity, 100u);
      EXPECT_EQ(graph->record().samples.size(), 100u);
      EXPECT_FLOAT_EQ(setup.min, 0.0f);
      EXPECT_FLOAT_EQ(setup.max, 1.0f);
      EXPECT_FALSE(setup.mean);
      EXPECT_TRUE(setup.dynamic);
      EXPECT_EQ(graph->size().w, 160);
      EXPECT_EQ(graph->size().h, 40);
    }
  });
}

TEST_F(WindowOpeningTest, UsesTheSavedDataFolderWhileItExists) {
  std::string saved = data.path() + "/elsewhere";
  std::filesystem::create_directories(saved);
  std::filesystem::create_directories(settings.path() + "/vesko");
  std::string text = "{\"data.path\": \"" + saved + "\"}";
  FILE* file = std::fopen((settings.path() + "/vesko/config.json").c_str(), "w");
  ASSERT_TRUE(file);
  std::fputs(text.c_str(), file);
  std::fclose(file);
  runOpened([&](VSKCWindow& window) {
    EXPECT_EQ(window.dataPath(), saved);
    EXPECT_FALSE(window.locate("dlg.data.path"));
  });
  // Once it is gone the default is used and the user is asked where the folder is.
  std::filesystem::remove(saved);
  runOpened([&](VSKCWindow& window) {
    EXPECT_EQ(window.dataPath(), data.path() + "/vesko");
    EXPECT_TRUE(window.locate("dlg.data.path"));
  });
}

TEST_F(WindowOpeningTest, TheDataFolderPickedIsSavedPublishedAndToldToTheLabellingViews) {
  std::string picked = data.path() + "/picked";
  std::filesystem::create_directories(picked);
  struct Case {
    const char* name;
    uint32_t tag;
    std::string folder;  // "" for none
    bool taken;
  };
  const Case cases[] = {
      {"picked", kVSKDataFolderPicked, picked, true},
      {"no folder", kVSKDataFolderPicked, "", false},
      {"another tag", kVSKDataFolderPicked + 1, picked, false},
      {"a folder gone", kVSKDataFolderPicked, data.path() + "/gone", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Ref<RecordingWidget> labelling = RecordingWidget::make();
    labelling->setAlias("ui.qav.labeling.fovl");
    runOpened({[&](VSKCWindow& window) {
                 ASSERT_TRUE(window.attach(labelling));
                 Ref<LLKCMessage> choice = LLKCMessage::messageWithCode({kVSKDataFolder, c.tag, 0});
                 if (!c.folder.empty()) {
                   // The folder may go between the choice and its message.
                   std::filesystem::create_directories(c.folder);
                   Ref<LLKCFSFolder> folder = LLKCFSFolder::folderWithFullPath(c.folder.c_str());
                   ASSERT_TRUE(folder);
                   if (c.folder != picked) std::filesystem::remove(c.folder);
                   (void)choice->details().storeObject(folder, "folder");
                 }
                 EXPECT_TRUE(window.onMessaged(choice));
                 std::string expected = c.taken ? picked : data.path() + "/vesko";
                 EXPECT_EQ(window.dataPath(), expected);
                 EXPECT_EQ(constantText("path.data"), expected);
                 EXPECT_EQ(window.config()->stringForLabel("data.path", ""), c.taken ? picked : "");
               },
               [&](VSKCWindow&) {
                 ASSERT_EQ(labelling->messages.size(), c.taken ? 1u : 0u);
                 if (!c.taken) return;
                 const LLKCMessage& poked = *labelling->messages[0];
                 EXPECT_EQ(poked.code(), (LLKTMessageCode{kVSKLabelingDataFolderUid, 1, 0}));
                 Ref<LLKCString> path = poked.payloadAs<LLKCString>();
                 EXPECT_TRUE(path && path->string() == picked);
               }});
    std::filesystem::remove(settings.path() + "/vesko/config.json");
  }
}

TEST_F(WindowOpeningTest, LoadCommandsOpenOneSolutionPickDialogWhereTheyStart) {
  TemporaryFolder home, work;
  std::string tests = work.path() + "/etc/vesko";
  std::filesystem::create_directories(tests);
  std::filesystem::path before = std::filesystem::current_path();
  const char* homeBefore = std::getenv("HOME");
  std::string savedHome = homeBefore ? homeBefore : "";
  setenv("HOME", home.path().c_str(), 1);
  struct Case {
    const char* name;
    uint32_t command;
    std::string workingFolder;
    std::string shown;
  };
  const Case cases[] = {
      {"a solution, from home", kVSKCommandLoadSolution, work.path(), home.path()},
      {"a test, from ./etc/vesko", kVSKCommandLoadTest, work.path(), tests},
      {"a test without ./etc/vesko, from home", kVSKCommandLoadTest, home.path(), home.path()},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::filesystem::current_path(c.workingFolder);
    runOpened([&](VSKCWindow& window) {
      EXPECT_TRUE(window.onMessaged(command(c.command)));
      auto* dialog = dynamic_cast<ZRVCSolutionPickDialog*>(window.locate("ui.sol.pick"));
      ASSERT_TRUE(dialog);
      EXPECT_EQ(dialog->path(), c.shown);
      EXPECT_EQ(dialog->filters(), std::vector<std::string>{"json"});
      EXPECT_EQ(dialog->onSelect()->code(), (LLKTMessageCode{kVSKLoadRequest, 0, kVSKFromMenu}));
      // Asked again while it is shown: no second dialog.
      EXPECT_TRUE(window.onMessaged(command(kVSKCommandLoadSolution)));
      EXPECT_TRUE(window.detach(Ref<QELBWidget>(dialog)));
      EXPECT_FALSE(window.locate("ui.sol.pick"));
    });
  }
  std::filesystem::current_path(before);
  setenv("HOME", savedHome.c_str(), 1);
}

TEST_F(WindowOpeningTest, TheAboutBoxIsShownOnceWithTheFrameworksVersion) {
  runOpened([&](VSKCWindow& window) {
    EXPECT_TRUE(window.onMessaged(LLKCMessage::messageWithCode({kZRVWindowCommand, kZRVCommandAbout, 0})));
    auto* about = dynamic_cast<QELCMessageDialog*>(window.locate("dlg.about"));
    ASSERT_TRUE(about);
    EXPECT_NE(about->message().find("Preview: 45.1\nZarn:    0.1.0\nArch:    linux."), std::string::npos)
        << about->message();
    EXPECT_EQ(about->symbol(), 0xE801u);
    EXPECT_TRUE(window.onMessaged(LLKCMessage::messageWithCode({kZRVWindowCommand, kZRVCommandAbout, 0})));
    EXPECT_TRUE(window.detach(Ref<QELBWidget>(about)));
    EXPECT_FALSE(window.locate("dlg.about"));
  });
}

}  // namespace
