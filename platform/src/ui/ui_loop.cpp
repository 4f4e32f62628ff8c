#include "drvx/platform/ui_loop.h"

#include <algorithm>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <map>
#include <mutex>
#include <thread>

namespace drvx::platform {

namespace {

using Clock = std::chrono::steady_clock;

// One handed-over call; `started` decides, under the loop's lock, whether
// the caller may still take it back.
struct Call {
  std::function<void()> fn;
  bool started = false;
  bool done = false;
};

struct Timer {
  UiLoop::Duration interval;
  Clock::time_point due;
  std::function<void()> onTimer;
};

}  // namespace

struct UiLoop::State {
  mutable std::mutex mutex;
  std::condition_variable wake;   // the user-interface thread waits on it
  std::condition_variable done;   // callers of InvokeAndWait wait on it
  std::thread::id uiThread = std::this_thread::get_id();
  std::deque<std::shared_ptr<Call>> calls;
  std::map<int, Timer> timers;
  int nextTimer = 1;
  bool instant = false;
  Clock::duration skipped{};  // time moved on by instant timers

  Clock::time_point Now() const { return Clock::now() + skipped; }
};

UiLoop::UiLoop() : state_(std::make_unique<State>()) {}

UiLoop& UiLoop::Instance() {
  static UiLoop loop;
  return loop;
}

void UiLoop::AttachToThisThread() {
  std::lock_guard lock(state_->mutex);
  state_->uiThread = std::this_thread::get_id();
}

bool UiLoop::OnUiThread() const {
  std::lock_guard lock(state_->mutex);
  return state_->uiThread == std::this_thread::get_id();
}

bool UiLoop::InvokeAndWait(std::function<void()> fn, const std::atomic<bool>* abandon) {
  if (OnUiThread()) {
    fn();
    return true;
  }
  auto call = std::make_shared<Call>();
  call->fn = std::move(fn);
  std::unique_lock lock(state_->mutex);
  state_->calls.push_back(call);
  state_->wake.notify_all();
  while (!call->done) {
    if (abandon && abandon->load() && !call->started) {
      // Released here, on the caller's side: the queue keeps nothing of the
      // caller's code, which may belong to a module about to be unloaded.
      std::erase(state_->calls, call);
      std::function<void()> released = std::move(call->fn);
      lock.unlock();
      return false;
    }
    state_->done.wait_for(lock, std::chrono::milliseconds(20));
  }
  return true;
}

int UiLoop::StartTimer(Duration interval, std::function<void()> onTimer) {
  std::lock_guard lock(state_->mutex);
  const int id = state_->nextTimer++;
  state_->timers[id] = {interval, state_->Now() + interval, std::move(onTimer)};
  state_->wake.notify_all();
  return id;
}

void UiLoop::StopTimer(int id) {
  std::lock_guard lock(state_->mutex);
  state_->timers.erase(id);
}

bool UiLoop::HasTimers() const {
  std::lock_guard lock(state_->mutex);
  return !state_->timers.empty();
}

void UiLoop::SetInstantTimers(bool instant) {
  std::lock_guard lock(state_->mutex);
  state_->instant = instant;
}

int UiLoop::ProcessPending() {
  int ran = 0;
  for (;;) {
    std::unique_lock lock(state_->mutex);
    std::shared_ptr<Call> call;
    if (!state_->calls.empty()) {
      call = std::move(state_->calls.front());
      state_->calls.pop_front();
    }
    if (call) {
      call->started = true;
      lock.unlock();
      try {
        call->fn();
      } catch (...) {
        // A handed-over call reports its own errors; the loop goes on.
      }
      call->fn = nullptr;  // released before its caller may go on
      lock.lock();
      call->done = true;
      state_->done.notify_all();
      ++ran;
      continue;
    }
    // The earliest due timer, if any.
    const auto now = state_->Now();
    auto due = state_->timers.end();
    for (auto it = state_->timers.begin(); it != state_->timers.end(); ++it)
      if (it->second.due <= now && (due == state_->timers.end() || it->second.due < due->second.due))
        due = it;
    if (due == state_->timers.end()) return ran;
    due->second.due = now + due->second.interval;
    auto onTimer = due->second.onTimer;  // the handler may stop its timer
    lock.unlock();
    onTimer();
    ++ran;
  }
}

bool UiLoop::RunUntil(const std::function<bool()>& done, Duration timeout) {
  Clock::time_point limit;  // in the loop's time, which instant timers move on
  {
    std::lock_guard lock(state_->mutex);
    limit = state_->Now() + std::min<Duration>(timeout, std::chrono::hours(24));
  }
  for (;;) {
    ProcessPending();
    if (done()) return true;
    std::unique_lock lock(state_->mutex);
    if (!state_->calls.empty()) continue;
    const auto now = state_->Now();
    if (now >= limit) return false;
    auto next = Clock::time_point::max();
    for (const auto& [id, timer] : state_->timers) next = std::min(next, timer.due);
    const auto until = std::min(next, limit);
    if (state_->instant && next != Clock::time_point::max()) {
      state_->skipped += until - now;  // no sleeping: time moves on at once
      continue;
    }
    state_->wake.wait_until(lock, until - state_->skipped);
  }
}

void CheckUiThread([[maybe_unused]] std::string_view what) {
#ifndef NDEBUG
  if (UiLoop::Instance().OnUiThread()) return;
  std::fprintf(stderr, "%.*s was touched outside the user-interface thread\n", int(what.size()),
               what.data());
  std::abort();
#endif
}

}  // namespace drvx::platform
