#include "framework/core/LLKFLog.h"

#include "framework/core/LLKFFormat.h"

#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <ctime>
#include <mutex>

namespace {

std::mutex logMutex;
LLKTLogSink logSink;
int timeMode = 1;
bool quiet = false;
const auto startTime = std::chrono::steady_clock::now();

std::string stamp() {
  if (timeMode == 1) {
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - startTime).count();
    char text[32];
    std::snprintf(text, sizeof text, "[%10.3f] ", seconds);
    return text;
  }
  if (timeMode == 2) {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "[%H:%M:%S] ", &local);
    return text;
  }
  return {};
}

}  // namespace

extern "C" void LLKFLog(const char* format, ...) {
  if (!format) return;
  va_list args;
  va_start(args, format);
  std::string line = LLKFFormatLineV(format, args);
  va_end(args);
  std::lock_guard lock(logMutex);
  if (!quiet) std::fprintf(stderr, "%s%s\n", stamp().c_str(), line.c_str());
  if (logSink) logSink(line);
}

extern "C" void LLKFLogSetTimeMode(int mode) {
  std::lock_guard lock(logMutex);
  timeMode = mode;
}

LLKTLogSink LLKFLogSetSink(LLKTLogSink sink) {
  std::lock_guard lock(logMutex);
  std::swap(logSink, sink);
  return sink;
}

void LLKFLogSetQuiet(bool value) {
  std::lock_guard lock(logMutex);
  quiet = value;
}
