// The COCO feed view on a headless window with the shared substrate, driven by clicks on its
// buttons: the folder kept as "src.path" feeds the first "Submit", the labelling tool's broadcast
// asks for the next image, a view attached again goes on in the order its check box shows and
// with the next frame number, and what the feed cannot do is shown in the view's status bar.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "app/vision/VSKCCocoFeedView.h"
#include "framework/core/JSKCReader.h"
#include "framework/substrate/MRKCString.h"
#include "tests/core/TemporaryFolder.h"
#include "tests/support/dataset/Dataset.h"
#include "tests/vision/VisionTestKit.h"
#include "tests/widgets/QELTestHeadlessWindow.h"
#include "ui/widgets/QELBButton.h"
#include "ui/widgets/QELBCheckbox.h"

namespace {

class CocoFeedViewTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(window);
    ASSERT_TRUE(MRKCSubstrate::shared()->attach(tap.get(), false));
  }
  void TearDown() override {
    if (view) (void)window->detach(view);
    EXPECT_TRUE(MRKCSubstrate::shared()->detach(tap.get(), false));
  }

  // Scenes under the names, "<name>.jpg" and "<name>.json".
  void writeScenes(const std::vector<std::string>& names) {
    std::vector<dataset::Scene> scenes = dataset::synthetic(static_cast<uint32_t>(names.size()), 64, 48, 3);
    for (size_t i = 0; i < names.size(); ++i) scenes[i].name = names[i];
    std::string why;
    ASSERT_TRUE(dataset::write(scenes, folder.path(), &why)) << why;
  }
  // The view on its settings, attached and shown.
  void open(const std::string& settings) {
    view = VSKCCocoFeedView::viewWithSize({0, 0}, {20, 20}, JSKCReader::reader()->readFromString(settings));
    ASSERT_TRUE(view);
    view->setVisible(true);
    ASSERT_TRUE(window->attach(view));
    window->frame();
  }
  void openOnFolder() { open(R"({"src.path": ")" + folder.path() + R"("})"); }

  // The button or check box of the view with that label.
  QELBWidget* control(const std::string& label) const { return find(view.get(), label); }
  static QELBWidget* find(QELBParent* parent, const std::string& label) {
    for (const Ref<QELBWidget>& child : parent->childs()) {
      if (auto* button = dynamic_cast<QELBButton*>(child.get()); button && button->label() == label) return button;
      if (auto* box = dynamic_cast<QELBCheckbox*>(child.get()); box && box->label() == label) return box;
      if (auto* group = dynamic_cast<QELBParent*>(child.get()))
        if (QELBWidget* found = find(group, label)) return found;
    }
    return nullptr;
  }
  void click(const std::string& label) {
    QELBWidget* widget = control(label);
    ASSERT_TRUE(widget) << label;
    window->click(widget->localToWorld({widget->size().w / 2, widget->size().h / 2}));
  }

  // The images published so far, once there are count of them.
  std::vector<Ref<MRKCStatement>> published(size_t count) { return tap->waitFor("qav.stream.raw", count); }
  static std::string sampleOf(const Ref<MRKCStatement>& image) {
    MRKCString* sample = MRKFFrameFetchString(metaOf(image.get()), "sample");
    return sample ? sample->value() : "<none>";
  }
  bool statusStartsWith(const std::string& text) {
    return window->pumpUntil([&] { return view->status().rfind(text, 0) == 0; });
  }
  // The pixels of the status bar, drawn afresh, that stand out from the bar at the start of
  // their row: the status text.
  size_t statusInk() {
    window->frame();
    const OGLTPoint corner = view->localToWorld({0, view->size().h - kQELViewBarHeight});
    size_t ink = 0;
    for (int y = 3; y < int(kQELViewBarHeight) - 3; ++y) {
      const auto bar = window->pixel(int(corner.x) + 3, int(corner.y) + y);
      for (int x = 5; x < int(view->size().w) - 3; ++x) {
        const auto pixel = window->pixel(int(corner.x) + x, int(corner.y) + y);
        int difference = 0;
        for (int c = 0; c < 3; ++c) difference += std::abs(pixel[c] - bar[c]);
        if (difference > 60) ++ink;
      }
    }
    return ink;
  }
  size_t cocoLines(const std::string& text) const {
    const std::vector<std::string> lines = log.lines();
    return size_t(std::count_if(lines.begin(), lines.end(),
                                [&](const std::string& line) { return line.rfind("cocofeed : " + text, 0) == 0; }));
  }

  OutputCapture log;
  TemporaryFolder folder;
  Ref<VisionTap> tap = makeRef<VisionTap>(std::vector<std::string>{"qav.stream.raw"});
  Ref<QELTestHeadlessWindow> window = QELTestHeadlessWindow::make({800, 600});
  Ref<VSKCCocoFeedView> view;
};

TEST_F(CocoFeedViewTest, TheKeptFolderFeedsTheFirstSubmitAndTheBroadcastAsksForTheNext) {
  writeScenes({"first", "second"});
  openOnFolder();
  click("Submit");
  ASSERT_EQ(published(1).size(), 1u) << "no folder dialog is needed";
  EXPECT_EQ(sampleOf(published(1)[0]), "first");
  // What the labelling tool sends through the window for its next image.
  ASSERT_TRUE(window->broadcast(LLKCMessage::messageWithCode({0xFFFF, 0xFFFF, 0})));
  window->pump();
  ASSERT_EQ(published(2).size(), 2u);
  EXPECT_EQ(sampleOf(published(2)[1]), "second");
  EXPECT_EQ(metaUint(published(2)[1].get(), "frameid"), 2u);
}

TEST_F(CocoFeedViewTest, AViewAttachedAgainGoesOnInItsOrderAndCountsOn) {
  writeScenes({"only"});
  openOnFolder();
  click("random sample");
  auto* random = dynamic_cast<QELBCheckbox*>(control("random sample"));
  ASSERT_TRUE(random && random->value());
  click("Submit");
  ASSERT_EQ(published(1).size(), 1u);

  ASSERT_TRUE(window->detach(view));
  ASSERT_TRUE(window->attach(view));
  window->frame();
  EXPECT_TRUE(random->value());
  click("Submit");
  ASSERT_EQ(published(2).size(), 2u);
  EXPECT_EQ(metaUint(published(2)[1].get(), "frameid"), 2u) << "the frame count goes on";
  // In random order the folder of one image wraps around instead of ending.
  click("Submit");
  EXPECT_EQ(published(3).size(), 3u) << view->status();
  EXPECT_EQ(cocoLines("no more images"), 0u);
}

TEST_F(CocoFeedViewTest, WhatTheFeedCannotDoIsShownInItsStatusBarAndLoggedOnce) {
  writeScenes({"a", "b"});
  std::ofstream(folder.file("b.json"), std::ios::trunc) << R"({"1": [{"ctid": 1, "area": 1e400}]})";
  open("{}");
  EXPECT_EQ(statusInk(), 0u);

  click("Submit");
  ASSERT_TRUE(statusStartsWith("no source folder"));
  EXPECT_GT(statusInk(), 40u) << "the status is drawn";

  // The folder picked: the status is cleared; the feed starts at its first image.
  Ref<LLKCMessage> picked = LLKCMessage::messageWithCode({kVSKCocoFeedUid, kVSKCocoFeedPicked, 0});
  (void)picked->details().storeObject(LLKCFSFolder::folderWithFullPath(folder.path().c_str()), "folder");
  ASSERT_TRUE(view->poke(picked));
  window->pump();
  EXPECT_EQ(view->status(), "");
  EXPECT_EQ(statusInk(), 0u);
  click("Submit");
  ASSERT_EQ(published(1).size(), 1u);

  // Annotations that cannot be read: said, and the image is not published.
  click("Submit");
  ASSERT_TRUE(statusStartsWith("cannot read b.json"));
  click("Repeat");
  click("Submit");
  ASSERT_TRUE(statusStartsWith("no more images"));
  click("Submit");
  click("Submit");
  ASSERT_TRUE(statusStartsWith("no more images"));
  EXPECT_GT(statusInk(), 40u);
  EXPECT_EQ(published(1).size(), 1u);
  EXPECT_EQ(cocoLines("cannot read b.json"), 1u);
  EXPECT_EQ(cocoLines("no more images"), 1u);
}

}  // namespace
