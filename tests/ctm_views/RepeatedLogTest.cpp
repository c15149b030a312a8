// Problems a publisher repeats on every tick: the first of each kind is logged whole, the rest
// are counted and told now and then, and the views log them so.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/ctm/VSKTRepeatedLog.h"
#include "framework/core/LLKFLog.h"

namespace {

using namespace std::chrono_literals;

class RepeatedLog : public ::testing::Test {
protected:
  void SetUp() override {
    (void)LLKFLogSetSink([this](const std::string& line) { logged.push_back(line); });
    LLKFLogSetQuiet(true);
  }
  void TearDown() override {
    LLKFLogSetQuiet(false);
    (void)LLKFLogSetSink(nullptr);
  }
  std::vector<std::string> logged;
};

TEST_F(RepeatedLog, TheFirstOfEachKindIsLoggedWholeAndTheRestAsACountNowAndThen) {
  VSKTRepeatedLog log("viewer", 60s);
  const VSKTRepeatedLog::Clock::time_point start{};
  struct Step {
    const char* kind;
    const char* text;
    std::chrono::seconds at;
    const char* line;  // what is logged; none: nothing
  };
  const Step steps[] = {
      {"bad ticks", "a tick 1 was bad", 0s, "viewer : a tick 1 was bad"},
      {"bad ticks", "a tick 2 was bad", 1s, nullptr},
      {"bad ticks", "a tick 3 was bad", 59s, nullptr},
      // Another kind is told at once, whatever the first did.
      {"bad chunks", "a chunk was bad", 59s, "viewer : a chunk was bad"},
      // A minute after the kind's last line: the count of those not told, this one included.
      {"bad ticks", "a tick 4 was bad", 60s, "viewer : 3 more: bad ticks"},
      {"bad ticks", "a tick 5 was bad", 61s, nullptr},
      {"bad chunks", "a chunk was bad", 70s, nullptr},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.text);
    logged.clear();
    log.report(step.kind, step.text, start + step.at);
    if (step.line) {
      EXPECT_EQ(logged, std::vector<std::string>{step.line});
    } else {
      EXPECT_TRUE(logged.empty()) << logged.front();
    }
  }
  // Leaving, the view tells what it has not told yet, and only that.
  logged.clear();
  log.flush();
  EXPECT_EQ(logged, (std::vector<std::string>{"viewer : 1 more: bad chunks", "viewer : 1 more: bad ticks"}));
  logged.clear();
  log.flush();
  EXPECT_TRUE(logged.empty());
}

}  // namespace
