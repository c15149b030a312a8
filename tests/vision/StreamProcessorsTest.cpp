// Converter, resizer and region-of-interest extractor, on a substrate and one statement at a time.
#include <gtest/gtest.h>

#include <thread>

#include "imagekit/IMKFImageConvert.h"
#include "modules/vision/module/QAVFEncodeJPEG.h"
#include "modules/vision/processors/QAVCConverter.h"
#include "modules/vision/processors/QAVCROIExtractor.h"
#include "modules/vision/processors/QAVCResizer.h"
#include "tests/vision/ProcessorTestKit.h"

namespace {

QAVTImageStatement checked(MRKCStatement* statement) {
  QAVTImageStatement image;
  EXPECT_EQ(QAVFImageStatementRead(statement, &image), kQAVImageValid);
  return image;
}

// Converter -----------------------------------------------------------------------------------

TEST(Converter, SameFormatGoesOutAsItCame) {
  VisionStage stage({"qav.stream"});
  stage.attach(QAVCConverter::converterWithGuid({}, "conv", {},
                                                frameOf(R"({"inputs": raw, "output": qav.stream, "format": bgr})")));
  Ref<MRKCStatement> sent = makeImage("raw", "bgr", 3, 2, patternPixels(3, 2, 3), 0.25);
  stage.send("raw", {sent});
  std::vector<Ref<MRKCStatement>> out = stage.tap->waitFor("qav.stream", 1);
  ASSERT_EQ(out.size(), 1u);
  EXPECT_EQ(out[0]->terms(), sent->terms()) << "the very same terms";
  EXPECT_EQ(out[0]->value(), 0.25);
}

TEST(Converter, ConvertsIntoACopyOfTheMeta) {
  VisionStage stage({"conv"});
  stage.attach(
      QAVCConverter::converterWithGuid({}, "conv", {}, frameOf(R"({"inputs": raw})")));  // default: bgr, own label
  std::vector<uint8_t> rgb = patternPixels(3, 2, 3);
  Ref<MRKCStatement> sent = makeImage("raw", "rgb", 3, 2, rgb, 0.5);
  std::string metaBefore = metaOf(sent.get())->text();
  stage.send("raw", {sent});
  std::vector<Ref<MRKCStatement>> out = stage.tap->waitFor("conv", 1);
  ASSERT_EQ(out.size(), 1u);
  EXPECT_EQ(metaSymbol(out[0].get(), "format"), "bgr");
  EXPECT_EQ(metaUint(out[0].get(), "width"), 3u);
  EXPECT_EQ(metaUint(out[0].get(), "length"), rgb.size()) << "the length of the pixels it carries";
  EXPECT_EQ(metaOf(sent.get())->text(), metaBefore) << "the received meta frame is untouched";
  EXPECT_EQ(out[0]->terms()->fetchAtIndex(3), sent->terms()->fetchAtIndex(3)) << "the same ancillary frame";
  EXPECT_EQ(out[0]->value(), 0.5);
  const std::vector<uint8_t>& bgr = pixelsOf(out[0].get());
  ASSERT_EQ(bgr.size(), rgb.size());
  for (size_t i = 0; i < rgb.size(); i += 3)
    EXPECT_EQ((std::vector<uint8_t>{bgr[i], bgr[i + 1], bgr[i + 2]}),
              (std::vector<uint8_t>{rgb[i + 2], rgb[i + 1], rgb[i]}));
}

TEST(Converter, DecodesMotionJPEGAndRefusesOtherSources) {
  OutputCapture log;
  VisionStage stage({"conv"});
  stage.attach(
      QAVCConverter::converterWithGuid({}, "conv", {}, frameOf(R"({"inputs": raw, "format": rgb, "verbose": true})")));
  std::vector<uint8_t> grey(16 * 8 * 3, 120);
  Ref<LLKCData> jpeg;
  ASSERT_EQ(QAVFEncodeJPEG(IMKPixelFormatBGR, grey.data(), 16, 8, 95, &jpeg), 0);
  // Two statements in one squib come out as two squibs.
  stage.send("raw",
             {makeImage("raw", "rgba", 2, 2, patternPixels(2, 2, 4)),
              makeImage("raw", "mjpeg", 16, 8, std::vector<uint8_t>(jpeg->bytes(), jpeg->bytes() + jpeg->length())),
              makeImage("raw", "bgr", 2, 2, patternPixels(2, 2, 3))});
  std::vector<Ref<MRKCStatement>> out = stage.tap->waitFor("conv", 2);
  ASSERT_EQ(out.size(), 2u);
  EXPECT_EQ(stage.tap->squibCount("conv"), 2u);
  EXPECT_EQ(metaUint(out[0].get(), "width"), 16u);
  ASSERT_EQ(pixelsOf(out[0].get()).size(), 16u * 8 * 3);
  EXPECT_NEAR(pixelsOf(out[0].get())[100], 120, 3);
  EXPECT_EQ(metaSymbol(out[1].get(), "format"), "rgb");
  EXPECT_TRUE(log.saw("conv : received image of un-supported pixel format"));
}

TEST(Converter, AnUnknownTargetIsToldAndConvertsNothing) {
  OutputCapture log;
  VisionStage stage({"conv"});
  Ref<QAVCConverter> converter =
      stage.attach(QAVCConverter::converterWithGuid({}, "conv", {}, frameOf(R"({"inputs": raw, "format": hsv})")));
  EXPECT_TRUE(log.saw("conv - property 'format' names an unknown pixel format: hsv"));
  Ref<MRKCStatement> image = makeImage("raw", "rgb", 2, 2, patternPixels(2, 2, 3));
  EXPECT_FALSE(converter->process(checked(image.get())));
}

// Resizer -------------------------------------------------------------------------------------

// Every canvas pixel is the received pixel that the offsets map onto it, or the fill colour.
void expectPlacedOnCanvas(MRKCStatement* received, MRKCStatement* resized, const uint8_t fill[3]) {
  const uint64_t sourceWidth = metaUint(received, "width"), sourceHeight = metaUint(received, "height");
  const uint64_t width = metaUint(resized, "width"), height = metaUint(resized, "height");
  const int64_t dx = metaSint(resized, "offset.x"), dy = metaSint(resized, "offset.y");
  const std::vector<uint8_t>& source = pixelsOf(received);
  const std::vector<uint8_t>& canvas = pixelsOf(resized);
  ASSERT_EQ(canvas.size(), width * height * 3);
  int wrong = 0;
  for (uint64_t y = 0; y < height; ++y)
    for (uint64_t x = 0; x < width; ++x) {
      const int64_t sx = int64_t(x) - dx, sy = int64_t(y) - dy;
      const bool inside = sx >= 0 && sy >= 0 && sx < int64_t(sourceWidth) && sy < int64_t(sourceHeight);
      for (int c = 0; c < 3; ++c) {
        uint8_t expected = inside ? source[(uint64_t(sy) * sourceWidth + uint64_t(sx)) * 3 + c] : fill[c];
        wrong += canvas[(y * width + x) * 3 + c] != expected;
      }
    }
  EXPECT_EQ(wrong, 0) << sourceWidth << "x" << sourceHeight << " -> " << width << "x" << height;
}

TEST(Resizer, CentresOnTheCanvasAndSaysWhereTheImageLies) {
  VisionStage stage({});
  Ref<QAVCResizer> resizer;
  struct Case {
    uint32_t sourceWidth, sourceHeight, width, height;
    int64_t dx, dy;
  } cases[] = {
      {640, 480, 320, 320, -160, -80},  // cropped: the received image starts left of and above the canvas
      {320, 240, 640, 480, 160, 120},   // padded
      {5, 3, 3, 6, -1, 2},              // odd sizes, cropped across and padded down
      {7, 7, 8, 2, 1, -2},
      {1, 1, 9, 9, 4, 4},
  };
  for (const auto& c : cases) {
    std::string properties =
        "{\"size\": [" + std::to_string(c.width) + ", " + std::to_string(c.height) + "], \"color\": [10, 20, 30]}";
    resizer = stage.attach(QAVCResizer::resizerWithGuid({}, "size", {}, frameOf(properties)));
    Ref<MRKCStatement> received =
        makeImage("in", "bgr", c.sourceWidth, c.sourceHeight, patternPixels(c.sourceWidth, c.sourceHeight, 3), 0.5);
    Ref<MRKCStatement> resized = resizer->process(checked(received.get()));
    ASSERT_TRUE(resized);
    EXPECT_EQ(resized->label(), "size");
    EXPECT_EQ(resized->value(), 0.5);
    EXPECT_EQ(metaSymbol(resized.get(), "format"), "bgr");
    EXPECT_EQ(metaUint(resized.get(), "width"), c.width);
    EXPECT_EQ(metaUint(resized.get(), "height"), c.height);
    EXPECT_EQ(metaSint(resized.get(), "offset.x"), c.dx) << c.sourceWidth << " -> " << c.width;
    EXPECT_EQ(metaSint(resized.get(), "offset.y"), c.dy) << c.sourceHeight << " -> " << c.height;
    EXPECT_EQ(metaUint(resized.get(), "length"), pixelsOf(resized.get()).size()) << "the pixels it carries";
    const uint8_t bgrFill[3] = {30, 20, 10};  // the colour is red, green, blue; the canvas is bgr
    expectPlacedOnCanvas(received.get(), resized.get(), bgrFill);
    stage.substrate->detach(resizer.get(), false);
  }
}

TEST(Resizer, PassesTheRightSizeAndSkipsOtherFormats) {
  OutputCapture log;
  VisionStage stage({"sized"});
  stage.attach(QAVCResizer::resizerWithGuid(
      {}, "size", {}, frameOf(R"({"inputs": in, "output": sized, "size": [4, 2], "color": [0, 0, 0]})")));
  Ref<MRKCStatement> same = makeImage("in", "rgb", 4, 2, patternPixels(4, 2, 3));
  stage.send("in", {makeImage("in", "rgba", 2, 2, patternPixels(2, 2, 4)), same});
  std::vector<Ref<MRKCStatement>> out = stage.tap->waitFor("sized", 1);
  ASSERT_EQ(out.size(), 1u);
  EXPECT_EQ(out[0]->terms(), same->terms());

  Ref<QAVCResizer> unset = stage.attach(QAVCResizer::resizerWithGuid({}, "unset", {}, frameOf("{}")));
  EXPECT_TRUE(log.saw("unset - property 'size' missing"));
  EXPECT_TRUE(log.saw("unset - property 'color' missing"));
  stage.attach(QAVCResizer::resizerWithGuid({}, "odd", {}, frameOf(R"({"size": "four", "color": 5})")));
  EXPECT_TRUE(log.saw("odd - property 'size' must contains two numbers"));
  EXPECT_TRUE(log.saw("odd - property 'color' must be a list of three numbers, not 5"));
  EXPECT_FALSE(unset->process(checked(same.get())));
}

// Region-of-interest extractor -----------------------------------------------------------------

Ref<QAVCROIExtractor> extractorOf(VisionStage& stage, const std::string& label, uint32_t width, uint32_t height,
                                  int64_t x, int64_t y, const std::string& more = {}) {
  std::string properties = "{\"inputs\": in, \"roi.size\": [" + std::to_string(width) + ", " + std::to_string(height) +
                           "], \"roi.center\": [" + std::to_string(x) + ", " + std::to_string(y) + "]" + more + "}";
  return stage.attach(QAVCROIExtractor::extractorWithGuid({}, label, {}, frameOf(properties)));
}

void expectRegionOf(MRKCStatement* received, MRKCStatement* region) {
  const uint64_t sourceWidth = metaUint(received, "width");
  const uint64_t width = metaUint(region, "width"), height = metaUint(region, "height");
  const uint64_t left = metaUint(region, "left"), top = metaUint(region, "top");
  ASSERT_EQ(pixelsOf(region).size(), width * height * 3);
  int wrong = 0;
  for (uint64_t y = 0; y < height; ++y)
    for (uint64_t x = 0; x < width * 3; ++x)
      wrong += pixelsOf(region)[y * width * 3 + x] != pixelsOf(received)[((top + y) * sourceWidth + left) * 3 + x];
  EXPECT_EQ(wrong, 0);
}

TEST(ROIExtractor, TheRegionAlwaysLiesInsideTheImage) {
  struct Case {
    uint32_t sourceWidth, sourceHeight, width, height;
    int64_t x, y;
    uint64_t left, top;
  } cases[] = {
      {640, 480, 100, 100, 1000, 0, 540, 190},
      {640, 480, 100, 100, 0, 0, 270, 190},
      {640, 480, 100, 100, -1000, -1000, 0, 0},
      {5, 5, 3, 3, 10, 10, 2, 2},  // odd sizes: the far edge is the image's last pixel, not past it
      {5, 5, 3, 3, 0, 0, 1, 1},
      {7, 6, 4, 3, 0, 0, 1, 2},
      {9, 9, 9, 9, 4, -4, 0, 0},
      {11, 4, 2, 1, 2147483647, -2147483648LL, 9, 0},  // the far ends of the centre
  };
  VisionStage stage({});
  for (const auto& c : cases) {
    Ref<QAVCROIExtractor> extractor = extractorOf(stage, "extr", c.width, c.height, c.x, c.y);
    Ref<MRKCStatement> received =
        makeImage("in", "rgb", c.sourceWidth, c.sourceHeight, patternPixels(c.sourceWidth, c.sourceHeight, 3));
    Ref<MRKCStatement> region = extractor->process(checked(received.get()));
    ASSERT_TRUE(region);
    EXPECT_EQ(metaUint(region.get(), "left"), c.left) << c.sourceWidth << " " << c.width << " " << c.x;
    EXPECT_EQ(metaUint(region.get(), "top"), c.top) << c.sourceHeight << " " << c.height << " " << c.y;
    EXPECT_EQ(metaUint(region.get(), "width"), c.width);
    EXPECT_EQ(metaUint(region.get(), "height"), c.height);
    EXPECT_EQ(metaUint(region.get(), "length"), pixelsOf(region.get()).size()) << "the pixels it carries";
    EXPECT_EQ(metaSint(region.get(), "offset.x"), -static_cast<int64_t>(c.left))
        << "the picture's origin, moved by the cut";
    EXPECT_EQ(metaSint(region.get(), "offset.y"), -static_cast<int64_t>(c.top));
    expectRegionOf(received.get(), region.get());
    stage.substrate->detach(extractor.get(), false);
  }
}

TEST(ROIExtractor, RefusesImagesItCannotCutWhenVerbose) {
  OutputCapture log;
  VisionStage stage({});
  Ref<QAVCROIExtractor> extractor = extractorOf(stage, "extr", 10, 10, 0, 0, ", \"verbose\": true");
  EXPECT_FALSE(extractor->process(checked(makeImage("in", "rgb", 9, 20, patternPixels(9, 20, 3)).get())));
  EXPECT_TRUE(log.saw("extr : received image is too small"));
  EXPECT_FALSE(extractor->process(checked(makeImage("in", "bgra", 20, 20, patternPixels(20, 20, 4)).get())));
  EXPECT_TRUE(log.saw("extr : received image of un-supported pixel format"));

  Ref<QAVCROIExtractor> unset =
      stage.attach(QAVCROIExtractor::extractorWithGuid({}, "unset", {}, frameOf(R"({"roi.size": [1]})")));
  EXPECT_TRUE(log.saw("unset - property 'roi.size' must contains two numbers"));
  EXPECT_TRUE(log.saw("unset - property 'roi.center' missing"));
  EXPECT_FALSE(unset->process(checked(makeImage("in", "rgb", 9, 20, patternPixels(9, 20, 3)).get())));
}

TEST(ROIExtractor, APokedCentreMovesTheRegion) {
  OutputCapture log;
  VisionStage stage({"extr"});
  Ref<QAVCROIExtractor> extractor = extractorOf(stage, "extr", 4, 4, 0, 0, ", \"verbose\": true");
  Ref<MRKCReader> reader = MRKCReader::reader();
  stage.substrate->poke("roi.center", {"extr"}, reader->readTermFromString("[-2, +3]").get());
  stage.substrate->poke("roi.center", {"extr"}, reader->readTermFromString("left").get());
  stage.substrate->poke("roi.center", {"extr"}, reader->readTermFromString("[1, up]").get());
  stage.substrate->poke("roi.center", {"extr"}, reader->readTermFromString("[1, 2, 3]").get());
  Ref<MRKCStatement> received = makeImage("in", "rgb", 20, 20, patternPixels(20, 20, 3));
  stage.send("in", {received});
  std::vector<Ref<MRKCStatement>> out = stage.tap->waitFor("extr", 1);
  ASSERT_EQ(out.size(), 1u);
  EXPECT_EQ(metaUint(out[0].get(), "left"), 6u);
  EXPECT_EQ(metaUint(out[0].get(), "top"), 11u);
  EXPECT_EQ(extractor->center().x, -2);
  EXPECT_EQ(extractor->center().y, 3);
  EXPECT_EQ(MRKFFrameFetchTerm(extractor->properties(), "roi.center")->text(), "[-2, +3]")
      << "refused values are not stored";
  EXPECT_TRUE(log.saw("extr - property 'roi.center' only accepts a list as value"));
  EXPECT_TRUE(log.saw("extr - property 'roi.center' must contains two numbers"));
}

TEST(ROIExtractor, ACentrePokedWhileImagesPassIsSeenWhole) {
  // Pokes set x and y alike; every region cut must then lie on the diagonal.
  VisionStage stage({"extr"});
  Ref<QAVCROIExtractor> extractor = extractorOf(stage, "extr", 2, 2, 0, 0);
  constexpr int kImages = 200;
  std::thread poker([&] {
    for (int k = 0; k < kImages; ++k) {
      Ref<MRKCNumber> value = MRKCNumber::numberWithSint(k % 9 - 4);
      stage.substrate->poke("roi.center", {"extr"}, MRKCList::listWithTerms({value.get(), value.get()}).get());
    }
  });
  for (int k = 0; k < kImages; ++k) stage.send("in", {makeImage("in", "rgb", 12, 12, patternPixels(12, 12, 3))});
  poker.join();
  std::vector<Ref<MRKCStatement>> out = stage.tap->waitFor("extr", kImages);
  ASSERT_EQ(out.size(), size_t{kImages});
  for (const auto& region : out) EXPECT_EQ(metaUint(region.get(), "left"), metaUint(region.get(), "top"));
}

}  // namespace
