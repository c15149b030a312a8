// The minimal module loaded and unloaded through the substrate: one "hello!" on standard output
// between its two log lines, and the C++-named entry points doing the same.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "framework/substrate/MRKCModule.h"
#include "framework/substrate/MRKCSubstrate.h"
#include "tests/support/OutputCapture.h"

namespace {

// Moves what reached standard output since the last take into the capture's sequence of log
// lines, as one line, so that the order of printing and logging shows.
void take(StreamTap& output, OutputCapture& capture) {
  if (const std::string text = output.take(); !text.empty()) capture.note("out:" + text);
}

TEST(MinimalModule, LoadAndUnloadSayHelloOnceBetweenTheLogLines) {
  Ref<MRKCSubstrate> substrate = MRKCSubstrate::substrate();
  OutputCapture capture;
  StreamTap output(STDOUT_FILENO);
  std::string error;
  ASSERT_TRUE(substrate->loadModule("modJUX", &error)) << error;
  take(output, capture);
  ASSERT_TRUE(substrate->unloadModule("modJUX"));
  take(output, capture);
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
    StreamTap output(STDOUT_FILENO);
    init(nullptr);
    take(output, capture);
    exit(nullptr);
    take(output, capture);
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
