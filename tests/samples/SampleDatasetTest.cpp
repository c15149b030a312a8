// Samples of the generated dataset, segmented by the real segmenter: the COCO mapping against the
// known shapes, rendering against the pictures, and round trips through the file.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include <opencv2/imgproc.hpp>

#include "framework/substrate/MRKCString.h"
#include "imagekit/VSKFPolygon.h"
#include "tests/samples/SampleTestKit.h"
#include "tests/support/dataset/SegmentedScenes.h"
#include "tests/vision/VisionTestKit.h"

namespace {

namespace fs = std::filesystem;

// Label ctid + 100 for every category id up to 90.
Ref<LLKCData> cocoLabels() {
  std::vector<uint32_t> table(91);
  for (uint32_t ctid = 0; ctid < table.size(); ++ctid) table[ctid] = ctid + 100;
  return LLKCData::dataWithBytes(table.data(), table.size() * sizeof(uint32_t));
}

class SampleDataset : public ::testing::Test {
protected:
  void SetUp() override {
    folder = fs::temp_directory_path() / ("vsk-dataset-" + std::to_string(getpid()));
    fs::create_directories(folder);
  }
  void TearDown() override { fs::remove_all(folder); }

  Ref<VSKCImageSample> sampleOf(const dataset::Scene& scene, uint32_t step = 16) {
    Ref<MRKCStatement> statement = dataset::segmented(scene, folder.string(), step);
    EXPECT_TRUE(statement);
    if (!statement) return nullptr;
    Ref<VSKCImageSample> sample = VSKCImageSample::sampleFromStatement(statement.get(), scene.name, 1);
    EXPECT_TRUE(sample);
    return sample;
  }

  fs::path folder;
  OutputCapture quiet;
};

// Every object takes the next slot with its category's label; the superpixels of an object are
// those whose centroid its outline holds, and they carry the object's colour.
TEST_F(SampleDataset, MappingFindsTheKnownShapes) {
  for (const dataset::Scene& scene : dataset::synthetic(4, 320, 240, 7)) {
    SCOPED_TRACE(scene.name);
    Ref<VSKCImageSample> sample = sampleOf(scene);
    ASSERT_TRUE(sample);
    sample->processCocoDataWithLabels(cocoLabels().get());
    ASSERT_EQ(sample->labeled(), scene.objects.size());
    for (size_t slot = 0; slot < scene.objects.size(); ++slot) {
      const dataset::Object& object = scene.objects[slot];
      EXPECT_EQ(sample->objects()[slot], uint8_t(object.ctid + 100));
      size_t members = 0, coloured = 0;
      for (const VSKTSuperpixel& record : sample->superpixels()) {
        const cv::Point2f centroid(record.centroid[0], record.centroid[1]);
        double depth = -1e9;
        for (const auto& part : object.parts) depth = std::max(depth, cv::pointPolygonTest(part, centroid, true));
        const bool member = record.mask & (1u << slot);
        if (depth > 1.0) {
          EXPECT_TRUE(member) << "centroid " << centroid << " lies inside";
        } else if (depth < -1.0) {
          EXPECT_FALSE(member) << "centroid " << centroid << " lies outside";
        }
        if (!member) continue;
        ++members;
        const double distance = std::abs(record.colour[2] * 255 - object.colour[0]) +
                                std::abs(record.colour[1] * 255 - object.colour[1]) +
                                std::abs(record.colour[0] * 255 - object.colour[2]);
        coloured += distance < 60;
      }
      EXPECT_GT(members, 0u);
      EXPECT_GE(coloured * 10, members * 8) << "object " << slot << ": " << coloured << " of " << members;
    }
  }
}

// The mosaic of mean colours is close to the picture.
TEST_F(SampleDataset, RenderingResemblesThePicture) {
  const dataset::Scene scene = dataset::synthetic(1, 320, 240, 3).front();
  Ref<VSKCImageSample> sample = sampleOf(scene, 8);
  ASSERT_TRUE(sample);
  cv::Mat rgba(240, 320, CV_8UC4);
  sample->render(rgba.data, 320, 240);
  cv::Mat rgb, bgr;
  cv::cvtColor(rgba, bgr, cv::COLOR_RGBA2BGR);
  cv::Mat difference;
  cv::absdiff(bgr, scene.bgr, difference);
  cv::Mat close;
  cv::inRange(difference, cv::Scalar(0, 0, 0), cv::Scalar(40, 40, 40), close);
  EXPECT_GT(cv::countNonZero(close), 240 * 320 * 9 / 10);
}

// Rendering tests only the edges that reach each row: the same pixels as the whole point test.
TEST_F(SampleDataset, RenderingPaintsWhatThePointTestHolds) {
  const dataset::Scene scene = dataset::synthetic(1, 160, 120, 9).front();
  Ref<VSKCImageSample> sample = sampleOf(scene, 8);
  ASSERT_TRUE(sample);
  // Outlines with points between pixels and on them, as files may carry.
  for (VSKTSuperpixel& record : sample->superpixels())
    for (size_t k = 0; k < record.points.size(); k += 3) record.points[k].x += 0.05f * float(k % 7);
  std::vector<uint8_t> rendered(size_t(160) * 120 * 4), expected(rendered.size(), 0xFF);
  sample->render(rendered.data(), 160, 120);
  for (const VSKTSuperpixel& record : sample->superpixels()) {
    const uint8_t colour[4] = {uint8_t(int(record.colour[0] * 255)), uint8_t(int(record.colour[1] * 255)),
                               uint8_t(int(record.colour[2] * 255)), 255};
    if (record.points.empty() || (colour[0] == 255 && colour[1] == 255 && colour[2] == 255)) continue;
    for (int y = std::max(0, int(record.bbox[1])); y <= std::min(119, int(record.bbox[3])); ++y)
      for (int x = std::max(0, int(record.bbox[0])); x <= std::min(159, int(record.bbox[2])); ++x)
        if (VSKFPolygonLocatePoint(record.points.data(), record.pointCount(), {float(x), float(y)}) != 0)
          std::memcpy(&expected[(size_t(y) * 160 + size_t(x)) * 4], colour, 4);
  }
  EXPECT_EQ(rendered, expected);
}

// A generated sample, labelled, written and read back, is the same sample and the same bytes.
TEST_F(SampleDataset, SamplesComeBackFromTheirFilesWhole) {
  std::vector<dataset::Scene> scenes = dataset::synthetic(2, 320, 240, 11);
  for (dataset::Scene& photo : dataset::photos()) scenes.push_back(std::move(photo));
  for (const dataset::Scene& scene : scenes) {
    SCOPED_TRACE(scene.name);
    Ref<VSKCImageSample> sample = sampleOf(scene);
    ASSERT_TRUE(sample);
    sample->processCocoDataWithLabels(cocoLabels().get());
    EXPECT_EQ(sample->labeled(), scene.objects.size());
    const fs::path path = folder / (scene.name + ".bin");
    ASSERT_TRUE(sample->encode(path.string()));
    Ref<VSKCImageSample> back = VSKCImageSample::sampleFromPath(path.string());
    ASSERT_TRUE(back);
    EXPECT_EQ(back->name(), sample->name());
    EXPECT_EQ(back->objects(), sample->objects());
    EXPECT_EQ(back->superpixels(), sample->superpixels());
    std::vector<uint8_t> first, second;
    ASSERT_TRUE(sample->encodeToBytes(&first));
    ASSERT_TRUE(back->encodeToBytes(&second));
    EXPECT_EQ(first, second);
  }
}

}  // namespace
