#pragma once
// What the log and the console say while a test runs, collected in the order it was said and
// kept off the terminal. One capture for every test: the sinks are process-wide, so a capture
// restores what it replaced when it ends. What is written to a standard stream itself (a plug-in's
// printf, the console's own line) is taken with a StreamTap.
#include "framework/core/LLKFConsole.h"
#include "framework/core/LLKFLog.h"

#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <mutex>
#include <string>
#include <vector>

class OutputCapture {
public:
  enum Sources : unsigned { kLog = 1, kConsole = 2, kLogAndConsole = kLog | kConsole };

  // Lines may arrive from any thread (processor hooks, workers), hence the mutex.
  explicit OutputCapture(Sources sources = kLog) : sources_(sources) {
    if (sources_ & kLog) {
      previousLog_ = LLKFLogSetSink([this](const std::string& line) { note(line); });
      LLKFLogSetQuiet(true);
    }
    if (sources_ & kConsole) {
      previousConsole_ = LLKFConsoleSetSink([this](const std::string& line) { note(line); });
      LLKFConsoleSetQuiet(true);
    }
  }
  ~OutputCapture() {
    if (sources_ & kLog) {
      LLKFLogSetSink(previousLog_);
      LLKFLogSetQuiet(false);
    }
    if (sources_ & kConsole) {
      LLKFConsoleSetSink(previousConsole_);
      LLKFConsoleSetQuiet(false);
    }
  }
  OutputCapture(const OutputCapture&) = delete;
  OutputCapture& operator=(const OutputCapture&) = delete;

  // Adds a line of the test's own to the sequence, such as what a plug-in printed between two
  // log lines.
  void note(const std::string& line) {
    std::lock_guard lock(mutex_);
    lines_.push_back(line);
  }

  std::vector<std::string> lines() const {
    std::lock_guard lock(mutex_);
    return lines_;
  }
  size_t size() const {
    std::lock_guard lock(mutex_);
    return lines_.size();
  }
  size_t count(const std::string& line) const {
    std::lock_guard lock(mutex_);
    return static_cast<size_t>(std::count(lines_.begin(), lines_.end(), line));
  }
  bool saw(const std::string& line) const { return count(line) > 0; }
  // Whether any line holds the fragment.
  bool sawText(const std::string& fragment) const {
    std::lock_guard lock(mutex_);
    return std::any_of(lines_.begin(), lines_.end(),
                       [&](const std::string& line) { return line.find(fragment) != std::string::npos; });
  }
  // Every line, each ended by a newline: for failure messages.
  std::string text() const {
    std::lock_guard lock(mutex_);
    std::string all;
    for (const auto& line : lines_) all += line + "\n";
    return all;
  }

private:
  const Sources sources_;
  mutable std::mutex mutex_;
  std::vector<std::string> lines_;
  LLKTLogSink previousLog_;
  LLKTLogSink previousConsole_;
};

// What reaches a standard stream (STDOUT_FILENO, STDERR_FILENO) while the tap lives, kept in a
// temporary file instead of the terminal; the stream is given back when the tap ends.
class StreamTap {
public:
  explicit StreamTap(int stream) : stream_(stream) {
    std::fflush(nullptr);
    saved_ = dup(stream_);
    file_ = std::tmpfile();
    dup2(fileno(file_), stream_);
  }
  ~StreamTap() {
    std::fflush(nullptr);
    dup2(saved_, stream_);
    close(saved_);
    std::fclose(file_);
  }
  StreamTap(const StreamTap&) = delete;
  StreamTap& operator=(const StreamTap&) = delete;

  // What reached the stream since the last take.
  std::string take() {
    std::fflush(nullptr);
    std::fseek(file_, offset_, SEEK_SET);
    char buffer[256];
    std::string text;
    while (size_t read = std::fread(buffer, 1, sizeof buffer, file_)) text.append(buffer, read);
    offset_ += static_cast<long>(text.size());
    return text;
  }

private:
  const int stream_;
  int saved_ = -1;
  FILE* file_ = nullptr;
  long offset_ = 0;
};
