// The projector: "inject" and "repeat" queries, background loads, and what it publishes.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <future>
#include <thread>

#include "framework/core/LLKFTime.h"
#include "framework/substrate/MRKCPredicate.h"
#include "modules/vision/processors/QAVCProjector.h"
#include "tests/core/TemporaryFolder.h"
#include "tests/support/PNGFile.h"
#include "tests/vision/ProcessorTestKit.h"

namespace {

// A PNG of the RGB pattern.
std::string writePicture(const TemporaryFolder& folder, const std::string& name, uint32_t width, uint32_t height) {
  std::string path = folder.file(name);
  EXPECT_TRUE(writePNGFile(path, patternPixels(width, height, 3), width, height)) << path;
  return path;
}

class ProjectorTest : public ::testing::Test {
protected:
  Ref<QAVCProjector> attachProjector(const std::string& properties) {
    return stage.attach(QAVCProjector::projectorWithGuid({}, "qav.proj", {}, frameOf(properties)));
  }
  void ask(std::initializer_list<MRKBTerm*> terms) {
    Ref<MRKCPredicate> predicate = MRKCPredicate::predicateWithLabel("qav.proj", MRKCList::listWithTerms(terms).get());
    EXPECT_TRUE(
        stage.substrate->inquire(MRKCQuery::queryWithPredicate(predicate.get(), nullptr, 5.0f).get(), "vision.test"));
  }
  void inject(const std::string& path) {
    ask({MRKCSymbol::symbolWithValue("inject").get(), MRKCString::stringWithValue(path).get()});
  }

  TemporaryFolder folder;
  VisionStage stage{{"qav.stream.raw", "qav.proj"}};
};

TEST_F(ProjectorTest, PublishesInjectedFilesAsNumberedFrames) {
  attachProjector(R"({"output": qav.stream.raw})");
  std::string path = writePicture(folder, "picture.png", 5, 4);
  double before = LLKFNowInS();
  inject(path);
  inject(path);
  std::vector<Ref<MRKCStatement>> frames = stage.tap->waitFor("qav.stream.raw", 2);
  ASSERT_EQ(frames.size(), 2u);
  for (size_t i = 0; i < 2; ++i) {
    MRKCStatement* frame = frames[i].get();
    EXPECT_EQ(metaUint(frame, "frameid"), i + 1);
    EXPECT_EQ(frame->value(), 1.0);
    EXPECT_EQ(frame->terms()->fetchAtIndex(0)->text(), "image");
    EXPECT_EQ(metaSymbol(frame, "format"), "bgr");
    EXPECT_EQ(metaUint(frame, "width"), 5u);
    EXPECT_EQ(metaUint(frame, "height"), 4u);
    EXPECT_EQ(metaUint(frame, "length"), 60u);
    EXPECT_EQ(metaSymbol(frame, "source"), "qav.proj");
    EXPECT_EQ(MRKFFrameFetchTerm(metaOf(frame), "sample")->text(), "\"picture.png\"");
    double stamp = MRKFFrameFetchReal(metaOf(frame), "stamp", 0);
    EXPECT_GE(stamp, before - 1);
    EXPECT_LE(stamp, LLKFNowInS() + 1);
    EXPECT_EQ(asFrame(frame->terms()->fetchAtIndex(3))->count(), 0u);
    std::vector<uint8_t> rgb = patternPixels(5, 4, 3);
    const std::vector<uint8_t>& bgr = pixelsOf(frame);
    ASSERT_EQ(bgr.size(), rgb.size());
    for (size_t p = 0; p < rgb.size(); p += 3) EXPECT_EQ(bgr[p], rgb[p + 2]);
  }
}

TEST_F(ProjectorTest, RepeatReloadsTheLastInjectedFileOnly) {
  Ref<QAVCProjector> projector = attachProjector("{}");  // publishes on its own label
  ask({MRKCSymbol::symbolWithValue("repeat").get()});
  std::string missing = folder.file("missing.png");
  inject(missing);
  inject(writePicture(folder, "first.png", 2, 2));
  ask({MRKCSymbol::symbolWithValue("repeat").get()});
  std::vector<Ref<MRKCStatement>> frames = stage.tap->waitFor("qav.proj", 2);
  ASSERT_EQ(frames.size(), 2u);
  EXPECT_EQ(metaUint(frames[0].get(), "frameid"), 1u) << "neither the early repeat nor the missing file made a frame";
  EXPECT_EQ(metaUint(frames[1].get(), "frameid"), 2u);
  EXPECT_EQ(MRKFFrameFetchTerm(metaOf(frames[1].get()), "sample")->text(), "\"first.png\"");
  EXPECT_EQ(projector->lastPath(), folder.file("first.png"));
  EXPECT_EQ(projector->frameCount(), 2u);
}

TEST_F(ProjectorTest, SaysWhatItCannotDoWhenVerbose) {
  for (bool verbose : {false, true}) {
    OutputCapture log;
    VisionStage quiet({"qav.proj"});
    quiet.attach(QAVCProjector::projectorWithGuid(
        {}, "qav.proj", {}, frameOf(std::string("{\"verbose\": ") + (verbose ? "true}" : "false}"))));
    for (auto& terms : std::vector<std::vector<Ref<MRKBTerm>>>{
             {MRKCSymbol::symbolWithValue("inject"), MRKCNumber::numberWithUint(3)},
             {MRKCSymbol::symbolWithValue("inject")},
             {MRKCSymbol::symbolWithValue("project"), MRKCString::stringWithValue("x.png")},
             {MRKCString::stringWithValue("inject"), MRKCString::stringWithValue("x.png")},
         }) {
      Ref<MRKCPredicate> predicate =
          MRKCPredicate::predicateWithLabel("qav.proj", MRKCList::listWithVector(terms).get());
      quiet.substrate->inquire(MRKCQuery::queryWithPredicate(predicate.get(), nullptr, 5.0f).get(), "vision.test");
    }
    // A frame after the bad queries shows that they have been handled.
    Ref<MRKCPredicate> good = MRKCPredicate::predicateWithLabel(
        "qav.proj", MRKCList::listWithTerms({MRKCSymbol::symbolWithValue("inject").get(),
                                             MRKCString::stringWithValue(writePicture(folder, "p.png", 1, 1)).get()})
                        .get());
    quiet.substrate->inquire(MRKCQuery::queryWithPredicate(good.get(), nullptr, 5.0f).get(), "vision.test");
    ASSERT_EQ(quiet.tap->waitFor("qav.proj", 1).size(), 1u);
    std::vector<std::string> expected;
    if (verbose)
      expected = {"qav.proj : to 'inject' the second term must be a string",
                  "qav.proj : to 'inject' the second term must be a string", "qav.proj : unknown command"};
    EXPECT_EQ(log.lines(), expected);
  }
}

// A load that fails is logged with the file and the reason, and its query answered as failed:
// among them a Softimage PIC cut after its packet header and named bad.jpg (it once crashed the
// loader) and a PNG announcing 10 000 x 8 000 pixels. A good file loads in every format.
TEST_F(ProjectorTest, FailedLoadsAreToldAndAnsweredAsFailed) {
  const std::string junk = folder.file("junk.png"), bad = folder.file("bad.jpg"), huge = folder.file("huge.png");
  const std::string good = writePicture(folder, "good.png", 2, 1);
  std::ofstream(junk) << "no image at all";
  std::ofstream(bad, std::ios::binary) << std::string("\x53\x80\xF6\x34", 4) << std::string(84, '\0') << "PICT"
                                       << std::string("\0\x04\0\x04\x3F\x80\0\0\0\x03\0\0\0\x08\0\xE0", 16)
                                       << std::string(4, '\0');
  ASSERT_EQ(std::filesystem::file_size(bad), 112u);
  // The header of a 10 000 x 8 000 RGB PNG, then junk image data: refused on its header alone.
  std::ofstream(huge, std::ios::binary) << std::string("\x89PNG\r\n\x1A\n\0\0\0\x0DIHDR\0\0\x27\x10\0\0\x1F\x40\x08\x02\0\0\0", 29)
                                        << std::string("\xA2\x2E\x16\xB2", 4) << std::string("\0\0\0\x08IDAT", 8) << "junkjunk";
  const std::string tooLarge = "it has more than 25000000 pixels, the most an image may have";
  const std::string undecodable = "it is no JPEG or PNG image that can be decoded (or no regular file)";
  struct Case {
    std::string path;
    std::string reason;  // empty: loads
  } cases[] = {
      {folder.file("missing.png"), "the file does not exist"},
      {"", "the file does not exist"},
      {junk, undecodable},
      {bad, undecodable},
      {huge, tooLarge},
      {folder.path(), undecodable},
      {good, ""},
  };
  for (const char* format : {"rgb", "rgba", "bgr", "bgra"}) {
    OutputCapture log;
    VisionStage own({"qav.proj"});
    own.attach(
        QAVCProjector::projectorWithGuid({}, "qav.proj", {}, frameOf(std::string("{\"format\": ") + format + "}")));
    std::vector<std::string> answers, told;
    for (const Case& c : cases) {
      Ref<MRKCPredicate> predicate = MRKCPredicate::predicateWithLabel(
          "qav.proj", MRKCList::listWithTerms(
                          {MRKCSymbol::symbolWithValue("inject").get(), MRKCString::stringWithValue(c.path).get()})
                          .get());
      own.substrate->inquire(MRKCQuery::queryWithPredicate(predicate.get(), nullptr, 5.0f).get(), own.tap->guid());
      if (c.reason.empty()) continue;
      answers.push_back("<qav.proj [error(inject, \"" + c.reason + "\")] 0.0>");
      told.push_back("qav.proj : cannot load \"" + c.path + "\": " + c.reason);
    }
    std::vector<std::string> replies = own.tap->waitForReplies(answers.size());
    std::sort(replies.begin(), replies.end());
    std::sort(answers.begin(), answers.end());
    EXPECT_EQ(replies, answers) << format;
    for (const std::string& line : told) EXPECT_TRUE(log.saw(line)) << format << ": " << line;
    std::vector<Ref<MRKCStatement>> frames = own.tap->waitFor("qav.proj", 1);
    ASSERT_EQ(frames.size(), 1u) << format;
    EXPECT_EQ(pixelsOf(frames[0].get()).size(), std::string(format).size() * 2u) << format;
    EXPECT_EQ(pixelsOf(frames[0].get())[1], patternPixels(2, 1, 3)[1]) << format;
  }
}

TEST_F(ProjectorTest, PublishesTheConfiguredFormat) {
  attachProjector(R"({"format": rgba, "output": qav.stream.raw})");
  inject(writePicture(folder, "rgba.png", 3, 2));
  std::vector<Ref<MRKCStatement>> frames = stage.tap->waitFor("qav.stream.raw", 1);
  ASSERT_EQ(frames.size(), 1u);
  EXPECT_EQ(metaSymbol(frames[0].get(), "format"), "rgba");
  EXPECT_EQ(pixelsOf(frames[0].get()).size(), 3u * 2 * 4);
  EXPECT_EQ(metaUint(frames[0].get(), "length"), 24u);
  EXPECT_EQ(pixelsOf(frames[0].get())[3], 255);
}

TEST_F(ProjectorTest, AnUnknownFormatIsToldAndLoadsNothing) {
  OutputCapture log;
  Ref<QAVCProjector> projector = attachProjector(R"({"format": mjpeg})");
  EXPECT_TRUE(log.saw("qav.proj - property 'format' names an unknown pixel format: mjpeg"));
  inject(writePicture(folder, "any.png", 2, 2));
  // The load runs on the offloader, one job after another, and its outcome is handed to the
  // projector before any later query: once a later job ran and a later peek is answered, the
  // load has been dealt with.
  std::promise<void> drained;
  stage.substrate->runtime()->offloader()->submit([&] { drained.set_value(); });
  drained.get_future().wait();
  Ref<MRKCPredicate> peek = MRKCPredicate::predicateWithLabel(
      "qav.proj", MRKCList::listWithTerms({MRKCReader::reader()->readTermFromString("peek(format, X)").get()}).get());
  stage.substrate->inquire(MRKCQuery::queryWithPredicate(peek.get(), nullptr, 5.0f).get(), stage.tap->guid());
  EXPECT_TRUE(stage.tap->waitForReply());
  EXPECT_EQ(projector->frameCount(), 0u);
  EXPECT_TRUE(stage.tap->statements("qav.proj").empty());
}

TEST_F(ProjectorTest, LastPathAndFrameCountAreSafeToReadWhileInjecting) {
  Ref<QAVCProjector> projector = attachProjector(R"({"output": qav.stream.raw})");
  constexpr int kInjects = 40;
  std::vector<std::string> paths;
  for (int i = 0; i < 4; ++i) paths.push_back(writePicture(folder, "f" + std::to_string(i) + ".png", 2, 2));
  std::atomic<bool> done{false};
  std::thread reader([&] {
    while (!done.load()) {
      std::string path = projector->lastPath();
      EXPECT_TRUE(path.empty() || std::find(paths.begin(), paths.end(), path) != paths.end()) << path;
      EXPECT_LE(projector->frameCount(), uint64_t{kInjects});
    }
  });
  for (int i = 0; i < kInjects; ++i) inject(paths[i % paths.size()]);
  std::vector<Ref<MRKCStatement>> frames = stage.tap->waitFor("qav.stream.raw", kInjects);
  done = true;
  reader.join();
  ASSERT_EQ(frames.size(), size_t{kInjects});
  EXPECT_EQ(projector->frameCount(), uint64_t{kInjects});
  EXPECT_EQ(projector->lastPath(), paths[(kInjects - 1) % paths.size()]);
}

}  // namespace
