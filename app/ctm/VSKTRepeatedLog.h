#pragma once
// Problems that a publisher may repeat on every tick (a malformed statement, malformed chunks),
// logged without filling the log: the first of each kind whole, then, at most once an interval
// for each kind, how many more came. One per view; used on one thread (not locked).
#include <chrono>
#include <map>
#include <string>

class VSKTRepeatedLog {
public:
  using Clock = std::chrono::steady_clock;
  static constexpr Clock::duration kInterval = std::chrono::minutes(1);

  // name: the first word of the lines ("timeline", "gist").
  explicit VSKTRepeatedLog(std::string name, Clock::duration interval = kInterval);

  // The first report of the kind logs "name : text". Later ones are counted; once the interval
  // has passed since the kind's last line, "name : N more: kind" tells the count.
  void report(const std::string& kind, const std::string& text, Clock::time_point now = Clock::now());
  // Logs the counts not told yet (when the view leaves the window), kinds in text order.
  void flush();

private:
  struct Tally {
    size_t untold = 0;
    Clock::time_point told;
  };
  void tell(const std::string& kind, Tally& tally);

  std::string name_;
  Clock::duration interval_;
  std::map<std::string, Tally> kinds_;
};
