// The minimal module loaded and unloaded through the substrate: one "hello!" on standard output
// between its two log lines, and the C++-named entry points doing the same.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "framework/substrate/MRKCModule.h"
#include "framework/substrate/MRKCSubstrate.h"
#include "tests/support/OutputCapture.h"

namespace {

// Sends what reaches standard output while it lives into a capture's sequence of log lines, as
// one line per take, so that the order of printing and logging shows.
class StandardOutputTap {
public:
  explicit StandardOutputTap(OutputCapture& capture) : capture_(capture) {
    std::fflush(stdout);
    saved_ = dup(STDOUT_FILENO);
    file_ = std::tmpfile();
    dup2(fileno(file_), STDOUT_FILENO);
  }
  ~StandardOutputTap() {
    std::fflush(stdout);
    dup2(saved_, STDOUT_FILENO);
    close(saved_);
    std::fclose(file_);
  }

  // Moves what reached standard output since the last take into the capture.
  void take() {
    std::fflush(stdout);
    std::fseek(file_, offset_, SEEK_SET);
    char buffer[256];
    std::string text;
    while (size_t read = std::fread(buffer, 1, sizeof buffer, file_)) text.append(buffer, read);
    offset_ += static_cast<long>(text.size());
    if (!text.empty()) capture_.note("out:" + text);
  }

private:
  OutputCapture& capture_;
  int saved_ = -1;
  FILE* file_ = nullptr;
  long offset_ = 0;
};

TEST(MinimalModule, LoadAndUnloadSayHelloOnceBetweenTheLogLines) {
  Ref<MRKCSubstrate> substrate = MRKCSubstrate::substrate();
  OutputCapture capture;
  StandardOutputTap output(capture);
  std::string error;
  ASSERT_TRUE(substrate->loadModule("modJUX", &error)) << error;
  output.take();
  ASSERT_TRUE(substrate->unloadModule("modJUX"));
  output.take();
  std::vector<std::string> expected = {"modJUX - modInit()", "out:hello!\n", "modJUX - modExit()"};
  EXPECT_EQ(capture.lines(), expected);
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
    OutputCapture capture;
    StandardOutputTap output(capture);
    init(nullptr);
    output.take();
    exit(nullptr);
    output.take();
    std::vector<std::string> expected = {"modJUX - modInit()", "out:hello!\n", "modJUX - modExit()"};
    EXPECT_EQ(capture.lines(), expected);
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
