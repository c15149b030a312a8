// Load operations report progress and exactly one completion, which says whether every path
// loaded and why not; an operation dropped before it ran still completes, as a failure.
#include <gtest/gtest.h>

#include "framework/app/ZRVCLoadOperation.h"
#include "framework/core/LLKCString.h"
#include "framework/core/LLKFFiles.h"
#include "framework/core/LLKFLog.h"
#include "framework/substrate/MRKCOffloader.h"
#include "framework/substrate/MRKCSubstrate.h"
#include "tests/app/RecordingWindow.h"
#include "tests/core/TemporaryFolder.h"

namespace {

constexpr LLKTMessageCode kProgress{0xb00, 0x20, 4};
constexpr LLKTMessageCode kComplete{0xb00, 0x10, 4};

class LoadOperationTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(window);
    LLKFLogSetQuiet(true);
    empty = folder.path() + "/empty.json";
    broken = folder.path() + "/broken.json";
    ASSERT_TRUE(LLKFWriteFileAtomically(empty.c_str(), "{\"processors\": []}", 18));
    ASSERT_TRUE(LLKFWriteFileAtomically(broken.c_str(), "{\"processors\": [", 16));
  }
  void TearDown() override { LLKFLogSetQuiet(false); }

  Ref<ZRVCOperationContext> context() {
    Ref<ZRVCOperationContext> made = ZRVCOperationContext::context();
    made->setTarget(window.get());
    made->setOnProgress(LLKCMessage::messageWithCode(kProgress));
    made->setOnComplete(LLKCMessage::messageWithCode(kComplete, LLKCString::stringWithString("the file")));
    return made;
  }
  // Runs the operation as the offloader does and hands back what the window heard.
  void run(std::vector<std::string> paths, bool main) {
    Ref<ZRVCLoadOperation> operation = ZRVCLoadOperation::operationWithPaths(std::move(paths), context());
    ASSERT_TRUE(operation);
    operation->setWipe(true);
    operation->setMain(main);
    Ref<MRKCOffloader> offloader = MRKCSubstrate::shared()->globals()->fetch<MRKCOffloader>("offloader");
    ASSERT_TRUE(offloader && offloader->submit(Ref<LLKBOperation>(operation)));
    operation.reset();
    ASSERT_TRUE(window->pumpUntil([&] { return completions() > 0; }));
  }
  size_t completions() const {
    size_t n = 0;
    for (const Ref<LLKCMessage>& message : window->messages) n += message->code() == kComplete;
    return n;
  }
  std::vector<std::string> texts() const {
    std::vector<std::string> seen;
    for (const Ref<LLKCMessage>& message : window->messages) {
      Ref<LLKCString> text = message->details().objectForKeyAs<LLKCString>("string");
      if (message->code() == kProgress && text) seen.push_back(text->string());
    }
    return seen;
  }
  const LLKCMessage& completion() const {
    for (const Ref<LLKCMessage>& message : window->messages)
      if (message->code() == kComplete) return *message;
    return *window->messages.front();
  }

  TemporaryFolder folder;
  std::string empty, broken;
  Ref<RecordingWindow> window = RecordingWindow::make();
};

TEST_F(LoadOperationTest, EveryPathLoadedCompletesOnceWithSuccessAndThePayload) {
  run({empty, empty}, true);
  EXPECT_EQ(texts(), (std::vector<std::string>{"Wiping ...", "Loading empty.json ...", "Loaded empty.json",
                                               "Loading empty.json ...", "Loaded empty.json"}));
  EXPECT_TRUE(completion().details().boolForKey("success"));
  EXPECT_EQ(completion().payloadAs<LLKCString>()->string(), "the file");
  window->pump();
  EXPECT_EQ(completions(), 1u);
}

// A main load checks its files before it wipes: a broken one is refused with nothing wiped and
// nothing loaded, and the completion says that what ran is kept. Other loads try every path.
TEST_F(LoadOperationTest, AFailedPathCompletesAsAFailureThatSaysWhyNamingTheFileOnce) {
  struct Case {
    bool main;
    long loadsTried;
    bool wiped;
    bool kept;
  };
  for (const Case& c : {Case{true, 0, false, true}, Case{false, 3, true, false}}) {
    SCOPED_TRACE(c.main ? "main" : "not main");
    window->messages.clear();
    run({empty, broken, empty}, c.main);
    std::vector<std::string> seen = texts();
    auto starting = [&](const char* start) {
      return std::count_if(seen.begin(), seen.end(), [&](const std::string& t) { return t.rfind(start, 0) == 0; });
    };
    EXPECT_EQ(starting("Loading"), c.loadsTried);
    EXPECT_EQ(starting("Wiping"), c.wiped ? 1 : 0);
    EXPECT_EQ(completion().details().boolForKey("kept", false), c.kept);
    EXPECT_FALSE(completion().details().boolForKey("success", true));
    Ref<LLKCString> error = completion().details().objectForKeyAs<LLKCString>("error");
    ASSERT_TRUE(error);
    EXPECT_EQ(error->string().rfind(broken + ": not JSON at line 1, column 17: ", 0), 0u) << error->string();
    EXPECT_EQ(error->string().find("broken.json"), error->string().rfind("broken.json")) << error->string();
    EXPECT_EQ(completions(), 1u);
  }
}

TEST_F(LoadOperationTest, AnOperationDroppedBeforeItRanCompletesAsAFailure) {
  Ref<ZRVCLoadOperation> operation = ZRVCLoadOperation::operationWithPaths({empty}, context());
  ASSERT_TRUE(operation);
  operation.reset();
  window->pump();
  ASSERT_EQ(completions(), 1u);
  EXPECT_FALSE(completion().details().boolForKey("success", true));
}

TEST_F(LoadOperationTest, NoOperationWithoutPathsOrContext) {
  EXPECT_FALSE(ZRVCLoadOperation::operationWithPaths({}, context()));
  EXPECT_FALSE(ZRVCLoadOperation::operationWithPaths({empty}, nullptr));
}

}  // namespace
