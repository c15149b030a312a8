// The COCO feed's worker on folders of the generated dataset: which files make a pair, their
// order, repeat and rewind, random order, and the requests that cannot be met (the end of the
// folder, no folder, an image that cannot be decoded, annotations that cannot be read), which end
// with a word to the user instead of a worker that spins, logged once however often they are asked.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <future>
#include <thread>

#include "app/vision/VSKCCocoFeedWorker.h"
#include "app/vision/VSKFCocoFeed.h"
#include "framework/substrate/MRKCString.h"
#include "modules/vision/statement/QAVFImageStatement.h"
#include "framework/substrate/MRKFTerms.h"
#include "tests/core/TemporaryFolder.h"
#include "tests/support/CraftedImages.h"
#include "tests/support/dataset/Dataset.h"
#include "tests/vision/VisionTestKit.h"

namespace {

constexpr int kWidth = 64;
constexpr int kHeight = 48;

class CocoFeedTest : public ::testing::Test {
protected:
  void SetUp() override {
    tap = makeRef<VisionTap>(std::vector<std::string>{"qav.stream.raw"});
    ASSERT_TRUE(MRKCSubstrate::shared()->attach(tap.get(), false));
    worker = VSKCCocoFeedWorker::workerWithTarget(nullptr);
    ASSERT_TRUE(worker && worker->start());
  }
  void TearDown() override {
    worker->stopAndJoin();
    EXPECT_TRUE(MRKCSubstrate::shared()->detach(tap.get(), false));
  }

  // Writes a scene under each name ("<name>.jpg" and "<name>.json").
  void writeScenes(const std::vector<std::string>& names) {
    std::vector<dataset::Scene> scenes = dataset::synthetic(static_cast<uint32_t>(names.size()), kWidth, kHeight, 7);
    for (size_t i = 0; i < names.size(); ++i) scenes[i].name = names[i];
    std::string why;
    ASSERT_TRUE(dataset::write(scenes, folder.path(), &why)) << why;
  }
  void rename(const std::string& from, const std::string& to) {
    std::filesystem::rename(folder.file(from), folder.file(to));
  }
  void post(uint32_t tag, Ref<LLKBObject> payload = nullptr) {
    ASSERT_TRUE(worker->post(LLKCMessage::messageWithCode({kVSKCocoFeedUid, tag, 0}, std::move(payload))));
  }
  // Returns once the worker has handled what was posted before and run after it: a task that
  // runs after the turn that handled them.
  void settle() {
    for (int turn = 0; turn < 2; ++turn) {
      std::promise<void> ran;
      ASSERT_TRUE(worker->sched([&] { ran.set_value(); }));
      ASSERT_EQ(ran.get_future().wait_for(std::chrono::seconds(10)), std::future_status::ready);
    }
  }
  void useFolder() { post(kVSKCocoFeedFolder, LLKCFSFolder::folderWithFullPath(folder.path().c_str())); }

  // The "sample" of every image published so far, once there are count of them.
  std::vector<std::string> published(size_t count) {
    std::vector<std::string> samples;
    for (const Ref<MRKCStatement>& statement : tap->waitFor("qav.stream.raw", count)) {
      MRKCString* sample = MRKFFrameFetchString(metaOf(statement.get()), "sample");
      samples.push_back(sample ? sample->value() : "<none>");
    }
    return samples;
  }
  // The log lines of the feed that start with the text.
  size_t lines(const std::string& text) const {
    const std::vector<std::string> all = log.lines();
    return size_t(std::count_if(all.begin(), all.end(),
                                [&](const std::string& line) { return line.rfind("cocofeed : " + text, 0) == 0; }));
  }
  // Waits (ten seconds at most) for a log line that starts with the text.
  bool told(const std::string& text) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < deadline) {
      for (const std::string& line : log.lines())
        if (line.rfind("cocofeed : " + text, 0) == 0) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return false;
  }

  OutputCapture log;
  TemporaryFolder folder;
  Ref<VisionTap> tap;
  Ref<VSKCCocoFeedWorker> worker;
};

TEST_F(CocoFeedTest, OnlyLowerCaseJpgWithItsAnnotationsIsFedAndTheEndOfTheFolderIsTold) {
  writeScenes({"a", "b", "c"});
  std::filesystem::remove(folder.file("b.json"));
  rename("c.jpg", "c.JPG");
  useFolder();
  post(kVSKCocoFeedNext);
  EXPECT_EQ(published(1), std::vector<std::string>{"a"});
  post(kVSKCocoFeedNext);
  EXPECT_TRUE(told("no more images"));
  EXPECT_EQ(tap->statements("qav.stream.raw").size(), 1u);
  // Asked again, the end is not logged again.
  post(kVSKCocoFeedNext);
  settle();
  post(kVSKCocoFeedRepeat);
  settle();
  EXPECT_EQ(lines("no more images"), 1u);

  // The worker waits for the next request instead of spinning: rewind and next start over.
  post(kVSKCocoFeedRewind);
  post(kVSKCocoFeedNext);
  EXPECT_EQ(published(2), (std::vector<std::string>{"a", "a"}));
}

TEST_F(CocoFeedTest, ThePublishedStatementCarriesTheImageAndItsAnnotations) {
  writeScenes({"scene"});
  useFolder();
  post(kVSKCocoFeedNext);
  std::vector<Ref<MRKCStatement>> images = tap->waitFor("qav.stream.raw", 1);
  ASSERT_EQ(images.size(), 1u);
  QAVTImageStatement image;
  ASSERT_EQ(QAVFImageStatementRead(images[0].get(), &image), kQAVImageValid);
  EXPECT_EQ(metaSymbol(images[0].get(), "format"), "bgr");
  EXPECT_EQ(metaSymbol(images[0].get(), "source"), "coco");
  EXPECT_EQ(image.width, static_cast<uint32_t>(kWidth));
  EXPECT_EQ(image.height, static_cast<uint32_t>(kHeight));
  EXPECT_EQ(metaUint(images[0].get(), "length"), uint64_t{kWidth} * kHeight * 3);
  EXPECT_EQ(metaUint(images[0].get(), "frameid"), 1u);
  MRKCFrame* coco = asFrame(MRKFFrameFetchTerm(image.ancillary, "coco"));
  ASSERT_NE(coco, nullptr);
  EXPECT_GT(coco->count(), 0u) << "the annotation groups";
}

TEST_F(CocoFeedTest, FolderOrderRepeatAndRewind) {
  writeScenes({"zebra", "mango", "banana"});
  useFolder();
  post(kVSKCocoFeedNext);
  EXPECT_EQ(published(1), std::vector<std::string>{"banana"});
  post(kVSKCocoFeedNext);
  EXPECT_EQ(published(2), (std::vector<std::string>{"banana", "mango"}));
  post(kVSKCocoFeedRepeat);
  std::vector<Ref<MRKCStatement>> images = tap->waitFor("qav.stream.raw", 3);
  ASSERT_EQ(images.size(), 3u);
  EXPECT_EQ(published(3).back(), "mango");
  EXPECT_EQ(metaUint(images[2].get(), "frameid"), metaUint(images[1].get(), "frameid") + 1);
  EXPECT_GT(MRKFFrameFetchReal(metaOf(images[2].get()), "stamp", 0),
            MRKFFrameFetchReal(metaOf(images[1].get()), "stamp", 0));
  post(kVSKCocoFeedRewind);
  post(kVSKCocoFeedNext);
  EXPECT_EQ(published(4).back(), "banana");
}

TEST_F(CocoFeedTest, RandomOrderWrapsAroundTheFolder) {
  writeScenes({"p", "q", "r"});
  useFolder();
  post(kVSKCocoFeedRandom);
  for (size_t n = 1; n <= 12; ++n) {
    post(kVSKCocoFeedNext);
    ASSERT_EQ(published(n).size(), n) << "request " << n << " was met although the folder had ended";
  }
  for (const std::string& sample : published(12))
    EXPECT_TRUE(sample == "p" || sample == "q" || sample == "r") << sample;
}

TEST_F(CocoFeedTest, RequestsThatCannotBeMetAreToldAndTheFeedGoesOn) {
  writeScenes({"good"});
  std::ofstream(folder.file("bad.jpg")) << "not a JPEG at all";
  std::filesystem::copy_file(folder.file("good.json"), folder.file("bad.json"));
  std::ofstream(folder.file("broken.jpg")) << "\xff\xd8\xff\xe0 cut short";
  std::filesystem::copy_file(folder.file("good.json"), folder.file("broken.json"));
  std::filesystem::create_directory(folder.file("dir.jpg"));

  post(kVSKCocoFeedNext);
  EXPECT_TRUE(told("no source folder"));
  useFolder();
  post(kVSKCocoFeedNext);
  EXPECT_TRUE(told("cannot read bad.jpg: it is no JPEG or PNG image"));
  post(kVSKCocoFeedNext);
  EXPECT_TRUE(told("cannot read broken.jpg: it is no JPEG or PNG image"));
  post(kVSKCocoFeedNext);
  EXPECT_EQ(published(1), std::vector<std::string>{"good"});
}

// Files crafted as an attacker would, named like the dataset's images: a Softimage PIC cut after
// its packet header (it crashed the worker), a Radiance HDR with one run-length row header (it
// kept the worker decoding for ever), a PNG with empty image data and one of 10 000 x 8 000
// pixels. Each is told by name and the next "Submit" goes on to the good image.
TEST_F(CocoFeedTest, CraftedImagesAreToldByNameAndTheFeedGoesOn) {
  writeScenes({"z-good"});
  struct Case {
    const char* seed;
    const char* name;
    const char* why;
  } cases[] = {
      {"softimage-pic-cut-named-bad.jpg.bin", "a-pic", "it is no JPEG or PNG image"},
      {"radiance-hdr-one-rle-row.bin", "b-hdr", "it is no JPEG or PNG image"},
      {"png-empty-idat.bin", "c-empty", "it is no JPEG or PNG image"},
      {"png-10000x8000.bin", "d-huge", "it has more than 25000000 pixels"},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(writeCraftedImage(c.seed, folder.file(std::string(c.name) + ".jpg"))) << c.seed;
    std::filesystem::copy_file(folder.file("z-good.json"), folder.file(std::string(c.name) + ".json"));
  }
  useFolder();
  for (const Case& c : cases) {
    post(kVSKCocoFeedNext);
    EXPECT_TRUE(told("cannot read " + std::string(c.name) + ".jpg: " + c.why)) << c.name;
  }
  post(kVSKCocoFeedNext);
  EXPECT_EQ(published(1), std::vector<std::string>{"z-good"});
}

TEST_F(CocoFeedTest, AnnotationsThatCannotBeReadAreToldOnceAndTheirImageIsNotPublished) {
  writeScenes({"a-cut", "b-list", "c-pipe", "d-nan", "e-huge", "f-large", "g-good"});
  const std::string whole = [&] {
    std::ifstream in(folder.file("a-cut.json"));
    return std::string(std::istreambuf_iterator<char>(in), {});
  }();
  std::ofstream(folder.file("a-cut.json"), std::ios::trunc) << whole.substr(0, whole.size() / 2);
  std::ofstream(folder.file("b-list.json"), std::ios::trunc) << "[{\"ctid\": 1}]";
  std::filesystem::remove(folder.file("c-pipe.json"));
  ASSERT_EQ(mkfifo(folder.file("c-pipe.json").c_str(), 0600), 0);  // no writer: read at once or never
  std::ofstream(folder.file("d-nan.json"), std::ios::trunc)
      << R"({"1": [{"ctid": 1, "poly": [[NaN, 0, 4, 0, 4, 4]]}]})";
  std::ofstream(folder.file("e-huge.json"), std::ios::trunc) << R"({"1": [{"ctid": 1, "area": 1e400}]})";
  // Good JSON, one byte past the limit.
  std::ofstream(folder.file("f-large.json"), std::ios::trunc)
      << whole << std::string(kVSKCocoAnnotationFileLimit + 1 - whole.size(), ' ');
  useFolder();
  for (const char* name : {"a-cut", "b-list", "c-pipe", "d-nan", "e-huge", "f-large"}) {
    post(kVSKCocoFeedNext);
    EXPECT_TRUE(told("cannot read " + std::string(name) + ".json: " + name + ".json ")) << name;
  }
  EXPECT_TRUE(told("cannot read f-large.json: f-large.json is larger than 8 MiB"));
  post(kVSKCocoFeedRepeat);  // the same file asked again
  settle();
  EXPECT_EQ(lines("cannot read f-large.json"), 1u);
  post(kVSKCocoFeedNext);
  EXPECT_EQ(published(1), std::vector<std::string>{"g-good"}) << "no image went out as one without objects";
}

}  // namespace
