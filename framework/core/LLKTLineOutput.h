#pragma once
// One output of whole lines, shared by the log and the console: a stream, a sink that receives
// every line (tests read it), and a switch that silences the stream. Lines from threads that
// write at once never interleave.
#include <cstdio>
#include <mutex>
#include <string>

#include "framework/core/LLKFLog.h"

class LLKTLineOutput {
public:
  explicit LLKTLineOutput(FILE* stream) : stream_(stream) {}

  // Writes prefix and line, then a newline, to the stream unless quiet; the sink gets the line.
  void write(const std::string& prefix, const std::string& line) {
    std::lock_guard lock(mutex_);
    if (!quiet_) std::fprintf(stream_, "%s%s\n", prefix.c_str(), line.c_str());
    if (sink_) sink_(line);
  }
  void flush() {
    std::lock_guard lock(mutex_);
    std::fflush(stream_);
  }
  LLKTLogSink setSink(LLKTLogSink sink) {
    std::lock_guard lock(mutex_);
    std::swap(sink_, sink);
    return sink;
  }
  void setQuiet(bool quiet) {
    std::lock_guard lock(mutex_);
    quiet_ = quiet;
  }

private:
  std::mutex mutex_;
  FILE* stream_;
  LLKTLogSink sink_;
  bool quiet_ = false;
};
