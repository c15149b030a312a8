// The labelling view in the real program under a display: a generated image fed by the COCO
// feed (asked by the labelling view's "next" with auto next on), one object labelled by real
// clicks, saved, and the ".bin" file read back and compared with the object's known shape; a
// changed sample saved when its view is closed with its cross or the program ends.
#include <gtest/gtest.h>

#include <signal.h>

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <iostream>
#include <memory>
#include <thread>

#include "framework/core/JSKCFrame.h"
#include "imagekit/VSKCImageSample.h"
#include "tests/app/WorkbenchProcess.h"
#include "tests/core/TemporaryFolder.h"
#include "tests/gl/OGLTestXServer.h"
#include "tests/app_vision/VisionWorkbenchKit.h"
#include "tests/support/dataset/Dataset.h"

namespace {

namespace fs = std::filesystem;

constexpr OGLTPoint kLabeling = {0, 30};
constexpr OGLTPoint kFeed = {520, 60};
// The scene is 640 x 480; the foveal stream is its 320 x 240 centre.
constexpr int kSceneW = 640, kSceneH = 480;
const cv::Rect kFoveal = {160, 120, 320, 240};

// Window coordinates of the labelling view's parts (the view at kLabeling): the "next" and save
// buttons, the objects selector's ">", the label box and its "scissors" item once open, and the
// image's top-left corner in the picture box.
struct At {
  int x, y;
};
constexpr At kNext = {12, 396}, kSave = {26, 396}, kObjectNext = {312, 395}, kLabelBox = {440, 396},
             kScissors = {398, 270}, kImage = {92, 94}, kClose = {496, 40}, kRepeat = {578, 174};
// "scissors" in the foveal list of rsc/labels.json, "null" being 0.
constexpr uint8_t kScissorsLabel = 77;

// Pixels of the image's place in the picture box brighter than the view's grey.
size_t lit(const std::vector<uint8_t>& rgb, int width) {
  size_t count = 0;
  for (int y = kImage.y; y < kImage.y + kFoveal.height; ++y)
    for (int x = kImage.x; x < kImage.x + kFoveal.width; ++x) {
      const uint8_t* p = &rgb[(static_cast<size_t>(y) * width + x) * 3];
      count += p[0] + p[1] + p[2] > 240;
    }
  return count;
}

// Pixels of the labelled feed's object outlines (under the labelling view, left of the feed).
size_t fuchsia(const std::vector<uint8_t>& rgb, int width) {
  size_t count = 0;
  for (int y = kImage.y - 40; y < kImage.y + 300; ++y)
    for (int x = 0; x < 500; ++x) {
      const uint8_t* p = &rgb[(static_cast<size_t>(y) * width + x) * 3];
      count += p[0] > 200 && p[1] < 80 && p[2] > 200;
    }
  return count;
}

class LabelingWorkbenchTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(OGLTestEnsureDisplay());
    fs::create_directories(VESKO_SCREENSHOT_DIR);
    fs::create_directories(coco());
  }

  std::string coco() const { return work.path() + "/coco"; }

  void writeConfig() const {
    Ref<JSKCFrame> config = JSKCFrame::frame();
    (void)VisionWorkbenchOpenView(*config, "ui.cocofeed", kFeed)->storeString(coco(), "src.path");
    (void)VisionWorkbenchOpenView(*config, "ui.qav.lab.fovl", kLabeling);
    (void)VisionWorkbenchOpenView(*config, "ui.qav.labeling.fovl", kLabeling)->storeBool(true, "auto.next");
    ASSERT_TRUE(VisionWorkbenchWriteSettings(settings.path(), *config));
  }

  // Grabs the window until the pixels pass the test (20 s at most) and saves them as a PNG.
  std::vector<uint8_t> shot(const char* name, const std::function<bool(const std::vector<uint8_t>&)>& shows) {
    EXPECT_TRUE(WorkbenchFindWindow("vesko", &window));
    std::vector<uint8_t> rgb = WorkbenchGrabUntil(window, shows);
    EXPECT_TRUE(WorkbenchSavePNG(rgb, window, std::string(VESKO_SCREENSHOT_DIR) + "/" + name + ".png"));
    return rgb;
  }

  // The program on the solution whose fake classifier reads the samples folder, its scene written
  // to the COCO folder; started and loaded.
  std::unique_ptr<WorkbenchProcess> start(const std::vector<dataset::Scene>& scenes) {
    std::string why;
    EXPECT_TRUE(dataset::write(scenes, coco(), &why)) << why;
    writeConfig();
    const std::string solution = VisionWorkbenchSolution(VESKO_SOURCE_DIR, work.path(), samples());
    auto program = std::make_unique<WorkbenchProcess>(
        VESKO_PROGRAM, std::vector<std::string>{solution},
        std::vector<std::string>{"VESKO_CONFIG_DIR=" + settings.path(), "XDG_DATA_HOME=" + data.path(),
                                 "ASAN_OPTIONS=detect_leaks=0"});
    EXPECT_TRUE(program->started());
    EXPECT_TRUE(program->waitForOutput("loaded " + solution)) << program->output();
    return program;
  }
  std::string samples() const { return data.path() + "/vesko/qav/fovl"; }

  ScreenRect window;

  TemporaryFolder work, settings, data;
};

// The shape of the scene's object with the largest part in the foveal crop, in the crop's pixels
// (255 inside), and the scene's number of objects.
cv::Mat largestShape(const dataset::Scene& scene) {
  cv::Mat best;
  int bestArea = 0;
  for (const dataset::Object& object : scene.objects) {
    cv::Mat mask = cv::Mat::zeros(kFoveal.height, kFoveal.width, CV_8U);
    std::vector<std::vector<cv::Point>> parts = object.parts;
    for (auto& part : parts)
      for (cv::Point& p : part) p -= kFoveal.tl();
    cv::fillPoly(mask, parts, cv::Scalar(255));
    const int area = cv::countNonZero(mask);
    if (area > bestArea) bestArea = area, best = mask;
  }
  return best;
}

// The green of the overlay's fill over the picture.
bool greenish(const uint8_t* p) { return p[1] > p[0] + 40 && p[1] > p[2] + 40 && p[1] > 120; }

TEST_F(LabelingWorkbenchTest, AnObjectLabelledByClicksIsSavedWithItsShape) {
  std::vector<dataset::Scene> scenes = dataset::synthetic(1, kSceneW, kSceneH, 5);
  ASSERT_EQ(scenes.size(), 1u);
  const cv::Mat shape = largestShape(scenes[0]);
  ASSERT_GT(cv::countNonZero(shape), 2000) << "the scene has an object in the foveal crop";
  std::string why;
  ASSERT_TRUE(dataset::write(scenes, coco(), &why)) << why;
  writeConfig();
  const std::string samples = data.path() + "/vesko/qav/fovl";
  const std::string solution = VisionWorkbenchSolution(VESKO_SOURCE_DIR, work.path(), samples);
  WorkbenchProcess program(
      VESKO_PROGRAM, {solution},
      {"VESKO_CONFIG_DIR=" + settings.path(), "XDG_DATA_HOME=" + data.path(), "ASAN_OPTIONS=detect_leaks=0"});
  ASSERT_TRUE(program.started());
  ASSERT_TRUE(program.waitForOutput("loaded " + solution)) << program.output();
  // The view is drawn once its body's grey shows.
  (void)shot("labeling-open", [&](const std::vector<uint8_t>& rgb) {
    const uint8_t* body = &rgb[(static_cast<size_t>(kImage.y + 100) * window.w + kImage.x + 100) * 3];
    return body[0] > 10 && body[1] > 10 && body[2] > 10;
  });

  // "next" with auto next asks the COCO feed for its image: the view shows the foveal crop.
  ASSERT_TRUE(WorkbenchClick(kNext.x, kNext.y));
  (void)shot("labeling-sample", [&](const std::vector<uint8_t>& rgb) { return lit(rgb, window.w) > 40000; });

  // A free object (the COCO mapping took one per annotated object), labelled "scissors".
  for (size_t k = 0; k < scenes[0].objects.size(); ++k) ASSERT_TRUE(WorkbenchClick(kObjectNext.x, kObjectNext.y));
  const uint32_t object = static_cast<uint32_t>(scenes[0].objects.size()) + 1;
  ASSERT_TRUE(WorkbenchClick(kLabelBox.x, kLabelBox.y));
  ASSERT_TRUE(WorkbenchClick(kScissors.x, kScissors.y));

  // Shift-click deep inside the shape floods its superpixels into the object.
  cv::Mat distance;
  cv::distanceTransform(shape, distance, cv::DIST_L2, 3);
  cv::Point deep;
  cv::minMaxLoc(distance, nullptr, nullptr, nullptr, &deep);
  ASSERT_TRUE(WorkbenchClick(kImage.x + deep.x, kImage.y + deep.y, "shift"));
  const int area = cv::countNonZero(shape);
  std::vector<uint8_t> labelled = shot("labeling-flooded", [&](const std::vector<uint8_t>& rgb) {
    size_t green = 0;
    for (int y = 0; y < shape.rows; ++y)
      for (int x = 0; x < shape.cols; ++x)
        if (shape.at<uint8_t>(y, x) &&
            greenish(&rgb[(static_cast<size_t>(kImage.y + y) * window.w + kImage.x + x) * 3]))
          ++green;
    return green > static_cast<size_t>(area) / 2;
  });

  // Saved into the data folder's "qav/fovl" and read back.
  ASSERT_TRUE(WorkbenchClick(kSave.x, kSave.y));
  const std::string file = samples + "/" + scenes[0].name + ".bin";
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (!fs::exists(file) && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(50));

  // The fake classifier replays the saved sample: with the labelling view closed, the labelled
  // feed beneath it outlines the objects once the feed sends the image again.
  ASSERT_TRUE(WorkbenchClick(kClose.x, kClose.y));
  ASSERT_TRUE(WorkbenchClick(kRepeat.x, kRepeat.y));
  std::vector<uint8_t> replayed =
      shot("labeling-replayed", [&](const std::vector<uint8_t>& rgb) { return fuchsia(rgb, window.w) > 50; });
  EXPECT_GT(fuchsia(replayed, window.w), 50u);
  ASSERT_TRUE(program.signal(SIGINT));
  EXPECT_EQ(program.waitForExit(), 0) << program.output();
  Ref<VSKCImageSample> sample = VSKCImageSample::sampleFromPath(file);
  ASSERT_TRUE(sample) << program.output();
  EXPECT_EQ(sample->objects()[object - 1], kScissorsLabel);
  const uint32_t bit = 1u << (object - 1);
  size_t inObject = 0, inside = 0, insideInObject = 0, outsideInObject = 0;
  for (const VSKTSuperpixel& record : sample->superpixels()) {
    if (record.id == kVSKEmptySuperpixel) continue;
    const int x = static_cast<int>(record.centroid[0]), y = static_cast<int>(record.centroid[1]);
    const bool within = x >= 0 && y >= 0 && x < shape.cols && y < shape.rows && distance.at<float>(y, x) > 4;
    const bool outside = !(x >= 0 && y >= 0 && x < shape.cols && y < shape.rows) || shape.at<uint8_t>(y, x) == 0;
    const bool member = (record.mask & bit) != 0;
    inObject += member;
    inside += within;
    insideInObject += within && member;
    outsideInObject += outside && member;
  }
  // The flood stays within the shape and covers it.
  EXPECT_GT(inObject, 0u);
  EXPECT_EQ(outsideInObject, 0u) << inObject << " superpixels in the object";
  EXPECT_GE(insideInObject * 10, inside * 8) << insideInObject << " of " << inside << " superpixels inside the shape";
  (void)labelled;
}

// A free object labelled and a superpixel clicked into it, then the view closed with its cross or
// the program ended: the changed sample is saved as "next" would save it.
TEST_F(LabelingWorkbenchTest, AChangedSampleIsSavedWhenItsViewClosesOrTheProgramEnds) {
  const struct {
    const char* how;
    bool cross;
  } cases[] = {{"closed-by-cross", true}, {"program-ends", false}};
  const std::vector<dataset::Scene> scenes = dataset::synthetic(1, kSceneW, kSceneH, 3);
  ASSERT_EQ(scenes.size(), 1u);
  const std::string file = samples() + "/" + scenes[0].name + ".bin";
  for (const auto& test : cases) {
    SCOPED_TRACE(test.how);
    fs::remove(file);
    std::unique_ptr<WorkbenchProcess> program = start(scenes);
    ASSERT_TRUE(program && program->started());
    ASSERT_TRUE(WorkbenchClick(kNext.x, kNext.y));
    (void)shot((std::string("labeling-") + test.how + "-sample").c_str(),
               [&](const std::vector<uint8_t>& rgb) { return lit(rgb, window.w) > 40000; });
    for (size_t k = 0; k < scenes[0].objects.size(); ++k) ASSERT_TRUE(WorkbenchClick(kObjectNext.x, kObjectNext.y));
    const size_t slot = scenes[0].objects.size();
    ASSERT_TRUE(WorkbenchClick(kLabelBox.x, kLabelBox.y));
    ASSERT_TRUE(WorkbenchClick(kScissors.x, kScissors.y));
    ASSERT_TRUE(WorkbenchClick(kImage.x + 100, kImage.y + 100));
    (void)shot((std::string("labeling-") + test.how + "-changed").c_str(), [&](const std::vector<uint8_t>& rgb) {
      const uint8_t* p = &rgb[(static_cast<size_t>(kImage.y + 100) * window.w + kImage.x + 100) * 3];
      return greenish(p);
    });
    if (test.cross) {
      ASSERT_TRUE(WorkbenchClick(kClose.x, kClose.y));
      EXPECT_TRUE(program->waitForOutput("ui.qav.labeling.fovl : the changed sample " + scenes[0].name +
                                         " was saved as " + file))
          << program->output();
      EXPECT_TRUE(fs::exists(file)) << "written as the view closed";
    }
    ASSERT_TRUE(program->signal(SIGINT));
    EXPECT_EQ(program->waitForExit(), 0) << program->output();
    Ref<VSKCImageSample> sample = VSKCImageSample::sampleFromPath(file);
    ASSERT_TRUE(sample) << program->output();
    EXPECT_EQ(sample->objects()[slot], kScissorsLabel);
    EXPECT_TRUE(std::any_of(sample->superpixels().begin(), sample->superpixels().end(),
                            [&](const VSKTSuperpixel& record) { return record.mask & (1u << slot); }))
        << "the superpixel clicked is in the object";
  }
}

}  // namespace
