// The vision road through the real program under a display: the demonstration solution fed by a
// folder of the generated dataset from the COCO feed view, segmented by the peripheral
// segmenter and shown by the segmented and labelled views, read back as pixels.
#include <gtest/gtest.h>

#include <signal.h>

#include <filesystem>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <regex>
#include <sstream>

#include "framework/core/LLKCData.h"
#include "framework/core/LLKFFiles.h"
#include "framework/substrate/MRKCString.h"
#include "framework/substrate/MRKFTerms.h"
#include "imagekit/VSKCImageSample.h"
#include "tests/app/WorkbenchProcess.h"
#include "tests/app_vision/VisionWorkbenchKit.h"
#include "tests/core/TemporaryFolder.h"
#include "tests/support/CraftedImages.h"
#include "tests/gl/OGLTestXServer.h"
#include "tests/support/dataset/Dataset.h"
#include "tests/support/dataset/SegmentedScenes.h"

namespace {

namespace fs = std::filesystem;

// Where the views are put (window coordinates of their top-left corners).
constexpr OGLTPoint kSegmented = {0, 30};
constexpr OGLTPoint kLabeled = {316, 30};
constexpr OGLTPoint kFeed = {400, 330};
// The "Submit" button inside the COCO feed view.
constexpr OGLTPoint kSubmit = {kFeed.x + 58, kFeed.y + 77};

struct Box {
  float x, y, w, h;
};

// Pixels of the screen grab that pass the test inside the box (window coordinates).
size_t count(const std::vector<uint8_t>& rgb, const ScreenRect& window, const Box& box,
             bool (*test)(const uint8_t* p)) {
  size_t found = 0;
  for (int y = static_cast<int>(box.y); y < static_cast<int>(box.y + box.h) && y < window.h; ++y)
    for (int x = static_cast<int>(box.x); x < static_cast<int>(box.x + box.w) && x < window.w; ++x)
      if (test(&rgb[(static_cast<size_t>(y) * window.w + x) * 3])) ++found;
  return found;
}
// Anything brighter than the views' dark grey.
bool colourful(const uint8_t* p) { return p[0] + p[1] + p[2] > 180; }
bool fuchsia(const uint8_t* p) { return p[0] > 200 && p[1] < 80 && p[2] > 200; }

class VisionWorkbenchTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(OGLTestEnsureDisplay());
    fs::create_directories(VESKO_SCREENSHOT_DIR);
    fs::create_directories(coco());
    fs::create_directories(samples());
    fs::create_directories(work.path() + "/segmenting");
    scenes = dataset::synthetic(3, 320, 240, 11);
    std::string why;
    ASSERT_TRUE(dataset::write(scenes, coco(), &why)) << why;
  }

  std::string coco() const { return work.path() + "/coco"; }
  std::string samples() const { return work.path() + "/samples"; }

  // The labelling tool's work, done here: each scene's objects labelled "person" (label 1 of
  // the labels file) in a sample the fake classifier replays.
  void labelScenes() {
    for (const dataset::Scene& scene : scenes) {
      Ref<MRKCStatement> segmented = dataset::segmented(scene, work.path() + "/segmenting", 16);
      ASSERT_TRUE(segmented);
      Ref<VSKCImageSample> sample = VSKCImageSample::sampleFromStatement(segmented.get(), scene.name, 1);
      ASSERT_TRUE(sample);
      std::vector<uint32_t> table(91, 0);
      for (const dataset::Object& object : scene.objects) table[object.ctid] = 1;
      sample->processCocoDataWithLabels(LLKCData::dataWithBytes(table.data(), table.size() * 4).get());
      ASSERT_TRUE(sample->encode(samples() + "/" + scene.name + ".bin"));
    }
  }

  // The demonstration solution with the foveal classifier reading our samples.
  std::string solution() const { return VisionWorkbenchSolution(VESKO_SOURCE_DIR, work.path(), samples()); }

  void writeConfig() const {
    Ref<JSKCFrame> config = JSKCFrame::frame();
    (void)VisionWorkbenchOpenView(*config, "ui.qav.seg.fovl", kSegmented);
    (void)VisionWorkbenchOpenView(*config, "ui.qav.lab.fovl", kLabeled);
    (void)VisionWorkbenchOpenView(*config, "ui.cocofeed", kFeed)->storeString(coco(), "src.path");
    ASSERT_TRUE(VisionWorkbenchWriteSettings(settings.path(), *config));
  }

  // The program on the solution, with the settings written before; returned once it has said that
  // it loaded the solution.
  std::unique_ptr<WorkbenchProcess> startOnSolution() {
    const std::string path = solution();
    auto program = std::make_unique<WorkbenchProcess>(
        VESKO_PROGRAM, std::vector<std::string>{path},
        std::vector<std::string>{"VESKO_CONFIG_DIR=" + settings.path(), "XDG_DATA_HOME=" + data.path(),
                                 "ASAN_OPTIONS=detect_leaks=0"});
    EXPECT_TRUE(program->started());
    EXPECT_TRUE(program->waitForOutput("loaded " + path)) << program->output();
    return program;
  }

  std::vector<uint8_t> capture(const char* name, ScreenRect* rect,
                               const std::function<bool(const std::vector<uint8_t>&)>& shows) {
    EXPECT_TRUE(WorkbenchFindWindow("vesko", rect));
    std::vector<uint8_t> rgb = WorkbenchGrabUntil(*rect, shows);
    EXPECT_TRUE(WorkbenchSavePNG(rgb, *rect, std::string(VESKO_SCREENSHOT_DIR) + "/" + name + ".png"));
    return rgb;
  }

  TemporaryFolder work, settings, data;
  std::vector<dataset::Scene> scenes;
};

TEST_F(VisionWorkbenchTest, TheCocoFolderIsSegmentedAndLabelledInTheViews) {
  labelScenes();
  writeConfig();
  auto program = startOnSolution();
  ASSERT_FALSE(HasFailure());
  ScreenRect window;
  ASSERT_TRUE(WorkbenchFindWindow("vesko", &window));
  // The views are open and empty until the feed is asked for an image.
  const Box segmented = {kSegmented.x + 4, kSegmented.y + 24, 316, 236};
  const Box labeled = {kLabeled.x + 4, kLabeled.y + 24, 316, 236};
  ASSERT_TRUE(WorkbenchClick(static_cast<int>(kSubmit.x), static_cast<int>(kSubmit.y)));
  std::vector<uint8_t> shown = capture("vision-feeds", &window, [&](const std::vector<uint8_t>& rgb) {
    return count(rgb, window, segmented, colourful) > 5000 && count(rgb, window, labeled, fuchsia) > 50;
  });
  // The segmenter's mean-colour image: the scene's flat shapes on its smooth background.
  EXPECT_GT(count(shown, window, segmented, colourful), 5000u);
  // The labelled view: the received image with the objects outlined in fuchsia.
  EXPECT_GT(count(shown, window, labeled, colourful), 5000u);
  EXPECT_GT(count(shown, window, labeled, fuchsia), 50u);
  EXPECT_EQ(count(shown, window, segmented, fuchsia), 0u) << "the segmented view draws no objects";

  // The segmenter's settings changed live: the panel shows what it runs with (16 and 24), the
  // superpixel slider dragged to its end pokes 128, and the same image asked again ("Repeat")
  // comes back in far larger superpixels.
  ASSERT_TRUE(WorkbenchClick(static_cast<int>(kSegmented.x + 11), static_cast<int>(kSegmented.y + 10)));
  ASSERT_TRUE(WorkbenchClick(static_cast<int>(kSegmented.x + 30), static_cast<int>(kSegmented.y + 35)));
  const Box panel = {kSegmented.x + 190, kSegmented.y + 75, 90, 12};
  capture("vision-settings", &window,
          [&](const std::vector<uint8_t>& rgb) { return count(rgb, window, panel, colourful) > 20; });
  ASSERT_TRUE(WorkbenchDrag(static_cast<int>(kSegmented.x + 198), static_cast<int>(kSegmented.y + 81),
                            static_cast<int>(kSegmented.x + 300), static_cast<int>(kSegmented.y + 81)));
  ASSERT_TRUE(WorkbenchClick(static_cast<int>(kSubmit.x), static_cast<int>(kSubmit.y + 37)));
  const Box below = {kSegmented.x + 4, kSegmented.y + 140, 316, 150};
  auto changed = [&](const std::vector<uint8_t>& rgb) {
    size_t differing = 0;
    for (int y = static_cast<int>(below.y); y < static_cast<int>(below.y + below.h); ++y)
      for (int x = static_cast<int>(below.x); x < static_cast<int>(below.x + below.w); ++x) {
        const size_t i = (static_cast<size_t>(y) * window.w + x) * 3;
        if (std::abs(rgb[i] - shown[i]) + std::abs(rgb[i + 1] - shown[i + 1]) + std::abs(rgb[i + 2] - shown[i + 2]) >
            30)
          ++differing;
      }
    return differing > 2000;
  };
  EXPECT_TRUE(changed(capture("vision-settings-changed", &window, changed)));
  ASSERT_TRUE(program->signal(SIGINT));
  EXPECT_EQ(program->waitForExit(), 0);
}

// Files crafted as an attacker would, named like the dataset's images: the feed says which one it
// cannot read and why, one per "Submit" (a cut Softimage PIC crashed the program, a Radiance HDR
// with one run-length row header kept the feed's worker decoding, and SIGTERM then waited on it),
// and the program still ends promptly on SIGTERM, writing its settings.
TEST_F(VisionWorkbenchTest, CraftedImagesInTheCocoFolderAreToldAndTheProgramEndsOnSIGTERM) {
  const std::string crafted = work.path() + "/crafted";
  fs::create_directories(crafted);
  const struct {
    const char* seed;
    const char* name;
  } files[] = {{"softimage-pic-cut-named-bad.jpg.bin", "a-pic"},
               {"radiance-hdr-one-rle-row.bin", "b-hdr"},
               {"png-empty-idat.bin", "c-empty"}};
  for (const auto& file : files) {
    ASSERT_TRUE(writeCraftedImage(file.seed, crafted + "/" + file.name + ".jpg")) << file.seed;
    fs::copy_file(coco() + "/" + scenes[0].name + ".json", crafted + "/" + file.name + ".json");
  }
  // The feed high enough in the window for its status bar to show in the screenshot.
  constexpr OGLTPoint feed = {200, 60}, submit = {feed.x + 58, feed.y + 77};
  Ref<JSKCFrame> config = JSKCFrame::frame();
  (void)VisionWorkbenchOpenView(*config, "ui.cocofeed", feed)->storeString(crafted, "src.path");
  ASSERT_TRUE(VisionWorkbenchWriteSettings(settings.path(), *config));
  auto program = startOnSolution();
  ASSERT_FALSE(HasFailure());
  for (const auto& file : files) {
    ASSERT_TRUE(WorkbenchClick(static_cast<int>(submit.x), static_cast<int>(submit.y)));
    ASSERT_TRUE(program->waitForOutput("cocofeed : cannot read " + std::string(file.name) +
                                      ".jpg: it is no JPEG or PNG image that can be decoded"))
        << program->output();
  }
  ScreenRect window;
  capture("vision-crafted-images", &window, [](const std::vector<uint8_t>&) { return true; });
  // The settings are written as the program ends: the file read at the start goes first.
  const std::string written = settings.path() + "/vesko/config.json";
  ASSERT_TRUE(fs::remove(written));
  ASSERT_TRUE(program->signal(SIGTERM));
  EXPECT_EQ(program->waitForExit(), 0) << program->output();
  EXPECT_TRUE(fs::exists(written)) << program->output();
}

}  // namespace
