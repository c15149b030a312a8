// The labelling view on a headless window with the UI application's scheduler: the labels listed
// once however often they load, settings clamped to their ranges, and a changed sample that is
// never dropped unsaved: a failed save is told and keeps it, "next", a load or a clone moves on
// once it is saved, leaving the window saves it, and revert always lets the user move on; a frame
// of the feed saved again replaces its image's labelling. A loaded sample is drawn where a fed one
// is, an outline follows what its object holds, and the boxes and status describe the sample on
// screen.
#include <gtest/gtest.h>

#include <unistd.h>

#include <array>
#include <cstring>
#include <cmath>
#include <filesystem>
#include <fstream>

#include "app/vision/VSKCCocoFeedView.h"
#include "app/vision/VSKCLabelingView.h"
#include "app/vision/VSKFVisionView.h"
#include "framework/core/JSKCReader.h"
#include "framework/core/LLKCObjectTuple.h"
#include "framework/core/LLKCString.h"
#include "tests/samples/SampleTestKit.h"
#include "tests/vision/VisionTestKit.h"
#include "tests/widgets/QELTestHeadlessWindow.h"
#include "ui/widgets/QELBApplication.h"
#include "ui/widgets/QELBCheckbox.h"
#include "ui/widgets/QELBLabel.h"
#include "ui/widgets/QELBMenuItem.h"
#include "ui/widgets/QELBSlider.h"

namespace {

namespace fs = std::filesystem;

Ref<JSKCFrame> json(const char* text) { return JSKCReader::reader()->readFromString(text); }

// What a failed save says: the sample is kept, and how to move on.
constexpr const char* kNotSaved = "sample not saved: it stays changed, save it again or revert it to move on";

// A grid of 8-pixel red squares (2 x 2 unless told) on a "bgr" image of the view's feed.
Ref<MRKCStatement> segmentedFrame(const char* name, int16_t cols = 2, int16_t rows = 2) {
  std::vector<Ref<MRKBTerm>> entries;
  for (int16_t i = 0; i < rows * cols; ++i)
    entries.push_back(
        squareSuperpixelFrame(i, int16_t((i % cols) * 8), int16_t((i / cols) * 8), 8, 10, 20, 200, {0.5f}));
  Ref<MRKCStatement> grid = segmentedStatement(uint64_t(rows), uint64_t(cols), 8, std::move(entries));
  const auto width = uint32_t(cols * 8), height = uint32_t(rows * 8);
  Ref<MRKCStatement> image = makeImage("qav.stream.fovl.seg", "bgr", width, height, patternPixels(width, height, 3));
  MRKCFrame* from = asFrame(grid->terms()->fetchAtIndex(3));
  MRKCFrame* to = asFrame(image->terms()->fetchAtIndex(3));
  for (const char* key : {"superpixels", "rows", "cols", "size"})
    EXPECT_EQ(to->store(from->fetchForString(key), key), 0);
  EXPECT_TRUE(MRKFFrameStoreTerm(metaOf(image.get()), "sample", MRKCString::stringWithValue(name).get()));
  return image;
}

class LabelingViewTest : public ::testing::Test {
protected:
  void SetUp() override {
    folder = fs::temp_directory_path() / ("vsk-labeling-" + std::to_string(getpid()));
    fs::create_directories(folder);
    ASSERT_TRUE(application && window);
  }
  void TearDown() override {
    // The picture's texture belongs to the window's context: it goes while the context lives
    // (the fixture lets go of the view only after the window).
    if (view) view->state().picture->setBitmap(nullptr);
    if (view) (void)window->detach(view);
    fs::remove_all(folder);
  }

  void open(const char* settings) {
    view = VSKCLabelingView::viewWithSize({0, 0}, {0, 0}, "ui.qav.labeling.fovl", "qav.stream.fovl.seg", 320,
                                          json(settings));
    ASSERT_TRUE(view);
    view->setVisible(true);
    ASSERT_TRUE(window->attach(view));
    // The resource files beside the test are read when the view is attached.
    ASSERT_TRUE(window->pumpUntil([&] { return view->state().labelNames->count() > 0; }));
  }
  void send(Ref<LLKCMessage> message) {
    ASSERT_TRUE(view->poke(message));
    window->pump();
  }
  void send(LLKTMessageCode code, Ref<LLKBObject> payload = nullptr) {
    send(LLKCMessage::messageWithCode(code, std::move(payload)));
  }
  void setting(uint32_t tag, double value) {
    Ref<LLKCMessage> message = LLKCMessage::messageWithCode({0xD000, tag, 0});
    (void)message->details().storeReal(value, "value");
    send(message);
  }
  // A frame taken and shown.
  void showSample(Ref<MRKCStatement> frame) {
    send(kVSKLabelingSquib, MRKCSquib::squibWithLabel("qav.stream.fovl.seg", frame.get(), 1.0f));
    ASSERT_TRUE(window->pumpUntil([&] { return view->state().shown; }));
  }
  // The label chosen in the label box for the selected object.
  void chooseLabel(uint64_t label) {
    Ref<LLKCMessage> message = LLKCMessage::messageWithCode({0xE000, 2, 1});
    (void)message->details().storeUint(label, "selected");
    send(message);
  }
  // A frame taken and shown, then changed by a label chosen in the label box.
  void showChangedSample(const char* name, uint64_t label = 3) {
    showSample(segmentedFrame(name));
    chooseLabel(label);
    ASSERT_TRUE(view->state().sample->touched()) << "a label change marks the sample changed";
  }
  // The sample of that name chosen in the samples box (selected there when it is listed).
  void pickSample(const char* name) {
    for (uint32_t i = 0; i < view->state().sampleNames->count(); ++i)
      if (view->state().sampleNames->fetchAtIndexAs<LLKCString>(i)->string() == name)
        view->state().samples->setSelected(i);
    Ref<LLKCMessage> pick = LLKCMessage::messageWithCode({0xE000, 2, 2});
    (void)pick->details().storeObject(LLKCString::stringWithString(name), "value");
    send(pick);
  }
  // The first object slot's label in the sample file of that name, -1 when there is none.
  int savedLabel(const std::string& name) {
    Ref<VSKCImageSample> read = VSKCImageSample::sampleFromPath((folder / "qav" / "fovl" / (name + ".bin")).string());
    return read ? int(read->objects()[0]) : -1;
  }
  // The name the samples box shows.
  std::string listedSample() {
    Ref<LLKCString> name = view->state().sampleNames->fetchAtIndexAs<LLKCString>(view->state().samples->selected());
    return name ? name->string() : "";
  }
  void dataFolder(const std::string& path) {
    send(LLKCMessage::messageWithCode({0xA000, 1, 0}, LLKCString::stringWithString(path)));
  }

  fs::path folder;
  Ref<QELCApplication> application = QELCApplication::applicationWithName("labeling-test", 0, nullptr);
  Ref<QELTestHeadlessWindow> window = QELTestHeadlessWindow::make({800, 600});
  Ref<VSKCLabelingView> view;
};

TEST_F(LabelingViewTest, LabelsAreListedOnceHoweverOftenTheyLoad) {
  open("{}");
  Ref<LLKCObjectTuple> files = LLKCObjectTuple::tupleWithObjects(
      {json(R"({"qav.stream.fovl.seg": ["A", "B"]})"),
       json(R"({"labels": [{"id": 1, "qav.fovl": "A"}, {"id": 90, "qav.fovl": "B"}]})")});
  send(kVSKLabelingLabelsLoaded, files);
  send(kVSKLabelingLabelsLoaded, files);
  ASSERT_EQ(view->state().labelNames->count(), 3u);
  ASSERT_TRUE(view->state().labelsTable);
  ASSERT_EQ(view->state().labelsTable->length(), 91 * sizeof(uint32_t));
  uint32_t ninety = 0;
  std::memcpy(&ninety, view->state().labelsTable->bytes() + 90 * sizeof(uint32_t), sizeof ninety);
  EXPECT_EQ(ninety, 2u) << "category 90 of two categories is labelled";
}

TEST_F(LabelingViewTest, TheSettingsPanelOpensOnTheViewsValues) {
  open(R"({"auto.next": true})");
  QELBPanel& panel = *view->state().panel;
  // The title bar's menu: its "Settings" item clicked.
  static_cast<QELBView&>(*view).onToggleMenu();
  window->frame();
  auto* menu = dynamic_cast<QELBParent*>(window->locate("term.menu"));
  ASSERT_TRUE(menu && !menu->childs().empty());
  auto* list = dynamic_cast<QELBParent*>(menu->childs().front().get());
  ASSERT_TRUE(list);
  QELBMenuItem* settings = nullptr;
  for (const Ref<QELBWidget>& child : list->childs())
    if (auto* item = dynamic_cast<QELBMenuItem*>(child.get()); item && item->label() == "Settings") settings = item;
  ASSERT_TRUE(settings);
  const OGLTRect box = settings->bounds();
  window->click(settings->localToWorld({box.right / 2, box.bottom / 2}));
  // The item sends its message once its click highlight has run out.
  for (int i = 0; i < 10 && panel.state() != kQELPanelRequested; ++i) window->frame();
  EXPECT_EQ(panel.state(), kQELPanelRequested);
  EXPECT_NEAR(dynamic_cast<QELBSlider*>(panel.locate("proximity.slider"))->value(), 4.0 / 24, 1e-6);
  EXPECT_NEAR(dynamic_cast<QELBSlider*>(panel.locate("threshold.slider"))->value(), 9.0 / 99, 1e-6);
  ASSERT_TRUE(dynamic_cast<QELBLabel*>(panel.locate("proximity.label")));
  ASSERT_TRUE(dynamic_cast<QELBLabel*>(panel.locate("threshold.label")));
  EXPECT_EQ(dynamic_cast<QELBLabel*>(panel.locate("proximity.label"))->text(), "5");
  EXPECT_EQ(dynamic_cast<QELBLabel*>(panel.locate("threshold.label"))->text(), "10");
  setting(2, 1.0);
  EXPECT_EQ(dynamic_cast<QELBLabel*>(panel.locate("proximity.label"))->text(), "25");
  EXPECT_TRUE(dynamic_cast<QELBCheckbox*>(panel.locate("autonext"))->value());
  EXPECT_FALSE(dynamic_cast<QELBCheckbox*>(panel.locate("autosave"))->value());
}

TEST_F(LabelingViewTest, SettingsAreTakenWithinTheirRanges) {
  open(R"({"proximity": 1000, "threshold": -5})");
  EXPECT_EQ(view->state().cursor.proximity, 25u);
  EXPECT_EQ(view->state().cursor.threshold, 1.0);
  const struct {
    uint32_t tag;
    double position;
    uint32_t proximity;
    double threshold;
  } cases[] = {{2, 0.0, 1, 1}, {2, 1.0, 25, 1}, {3, 0.5, 25, 51}, {3, 7.0, 25, 100}, {2, -3.0, 1, 100}};
  for (const auto& c : cases) {
    setting(c.tag, c.position);
    EXPECT_EQ(view->state().cursor.proximity, c.proximity) << c.tag << " " << c.position;
    EXPECT_EQ(view->state().cursor.threshold, c.threshold) << c.tag << " " << c.position;
  }
}

TEST_F(LabelingViewTest, AChangedSampleIsNeverDroppedUnsaved) {
  open("{}");
  showChangedSample("first");
  Ref<VSKCImageSample> changed = view->state().sample;
  // A data folder where nothing can be made: the save fails and "next" keeps the sample.
  dataFolder("/proc/vesko-labeling-nowhere");
  send(kVSKLabelingNext);
  ASSERT_TRUE(window->pumpUntil([&] { return view->status().find("not saved") != std::string::npos; }))
      << view->status();
  EXPECT_EQ(view->state().sample.get(), changed.get());
  EXPECT_TRUE(changed->touched());
  EXPECT_FALSE(view->state().waiting);
  send(kVSKLabelingSave);
  ASSERT_TRUE(window->pumpUntil([&] { return view->status() == kNotSaved; })) << view->status();
  EXPECT_TRUE(changed->touched());
  // Once it can be saved, "next" saves it and then waits for the next frame.
  dataFolder(folder.string());
  send(kVSKLabelingNext);
  ASSERT_TRUE(window->pumpUntil([&] { return view->state().waiting; })) << view->status();
  EXPECT_FALSE(view->state().sample);
  Ref<VSKCImageSample> saved = VSKCImageSample::sampleFromPath((folder / "qav" / "fovl" / "first.bin").string());
  ASSERT_TRUE(saved);
  EXPECT_EQ(saved->objects()[0], 3u);
}

TEST_F(LabelingViewTest, ALoadedOrClonedSampleTakesTheChangedOnesPlaceOnlyOnceItIsSaved) {
  open("{}");
  showChangedSample("first");
  Ref<VSKCImageSample> changed = view->state().sample;
  Ref<VSKCImageSample> other = VSKCImageSample::sampleFromStatement(segmentedFrame("other").get(), "other", 0);
  ASSERT_TRUE(other);
  dataFolder("/proc/vesko-labeling-nowhere");
  for (LLKTMessageCode code : {kVSKLabelingLoaded, kVSKLabelingClone}) {
    send(LLKCMessage::messageWithCode(code, code == kVSKLabelingLoaded ? other : nullptr));
    ASSERT_TRUE(window->pumpUntil([&] { return !view->state().incoming; })) << code.value();
    EXPECT_EQ(view->status(), kNotSaved) << code.value();
    EXPECT_EQ(view->state().sample.get(), changed.get()) << code.value();
    EXPECT_TRUE(changed->touched()) << code.value();
  }
  dataFolder(folder.string());
  send(kVSKLabelingLoaded, other);
  ASSERT_TRUE(window->pumpUntil([&] { return view->state().sample == other && view->state().shown; }))
      << view->status();
  Ref<VSKCImageSample> saved = VSKCImageSample::sampleFromPath((folder / "qav" / "fovl" / "first.bin").string());
  ASSERT_TRUE(saved);
  EXPECT_EQ(saved->objects()[0], 3u);
}

TEST_F(LabelingViewTest, SamplesAreLoadedClonedAndRevertedAndTheTenLatestListed) {
  open("{}");
  send(kVSKLabelingLoad);
  EXPECT_TRUE(view->locate("dlg.error")) << "no sample folder yet: the dialog says so";
  dataFolder(folder.string());
  showChangedSample("first");
  send(kVSKLabelingSave);
  ASSERT_TRUE(window->pumpUntil([&] { return view->status() == "sample saved"; })) << view->status();
  send(kVSKLabelingNext);
  ASSERT_TRUE(window->pumpUntil([&] { return view->state().waiting; }));
  // Chosen again in the samples box: loaded from its file and shown.
  Ref<LLKCMessage> pick = LLKCMessage::messageWithCode({0xE000, 2, 2});
  (void)pick->details().storeObject(LLKCString::stringWithString("first"), "value");
  send(pick);
  ASSERT_TRUE(window->pumpUntil([&] { return view->state().sample && view->state().shown; }));
  EXPECT_EQ(view->state().sample->name(), "first");
  EXPECT_EQ(view->state().sample->objects()[0], 3u);
  EXPECT_EQ(view->state().sampleNames->count(), 1u) << "a name already listed is chosen, not added";
  for (int i = 0; i < 10; ++i) send(kVSKLabelingClone);
  ASSERT_EQ(view->state().sampleNames->count(), 10u);
  EXPECT_NE(view->state().sampleNames->fetchAtIndexAs<LLKCString>(0)->string(), "first")
      << "the eleventh pushes the oldest out";
  EXPECT_EQ(view->state().samples->selected(), 9u);
  view->state().sample->objects()[0] = 4;
  view->state().sample->setTouched(true);
  send(kVSKLabelingRevert);
  EXPECT_EQ(view->state().sample->labeled(), 0u) << "a clone starts with free slots";
  EXPECT_FALSE(view->state().sample->touched());
  EXPECT_EQ(view->status(), "sample reset");
}

TEST_F(LabelingViewTest, ClicksAddToTheObjectAndTheOverlayShowsLabelledObjects) {
  open("{}");
  showChangedSample("drawn");
  window->frame();  // laid out
  window->frame();
  const OGLTPoint origin = VSKFVisionViewPictureOrigin(*view->state().picture);
  auto at = [&](float x, float y) { return view->state().picture->localToWorld({origin.x + x, origin.y + y}); };
  auto green = [&](OGLTPoint p) {
    window->frame();
    const std::array<uint8_t, 4> pixel = window->pixel(static_cast<int>(p.x), static_cast<int>(p.y));
    return pixel[1] > 100;  // the squares are red (200, 20, 10) under a half-green fill
  };
  // A click on the first square puts it into object 1 (label 3): filled green.
  const OGLTPoint first = at(4, 4), second = at(12, 12);
  window->click(first);
  EXPECT_EQ(view->state().sample->superpixels()[0].mask, 1u);
  EXPECT_EQ(view->status(), "1 objects labeled");
  window->moveTo({5, 5});
  EXPECT_TRUE(green(first));
  EXPECT_FALSE(green(second));
  // Object 2 has no label: its square is not filled, nor is object 1's while object 2 is chosen.
  Ref<LLKCMessage> choose = LLKCMessage::messageWithCode({0xE000, 2, 3});
  (void)choose->details().storeUint(1, "selected");
  send(choose);
  EXPECT_EQ(view->state().cursor.selectedObject, 2u);
  window->click(second);
  EXPECT_EQ(view->state().sample->superpixels()[3].mask, 2u);
  window->moveTo({5, 5});
  EXPECT_FALSE(green(first));
  EXPECT_FALSE(green(second));
  // The compare gesture: its first click shows the objects labelled again, its second the
  // distances.
  window->cursorEvent(first, kOGLButtonLeft, kOGLActionPress, kOGLModControl);
  window->cursorEvent(first, kOGLButtonLeft, kOGLActionRelease, kOGLModControl);
  window->frame();
  EXPECT_EQ(view->status(), "1 objects labeled");
  window->cursorEvent(second, kOGLButtonLeft, kOGLActionPress, kOGLModControl);
  window->cursorEvent(second, kOGLButtonLeft, kOGLActionRelease, kOGLModControl);
  window->frame();
  EXPECT_EQ(view->status().substr(0, 2), "p:");
  window->cursorEvent(first, kOGLButtonLeft, kOGLActionPress, kOGLModControl);
  window->cursorEvent(first, kOGLButtonLeft, kOGLActionRelease, kOGLModControl);
  window->frame();
  EXPECT_EQ(view->status(), "1 objects labeled") << "a third starts a new pair";
  EXPECT_EQ(view->state().sample->superpixels()[0].mask, 1u) << "the gesture changes no mask";
  // Alt held shows every superpixel of any object.
  window->key(kOGLKeyLeftAlt, kOGLActionPress);
  EXPECT_TRUE(green(first));
  EXPECT_TRUE(green(second));
  window->key(kOGLKeyLeftAlt, kOGLActionRelease);
  EXPECT_FALSE(green(first));
}

// A sample file whose one labelled superpixel's outline is a star of 2 001 points crossing itself
// everywhere: loaded, shown and outlined as the disc its points lie on, the window drawing on.
TEST_F(LabelingViewTest, AStarOutlineFromAFileIsOutlinedAsItsHull) {
  open("{}");
  dataFolder(folder.string());
  const std::vector<uint8_t> bytes = oneOutlineSampleFile("star", 200, starOutline(2001, 100, 90));
  {
    std::ofstream out(view->state().sampleFolder + "/star.bin", std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  }
  Ref<LLKCMessage> pick = LLKCMessage::messageWithCode({0xE000, 2, 2});
  (void)pick->details().storeObject(LLKCString::stringWithString("star"), "value");
  send(pick);
  ASSERT_TRUE(window->pumpUntil([&] { return view->state().contours != nullptr; })) << view->status();
  EXPECT_EQ(view->state().sample->name(), "star");
  const LLKCObjectDeque& contours = *view->state().contours;
  ASSERT_EQ(contours.count(), 1u);
  Ref<NRKCPolygon> outline = contours.fetchAtIndexAs<NRKCPolygon>(0);
  ASSERT_TRUE(outline);
  ASSERT_EQ(outline->length(), 64u);
  for (uint32_t i = 0; i < outline->length(); ++i) {
    const NRKTPoint p = outline->points()[i];
    EXPECT_NEAR(std::hypot(p.x - 100, p.y - 100), 90, 2) << "point " << i << " lies on the disc's rim";
  }
  window->frame();
}

// Counts the window's "next image" broadcasts.
class NextListener : public QELBWidget {
public:
  NextListener() : QELBWidget({1, 1}, {0, 0}) {}
  void onBroadcast(const Ref<LLKBObject>& object) override {
    auto* message = dynamic_cast<LLKCMessage*>(object.get());
    if (message && message->is(kVSKCocoFeedNextImage)) ++heard;
  }
  int heard = 0;
};

// Whatever stops the save before "next" (no sample folder, a folder that cannot be written, a name
// no file takes), revert gives back the sample as it came and "next" then moves on.
TEST_F(LabelingViewTest, RevertThenNextMovesOnAfterAFailedSave) {
  Ref<NextListener> listener = makeRef<NextListener>();
  ASSERT_TRUE(window->attach(listener));
  open(R"({"auto.next": true})");
  const std::string longName(128, 'n');
  const struct {
    const char* name;
    std::string sample;
    std::string dataFolder;
    const char* status;
  } cases[] = {
      {"no sample folder", "first", "",
       "sample not saved: there is no sample folder yet; it stays changed, revert it to move on"},
      {"a folder that cannot be written", "second", "/proc/vesko-labeling-nowhere", kNotSaved},
      {"a name no file takes", longName, folder.string(), kNotSaved},
  };
  int heard = 0;
  for (const auto& test : cases) {
    SCOPED_TRACE(test.name);
    if (!test.dataFolder.empty()) dataFolder(test.dataFolder);
    showChangedSample(test.sample.c_str());
    Ref<VSKCImageSample> changed = view->state().sample;
    send(kVSKLabelingNext);
    ASSERT_TRUE(window->pumpUntil([&] { return view->status() == test.status; })) << view->status();
    EXPECT_FALSE(view->state().waiting);
    send(kVSKLabelingRevert);
    EXPECT_FALSE(changed->touched());
    EXPECT_EQ(changed->objects()[0], 0u) << "the label chosen is given back";
    EXPECT_EQ(view->state().labels->selected(), 0u);
    send(kVSKLabelingNext);
    EXPECT_TRUE(view->state().waiting);
    EXPECT_FALSE(view->state().sample);
    EXPECT_EQ(listener->heard, ++heard) << "auto next asks for the next image again";
  }
  EXPECT_TRUE(fs::is_empty(folder / "qav" / "fovl")) << "nothing was saved";
  (void)window->detach(listener);
}

// A sample goes back to the file it came from; a frame of the feed is the labelling of the image
// it names, and saving it again replaces that labelling: no second file is made.
TEST_F(LabelingViewTest, ASampleIsSavedToItsFileAndAFrameAsItsImagesLabelling) {
  open("{}");
  dataFolder(folder.string());
  const fs::path samples = folder / "qav" / "fovl";
  // "victim" labelled 3 and saved; then "cp victim.bin copy.bin".
  showChangedSample("victim");
  send(kVSKLabelingNext);
  ASSERT_TRUE(window->pumpUntil([&] { return view->state().waiting; })) << view->status();
  ASSERT_EQ(savedLabel("victim"), 3);
  fs::copy_file(samples / "victim.bin", samples / "copy.bin");
  // copy.bin loaded, relabelled and saved: back into copy.bin, listed as "copy".
  pickSample("copy");
  ASSERT_TRUE(window->pumpUntil([&] { return view->state().sample && view->state().shown; })) << view->status();
  EXPECT_EQ(view->state().sample->name(), "copy");
  chooseLabel(1);
  send(kVSKLabelingSave);
  ASSERT_TRUE(window->pumpUntil([&] { return view->status() == "sample saved"; })) << view->status();
  EXPECT_EQ(savedLabel("copy"), 1);
  EXPECT_EQ(savedLabel("victim"), 3);
  EXPECT_EQ(listedSample(), "copy");
  // The image "victim" fed again, labelled and saved twice: victim.bin holds the newest labels.
  send(kVSKLabelingNext);
  for (uint64_t label : {2, 4}) {
    SCOPED_TRACE(label);
    if (view->state().waiting) showSample(segmentedFrame("victim"));
    chooseLabel(label);
    send(kVSKLabelingSave);
    ASSERT_TRUE(window->pumpUntil([&] { return !view->state().sample->touched(); })) << view->status();
    EXPECT_EQ(view->status(), "sample saved");
    EXPECT_EQ(savedLabel("victim"), int(label));
    EXPECT_EQ(listedSample(), "victim");
  }
  const std::vector<fs::path> files(fs::directory_iterator(samples), fs::directory_iterator{});
  EXPECT_EQ(files.size(), 2u) << "victim.bin and copy.bin, and no other";
}

// A changed sample leaving the window (its view closed, or the program ending) is saved as "next"
// saves it; one that cannot be saved is named in the log.
TEST_F(LabelingViewTest, AChangedSampleIsSavedAsTheViewLeavesTheWindow) {
  open("{}");
  dataFolder(folder.string());
  showChangedSample("closed");
  ASSERT_TRUE(window->detach(view));
  EXPECT_EQ(savedLabel("closed"), 3);
  EXPECT_FALSE(view->state().sample->touched());

  // Attached again, with a sample folder that cannot be written.
  ASSERT_TRUE(window->attach(view));
  dataFolder("/proc/vesko-labeling-nowhere");
  send(kVSKLabelingNext);
  showChangedSample("stuck");
  OutputCapture log;
  ASSERT_TRUE(window->detach(view));
  EXPECT_TRUE(log.sawText("ui.qav.labeling.fovl : the changed sample stuck could not be saved")) << log.text();
}

// A sample loaded from its file is drawn where the frame it was made of was drawn.
TEST_F(LabelingViewTest, ALoadedSampleIsDrawnWhereAFedFrameIs) {
  open("{}");
  dataFolder(folder.string());
  // A 32 x 16 frame, wider than high: centred in the 320 x 320 picture box.
  showSample(segmentedFrame("wide", 4, 2));
  chooseLabel(3);
  window->frame();
  window->frame();
  const OGLTPoint origin = VSKFVisionViewPictureOrigin(*view->state().picture);
  const OGLTPoint corner = view->state().picture->localToWorld({origin.x + 2, origin.y + 2});
  const OGLTPoint bottom = view->state().picture->localToWorld({origin.x + 30, origin.y + 14});
  auto red = [&](OGLTPoint p) {
    window->moveTo({5, 5});
    window->frame();
    const std::array<uint8_t, 4> pixel = window->pixel(static_cast<int>(p.x), static_cast<int>(p.y));
    return pixel[0] > 150 && pixel[1] < 60 && pixel[2] < 60;
  };
  ASSERT_TRUE(red(corner) && red(bottom)) << "the fed frame's squares";
  send(kVSKLabelingNext);
  ASSERT_TRUE(window->pumpUntil([&] { return view->state().waiting; })) << view->status();
  pickSample("wide");
  ASSERT_TRUE(window->pumpUntil([&] { return view->state().sample && view->state().shown; })) << view->status();
  window->frame();
  window->frame();
  EXPECT_TRUE(red(corner)) << "the loaded sample's first square where the frame's was";
  EXPECT_TRUE(red(bottom)) << "and its last";
  // Clicks land on the superpixel drawn under them.
  window->click(bottom);
  EXPECT_EQ(view->state().sample->superpixels()[7].mask, 1u);
}

// The outline shows what the object holds: with nothing, none, whether its last superpixel was
// clicked away or the object cleared with a Shift-click.
TEST_F(LabelingViewTest, AnOutlineGoesWithTheObjectsLastSuperpixel) {
  open("{}");
  showChangedSample("outlined");
  window->frame();
  window->frame();
  const OGLTPoint origin = VSKFVisionViewPictureOrigin(*view->state().picture);
  const OGLTPoint first = view->state().picture->localToWorld({origin.x + 4, origin.y + 4});
  // The outline's pure red, not the squares' (200, 20, 10), around the image.
  auto outlined = [&] {
    window->moveTo({5, 5});
    int found = 0;
    for (int y = -3; y < 20; ++y)
      for (int x = -3; x < 20; ++x) {
        const std::array<uint8_t, 4> p = window->pixel(int(first.x) - 4 + x, int(first.y) - 4 + y);
        found += p[0] > 215 && p[1] < 40 && p[2] < 40;
      }
    return found > 0;
  };
  const struct {
    const char* how;
    int32_t mods;
  } cases[] = {{"clicked again", 0}, {"cleared with a Shift-click", kOGLModShift}};
  for (const auto& test : cases) {
    SCOPED_TRACE(test.how);
    window->click(first);
    ASSERT_TRUE(window->pumpUntil([&] { return view->state().contours != nullptr; })) << view->status();
    EXPECT_TRUE(outlined());
    window->cursorEvent(first, kOGLButtonLeft, kOGLActionPress, test.mods);
    window->cursorEvent(first, kOGLButtonLeft, kOGLActionRelease, test.mods);
    window->frame();
    EXPECT_EQ(view->state().sample->superpixels()[0].mask, 0u);
    window->pump();
    EXPECT_FALSE(view->state().contours);
    EXPECT_FALSE(outlined());
  }
}

// After a clone the label box and the status describe the clone; after a failed load the samples
// box names the sample still on screen.
TEST_F(LabelingViewTest, TheBoxesAndStatusDescribeTheSampleOnScreen) {
  open("{}");
  dataFolder(folder.string());
  showChangedSample("gone");
  send(kVSKLabelingNext);
  ASSERT_TRUE(window->pumpUntil([&] { return view->state().waiting; })) << view->status();
  showChangedSample("original");
  send(kVSKLabelingSave);
  ASSERT_TRUE(window->pumpUntil([&] { return view->status() == "sample saved"; })) << view->status();
  send(kVSKLabelingClone);
  EXPECT_EQ(view->state().labels->selected(), 0u) << "the clone's object 1 has no label";
  EXPECT_EQ(view->status(), "0 objects labeled");
  const std::string clone = view->state().sample->name();
  EXPECT_EQ(listedSample(), clone);
  // "gone" chosen in the samples box after its file went: the clone stays, and is named.
  fs::remove(folder / "qav" / "fovl" / "gone.bin");
  pickSample("gone");
  ASSERT_TRUE(window->pumpUntil([&] { return view->status() == "the sample could not be loaded"; })) << view->status();
  EXPECT_EQ(view->state().sample->name(), clone);
  EXPECT_EQ(listedSample(), clone);
}

// Each frame is saved as its image's labelling: the feed rewound saves the same files again.
TEST_F(LabelingViewTest, AutoSaveSavesEachFrameAndAutoNextAsksForTheNext) {
  Ref<NextListener> listener = makeRef<NextListener>();
  ASSERT_TRUE(window->attach(listener));
  open(R"({"auto.save": true, "auto.next": true})");
  dataFolder(folder.string());
  for (int round = 1; round <= 2; ++round) {
    send(kVSKLabelingSquib, MRKCSquib::squibWithLabel("qav.stream.fovl.seg", segmentedFrame("auto").get(), 1.0f));
    ASSERT_TRUE(window->pumpUntil([&] { return listener->heard == round; }));
    EXPECT_TRUE(view->state().waiting);
  }
  const std::vector<fs::path> files(fs::directory_iterator(folder / "qav" / "fovl"), fs::directory_iterator{});
  ASSERT_EQ(files.size(), 1u);
  EXPECT_EQ(files[0].filename(), "auto.bin");
  (void)window->detach(listener);
}

}  // namespace
