#include "framework/core/LLKFLog.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

TEST(Log, SinkReceivesFormattedLinesWithoutTrailingNewline) {
  std::vector<std::string> lines;
  LLKFLogSetQuiet(true);
  auto previous = LLKFLogSetSink([&](const std::string& line) { lines.push_back(line); });
  LLKFLog("%s : out of memory", "stage");
  LLKFLog("plain line\n");
  LLKFLogSetSink(previous);
  LLKFLogSetQuiet(false);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], "stage : out of memory");
  EXPECT_EQ(lines[1], "plain line");
}
