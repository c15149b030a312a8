#pragma once
// The log: one line per call, time-stamped, to standard error and to any attached sink.
#include <functional>
#include <string>

extern "C" {
// printf-style; a trailing newline is added when missing.
void LLKFLog(const char* format, ...) __attribute__((format(printf, 1, 2)));
// 0: no time stamp, 1: seconds since start, 2: local wall-clock time.
void LLKFLogSetTimeMode(int mode);
}

// Receives every logged line (without time stamp or newline); tests use it to read the log.
// Returns the previous sink. Pass an empty function to stop.
using LLKTLogSink = std::function<void(const std::string& line)>;
LLKTLogSink LLKFLogSetSink(LLKTLogSink sink);
// Silences standard error (sinks still receive every line).
void LLKFLogSetQuiet(bool quiet);
