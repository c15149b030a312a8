#pragma once
// Clocks and sleeping.
#include <cstddef>
#include <cstdint>
#include <ctime>

extern "C" {
// Wall-clock seconds since 1970 (for stamps shown to people and stored).
double LLKFNowInS(void);
// Milliseconds of a monotonic clock with an unspecified start (for pacing and timeouts).
int64_t LLKFNowInMS(void);
void LLKFSnoozeMS(uint32_t milliseconds);
void LLKFSnoozeUS(uint32_t microseconds);
// Seconds since 1970 as local calendar time; false when they cannot be converted.
bool LLKFThenInLocalTime(double seconds, struct tm* local);
// strftime into the buffer; the length written, 0 when it does not fit (the buffer then holds "").
size_t LLKFTimeToString(const struct tm* time, const char* format, char* buffer, size_t size);
}
