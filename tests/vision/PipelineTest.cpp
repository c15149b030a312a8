// The plug-in loaded by the substrate from a solution: an image injected into the projector goes
// through converter, resizer and extractor, each publishing on its own channel. Run in this
// process, and by zrnhost with a probe that does the injecting.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "framework/substrate/MRKCPredicate.h"
#include "tests/core/TemporaryFolder.h"
#include "tests/samples/SampleTestKit.h"
#include "tests/support/HostRun.h"
#include "tests/support/PNGFile.h"
#include "tests/vision/VisionTestKit.h"

namespace {

// The picture: 40 x 30 of the pattern, as RGB in a PNG.
constexpr uint32_t kWidth = 40, kHeight = 30;

std::string writePicture(const TemporaryFolder& folder) {
  std::string path = folder.file("pattern.png");
  EXPECT_TRUE(writePNGFile(path, patternPixels(kWidth, kHeight, 3), kWidth, kHeight)) << path;
  return path;
}

// Projector (rgb) -> converter (bgr) -> resizer (32 x 36: cropped across, padded down) ->
// extractor (10 x 9, centre pushed far right and a little up). extra adds processors.
std::string writeSolution(const TemporaryFolder& folder, const std::string& modules, const std::string& extra = {}) {
  std::string path = folder.file("vision.json");
  std::ofstream(path) << R"({
  "modules": [)" << modules
                      << R"(],
  "processors": [
    {"class": "QAVCProjector", "label": "qav.proj", "properties": {"format": "rgb", "output": "qav.stream.raw"}},
    {"class": "QAVCConverter", "label": "qav.conv", "properties": {"inputs": ["qav.stream.raw"], "output": "qav.stream", "format": "bgr"}},
    {"class": "QAVCResizer", "label": "qav.size",
     "properties": {"inputs": "qav.stream", "output": "qav.stream.sized", "size": [32, 36], "color": [200, 100, 50]}},
    {"class": "QAVCROIExtractor", "label": "qav.extr",
     "properties": {"inputs": ["qav.stream.sized"], "roi.size": [10, 9], "roi.center": [100, -2]}})"
                      << extra << R"(
  ]
})";
  return path;
}

// Where the pipeline puts things: the resized canvas starts at (-4, 3) of the picture's pixels,
// and the region at (22, 12) of the canvas, so region pixel (x, y) is picture pixel (x + 26, y + 9).
constexpr int64_t kOffsetX = -4, kOffsetY = 3;
constexpr uint64_t kLeft = 22, kTop = 12;

std::vector<uint8_t> expectedRegion() {
  std::vector<uint8_t> bgr;
  for (uint32_t y = 0; y < 9; ++y)
    for (uint32_t x = 0; x < 10; ++x)
      for (uint32_t c = 0; c < 3; ++c) bgr.push_back(patternByte(x + kLeft - kOffsetX, y + kTop - kOffsetY, 2 - c));
  return bgr;
}

TEST(Pipeline, AnInjectedImageFlowsThroughEveryStage) {
  TemporaryFolder folder;
  std::string picture = writePicture(folder);
  Ref<MRKCSubstrate> substrate = MRKCSubstrate::substrate();
  Ref<VisionTap> tap = adoptRef(new VisionTap({"qav.stream.raw", "qav.stream", "qav.stream.sized", "qav.extr"}));
  EXPECT_TRUE(substrate->attach(tap.get(), false));
  std::string error;
  ASSERT_TRUE(substrate->load(writeSolution(folder, "\"modQAV\""), &error)) << error;
  EXPECT_TRUE(substrate->primitives()->objectForKey("qav.convert")) << "modInit registered the primitive";

  Ref<MRKCPredicate> inject = MRKCPredicate::predicateWithLabel(
      "qav.proj",
      MRKCList::listWithTerms({MRKCSymbol::symbolWithValue("inject").get(), MRKCString::stringWithValue(picture).get()})
          .get());
  ASSERT_TRUE(substrate->inquire(MRKCQuery::queryWithPredicate(inject.get(), nullptr, 5.0f).get(), tap->guid()));

  std::vector<Ref<MRKCStatement>> region = tap->waitFor("qav.extr", 1);
  ASSERT_EQ(region.size(), 1u);
  std::vector<Ref<MRKCStatement>> raw = tap->statements("qav.stream.raw");
  std::vector<Ref<MRKCStatement>> converted = tap->statements("qav.stream");
  std::vector<Ref<MRKCStatement>> sized = tap->statements("qav.stream.sized");
  ASSERT_EQ(raw.size(), 1u);
  ASSERT_EQ(converted.size(), 1u);
  ASSERT_EQ(sized.size(), 1u);

  EXPECT_EQ(metaSymbol(raw[0].get(), "format"), "rgb");
  EXPECT_EQ(pixelsOf(raw[0].get()), patternPixels(kWidth, kHeight, 3));
  EXPECT_EQ(metaSymbol(converted[0].get(), "format"), "bgr");
  EXPECT_EQ(metaUint(converted[0].get(), "width"), kWidth);
  EXPECT_EQ(pixelsOf(converted[0].get())[0], patternByte(0, 0, 2));

  EXPECT_EQ(metaUint(sized[0].get(), "width"), 32u);
  EXPECT_EQ(metaUint(sized[0].get(), "height"), 36u);
  EXPECT_EQ(metaSint(sized[0].get(), "offset.x"), kOffsetX);
  EXPECT_EQ(metaSint(sized[0].get(), "offset.y"), kOffsetY);
  const std::vector<uint8_t>& canvas = pixelsOf(sized[0].get());
  EXPECT_EQ((std::vector<uint8_t>(canvas.begin(), canvas.begin() + 3)), (std::vector<uint8_t>{50, 100, 200}))
      << "padding, in bgr";

  MRKCStatement* cut = region[0].get();
  EXPECT_EQ(metaSymbol(cut, "format"), "bgr");
  EXPECT_EQ(metaUint(cut, "width"), 10u);
  EXPECT_EQ(metaUint(cut, "height"), 9u);
  EXPECT_EQ(metaUint(cut, "left"), kLeft);
  EXPECT_EQ(metaUint(cut, "top"), kTop);
  EXPECT_EQ(metaSint(cut, "offset.x"), kOffsetX - static_cast<int64_t>(kLeft)) << "the picture's origin in the region";
  EXPECT_EQ(metaSint(cut, "offset.y"), kOffsetY - static_cast<int64_t>(kTop));
  EXPECT_EQ(metaUint(cut, "frameid"), 1u);
  EXPECT_EQ(metaUint(cut, "length"), 10u * 9 * 3) << "the length of the pixels it carries";
  EXPECT_EQ(metaSymbol(cut, "source"), "qav.proj") << "earlier stages' keys travel along";
  EXPECT_EQ(cut->value(), 1.0);
  EXPECT_EQ(pixelsOf(cut), expectedRegion());

  substrate->wipe();
  EXPECT_FALSE(substrate->primitives()->objectForKey("qav.convert")) << "modExit removed the primitive";
}

#ifdef VISION_HOST
std::string hexOf(const std::vector<uint8_t>& bytes) {
  std::string hex;
  char two[3];
  for (uint8_t byte : bytes) {
    std::snprintf(two, sizeof two, "%02x", byte);
    hex += two;
  }
  return hex;
}

TEST(Pipeline, RunsInTheHostWithAProbeInjecting) {
  TemporaryFolder folder;
  std::string picture = writePicture(folder);
  std::string probe = R"(,
    {"class": "ZRNCProbe", "label": "injector",
     "properties": {"ask": [["qav.proj", ["inject", {"$term": "\")" +
                      picture + R"(\""}]]], "every": 20}})";
  std::string solution = writeSolution(folder, "\"modQAV\", \"zrnprobes\"", probe);
  HostRun run = runHost(VISION_HOST, "--follow qav.extr --count 1 --seconds 30 " + solution);
  const std::string& output = run.output;
  ASSERT_EQ(run.status, 0) << output;
  ASSERT_EQ(output.rfind("qav.extr\t[image, {", 0), 0u) << output;
  for (const char* member : {"\"width\": 10", "\"height\": 9", "\"format\": bgr", "\"offset.x\": -26",
                             "\"offset.y\": -9", "\"left\": 22", "\"top\": 12", "\"sample\": \"pattern.png\""})
    EXPECT_NE(output.find(member), std::string::npos) << member << " in " << output;
  EXPECT_NE(output.find("#x\"" + hexOf(expectedRegion()) + "\""), std::string::npos) << output;
}

// The fake classifier given a sample file whose one labelled superpixel's outline is a star of
// 2 001 points crossing itself everywhere: it publishes the object, outlined as the star's hull,
// and says so, instead of holding a worker for minutes.
TEST(Pipeline, TheHostsFakeClassifierOutlinesAStarFromAFile) {
  TemporaryFolder folder;
  std::string picture = writePicture(folder);
  std::filesystem::create_directories(folder.file("rsc"));
  std::ofstream(folder.file("rsc/labels.json")) << R"({"qav.stream.raw": ["star"]})";
  const std::vector<uint8_t> bytes = oneOutlineSampleFile("star", 40, starOutline(2001, 20, 18));
  std::ofstream(folder.file("pattern.png.bin"), std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  std::string solution = folder.file("classifier.json");
  std::ofstream(solution) << R"({"modules": ["modQAV", "zrnprobes"], "processors": [
    {"class": "QAVCProjector", "label": "qav.proj", "properties": {"format": "bgr", "output": "qav.stream.raw"}},
    {"class": "QAVCFakeClassifier", "label": "qav.fake",
     "properties": {"inputs": ["qav.stream.raw"], "output": "qav.labeled", "folder": {"$term": "\")"
                          << folder.path() << R"(\""}}},
    {"class": "ZRNCProbe", "label": "injector",
     "properties": {"ask": [["qav.proj", ["inject", {"$term": "\")"
                          << picture << R"(\""}]]], "every": 20}}]})";
  // The classifier reads its labels from the working folder.
  HostRun run =
      runHost("cd " + folder.path() + " && " VISION_HOST, "--follow qav.labeled --count 1 --seconds 30 " + solution);
  ASSERT_EQ(run.status, 0) << run.output;
  EXPECT_NE(run.output.find("qav.labeled\t[image, {"), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("\"objects\": [[0, star, [#"), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("qav.fake - object 0 of sample star: 1 outline crossing itself taken as its hull"),
            std::string::npos)
      << run.output;
}
#endif

}  // namespace
