#include "framework/core/LLKFTime.h"

#include <chrono>
#include <cmath>
#include <thread>

extern "C" double LLKFNowInS(void) {
  return std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count();
}

extern "C" int64_t LLKFNowInMS(void) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

extern "C" void LLKFSnoozeMS(uint32_t milliseconds) {
  std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

extern "C" void LLKFSnoozeUS(uint32_t microseconds) {
  std::this_thread::sleep_for(std::chrono::microseconds(microseconds));
}

extern "C" bool LLKFThenInLocalTime(double seconds, struct tm* local) {
  if (!local || !std::isfinite(seconds) || std::fabs(seconds) > 1e15) return false;
  std::time_t whole = static_cast<std::time_t>(std::floor(seconds));
  return localtime_r(&whole, local) != nullptr;
}

extern "C" size_t LLKFTimeToString(const struct tm* time, const char* format, char* buffer, size_t size) {
  if (!buffer || size == 0) return 0;
  buffer[0] = '\0';
  if (!time || !format) return 0;
  size_t length = std::strftime(buffer, size, format, time);
  if (length == 0) buffer[0] = '\0';
  return length;
}
