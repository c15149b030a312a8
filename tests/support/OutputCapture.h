#pragma once
// What the log and the console say while a test runs, collected in the order it was said and
// kept off the terminal. One capture for every test: the sinks are process-wide, so a capture
// restores what it replaced when it ends.
#include "framework/core/LLKFConsole.h"
#include "framework/core/LLKFLog.h"

#include <algorithm>
#include <cstddef>
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
