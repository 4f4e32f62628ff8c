#include <atomic>
#include <memory>
#include <thread>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "drvx/platform/ui_loop.h"

namespace {

using namespace drvx::platform;
using namespace std::chrono_literals;

TEST(UiLoop, ACallFromAnotherThreadRunsOnTheUiThreadAndIsWaitedFor) {
  auto& loop = UiLoop::Instance();
  loop.AttachToThisThread();
  std::thread::id ranOn;
  bool returned = false;
  std::thread worker([&] {
    returned = loop.InvokeAndWait([&] { ranOn = std::this_thread::get_id(); }, nullptr);
  });
  EXPECT_TRUE(loop.RunUntil([&] { return ranOn != std::thread::id(); }, 5000ms));
  worker.join();
  EXPECT_TRUE(returned);
  EXPECT_EQ(ranOn, std::this_thread::get_id());
}

TEST(UiLoop, AWaitingCallerGivesUpWhenAbandonedBeforeTheCallStarted) {
  auto& loop = UiLoop::Instance();
  loop.AttachToThisThread();
  std::atomic<bool> abandon = false;
  std::atomic<bool> ran = false;
  std::atomic<bool> returned = false;
  bool result = true;
  std::thread worker([&] {
    result = loop.InvokeAndWait([&] { ran = true; }, &abandon);
    returned = true;
  });
  std::this_thread::sleep_for(50ms);  // the user-interface thread is busy elsewhere
  abandon = true;
  worker.join();
  EXPECT_TRUE(returned);
  EXPECT_FALSE(result);
  loop.ProcessPending();
  EXPECT_FALSE(ran);  // an abandoned call never runs later
}

// A caller that gives up takes its call back at once: the loop keeps nothing
// of it (its code may belong to a library about to be unloaded).
TEST(UiLoop, AnAbandonedCallIsReleasedBeforeTheCallerGoesOn) {
  auto& loop = UiLoop::Instance();
  loop.AttachToThisThread();
  auto witness = std::make_shared<int>(0);
  std::atomic<bool> abandon = true;
  long usesAfterReturn = 0;
  std::thread worker([&] {
    loop.InvokeAndWait([witness] { ++*witness; }, &abandon);
    usesAfterReturn = witness.use_count();
  });
  worker.join();
  EXPECT_EQ(usesAfterReturn, 1);  // only the test holds it
  EXPECT_EQ(loop.ProcessPending(), 0);
  EXPECT_EQ(*witness, 0);
}

// A call that ran is released on the user-interface thread before its
// caller is woken.
TEST(UiLoop, ACallThatRanIsReleasedBeforeItsCallerGoesOn) {
  auto& loop = UiLoop::Instance();
  loop.AttachToThisThread();
  auto witness = std::make_shared<int>(0);
  std::atomic<long> usesAfterReturn = -1;
  std::thread worker([&] {
    loop.InvokeAndWait([witness] { ++*witness; }, nullptr);
    usesAfterReturn = witness.use_count();
  });
  EXPECT_TRUE(loop.RunUntil([&] { return *witness == 1; }, 5000ms));
  worker.join();
  EXPECT_EQ(usesAfterReturn, 1);
}

TEST(UiLoop, OnTheUiThreadACallRunsAtOnce) {
  auto& loop = UiLoop::Instance();
  loop.AttachToThisThread();
  bool ran = false;
  EXPECT_TRUE(loop.InvokeAndWait([&] { ran = true; }, nullptr));
  EXPECT_TRUE(ran);
}

TEST(UiLoop, InstantTimersFireInOrderOfTheirDueTime) {
  auto& loop = UiLoop::Instance();
  loop.AttachToThisThread();
  loop.SetInstantTimers(true);
  std::vector<std::string> fired;
  int slow = 0, fast = 0;
  slow = loop.StartTimer(10000ms, [&] {
    fired.push_back("slow");
    loop.StopTimer(slow);
  });
  fast = loop.StartTimer(1000ms, [&] {
    fired.push_back("fast");
    if (fired.size() >= 2) loop.StopTimer(fast);
  });
  const auto start = std::chrono::steady_clock::now();
  EXPECT_TRUE(loop.RunUntil([&] { return !loop.HasTimers(); }, 60000ms));
  loop.SetInstantTimers(false);
  EXPECT_LT(std::chrono::steady_clock::now() - start, 2s);
  EXPECT_THAT(fired, ::testing::ElementsAre("fast", "fast", "slow"));
}

TEST(UiLoop, RunUntilStopsAtItsTimeout) {
  auto& loop = UiLoop::Instance();
  loop.AttachToThisThread();
  EXPECT_FALSE(loop.RunUntil([] { return false; }, 30ms));
}

}  // namespace
