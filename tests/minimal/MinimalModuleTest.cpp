// The minimal module loaded and unloaded through the substrate: one "hello!" on standard output
// between its two log lines, and the C++-named entry points doing the same.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <mutex>
#include <vector>

#include "framework/core/LLKFLog.h"
#include "framework/substrate/MRKCModule.h"
#include "framework/substrate/MRKCSubstrate.h"

namespace {

// Records log lines and what is written to standard output, in one sequence.
class Capture {
public:
  Capture() {
    LLKFLogSetQuiet(true);
    previous_ = LLKFLogSetSink([this](const std::string& line) {
      std::lock_guard lock(mutex_);
      events_.push_back("log:" + line);
    });
    std::fflush(stdout);
    saved_ = dup(STDOUT_FILENO);
    file_ = std::tmpfile();
    dup2(fileno(file_), STDOUT_FILENO);
  }

  // Moves what reached standard output since the last call into the sequence.
  void takeOutput() {
    std::fflush(stdout);
    std::fseek(file_, offset_, SEEK_SET);
    char buffer[256];
    std::string text;
    while (size_t read = std::fread(buffer, 1, sizeof buffer, file_)) text.append(buffer, read);
    offset_ += static_cast<long>(text.size());
    std::lock_guard lock(mutex_);
    if (!text.empty()) events_.push_back("out:" + text);
  }

  std::vector<std::string> events() {
    takeOutput();
    std::lock_guard lock(mutex_);
    return events_;
  }

  ~Capture() {
    std::fflush(stdout);
    dup2(saved_, STDOUT_FILENO);
    close(saved_);
    std::fclose(file_);
    LLKFLogSetSink(previous_);
    LLKFLogSetQuiet(false);
  }

private:
  std::mutex mutex_;
  std::vector<std::string> events_;
  LLKTLogSink previous_;
  int saved_ = -1;
  FILE* file_ = nullptr;
  long offset_ = 0;
};

TEST(MinimalModule, LoadAndUnloadSayHelloOnceBetweenTheLogLines) {
  Ref<MRKCSubstrate> substrate = MRKCSubstrate::substrate();
  Capture capture;
  std::string error;
  ASSERT_TRUE(substrate->loadModule("modJUX", &error)) << error;
  capture.takeOutput();
  ASSERT_TRUE(substrate->unloadModule("modJUX"));
  std::vector<std::string> expected = {"log:modJUX - modInit()", "out:hello!\n", "log:modJUX - modExit()"};
  EXPECT_EQ(capture.events(), expected);
  EXPECT_FALSE(substrate->unloadModule("modJUX")) << "it is no longer loaded";
}

TEST(MinimalModule, MangledEntryPointsBehaveAlike) {
  std::string path = MRKCModule::resolve("modJUX", {});
  ASSERT_FALSE(path.empty());
  void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  ASSERT_TRUE(handle) << dlerror();
  using Entry = void (*)(MRKCSubstrate*);
  auto init = reinterpret_cast<Entry>(dlsym(handle, "_Z7modInitP13MRKCSubstrate"));
  auto exit = reinterpret_cast<Entry>(dlsym(handle, "_Z7modExitP13MRKCSubstrate"));
  ASSERT_TRUE(init && exit);
  EXPECT_NE(reinterpret_cast<void*>(init), dlsym(handle, "modInit")) << "both name forms are exported";
  {
    Capture capture;
    init(nullptr);
    capture.takeOutput();
    exit(nullptr);
    std::vector<std::string> expected = {"log:modJUX - modInit()", "out:hello!\n", "log:modJUX - modExit()"};
    EXPECT_EQ(capture.events(), expected);
  }
  dlclose(handle);
}

TEST(MinimalModule, UnknownModuleIsAClearError) {
  Ref<MRKCSubstrate> substrate = MRKCSubstrate::substrate();
  std::string error;
  EXPECT_FALSE(substrate->loadModule("modNOPE", &error));
  EXPECT_NE(error.find("modNOPE"), std::string::npos) << error;
}

}  // namespace
