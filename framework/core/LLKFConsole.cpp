#include "framework/core/LLKFConsole.h"

#include "framework/core/LLKFFormat.h"

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
  std::string line = LLKFFormatLineV(format, args);
  va_end(args);
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
