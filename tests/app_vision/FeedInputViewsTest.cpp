// The views that push input into a running solution, on a headless window with the shared
// substrate: the image feed's cursor steering the region of interest and asking the projector for
// its image again (at most every 30 ms), its space bar and bitmap reuse; the inject image view's
// listing, picks and keys; the inject key view's characters.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "app/base/VSKFPaths.h"
#include "app/vision/VSKCImageView.h"
#include "app/vision/VSKCInjectViews.h"
#include "framework/substrate/MRKCSquib.h"
#include "framework/substrate/MRKCSubstrate.h"
#include "framework/substrate/MRKCSymbol.h"
#include "tests/substrate/Recorder.h"
#include "tests/vision/VisionTestKit.h"
#include "tests/widgets/QELTestHeadlessWindow.h"
#include "ui/widgets/QELBApplication.h"
#include "ui/widgets/QELBBoard.h"

namespace {

namespace fs = std::filesystem;

// A processor that records the properties poked into it.
class PokeRecorder : public Recorder {
public:
  using Recorder::Recorder;
  bool onPropertyPoked(const std::string& name, MRKBTerm* value) override {
    record("poked " + name + " " + MRKFTermText(value));
    return true;
  }
};

constexpr uint64_t kSquibArrived = 0x40000E000;

class ImageViewTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(window);
    ASSERT_TRUE(MRKCSubstrate::shared()->attach(extractor.get(), false));
    ASSERT_TRUE(MRKCSubstrate::shared()->attach(projector.get(), false));
    view = VSKCImageView::viewWithSize({0, 0}, {0, 0}, "qav.stream", nullptr);
    ASSERT_TRUE(view);
    view->setVisible(true);
    ASSERT_TRUE(window->attach(view));
    window->frame();
  }
  void TearDown() override {
    (void)window->detach(view);
    view->state().picture->setBitmap(nullptr);
    EXPECT_TRUE(MRKCSubstrate::shared()->detach(extractor.get(), false));
    EXPECT_TRUE(MRKCSubstrate::shared()->detach(projector.get(), false));
  }

  void show(const char* format, uint32_t width, uint32_t height, size_t pixelSize, const char* source = nullptr) {
    Ref<MRKCStatement> image = makeImage("qav.stream", format, width, height, patternPixels(width, height, pixelSize));
    if (source) {
      ASSERT_EQ(metaOf(image.get())->store(MRKCSymbol::symbolWithValue(source).get(), "source"), 0);
    }
    ASSERT_TRUE(view->poke(
        LLKCMessage::messageWithCode(kSquibArrived, MRKCSquib::squibWithLabel("qav.stream", image.get(), 1.0f))));
    window->pump();
  }
  // A point of the picture box, in its local coordinates, as the window sees it.
  OGLTPoint at(float x, float y) { return view->state().picture->localToWorld({x, y}); }
  size_t pokes() { return extractor->countOf("poked roi.center"); }
  size_t repeats() { return projector->countOf("query ?qav.proj(repeat)"); }

  Ref<QELTestHeadlessWindow> window = QELTestHeadlessWindow::make({800, 800});
  Ref<PokeRecorder> extractor = makeRef<PokeRecorder>("qav.extr");
  Ref<Recorder> projector = makeRef<Recorder>("qav.proj");
  Ref<VSKCImageView> view;
};

TEST_F(ImageViewTest, TheBitmapIsReusedWhileTheSizeStaysAndTheSpaceBarPauses) {
  show("bgr", 320, 240, 3);
  Ref<QELCBitmap> first = view->state().picture->bitmap();
  ASSERT_TRUE(first);
  EXPECT_EQ(first->size().w, 320.0f);
  show("bgr", 640, 480, 3);
  Ref<QELCBitmap> second = view->state().picture->bitmap();
  ASSERT_TRUE(second);
  EXPECT_EQ(second->size().w, 640.0f);
  show("rgb", 640, 480, 3);
  EXPECT_EQ(view->state().picture->bitmap(), second) << "the same size reuses the bitmap";
  EXPECT_EQ(second->bytes()[0], patternByte(0, 0, 0)) << "rgb taken as it is";
  // Paused by the space bar's release: an image of another size is dropped; a second release
  // shows images again.
  window->moveTo(at(10, 10));
  window->key(kOGLKeySpace, kOGLActionPress);
  window->key(kOGLKeySpace, kOGLActionRelease);
  window->frame();
  EXPECT_FALSE(view->live());
  show("bgr", 100, 50, 3);
  EXPECT_EQ(view->state().picture->bitmap(), second);
  window->key(kOGLKeySpace, kOGLActionPress);
  window->key(kOGLKeySpace, kOGLActionRelease);
  window->frame();
  show("bgr", 100, 50, 3);
  ASSERT_TRUE(view->state().picture->bitmap());
  EXPECT_EQ(view->state().picture->bitmap()->size().w, 100.0f);
  // A format the view does not show is not shown.
  show("rgba", 100, 50, 4);
  EXPECT_EQ(view->state().picture->bitmap()->bytes()[0], patternByte(0, 0, 2));
}

TEST_F(ImageViewTest, PressesSteerTheRegionCentreAndAskTheProjectorAtMostEvery30Ms) {
  const OGLTRect box = view->state().picture->bounds();
  // The cross starts at (0, 0): a first press there is not a move.
  window->click(at(0, 0));
  EXPECT_EQ(pokes(), 0u);
  // After a release the cross is at (-1, -1); the centre pokes [0, 0], the corner [-320, -320].
  window->click(at(box.right / 2, box.bottom / 2));
  ASSERT_TRUE(extractor->waitForEvent("poked roi.center [+0, +0]")) << ::testing::PrintToString(extractor->events());
  EXPECT_EQ(view->state().cursor.x, -1.0f) << "a release puts the cross away";
  window->click(at(0, 0));
  ASSERT_TRUE(extractor->waitForEvent("poked roi.center [-320, -320]"))
      << ::testing::PrintToString(extractor->events());
  EXPECT_EQ(repeats(), 0u) << "an image not from the projector is not asked for again";

  // From the projector: a press and a drag within one frame (far less than 30 ms apart) poke
  // twice but ask once; the dragged point is not kept.
  show("bgr", 64, 64, 3, "qav.proj");
  window->cursorEvent(at(100, 100), kOGLButtonLeft, kOGLActionPress);
  window->cursorEvent(at(200, 200), kOGLButtonLeft, kOGLActionPress);
  window->frame();
  ASSERT_TRUE(extractor->waitForCount("poked roi.center", 4)) << ::testing::PrintToString(extractor->events());
  ASSERT_TRUE(projector->waitForCount("query ?qav.proj(repeat)", 1));
  EXPECT_EQ(view->state().cursor.x, 100.0f);
  EXPECT_EQ(view->state().cursor.y, 100.0f);
  // A point within one unit of the cross is no move: nothing is sent.
  window->cursorEvent(at(100.3f, 100.3f), kOGLButtonLeft, kOGLActionPress);
  window->frame();
  // A release outside the picture steers nothing but puts the cross away.
  window->cursorEvent(at(box.right + 3, box.bottom + 3), kOGLButtonLeft, kOGLActionRelease);
  window->frame();
  EXPECT_EQ(view->state().cursor.x, -1.0f);
  EXPECT_EQ(view->state().lastRepeat, 0) << "a release lets the next press ask at once";
  window->cursorEvent(at(50, 50), kOGLButtonLeft, kOGLActionPress);
  window->frame();
  ASSERT_TRUE(projector->waitForCount("query ?qav.proj(repeat)", 2)) << ::testing::PrintToString(projector->events());
  ASSERT_TRUE(extractor->waitForCount("poked roi.center", 5));
  EXPECT_EQ(pokes(), 5u) << ::testing::PrintToString(extractor->events());
  EXPECT_EQ(repeats(), 2u);
  // The right button steers nothing.
  const size_t before = pokes();
  window->click(at(10, 10), 2);
  window->pump();
  EXPECT_EQ(pokes(), before);
}

// The inject views on the resources beside the program: its "images" folder.
class InjectViewsTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(window && application);
    images = VSKFResourcePath("images");
    ASSERT_FALSE(images.empty());
    for (const auto& file : fs::directory_iterator(images))
      if (file.is_regular_file()) names.push_back(file.path().filename().string());
    std::sort(names.begin(), names.end());
    ASSERT_GE(names.size(), 2u);
    ASSERT_TRUE(MRKCSubstrate::shared()->attach(projector.get(), false));
    ASSERT_TRUE(MRKCSubstrate::shared()->attach(keys.get(), false));
    ASSERT_TRUE(MRKCSubstrate::shared()->disclose("console.keypress", keys->guid()));
  }
  void TearDown() override {
    if (view) (void)window->detach(view);
    EXPECT_TRUE(MRKCSubstrate::shared()->detach(projector.get(), false));
    EXPECT_TRUE(MRKCSubstrate::shared()->detach(keys.get(), false));
  }
  QELBBoard* entry(size_t i) {
    return dynamic_cast<QELBBoard*>(imageView->list()->_childs()->fetchAtIndex(uint32_t(i)).get());
  }
  // Which entries are selected.
  std::vector<bool> selection() {
    std::vector<bool> selected;
    for (size_t i = 0; i < names.size(); ++i) selected.push_back(entry(i)->selected());
    return selected;
  }
  std::vector<bool> only(size_t i) {
    std::vector<bool> selected(names.size(), false);
    selected[i] = true;
    return selected;
  }
  std::string injected(size_t i) { return "query ?qav.proj(inject, \"" + images + "/" + names[i] + "\")"; }
  // The inject-images view on the window, every file of the folder listed on its board.
  void openImageView() {
    imageView = VSKCInjectImageView::viewWithSize({0, 0}, {0, 0}, nullptr);
    ASSERT_TRUE(imageView);
    view = imageView;
    view->setVisible(true);
    ASSERT_TRUE(window->attach(view));
    ASSERT_TRUE(window->pumpUntil([&] { return imageView->list()->_childs()->count() == names.size(); }));
    window->frame();
  }
  void press(int32_t key) {
    window->key(key, kOGLActionPress);
    window->key(key, kOGLActionRelease);
    window->frame();
  }

  Ref<QELCApplication> application = QELCApplication::applicationWithName("inject-test", 0, nullptr);
  Ref<QELTestHeadlessWindow> window = QELTestHeadlessWindow::make({800, 600});
  std::string images;
  std::vector<std::string> names;
  Ref<Recorder> projector = makeRef<Recorder>("qav.proj");
  Ref<Recorder> keys = makeRef<Recorder>("keys");
  Ref<VSKCInjectImageView> imageView;
  Ref<QELBView> view;
};

TEST_F(InjectViewsTest, EveryFileIsListedInNameOrderAndAPickInjectsIt) {
  openImageView();
  ASSERT_FALSE(HasFailure());
  for (size_t i = 0; i < names.size(); ++i) {
    auto* file = dynamic_cast<LLKCFSFile*>(entry(i)->ancillary().get());
    ASSERT_TRUE(file);
    EXPECT_EQ(file->name(), names[i]);
  }
  // A click on the last entry injects its file and leaves it alone selected.
  const size_t last = names.size() - 1;
  const OGLTRect box = entry(last)->bounds();
  window->click(entry(last)->localToWorld({box.right / 2, box.bottom / 2}));
  ASSERT_TRUE(projector->waitForEvent(injected(last))) << ::testing::PrintToString(projector->events());
  EXPECT_EQ(selection(), only(last));
  // Down on the last entry changes and sends nothing; up moves the pick and injects (keys go to
  // the view under the cursor).
  press(kOGLKeyDown);
  press(kOGLKeyUp);
  ASSERT_TRUE(projector->waitForEvent(injected(last - 1))) << ::testing::PrintToString(projector->events());
  EXPECT_EQ(selection(), only(last - 1));
  EXPECT_EQ(projector->countOf("query ?qav.proj"), 2u) << "down on the last entry sends nothing";
}

// Each entry of the board is picked by a click on the first and on the last pixel row it is drawn
// on: its frame's stroke reaches both.
TEST_F(InjectViewsTest, AnEntryIsPickedOnTheFirstAndLastPixelRowsItIsDrawnOn) {
  openImageView();
  ASSERT_FALSE(HasFailure());
  for (size_t i = 0; i < names.size(); ++i) {
    const OGLTRect box = entry(i)->bounds();
    const float middle = (box.left + box.right) / 2;
    for (float row : {box.top, box.bottom - 1}) {
      // Another entry picked first, so that each click has something to change.
      const size_t other = (i + 1) % names.size();
      const OGLTRect otherBox = entry(other)->bounds();
      window->click(entry(other)->localToWorld({middle, (otherBox.top + otherBox.bottom) / 2}));
      window->frame();
      ASSERT_EQ(selection(), only(other));
      window->click(entry(i)->localToWorld({middle, row}));
      window->frame();
      EXPECT_EQ(selection(), only(i)) << "entry " << i << ", pixel row " << row;
    }
  }
}

TEST_F(InjectViewsTest, TypedCharactersArePublishedAsKeypresses) {
  view = VSKCInjectKeyView::viewWithSize({200, 100}, {0, 0}, nullptr);
  ASSERT_TRUE(view);
  view->setVisible(true);
  ASSERT_TRUE(window->attach(view));
  window->frame();
  window->moveTo(view->localToWorld({20, 40}));
  window->character('a');
  window->frame();
  ASSERT_TRUE(keys->waitForEvent("squib console.keypress [97]")) << ::testing::PrintToString(keys->events());
  window->key(kOGLKeyLeftShift, kOGLActionPress);  // Shift: a key without a character
  window->key(kOGLKeyLeftShift, kOGLActionRelease);
  window->character(0x00E9);
  window->frame();
  ASSERT_TRUE(keys->waitForCount("squib console.keypress", 2));
  EXPECT_EQ(keys->countOf("squib console.keypress [233]"), 1u);
  EXPECT_EQ(keys->countOf("squib"), 2u);
}

}  // namespace
