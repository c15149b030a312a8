#include "framework/core/LLKFConsole.h"

#include <cstdarg>
#include <cstdio>
#include <mutex>
#include <string>

namespace {

std::mutex consoleMutex;
LLKTLogSink consoleSink;
bool quiet = false;

}  // namespace

// Standard output needs no preparing; the pair exists so a program states when it starts and
// stops talking, and everything printed is out by the time LLKFConsoleExit returns.
extern "C" bool LLKFConsoleInit(uint32_t flags) { return true; }

extern "C" void LLKFConsoleExit(void) {
  std::lock_guard lock(consoleMutex);
  std::fflush(stdout);
}

extern "C" void LLKFConsolePrintf(const char* format, ...) {
  if (!format) return;
  va_list args;
  va_start(args, format);
  va_list copy;
  va_copy(copy, args);
  int length = std::vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  std::string line;
  if (length >= 0) {
    line.resize(static_cast<size_t>(length));
    std::vsnprintf(line.data(), line.size() + 1, format, args);
  }
  va_end(args);
  while (!line.empty() && line.back() == '\n') line.pop_back();
  std::lock_guard lock(consoleMutex);
  if (!quiet) std::fprintf(stdout, "%s\n", line.c_str());
  if (consoleSink) consoleSink(line);
}

LLKTLogSink LLKFConsoleSetSink(LLKTLogSink sink) {
  std::lock_guard lock(consoleMutex);
  std::swap(consoleSink, sink);
  return sink;
}

void LLKFConsoleSetQuiet(bool value) {
  std::lock_guard lock(consoleMutex);
  quiet = value;
}
