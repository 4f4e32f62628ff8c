#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "report_throttle.h"

namespace {

using drvx::host::ReportThrottle;
using namespace std::chrono_literals;
using ::testing::ElementsAre;

TEST(ReportThrottle, TellsTheFirstOfAKindAtOnceAndTheRestOncePerPeriod) {
  std::vector<std::string> told;
  ReportThrottle throttle(10s, [&](const std::string& text) { told.push_back(text); });
  const auto t0 = ReportThrottle::Clock::time_point{};
  throttle.Report("a message of 2000 bytes is too large", t0);
  throttle.Report("a message of 3000 bytes is too large", t0 + 1s);
  throttle.Report("a message from another user (process 7)", t0 + 2s);
  throttle.Report("a message of 4000 bytes is too large", t0 + 3s);
  EXPECT_TRUE(throttle.Pending());
  throttle.Flush(t0 + 9s);
  EXPECT_EQ(told.size(), 2u);  // nothing summed up before the period is over
  throttle.Flush(t0 + 10s);
  EXPECT_THAT(told, ElementsAre("a message of 2000 bytes is too large",
                                "a message from another user (process 7)",
                                "2 more reports like it in 10 s; the latest: a message of 4000 "
                                "bytes is too large"));
  EXPECT_FALSE(throttle.Pending());
  throttle.Report("a message of 5000 bytes is too large", t0 + 11s);  // a new period
  EXPECT_EQ(told.back(), "a message of 5000 bytes is too large");
}

TEST(ReportThrottle, AFinalFlushTellsWhatIsLeft) {
  std::vector<std::string> told;
  ReportThrottle throttle(10s, [&](const std::string& text) { told.push_back(text); });
  const auto t0 = ReportThrottle::Clock::time_point{};
  for (int i = 0; i < 1000; ++i) throttle.Report("junk " + std::to_string(i), t0 + 1ms * i);
  throttle.Flush(t0 + 2s, true);
  EXPECT_THAT(told, ElementsAre("junk 0", "999 more reports like it in 10 s; the latest: junk 999"));
}

}  // namespace
