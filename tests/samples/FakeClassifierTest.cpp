// The fake classifier through a real substrate: a labelled sample saved beside the feed is
// published again with its objects as detections, named from the labels file, and a sample saved
// again (also an image labelled anew and saved as the labelling view saves it) is replayed as it
// now is. A labels file that names nothing is said once.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <algorithm>
#include <future>
#include <thread>

#include <opencv2/imgproc.hpp>

#include "app/vision/VSKCSampleOperations.h"
#include "framework/substrate/MRKCData.h"
#include "framework/substrate/MRKCString.h"
#include "modules/vision/classifier/QAVCFakeClassifier.h"
#include "tests/samples/SampleTestKit.h"
#include "tests/support/dataset/SegmentedScenes.h"
#include "tests/vision/ProcessorTestKit.h"

namespace {

namespace fs = std::filesystem;

constexpr const char* kChannel = "qav.stream.fovl.seg";

// A working folder of its own holding rsc/labels.json, and a sample folder.
class FakeClassifier : public ::testing::Test {
protected:
  void SetUp() override {
#if defined(__SANITIZE_THREAD__)
    cv::setNumThreads(0);  // OpenCV's own thread pool is not instrumented
#endif
    home = fs::temp_directory_path() / ("vsk-classifier-" + std::to_string(getpid()));
    fs::create_directories(home / "rsc");
    fs::create_directories(home / "samples");
    labels(R"({"qav.stream.peri.seg": ["wrong"], "qav.stream.fovl.seg": ["person", "car", 7, "bird"]})");
    previous = fs::current_path();
    fs::current_path(home);
  }
  void TearDown() override {
    fs::current_path(previous);
    fs::remove_all(home);
  }

  void labels(const std::string& text) { std::ofstream(home / "rsc" / "labels.json", std::ios::trunc) << text; }

  Ref<QAVCFakeClassifier> attach(const std::string& folder, const std::string& inputs = kChannel) {
    return attach(stage, folder, inputs);
  }
  Ref<QAVCFakeClassifier> attach(VisionStage& on, const std::string& folder, const std::string& inputs) {
    const std::string properties = "{\"inputs\": " + inputs + ", \"output\": qav.stream.labeled" +
                                   (folder.empty() ? "" : ", \"folder\": \"" + folder + "\"") + "}";
    Ref<QAVCFakeClassifier> classifier =
        on.attach(QAVCFakeClassifier::classifierWithGuid({}, "qav.fake", {}, frameOf(properties)));
    // The labels file is read on the offloader: wait for it before feeding.
    std::promise<void> drained;
    on.substrate->runtime()->offloader()->submit([&] { drained.set_value(); });
    drained.get_future().wait();
    return classifier;
  }

  fs::path home, previous;
  VisionStage stage{{"qav.stream.labeled", kChannel}};
};

// A 2 x 2 "bgr" image on the channel whose meta frame names the sample.
Ref<MRKCStatement> namedImage(const std::string& sample) {
  Ref<MRKCStatement> image = makeImage(kChannel, "bgr", 2, 2, std::vector<uint8_t>(12));
  (void)metaOf(image.get())->store(MRKCString::stringWithValue(sample).get(), "sample");
  return image;
}

// The detections of the one statement published on qav.stream.labeled.
MRKCList* objectsOf(MRKCStatement* statement) {
  return asList(MRKFFrameFetchTerm(asFrame(statement->terms()->fetchAtIndex(3)), "objects"));
}

// True once the log holds the line (within ten seconds).
bool logged(const OutputCapture& log, const std::string& line) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!log.saw(line) && std::chrono::steady_clock::now() < deadline) std::this_thread::yield();
  return log.saw(line);
}

// The [slot, class] of every detection of a published statement.
std::vector<std::pair<uint64_t, std::string>> classesOf(MRKCStatement* statement) {
  std::vector<std::pair<uint64_t, std::string>> classes;
  MRKCList* objects = objectsOf(statement);
  for (size_t i = 0; objects && i < objects->count(); ++i) {
    MRKCList* detection = asList(objects->fetchAtIndex(i));
    MRKCNumber* slot = detection ? asNumber(detection->fetchAtIndex(0)) : nullptr;
    MRKCSymbol* name = detection ? asSymbol(detection->fetchAtIndex(1)) : nullptr;
    classes.emplace_back(slot ? slot->uint() : 99, name ? name->value() : "<none>");
  }
  return classes;
}

// Four 8 x 8 squares in a row, a sample of them saved as "<folder>/pic.jpg.bin" whose slots hold
// the given label values (slot i over square i), and the 32 x 8 "bgr" image of the channel
// that names it.
Ref<MRKCStatement> savedSquares(const std::string& folder, const std::vector<std::pair<uint32_t, uint8_t>>& slots,
                                const std::string& channel = kChannel) {
  std::vector<Ref<MRKBTerm>> entries;
  for (int16_t i = 0; i < 4; ++i) {
    const int16_t left = int16_t(i * 8), right = int16_t(left + 7);
    entries.push_back(superpixelFrame({i,
                                       int16_t(left + 4),
                                       4,
                                       1,
                                       2,
                                       3,
                                       left,
                                       0,
                                       right,
                                       7,
                                       {left, 0, right, 0, right, 7, left, 7, left, 0},
                                       {1.0f}}));
  }
  Ref<MRKCStatement> statement = segmentedStatement(1, 4, 8, std::move(entries));
  (void)asFrame(statement->terms()->fetchAtIndex(1))->store(MRKCString::stringWithValue("pic.jpg").get(), "sample");
  MRKFFrameStoreUint(asFrame(statement->terms()->fetchAtIndex(1)), "width", 32);
  MRKFFrameStoreUint(asFrame(statement->terms()->fetchAtIndex(1)), "height", 8);
  Ref<VSKCImageSample> sample = VSKCImageSample::sampleFromStatement(statement.get(), "pic.jpg", 0);
  EXPECT_TRUE(sample);
  if (!sample) return nullptr;
  for (const auto& [slot, value] : slots) {
    sample->objects()[slot] = value;
    sample->superpixels()[slot % 4].mask |= 1u << slot;
  }
  EXPECT_TRUE(sample->encode(folder + "/pic.jpg.bin"));
  return MRKFMakeStatementWith4Terms(
      channel, statement->terms()->fetchAtIndex(0), statement->terms()->fetchAtIndex(1),
      MRKCBinary::binaryWithBytes(std::vector<uint8_t>(32 * 8 * 3).data(), 32 * 8 * 3).get(),
      statement->terms()->fetchAtIndex(3), 0.5);
}

TEST_F(FakeClassifier, ReplaysASavedSampleAsDetections) {
  const dataset::Scene scene = dataset::synthetic(1, 320, 240, 5).front();
  ASSERT_GE(scene.objects.size(), 2u);
  Ref<MRKCStatement> segmented = dataset::segmented(scene, home.string(), 16);
  ASSERT_TRUE(segmented);
  // The labelling tool names the sample after the image's "sample".
  const std::string name =
      asString(MRKFFrameFetchTerm(asFrame(segmented->terms()->fetchAtIndex(1)), "sample"))->value();
  Ref<VSKCImageSample> sample = VSKCImageSample::sampleFromStatement(segmented.get(), name, 1);
  ASSERT_TRUE(sample);
  std::vector<uint32_t> table(91, 0);
  table[scene.objects[0].ctid] = 2;  // "car"
  table[scene.objects[1].ctid] = 4;  // "bird"
  sample->processCocoDataWithLabels(LLKCData::dataWithBytes(table.data(), table.size() * 4).get());
  ASSERT_TRUE(sample->encode((home / "samples" / (name + ".bin")).string()));

  attach((home / "samples").string());
  stage.send(kChannel, {segmented});
  const auto published = stage.tap->waitFor("qav.stream.labeled", 1);
  ASSERT_EQ(published.size(), 1u);
  EXPECT_EQ(published[0]->value(), 1.0);
  MRKCList* objects = objectsOf(published[0].get());
  ASSERT_TRUE(objects);
  // Objects whose categories share a label share it; each known one is published.
  std::vector<std::string> classes;
  for (const auto& entry : objects->terms()) {
    MRKCList* detection = asList(entry.get());
    ASSERT_TRUE(detection);
    ASSERT_EQ(detection->count(), 3u);
    const uint64_t slot = asNumber(detection->fetchAtIndex(0))->uint();
    ASSERT_LT(slot, scene.objects.size());
    classes.push_back(asSymbol(detection->fetchAtIndex(1))->value());
    MRKCList* outlines = asList(detection->fetchAtIndex(2));
    ASSERT_TRUE(outlines);
    ASSERT_GE(outlines->count(), 1u);
    for (const auto& outline : outlines->terms()) {
      MRKCData* data = asData(outline.get());
      ASSERT_TRUE(data);
      EXPECT_EQ(data->format(), kMRKDataReal32);
      ASSERT_EQ(data->bytes().size(), 512u);
      // The outline lies around the object it names.
      const auto* xy = static_cast<const float*>(data->buffer());
      cv::Rect box = cv::boundingRect(scene.objects[slot].parts[0]);
      for (const auto& part : scene.objects[slot].parts) box |= cv::boundingRect(part);
      const cv::Rect around(box.x - 16, box.y - 16, box.width + 32, box.height + 32);
      for (int k = 0; k < 64; ++k) EXPECT_TRUE(around.contains(cv::Point(int(xy[2 * k]), int(xy[2 * k + 1])))) << slot;
    }
  }
  EXPECT_FALSE(classes.empty());
  for (const std::string& found : classes) EXPECT_TRUE(found == "car" || found == "bird") << found;
}

TEST_F(FakeClassifier, SlotsNameTheirClassesFromTheChannelsList) {
  // Slot 0 (square 0) holds label 2, slot 3 (square 3) label 1; slot 5 (square 1) holds 3, whose
  // name is no string, and slot 6 (square 2) holds 9, beyond the list: neither is published.
  Ref<MRKCStatement> image = savedSquares((home / "samples").string(), {{0, 2}, {3, 1}, {5, 3}, {6, 9}});
  ASSERT_TRUE(image);

  attach((home / "samples").string());
  stage.send(kChannel, {image, image});  // each is replayed
  const auto published = stage.tap->waitFor("qav.stream.labeled", 2);
  ASSERT_EQ(published.size(), 2u);
  for (const auto& labelled : published) {
    const std::vector<std::pair<uint64_t, std::string>> expected = {{0, "car"}, {3, "person"}};
    EXPECT_EQ(classesOf(labelled.get()), expected);
  }
}

TEST_F(FakeClassifier, ASampleSavedAgainIsReplayedWithItsNewLabels) {
  const std::string samples = (home / "samples").string(), file = samples + "/pic.jpg.bin";
  Ref<MRKCStatement> image = savedSquares(samples, {{0, 2}});
  attach(samples);
  stage.send(kChannel, {image});
  ASSERT_EQ(stage.tap->waitFor("qav.stream.labeled", 1).size(), 1u);
  EXPECT_EQ(classesOf(stage.tap->waitFor("qav.stream.labeled", 1)[0].get()),
            (std::vector<std::pair<uint64_t, std::string>>{{0, "car"}}));

  // Labelled again: a file of the same size, saved within the same tick of the file system's
  // clock (its modification time is the one it had).
  const auto modified = fs::last_write_time(file);
  const auto size = fs::file_size(file);
  ASSERT_TRUE(savedSquares(samples, {{0, 1}}));
  ASSERT_EQ(fs::file_size(file), size);
  fs::last_write_time(file, modified);
  stage.send(kChannel, {image});
  const auto published = stage.tap->waitFor("qav.stream.labeled", 2);
  ASSERT_EQ(published.size(), 2u);
  EXPECT_EQ(classesOf(published[1].get()), (std::vector<std::pair<uint64_t, std::string>>{{0, "person"}}));
}

// The image fed again, labelled anew from its frame and saved by the labelling view's save: the
// image's labelling is replaced, and the classifier replays the new labels.
TEST_F(FakeClassifier, AnImageLabelledAgainIsReplayedWithItsNewLabels) {
  const std::string samples = (home / "samples").string();
  Ref<MRKCStatement> image = savedSquares(samples, {{0, 2}});
  ASSERT_TRUE(image);
  attach(samples);
  stage.send(kChannel, {image});
  ASSERT_EQ(stage.tap->waitFor("qav.stream.labeled", 1).size(), 1u);

  Ref<VSKCImageSample> again = VSKCImageSample::sampleFromStatement(image.get(), "pic.jpg", 0);
  ASSERT_TRUE(again);
  again->objects()[1] = 4;
  again->superpixels()[1].mask = 2u;
  again->setTouched(true);
  VSKCOperationImageSampleSave::operationWithImageSample(again, samples)->onExecute();
  EXPECT_FALSE(again->touched()) << "saved";
  stage.send(kChannel, {image});
  const auto published = stage.tap->waitFor("qav.stream.labeled", 2);
  ASSERT_EQ(published.size(), 2u);
  EXPECT_EQ(classesOf(published[1].get()), (std::vector<std::pair<uint64_t, std::string>>{{1, "bird"}}));
  EXPECT_EQ(std::distance(fs::directory_iterator(samples), fs::directory_iterator{}), 1) << "pic.jpg.bin alone";
}

TEST_F(FakeClassifier, AChannelTheLabelsFileDoesNotNameTakesThePeripheralNamesAndSaysSoOnce) {
  Ref<MRKCStatement> image = savedSquares((home / "samples").string(), {{0, 1}}, "qav.stream.plain");
  ASSERT_TRUE(image);
  OutputCapture log;
  attach((home / "samples").string(), "qav.stream.plain");
  stage.send("qav.stream.plain", {image, image});
  const auto published = stage.tap->waitFor("qav.stream.labeled", 2);
  ASSERT_EQ(published.size(), 2u);
  const std::vector<std::pair<uint64_t, std::string>> expected = {{0, "wrong"}};
  EXPECT_EQ(classesOf(published[1].get()), expected);
  const std::string line = "qav.fake : " + (home / "rsc" / "labels.json").string() +
                           " names no classes for qav.stream.plain: the names of qav.stream.peri.seg are taken";
  const std::vector<std::string> lines = log.lines();
  EXPECT_EQ(std::count(lines.begin(), lines.end(), line), 1) << ::testing::PrintToString(lines);
}

// A sample whose object's outline crosses itself, replayed frame after frame: the hull taken for
// it is said once, not for every frame.
TEST_F(FakeClassifier, AnOutlineTakenAsItsHullIsSaidOncePerSample) {
  const std::vector<uint8_t> bytes = oneOutlineSampleFile("star.jpg", 200, starOutline(11, 100, 90));
  std::ofstream(home / "samples" / "star.jpg.bin", std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  OutputCapture log;
  attach((home / "samples").string());
  stage.send(kChannel, {namedImage("star.jpg"), namedImage("star.jpg"), namedImage("star.jpg")});
  ASSERT_EQ(stage.tap->waitFor("qav.stream.labeled", 3).size(), 3u);
  const std::vector<std::string> lines = log.lines();
  const auto hulls = std::count_if(lines.begin(), lines.end(), [](const std::string& line) {
    return line.find("sample star.jpg") != std::string::npos && line.find("taken as its hull") != std::string::npos;
  });
  EXPECT_EQ(hulls, 1) << ::testing::PrintToString(lines);
}

TEST_F(FakeClassifier, ALabelsFileThatNamesNothingIsSaidOnceNamingTheFile) {
  const std::string file = (home / "rsc" / "labels.json").string();
  const struct {
    const char* content;  // null: no file
    std::string line;
  } cases[] = {
      {nullptr,
       "qav.fake : no class names, so nothing is published: " + file + " cannot be read: No such file or directory"},
      {R"({"qav.stream.fovl.seg": ["person", "ca)",
       "qav.fake : no class names, so nothing is published: " + file + " is not a JSON object"},
      {R"(["person", "car"])", "qav.fake : no class names, so nothing is published: " + file + " is not a JSON object"},
      {R"({"qav.stream.fovl.seg": [1, 2], "qav.stream.peri.seg": "person"})",
       "qav.fake : no class names, so nothing is published: " + file + " holds no array of names"},
  };
  Ref<MRKCStatement> image = savedSquares((home / "samples").string(), {{0, 1}});
  ASSERT_TRUE(image);
  for (const auto& test : cases) {
    fs::remove(file);
    if (test.content) labels(test.content);
    OutputCapture log;
    VisionStage own{{"qav.stream.labeled", kChannel}};
    attach(own, (home / "samples").string(), kChannel);
    own.send(kChannel, {image, image});
    ASSERT_EQ(own.tap->waitFor(kChannel, 2).size(), 2u);
    EXPECT_TRUE(logged(log, test.line)) << test.line;
    const std::vector<std::string> lines = log.lines();
    EXPECT_EQ(std::count(lines.begin(), lines.end(), test.line), 1) << ::testing::PrintToString(lines);
    EXPECT_TRUE(own.tap->statements("qav.stream.labeled").empty());
  }

  // A file that names the classes of another channel only: said once for the channel it left
  // without names, when its images come; the named channel is replayed.
  labels(R"({"qav.stream.fovl.seg": ["person"]})");
  OutputCapture log;
  VisionStage own{{"qav.stream.labeled"}};
  attach(own, (home / "samples").string(), "[qav.stream.plain, " + std::string(kChannel) + "]");
  Ref<MRKCStatement> plain = savedSquares((home / "samples").string(), {{0, 1}}, "qav.stream.plain");
  own.send("qav.stream.plain", {plain, plain});
  own.send(kChannel, {image});
  const auto published = own.tap->waitFor("qav.stream.labeled", 1);
  ASSERT_EQ(published.size(), 1u);
  EXPECT_EQ(classesOf(published[0].get()), (std::vector<std::pair<uint64_t, std::string>>{{0, "person"}}));
  const std::string line = "qav.fake : no class names for qav.stream.plain, so nothing of it is published: " + file +
                           " has none for it nor for qav.stream.peri.seg";
  EXPECT_TRUE(logged(log, line));
  const std::vector<std::string> lines = log.lines();
  EXPECT_EQ(std::count(lines.begin(), lines.end(), line), 1) << ::testing::PrintToString(lines);
}

TEST_F(FakeClassifier, WithoutFolderItSaysSoAndPublishesNothing) {
  OutputCapture log;
  attach("");
  EXPECT_TRUE(log.saw("qav.fake : 'folder' property is requiered"));
  std::ofstream(home / "x.jpg.bin") << "B ";  // what a folder of "" and "." would find
  stage.send(kChannel, {namedImage("x.jpg")});
  ASSERT_EQ(stage.tap->waitFor(kChannel, 1).size(), 1u);
  EXPECT_TRUE(stage.tap->statements("qav.stream.labeled").empty());
}

TEST_F(FakeClassifier, SampleFilesThatCannotBeReadAreSaid) {
  std::ofstream(home / "samples" / "bad.jpg.bin") << "B\tnot a sample";
  attach((home / "samples").string());
  OutputCapture log;
  stage.send(kChannel, {namedImage("bad.jpg")});
  const std::string line = "qav.fake - failed to open " + (home / "samples" / "bad.jpg.bin").string();
  EXPECT_TRUE(logged(log, line));
}

}  // namespace
