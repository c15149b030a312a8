// The ".bin" file: a golden file written by hand from the layout, read and re-encoded byte for
// byte; what the reader refuses; what the writer refuses; atomic saves.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "framework/core/LLKFFiles.h"
#include "imagekit/VSKCImageSample.h"
#include "tests/samples/SampleTestKit.h"
#include "tests/vision/VisionTestKit.h"

namespace {

namespace fs = std::filesystem;

// Sample "ab": slot 0 holds label 3, slot 31 label 7; feed 5, a 2 x 3 grid of step 16, offset
// (0, 80); one superpixel with a triangle and a two-bin pattern, then an empty one.
Bytes golden() {
  Bytes file;
  file.raw("B ").u8(3);
  for (int i = 1; i < 31; ++i) file.u8(0);
  file.u8(7).u32(2).raw("ab").u16(5).u16(2).u16(3).u16(16).floats({0, 80}).u32(2);
  file.u32(0).u32(1).floats({4, 5}).floats({0, 0, 8, 9}).floats({0.5f, 0, 0, 1}).floats({1, 2, 3});
  file.u32(3).floats({0, 0, 8, 0, 0, 9}).u32(2).floats({0.25f, 0.75f});
  file.u32(0xFFFFFFFF).u32(0).floats({0, 0}).floats({0, 0, 0, 0}).floats({0, 0, 0, 0}).floats({0, 0, 0}).u32(0).u32(0);
  return file;
}

// The golden file with its header fields replaced: name, rows, cols, count.
Bytes header(std::string_view name, uint16_t rows, uint16_t cols, uint32_t count) {
  Bytes file;
  file.raw("B ");
  for (int i = 0; i < 32; ++i) file.u8(0);
  file.u32(uint32_t(name.size())).raw(name).u16(0).u16(rows).u16(cols).u16(4).floats({0, 0}).u32(count);
  return file;
}

Ref<VSKCImageSample> read(const Bytes& file, std::string* why = nullptr) {
  return VSKCImageSample::sampleFromBytes(file.bytes.data(), file.bytes.size(), why);
}

TEST(SampleFile, GoldenFileReadsAndEncodesAgainByteForByte) {
  const Bytes file = golden();
  ASSERT_EQ(file.bytes.size(), 58u + 2 + (68 + 24 + 8) + 68);
  Ref<VSKCImageSample> sample = read(file);
  ASSERT_TRUE(sample);
  EXPECT_EQ(sample->name(), "ab");
  EXPECT_EQ(sample->objects()[0], 3);
  EXPECT_EQ(sample->objects()[31], 7);
  EXPECT_EQ(sample->labeled(), 2u);
  EXPECT_EQ(sample->feed(), 5u);
  EXPECT_EQ(sample->rows(), 2u);
  EXPECT_EQ(sample->cols(), 3u);
  EXPECT_EQ(sample->size(), 16u);
  EXPECT_EQ(sample->offset().y, 80.0f);
  EXPECT_FALSE(sample->touched());
  EXPECT_FALSE(sample->coco());
  ASSERT_EQ(sample->superpixelCount(), 2u);
  const VSKTSuperpixel& first = sample->superpixels()[0];
  EXPECT_EQ(first.id, 0u);
  EXPECT_EQ(first.mask, 1u);
  EXPECT_EQ(first.centroid[1], 5.0f);
  EXPECT_EQ(first.bbox[3], 9.0f);
  EXPECT_EQ(first.colour[0], 0.5f);
  EXPECT_EQ(first.lab[2], 3.0f);
  ASSERT_EQ(first.pointCount(), 3u);
  EXPECT_EQ(first.points[2].y, 9.0f);
  EXPECT_EQ(first.pattern, (std::pmr::vector<float>{0.25f, 0.75f}));
  EXPECT_EQ(sample->superpixels()[1].id, kVSKEmptySuperpixel);

  std::vector<uint8_t> again;
  ASSERT_TRUE(sample->encodeToBytes(&again));
  EXPECT_EQ(again, file.bytes);
}

TEST(SampleFile, SizesFollowTheLayout) {
  // A sample named "a" without superpixels is 59 bytes; an entry of 24 points and 16 bins adds 324.
  Ref<VSKCImageSample> empty = read(header("a", 1, 1, 0));
  ASSERT_TRUE(empty);
  std::vector<uint8_t> bytes;
  ASSERT_TRUE(empty->encodeToBytes(&bytes));
  EXPECT_EQ(bytes.size(), 59u);
  Ref<MRKCStatement> statement = segmentedStatement(
      1, 1, 4,
      {superpixelFrame({0, 1, 1, 0, 0, 0, 0, 0, 2, 2, std::vector<int16_t>(48, 1), std::vector<float>(16, 0.5f)})});
  Ref<VSKCImageSample> one = VSKCImageSample::sampleFromStatement(statement.get(), "a", 0);
  ASSERT_TRUE(one);
  ASSERT_TRUE(one->encodeToBytes(&bytes));
  EXPECT_EQ(bytes.size(), 59u + 324u);
}

TEST(SampleFile, ReaderRefusesWhatIsNotASoundSampleFile) {
  auto withName = [](std::string_view name) { return header(name, 1, 1, 0); };
  Bytes hugePoints = header("p", 1, 1, 1);
  hugePoints.u32(0).u32(0).floats({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}).u32(0x1FFFFFFF).u32(0);
  Bytes shortPoints = header("p", 1, 1, 1);  // 3 points announced, 2 present, then bytes a pattern count could take
  shortPoints.u32(0).u32(0).floats({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}).u32(3).floats({1, 1, 2, 2}).u32(0);
  Bytes hugePattern = header("p", 1, 1, 1);
  hugePattern.u32(0).u32(0).floats({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}).u32(0).u32(1000).floats({1, 2});
  Bytes notFinite = golden();
  const float nan = std::nanf("");
  std::memcpy(&notFinite.bytes[60 + 16], &nan, 4);  // the first entry's bbox left
  Bytes wrongMagic = golden();
  wrongMagic.bytes[1] = '\t';
  const struct {
    const char* name;
    Bytes file;
    const char* why;
  } cases[] = {
      {"a tab after B", wrongMagic, "it does not start with the sample file's mark"},
      {"name length 0", withName(""), "its name length is not 1 to 127"},
      {"name length 128", withName(std::string(128, 'n')), "its name length is not 1 to 127"},
      {"a name with a slash", withName("../x"), "its name is not a plain file name"},
      {"a name of two dots", withName(".."), "its name is not a plain file name"},
      {"rows 0", header("r", 0, 3, 0), "its rows, cols or size is 0"},
      {"count above rows x cols", header("c", 2, 3, 7), "it announces more superpixels than grid cells"},
      {"count beyond the bytes", header("c", 200, 200, 40000), "it announces more superpixels than it holds"},
      {"points beyond the bytes", hugePoints, "an entry announces more points than the file holds"},
      {"a points block cut short", shortPoints, "an entry announces more points than the file holds"},
      {"a pattern beyond the bytes", hugePattern, "an entry announces more pattern values than the file holds"},
      {"a box that is not a number", notFinite, "an entry holds a number that is not finite"},
  };
  for (const auto& test : cases) {
    std::string why;
    EXPECT_FALSE(read(test.file, &why)) << test.name;
    EXPECT_EQ(why, test.why) << test.name;
  }
  // Every proper beginning of a sound file is refused; the whole of it, and more, is read.
  const Bytes file = golden();
  for (size_t length = 0; length < file.bytes.size(); ++length)
    EXPECT_FALSE(VSKCImageSample::sampleFromBytes(file.bytes.data(), length)) << length;
  Bytes longer = golden();
  longer.u32(99);
  EXPECT_TRUE(read(longer));
}

// Outlines and patterns are checked many values at a time: a value that is not finite is found
// wherever it stands, in a whole block or in the values after the last one.
TEST(SampleFile, ReaderFindsANumberThatIsNotFiniteAnywhereInALongOutlineOrPattern) {
  constexpr uint32_t kPoints = 37, kPattern = 41;  // neither a multiple of a block
  auto file = [&](size_t spoilt) {
    std::vector<float> values(kPoints * 2 + kPattern, 1.0f);
    if (spoilt < values.size()) values[spoilt] = spoilt % 2 ? INFINITY : std::nanf("");
    Bytes bytes = header("long", 1, 1, 1);
    bytes.u32(0).u32(0).floats({0, 0}).floats({0, 0, 1, 1}).floats({0, 0, 0, 1}).floats({0, 0, 0});
    bytes.u32(kPoints);
    for (size_t i = 0; i < values.size(); ++i) {
      if (i == kPoints * 2) bytes.u32(kPattern);
      bytes.f32(values[i]);
    }
    return bytes;
  };
  ASSERT_TRUE(read(file(SIZE_MAX)));
  for (size_t spoilt = 0; spoilt < kPoints * 2 + kPattern; ++spoilt)
    EXPECT_FALSE(read(file(spoilt))) << "value " << spoilt;
}

TEST(SampleFile, ReaderTakesTheLimits) {
  EXPECT_TRUE(read(header(std::string(127, 'n'), 1, 1, 0)));
  EXPECT_TRUE(read(header("c", 2, 3, 0)));
}

TEST(SampleFile, WriterRefusesWhatTheReaderWouldRefuse) {
  OutputCapture log;  // the grids below are not filled
  Ref<VSKCImageSample> sample = read(golden());
  ASSERT_TRUE(sample);
  std::vector<uint8_t> bytes;
  std::string why;
  sample->superpixels()[0].points[1].x = INFINITY;
  EXPECT_FALSE(sample->encodeToBytes(&bytes, &why));
  EXPECT_EQ(why, "a superpixel holds a number that is not finite");
  EXPECT_TRUE(bytes.empty());

  for (const char* name : {"", "..", "a/b", "."}) {
    Ref<MRKCStatement> statement = segmentedStatement(1, 1, 4, {});
    Ref<VSKCImageSample> named = VSKCImageSample::sampleFromStatement(statement.get(), name, 0);
    if (!named) continue;  // an empty name makes no sample at all
    EXPECT_FALSE(named->encodeToBytes(&bytes, &why)) << name;
  }
  Ref<VSKCImageSample> wide = VSKCImageSample::sampleFromStatement(segmentedStatement(1, 70000, 4, {}).get(), "w", 0);
  ASSERT_TRUE(wide);
  EXPECT_FALSE(wide->encodeToBytes(&bytes, &why));
  EXPECT_EQ(why, "rows, cols and size must be 1 to 65535");
}

class SampleSave : public ::testing::Test {
protected:
  void SetUp() override {
    folder = fs::temp_directory_path() / ("vsk-sample-" + std::to_string(getpid()));
    fs::remove_all(folder);
    fs::create_directories(folder);
  }
  void TearDown() override { fs::remove_all(folder); }
  fs::path folder;
};

TEST_F(SampleSave, WritesAtomicallyAndSaysWhenItCannot) {
  Ref<VSKCImageSample> sample = read(golden());
  ASSERT_TRUE(sample);
  const fs::path path = folder / "ab.bin";
  std::ofstream(path) << "old contents";
  ASSERT_TRUE(sample->encode(path));
  std::string written;
  ASSERT_TRUE(LLKFReadFile(path.c_str(), written));
  EXPECT_EQ(std::vector<uint8_t>(written.begin(), written.end()), golden().bytes);
  EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);  // no temporary left

  Ref<VSKCImageSample> back = VSKCImageSample::sampleFromPath(path);
  ASSERT_TRUE(back);
  EXPECT_EQ(back->superpixels(), sample->superpixels());

  OutputCapture log;
  EXPECT_FALSE(sample->encode((folder / "missing" / "ab.bin").string()));
  EXPECT_TRUE(log.saw("VSKCImageSample - " + (folder / "missing" / "ab.bin").string() + " could not be written"));
  EXPECT_FALSE(VSKCImageSample::sampleFromPath((folder / "none.bin").string()));
  std::ofstream(folder / "bad.bin") << "B\tnot a sample";
  EXPECT_FALSE(VSKCImageSample::sampleFromPath((folder / "bad.bin").string()));
  EXPECT_TRUE(log.saw("VSKCImageSample - " + (folder / "bad.bin").string() +
                      " is not a sample file: it does not start with the sample file's mark"));
}

}  // namespace
