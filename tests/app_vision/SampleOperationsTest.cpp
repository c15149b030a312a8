// The sample and file operations on a real scheduler, delivering to a widget of a headless window.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "app/vision/VSKCFileOperations.h"
#include "app/vision/VSKCSampleOperations.h"
#include "framework/core/LLKCObjectTuple.h"
#include "framework/core/LLKFFiles.h"
#include "framework/substrate/MRKCReader.h"
#include "tests/samples/SampleTestKit.h"
#include "tests/vision/VisionTestKit.h"
#include "tests/widgets/QELTestHeadlessWindow.h"
#include "tests/widgets/QELTestWidgets.h"
#include "ui/widgets/QELBApplication.h"

namespace {

namespace fs = std::filesystem;

constexpr uint64_t kDone = 0x20000A000;

// A 2 x 1 grid of 4-pixel squares, the left one red, annotated by one group over the left square.
Ref<VSKCImageSample> twoSquares(const std::string& name) {
  std::vector<Ref<MRKBTerm>> entries;
  for (int16_t i = 0; i < 2; ++i) {
    const int16_t left = int16_t(4 * i), right = int16_t(left + 3);
    entries.push_back(superpixelFrame({i,
                                       int16_t(left + 2),
                                       2,
                                       0,
                                       0,
                                       int16_t(i ? 0 : 255),
                                       left,
                                       0,
                                       right,
                                       3,
                                       {left, 0, right, 0, right, 3, left, 3, left, 0},
                                       {1.0f}}));
  }
  Ref<MRKBTerm> coco = MRKCReader::reader()->readTermFromString(
      R"({"g": [{"ctid": 2, "poly": [[0, 0, 3, 0, 3, 3, 0, 3]], "area": 100}]})");
  return VSKCImageSample::sampleFromStatement(
      segmentedStatement(1, 2, 4, std::move(entries), 0, 0, coco->asFrame()).get(), name, 0);
}

Ref<LLKCData> labels() {
  const uint32_t table[3] = {0, 0, 6};
  return LLKCData::dataWithBytes(table, sizeof table);
}

class SampleOperations : public ::testing::Test {
protected:
  void SetUp() override {
    folder = fs::temp_directory_path() / ("vsk-operations-" + std::to_string(getpid()));
    fs::create_directories(folder);
    ASSERT_TRUE(window);
    target->onMessage = [this](const Ref<LLKCMessage>& message) { delivered.push_back(message); };
    window->attach(target);
  }
  void TearDown() override {
    scheduler->stopAndJoin();
    fs::remove_all(folder);
  }

  // Submits the operation with the completion message and answers what reached the target.
  Ref<LLKCMessage> run(Ref<QELBOperation> operation, Ref<LLKCMessage> complete = LLKCMessage::messageWithCode(kDone)) {
    EXPECT_TRUE(operation);
    if (!operation) return nullptr;
    const size_t before = delivered.size();
    operation->setTarget(target);
    operation->setOnComplete(complete);
    EXPECT_TRUE(scheduler->submit(operation));
    EXPECT_TRUE(window->pumpUntil([&] { return delivered.size() > before; }));
    return delivered.size() > before ? delivered.back() : nullptr;
  }

  fs::path folder;
  Ref<QELTestHeadlessWindow> window = QELTestHeadlessWindow::make({64, 64});
  Ref<Probe> target = Probe::make();
  Ref<LLKCScheduler> scheduler = LLKCScheduler::schedulerWithSetup(QELKApplicationSetup);
  std::vector<Ref<LLKCMessage>> delivered;
};

TEST_F(SampleOperations, JSONLoadGivesOneFramePerPathInOrder) {
  std::ofstream(folder / "a.json") << R"({"x": 1})";
  std::ofstream(folder / "c.json") << R"({"y": 2, "z": 3})";
  Ref<LLKCMessage> message = run(VSKCOperationJSONLoad::operationWithFilePaths(
      {(folder / "a.json").string(), (folder / "b.json").string(), (folder / "c.json").string()}));
  ASSERT_TRUE(message);
  EXPECT_EQ(message->codeValue(), kDone);
  Ref<LLKCObjectTuple> frames = message->payloadAs<LLKCObjectTuple>();
  ASSERT_TRUE(frames);
  ASSERT_EQ(frames->count(), 3u);
  EXPECT_EQ(frames->fetchAtIndexAs<JSKCFrame>(0)->count(), 1u);
  EXPECT_EQ(frames->fetchAtIndexAs<JSKCFrame>(1)->count(), 0u);
  EXPECT_EQ(frames->fetchAtIndexAs<JSKCFrame>(2)->count(), 2u);
  EXPECT_FALSE(VSKCOperationJSONLoad::operationWithFilePaths({}));
}

TEST_F(SampleOperations, SavesReportTheirOutcome) {
  Ref<JSKCFrame> content = JSKCFrame::frame();
  (void)content->storeUint(7, "n");
  Ref<LLKCMessage> complete = LLKCMessage::messageWithCode(kDone, content);
  Ref<LLKCMessage> saved =
      run(VSKCOperationJSONSave::operationWithFilePath((folder / "s.json").string(), content), complete);
  ASSERT_TRUE(saved);
  EXPECT_TRUE(saved->details().boolForKey("outcome"));
  EXPECT_EQ(saved->payload(), complete->payload());  // a copy keeps the payload
  Ref<LLKCMessage> failed =
      run(VSKCOperationJSONSave::operationWithFilePath((folder / "no" / "s.json").string(), content));
  ASSERT_TRUE(failed);
  EXPECT_FALSE(failed->details().boolForKey("outcome", true));

  Ref<QELCBitmap> bitmap = QELCBitmap::bitmapWithSize({3, 2});
  Ref<LLKCMessage> dumped = run(VSKCOperationBitmapSave::operationWithName((folder / "dump").string(), bitmap));
  ASSERT_TRUE(dumped);
  EXPECT_EQ(dumped->details().sintForKey("status", -1), 0);
  EXPECT_TRUE(fs::exists(folder / "dump.ppm"));
}

TEST_F(SampleOperations, SampleSaveWritesItsFileAndClearsTouched) {
  Ref<VSKCImageSample> sample = twoSquares("s1");
  ASSERT_TRUE(sample);
  sample->setTouched(true);
  Ref<LLKCMessage> saved = run(VSKCOperationImageSampleSave::operationWithImageSample(sample, folder.string()));
  ASSERT_TRUE(saved);
  EXPECT_TRUE(saved->details().boolForKey("outcome"));
  EXPECT_FALSE(sample->touched());
  EXPECT_TRUE(fs::exists(folder / "s1.bin"));

  OutputCapture log;
  Ref<VSKCImageSample> stray = twoSquares("s2");
  stray->setTouched(true);
  Ref<LLKCMessage> failed =
      run(VSKCOperationImageSampleSave::operationWithImageSample(stray, (folder / "none").string()));
  ASSERT_TRUE(failed);
  EXPECT_FALSE(failed->details().boolForKey("outcome", true));
  EXPECT_TRUE(stray->touched());
}

// A sample is saved to its own file; a new one (a frame of the feed) is the labelling of the image
// it names and replaces that image's file.
TEST_F(SampleOperations, ASampleIsSavedToItsOwnFileAndANewOneAsItsImagesLabelling) {
  auto save = [&](const Ref<VSKCImageSample>& sample) {
    return run(VSKCOperationImageSampleSave::operationWithImageSample(sample, folder.string()));
  };
  auto objectOf = [&](const char* file) {
    Ref<VSKCImageSample> read = VSKCImageSample::sampleFromPath((folder / file).string());
    return read ? int(read->objects()[0]) : -1;
  };
  Ref<VSKCImageSample> victim = twoSquares("victim");
  victim->objects()[0] = 7;
  ASSERT_TRUE(save(victim)->details().boolForKey("outcome"));
  // cp victim.bin copy.bin: the copy holds the name "victim".
  fs::copy_file(folder / "victim.bin", folder / "copy.bin");
  Ref<LLKCMessage> loaded = run(VSKCOperationImageSampleLoad::operationWithPath(folder.string(), "copy"));
  Ref<VSKCImageSample> copy = loaded ? loaded->payloadAs<VSKCImageSample>() : nullptr;
  ASSERT_TRUE(copy);
  EXPECT_EQ(copy->name(), "copy") << "named after the file it came from";
  EXPECT_EQ(copy->file(), (folder / "copy.bin").string());
  copy->objects()[0] = 9;
  copy->setTouched(true);
  ASSERT_TRUE(save(copy)->details().boolForKey("outcome"));
  EXPECT_EQ(objectOf("copy.bin"), 9);
  EXPECT_EQ(objectOf("victim.bin"), 7) << "the other sample's file is left alone";

  // A new sample of the image "victim" replaces its labelling, and then that file is its own.
  Ref<VSKCImageSample> newcomer = twoSquares("victim");
  newcomer->objects()[0] = 3;
  newcomer->setTouched(true);
  ASSERT_TRUE(save(newcomer)->details().boolForKey("outcome"));
  EXPECT_FALSE(newcomer->touched());
  EXPECT_EQ(newcomer->file(), (folder / "victim.bin").string());
  EXPECT_EQ(objectOf("victim.bin"), 3);
  newcomer->objects()[0] = 4;
  ASSERT_TRUE(save(newcomer)->details().boolForKey("outcome"));
  EXPECT_EQ(objectOf("victim.bin"), 4);
  const std::vector<fs::path> files(fs::directory_iterator(folder), fs::directory_iterator{});
  EXPECT_EQ(files.size(), 2u) << "victim.bin and copy.bin, and no other";
}

// Revert gives back the sample as it was read, mapped or last saved.
TEST_F(SampleOperations, RevertGivesBackTheSampleAsLastMappedOrSaved) {
  Ref<VSKCImageSample> sample = twoSquares("rv");
  Ref<QELCBitmap> bitmap = QELCBitmap::bitmapWithSize({8, 4});
  ASSERT_TRUE(run(VSKCOperationImageSampleRender::operationWithImageSample(sample, bitmap, labels())));
  sample->superpixels()[1].mask = 1;
  sample->objects()[0] = 2;
  sample->setTouched(true);
  sample->revert();
  EXPECT_FALSE(sample->touched());
  EXPECT_EQ(sample->objects()[0], 6) << "as mapped";
  EXPECT_EQ(sample->superpixels()[0].mask, 1u);
  EXPECT_EQ(sample->superpixels()[1].mask, 0u);
  sample->objects()[1] = 5;
  sample->setTouched(true);
  ASSERT_TRUE(run(VSKCOperationImageSampleSave::operationWithImageSample(sample, folder.string())));
  sample->objects()[1] = 8;
  sample->revert();
  EXPECT_EQ(sample->objects()[1], 5) << "as saved";
  Ref<VSKCImageSample> read = VSKCImageSample::sampleFromPath((folder / "rv.bin").string());
  ASSERT_TRUE(read);
  read->objects()[1] = 1;
  read->superpixels()[1].mask = 2;
  read->revert();
  EXPECT_EQ(read->objects()[1], 5) << "as read";
  EXPECT_EQ(read->superpixels()[1].mask, 0u);
}

TEST_F(SampleOperations, RenderMapsAndPaintsProcessOnlyMaps) {
  Ref<VSKCImageSample> sample = twoSquares("r");
  Ref<QELCBitmap> bitmap = QELCBitmap::bitmapWithSize({8, 4});
  Ref<LLKCMessage> processed = run(VSKCOperationImageSampleProcess::operationWithImageSample(sample, bitmap, labels()));
  ASSERT_TRUE(processed);
  EXPECT_EQ(processed->payload(), Ref<LLKBObject>(bitmap));
  EXPECT_EQ(sample->objects()[0], 6);
  EXPECT_EQ(bitmap->bytes()[0], 0);  // not painted

  sample->reset();
  Ref<LLKCMessage> rendered = run(VSKCOperationImageSampleRender::operationWithImageSample(sample, bitmap, labels()));
  ASSERT_TRUE(rendered);
  EXPECT_EQ(sample->objects()[0], 6);
  EXPECT_EQ(sample->superpixels()[0].mask, 1u);
  const uint8_t* left = bitmap->bytes() + (1 * 8 + 1) * 4;
  EXPECT_EQ(std::vector<int>(left, left + 4), (std::vector<int>{255, 0, 0, 255}));
}

TEST_F(SampleOperations, SampleLoadAnswersTheSampleOrSaysWhyNot) {
  Ref<VSKCImageSample> sample = twoSquares("l1");
  ASSERT_TRUE(sample->encode((folder / "l1.bin").string()));
  Ref<LLKCMessage> loaded = run(VSKCOperationImageSampleLoad::operationWithPath(folder.string(), "l1"));
  ASSERT_TRUE(loaded);
  Ref<VSKCImageSample> back = loaded->payloadAs<VSKCImageSample>();
  ASSERT_TRUE(back);
  EXPECT_EQ(back->superpixels(), sample->superpixels());

  Ref<LLKCMessage> complete = LLKCMessage::messageWithCode(kDone);
  EXPECT_EQ(run(VSKCOperationImageSampleLoad::operationWithPath(folder.string(), "none"), complete), complete);

  OutputCapture log;
  std::ofstream(folder / "bad.bin") << "B\tno";
  Ref<LLKCMessage> unreadable = run(VSKCOperationImageSampleLoad::operationWithPath(folder.string(), "bad"));
  ASSERT_TRUE(unreadable);
  EXPECT_NE(unreadable, complete);
  EXPECT_FALSE(unreadable->payload());
  Ref<LLKCMessage> escaping = run(VSKCOperationImageSampleLoad::operationWithPath((folder / "sub").string(), "../l1"));
  ASSERT_TRUE(escaping);
  EXPECT_FALSE(escaping->payload());
}

// Operations on one sample take turns: the thread sanitizer sees no race between them.
TEST_F(SampleOperations, OperationsOnOneSampleTakeTurns) {
  Ref<VSKCImageSample> sample = twoSquares("t");
  Ref<QELCBitmap> bitmap = QELCBitmap::bitmapWithSize({8, 4});
  Ref<QELCBitmap> other = QELCBitmap::bitmapWithSize({8, 4});
  const size_t before = delivered.size();
  for (int i = 0; i < 10; ++i) {
    std::vector<Ref<QELBOperation>> operations = {
        VSKCOperationImageSampleRender::operationWithImageSample(sample, bitmap, labels()),
        VSKCOperationImageSampleProcess::operationWithImageSample(sample, other, labels()),
        VSKCOperationImageSampleSave::operationWithImageSample(sample, folder.string())};
    for (Ref<QELBOperation>& operation : operations) {
      operation->setTarget(target);
      operation->setOnComplete(LLKCMessage::messageWithCode(kDone));
      ASSERT_TRUE(scheduler->submit(operation));
    }
  }
  EXPECT_TRUE(window->pumpUntil([&] { return delivered.size() == before + 30; }));
  EXPECT_TRUE(fs::exists(folder / "t.bin"));
}

}  // namespace
