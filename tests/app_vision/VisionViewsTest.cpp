// The vision views on a headless window with the shared substrate: the segmented view's slider
// mapping, throttled pokes and peek replies; the frame paths' checks; the labelled view's
// colours, status and objects.
#include <gtest/gtest.h>

#include "app/vision/VSKCLabeledView.h"
#include "app/vision/VSKCSegmentedView.h"
#include "framework/core/JSKCReader.h"
#include "framework/core/LLKCObjectTuple.h"
#include "framework/substrate/MRKCData.h"
#include "framework/substrate/MRKCReader.h"
#include "framework/substrate/MRKCSquib.h"
#include "framework/substrate/MRKCSubstrate.h"
#include "framework/substrate/MRKCSymbol.h"
#include "tests/substrate/Recorder.h"
#include "tests/vision/ProcessorTestKit.h"
#include "tests/vision/VisionTestKit.h"
#include "tests/widgets/QELTestHeadlessWindow.h"
#include "ui/widgets/QELBLabel.h"
#include "ui/widgets/QELBSlider.h"
#include "ui/widgets/QELBToggle.h"

namespace {

Ref<JSKCFrame> json(const char* text) { return JSKCReader::reader()->readFromString(text); }

TEST(VisionViewParts, SliderPositionsMapOntoTheSegmentersRanges) {
  const struct {
    double position;
    uint32_t lower;
    uint32_t property;
  } cases[] = {{0.0, 8, 8},    {1.0, 8, 128},  {0.5, 8, 68},        {0.5, 24, 76},
               {-0.3, 24, 24}, {1.7, 24, 128}, {std::nan(""), 8, 8}};
  for (const auto& test : cases)
    EXPECT_EQ(VSKFSegmentedViewSliderToProperty(test.position, test.lower), test.property) << test.position;
}

TEST(VisionViewParts, ColoursAreReadFromEitherFormAndMalformedEntriesSkipped) {
  VSKTLabelColours colours;
  EXPECT_EQ(VSKFLabelColoursRead(*json(R"({"labels": [
      {"label": "cat", "color": [1, 0, 0]},
      {"label": "dog", "color": {"r": 0, "g": 1, "b": 0, "a": 0.5}},
      {"label": "short", "color": [0, 1]},
      {"label": "text", "color": [0, "1", 0]},
      {"label": "half", "color": {"r": 0, "g": 1, "b": 0}},
      {"color": [1, 1, 1]},
      "not an entry",
      {"label": "long", "color": [0.1, 0.2, 0.3, 0.4, 0.5]}]})"),
                                 &colours),
            3u);
  ASSERT_EQ(colours.size(), 3u);
  EXPECT_EQ(colours["cat"].r, 1.0f);
  EXPECT_EQ(colours["cat"].a, 1.0f) << "three numbers are opaque";
  EXPECT_EQ(colours["dog"].a, 0.5f);
  EXPECT_FLOAT_EQ(colours["long"].a, 0.4f);
  EXPECT_EQ(VSKFLabelColoursRead(*json(R"({"labels": 3})"), &colours), 0u);
}

TEST(VisionViewParts, CentroidIsTheMeanOfThePoints) {
  const float square[] = {0, 0, 20, 0, 20, 20, 0, 20};
  const OGLTPoint centre = VSKFComputeCentroid(square, 4);
  EXPECT_EQ(centre.x, 10.0f);
  EXPECT_EQ(centre.y, 10.0f);
  const OGLTPoint none = VSKFComputeCentroid(nullptr, 0);
  EXPECT_EQ(none.x, 0.0f);
  EXPECT_EQ(none.y, 0.0f);
}

// A segmenter stand-in: the processor base answers peeks from its properties and stores pokes.
class SegmentedViewTest : public ::testing::Test {
protected:
  void SetUp() override {
    window = QELTestHeadlessWindow::make({800, 600});
    ASSERT_TRUE(window);
    segmenter =
        makeRef<Recorder>("qav.proc.fovl", frameOf(R"({"spix.size": 16, "poly.size": 200, "poly.show": true})"));
    segmenter->answerQueries = true;
    ASSERT_TRUE(MRKCSubstrate::shared()->attach(segmenter.get(), false));
    view = VSKCSegmentedView::viewWithSize({0, 0}, {0, 0}, "ui.qav.seg.fovl", "qav.stream.fovl.seg", "qav.proc.fovl",
                                           320, nullptr);
    ASSERT_TRUE(view);
    view->setVisible(true);
    ASSERT_TRUE(window->attach(view));
  }
  void TearDown() override {
    (void)window->detach(view);
    view->state().picture->setBitmap(nullptr);
    EXPECT_TRUE(MRKCSubstrate::shared()->detach(segmenter.get(), false));
  }

  void send(uint64_t code, Ref<LLKBObject> payload = nullptr, double value = -1) {
    Ref<LLKCMessage> message = LLKCMessage::messageWithCode(code, std::move(payload));
    if (value >= 0) (void)message->details().storeReal(value, "value");
    ASSERT_TRUE(view->poke(message));
    window->pump();
  }
  template <typename T>
  T* widget(const char* alias) {
    return dynamic_cast<T*>(view->state().panel->locate(alias));
  }
  void showImage(const char* format, uint32_t width, uint32_t height, size_t pixelSize) {
    Ref<MRKCStatement> image =
        makeImage("qav.stream.fovl.seg", format, width, height, patternPixels(width, height, pixelSize));
    send(0x10000C000, MRKCSquib::squibWithLabel("qav.stream.fovl.seg", image.get(), 1.0f));
  }

  Ref<QELTestHeadlessWindow> window;
  Ref<Recorder> segmenter;
  Ref<VSKCSegmentedView> view;
};

TEST_F(SegmentedViewTest, SettingsPeekTheSegmenterAndItsRepliesSetTheControls) {
  send(0x40000A000);
  ASSERT_TRUE(window->pumpUntil(
      [&] { return widget<QELBLabel>("spix.size")->text() == "16" && widget<QELBToggle>("poly.show")->value(); }));
  EXPECT_NEAR(widget<QELBSlider>("spix.size.slider")->value(), 8.0 / 120, 1e-4);
  EXPECT_EQ(widget<QELBLabel>("poly.size")->text(), "200");
  EXPECT_NEAR(widget<QELBSlider>("poly.size.slider")->value(), 176.0 / 104, 1e-4) << "not clamped";
  EXPECT_EQ(view->state().panel->state(), kQELPanelRequested);
}

TEST_F(SegmentedViewTest, SliderPokesAreThrottledAndTheLastPositionIsSent) {
  for (int i = 0; i <= 10; ++i) send(0x30000D000, nullptr, i / 10.0);
  EXPECT_EQ(widget<QELBLabel>("spix.size")->text(), "128");
  ASSERT_TRUE(window->pumpUntil([&] { return segmenter->countOf("query ?qav.proc.fovl(poke(spix.size, 128))") == 1; }))
      << ::testing::PrintToString(segmenter->events());
  EXPECT_LE(segmenter->countOf("query ?qav.proc.fovl(poke(spix.size"), 2u)
      << "eleven moves, at most two pokes in 50 ms";
  EXPECT_EQ(segmenter->countOf("query ?qav.proc.fovl(poke(spix.size, 8))"), 1u) << "the first move is poked at once";
}

// With the last image from the projector, every slider move asks for the image again, also a move
// to the value already poked (which is not poked again).
TEST_F(SegmentedViewTest, EverySliderMoveAsksTheProjectorToRepeat) {
  Ref<Recorder> projector = makeRef<Recorder>("qav.proj");
  ASSERT_TRUE(MRKCSubstrate::shared()->attach(projector.get(), false));
  Ref<MRKCStatement> image = makeImage("qav.stream.fovl.seg", "bgr", 8, 8, patternPixels(8, 8, 3));
  ASSERT_TRUE(metaOf(image.get())->store(MRKCSymbol::symbolWithValue("qav.proj").get(), "source") == 0);
  send(0x10000C000, MRKCSquib::squibWithLabel("qav.stream.fovl.seg", image.get(), 1.0f));
  send(0x30000D000, nullptr, 0.5);
  ASSERT_TRUE(projector->waitForCount("query ?qav.proj", 1));
  // The same position again, and the same value from a nearby one: one repeat each time the
  // throttle lets a poke go, none of them poked.
  send(0x30000D000, nullptr, 0.5);
  EXPECT_TRUE(window->pumpUntil([&] { return projector->countOf("query ?qav.proj") >= 2; }))
      << ::testing::PrintToString(projector->events());
  EXPECT_EQ(segmenter->countOf("query ?qav.proc.fovl(poke(spix.size, 68))"), 1u);
  EXPECT_EQ(segmenter->countOf("query ?qav.proc.fovl(poke(spix.size"), 1u);
  EXPECT_TRUE(MRKCSubstrate::shared()->detach(projector.get(), false));
}

TEST_F(SegmentedViewTest, OnlyWholeBgrImagesOfItsStreamAreShown) {
  showImage("rgb", 32, 24, 3);
  EXPECT_FALSE(view->state().picture->bitmap()) << "no bitmap is made for another format";
  Ref<MRKCStatement> cut = makeImage("qav.stream.fovl.seg", "bgr", 32, 24, std::vector<uint8_t>(100));
  send(0x10000C000, MRKCSquib::squibWithLabel("qav.stream.fovl.seg", cut.get(), 1.0f));
  EXPECT_FALSE(view->state().picture->bitmap()) << "too few pixel bytes";
  showImage("bgr", 32, 24, 3);
  ASSERT_TRUE(view->state().picture->bitmap());
  const uint8_t* rgba = view->state().picture->bitmap()->bytes();
  EXPECT_EQ(rgba[0], patternByte(0, 0, 2));
  EXPECT_EQ(rgba[2], patternByte(0, 0, 0));
  EXPECT_EQ(view->status(), "max p.time: 0.0000s");
}

TEST(LabeledView, ShowsTheReceivedImageWithItsObjectsAndDrawsOneWithoutAColourInGrey) {
  Ref<QELTestHeadlessWindow> window = QELTestHeadlessWindow::make({800, 600});
  ASSERT_TRUE(window);
  OutputCapture log;
  Ref<VSKCLabeledView> view =
      VSKCLabeledView::viewWithSize({0, 0}, {0, 0}, "ui.qav.lab.fovl", "qav.stream.fovl.lab", 320, nullptr);
  ASSERT_TRUE(view);
  view->setVisible(true);
  ASSERT_TRUE(window->attach(view));
  auto send = [&](uint64_t code, Ref<LLKBObject> payload) {
    ASSERT_TRUE(view->poke(LLKCMessage::messageWithCode(code, std::move(payload))));
    window->pump();
  };
  send(0x100001000, LLKCObjectTuple::tupleWithObjects({json(R"({"labels": [{"label": "cat", "color": [1, 0, 0]}]})")}));

  Ref<MRKCStatement> image = makeImage("qav.stream.fovl.lab", "bgr", 40, 20, patternPixels(40, 20, 3));
  MRKCFrame* ancillary = asFrame(image->terms()->fetchAtIndex(3));
  const float square[] = {5, 5, 15, 5, 15, 15, 5, 15, 5, 5};
  const float right[] = {25, 5, 35, 5, 35, 15, 25, 15, 25, 5};
  Ref<MRKCData> outline = MRKCData::dataWithFormat(kMRKDataReal32, square, 10);
  Ref<MRKCData> dogOutline = MRKCData::dataWithFormat(kMRKDataReal32, right, 10);
  Ref<MRKBTerm> objects = MRKCReader::reader()->readTermFromString("[[0, cat, []], [1, dog, []]]");
  asList(asList(asList(objects.get())->fetchAtIndex(0))->fetchAtIndex(2))->append(outline.get());
  asList(asList(asList(objects.get())->fetchAtIndex(1))->fetchAtIndex(2))->append(dogOutline.get());
  ASSERT_EQ(ancillary->store(objects.get(), "objects"), 0);
  ASSERT_EQ(ancillary->store(MRKCBinary::binaryWithValue(patternPixels(40, 20, 3)).get(), "image"), 0);
  ASSERT_TRUE(MRKFFrameStoreReal(ancillary, "elapsed", 0.0123));
  send(0x10000C000, MRKCSquib::squibWithLabel("qav.stream.fovl.lab", image.get(), 1.0f));
  EXPECT_EQ(view->status(), "max p.time: 0.0123s, 2 objects detected");
  window->frame();
  window->frame();
  const auto& lines = log.lines();
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "ui.qav.lab.fovl : no color for dog in colors.json, drawn in grey"),
            1);
  // The picture is centred in its 320 x 320 box; the cat's square is filled red around (10, 10).
  const OGLTPoint at = view->localToWorld({0, 0});
  const OGLTRect space = view->space();
  auto pixel = [&](int x, int y) {
    return window->pixel(static_cast<int>(at.x + space.left + 140) + x, static_cast<int>(at.y + space.top + 150) + y);
  };
  const std::array<uint8_t, 4> inside = pixel(10, 10);
  EXPECT_GT(inside[0], 200) << "red fill";
  EXPECT_LT(inside[1], 60);
  // The dog's square, around (30, 10), is filled grey over the picture: its channels come closer
  // than the bare picture's beside it.
  auto spread = [](const std::array<uint8_t, 4>& p) {
    return std::abs(int(p[0]) - int(p[1])) + std::abs(int(p[1]) - int(p[2]));
  };
  const std::array<uint8_t, 4> dog = pixel(30, 10), bare = pixel(22, 10);
  EXPECT_LT(spread(dog), spread(bare) / 2) << "the detection without a colour is drawn in grey";
  // The bitmap's texture belongs to the window's context, which the window takes along.
  (void)window->detach(view);
  view->state().picture->setBitmap(nullptr);
}

}  // namespace
