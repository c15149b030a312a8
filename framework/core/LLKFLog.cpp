#include "framework/core/LLKFLog.h"

#include "framework/core/LLKFFormat.h"
#include "framework/core/LLKTLineOutput.h"

#include <atomic>
#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <ctime>

namespace {

LLKTLineOutput logOutput(stderr);
std::atomic<int> timeMode = 1;
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
  logOutput.write(stamp(), line);
}

extern "C" void LLKFLogSetTimeMode(int mode) { timeMode = mode; }

LLKTLogSink LLKFLogSetSink(LLKTLogSink sink) { return logOutput.setSink(std::move(sink)); }

void LLKFLogSetQuiet(bool value) { logOutput.setQuiet(value); }
