// The projector: "inject" and "repeat" queries, background loads, and what it publishes.
#include <gtest/gtest.h>

#include <fstream>
#include <future>
#include <thread>

#include "framework/core/LLKFTime.h"
#include "framework/substrate/MRKCPredicate.h"
#include "modules/vision/processors/QAVCProjector.h"
#include "tests/core/TemporaryFolder.h"
#include "tests/vision/ProcessorTestKit.h"

namespace {

// A binary PPM of the RGB pattern.
std::string writePicture(const TemporaryFolder& folder, const std::string& name, uint32_t width, uint32_t height) {
  std::string path = folder.file(name);
  std::ofstream out(path, std::ios::binary);
  out << "P6\n" << width << " " << height << "\n255\n";
  std::vector<uint8_t> rgb = patternPixels(width, height, 3);
  out.write(reinterpret_cast<const char*>(rgb.data()), static_cast<std::streamsize>(rgb.size()));
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
  std::string path = writePicture(folder, "picture.ppm", 5, 4);
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
    EXPECT_EQ(MRKFFrameFetchTerm(metaOf(frame), "sample")->text(), "\"picture.ppm\"");
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
  inject(writePicture(folder, "first.ppm", 2, 2));
  ask({MRKCSymbol::symbolWithValue("repeat").get()});
  std::vector<Ref<MRKCStatement>> frames = stage.tap->waitFor("qav.proj", 2);
  ASSERT_EQ(frames.size(), 2u);
  EXPECT_EQ(metaUint(frames[0].get(), "frameid"), 1u) << "neither the early repeat nor the missing file made a frame";
  EXPECT_EQ(metaUint(frames[1].get(), "frameid"), 2u);
  EXPECT_EQ(MRKFFrameFetchTerm(metaOf(frames[1].get()), "sample")->text(), "\"first.ppm\"");
  EXPECT_EQ(projector->lastPath(), folder.file("first.ppm"));
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
                                             MRKCString::stringWithValue(writePicture(folder, "p.ppm", 1, 1)).get()})
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

// A load that fails is logged with the file and the reason, and its query answered as failed;
// sixteen-bit files load in every format (they once overflowed the loader's buffer).
TEST_F(ProjectorTest, FailedLoadsAreToldAndAnsweredAsFailed) {
  const std::string junk = folder.file("junk.png"), wide = folder.file("wide.pgm");
  std::ofstream(junk) << "no image at all";
  std::ofstream(wide, std::ios::binary) << "P5 2 1 65535\n" << std::string("\x12\x34\xAB\xCD", 4);
  struct Case {
    std::string path;
    std::string reason;  // empty: loads
  } cases[] = {
      {folder.file("missing.png"), "the file does not exist"},
      {"", "the file does not exist"},
      {junk, "it is no image file that can be decoded (or no regular file)"},
      {folder.path(), "it is no image file that can be decoded (or no regular file)"},
      {wide, ""},
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
    EXPECT_EQ(pixelsOf(frames[0].get())[0], 0x12) << format;
  }
}

TEST_F(ProjectorTest, PublishesTheConfiguredFormat) {
  attachProjector(R"({"format": rgba, "output": qav.stream.raw})");
  inject(writePicture(folder, "rgba.ppm", 3, 2));
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
  inject(writePicture(folder, "any.ppm", 2, 2));
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
  for (int i = 0; i < 4; ++i) paths.push_back(writePicture(folder, "f" + std::to_string(i) + ".ppm", 2, 2));
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
