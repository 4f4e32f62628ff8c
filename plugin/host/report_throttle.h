// Coalesces repeated reports: the first report of a kind in a period is told
// at once, the rest of that period only counted and told as one summary
// line when the period is over. For reports that outside input can repeat
// without bound (junk datagrams, call stacks that cannot be drawn).
#pragma once

#include <chrono>
#include <functional>
#include <map>
#include <string>

namespace drvx::host {

class ReportThrottle {
 public:
  using Clock = std::chrono::steady_clock;
  using Tell = std::function<void(const std::string& text)>;

  ReportThrottle(std::chrono::seconds period, Tell tell);

  // Reports text under a kind (the text with its digits left out, so that
  // "a message of 2000 bytes ..." and "... of 3000 bytes ..." are one kind).
  void Report(const std::string& text, Clock::time_point now = Clock::now());
  // Tells the summaries of the periods that are over (all of them when
  // `final`).
  void Flush(Clock::time_point now = Clock::now(), bool final = false);
  bool Pending() const;

 private:
  struct Kind {
    Clock::time_point periodStart;
    int more = 0;         // reports counted since the first of the period
    std::string latest;   // the last of them
  };
  void Summarize(Kind& kind);

  std::chrono::seconds period_;
  Tell tell_;
  std::map<std::string, Kind> kinds_;
};

}  // namespace drvx::host
