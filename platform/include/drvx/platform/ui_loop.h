// The user-interface thread's loop: calls handed over from other threads,
// and timers. One per process; the thread that attaches to it is the
// user-interface thread. Work only runs while that thread processes the
// loop (RunUntil, ProcessPending), as in a window system's message loop.
#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <string_view>

#include "drvx/platform/export.h"

namespace drvx::platform {

class DRVX_PLATFORM_API UiLoop {
 public:
  using Duration = std::chrono::milliseconds;

  static UiLoop& Instance();

  // Makes the calling thread the user-interface thread.
  void AttachToThisThread();
  bool OnUiThread() const;

  // From any thread but the user-interface thread (which just calls fn):
  // runs fn there and waits until it has run. Gives up, without running fn,
  // when *abandon becomes true before the user-interface thread has started
  // it; once started, fn runs to its end and the call waits for it. Returns
  // whether fn ran.
  bool InvokeAndWait(std::function<void()> fn, const std::atomic<bool>* abandon);

  // Timers fire on the user-interface thread while it processes the loop.
  int StartTimer(Duration interval, std::function<void()> onTimer);
  void StopTimer(int id);
  bool HasTimers() const;

  // With instant timers, waiting for a timer moves time on at once instead of
  // sleeping (for tests and scripted runs); the clock of clock.h is separate.
  void SetInstantTimers(bool instant);

  // User-interface thread: runs the handed-over calls and the due timers.
  // Returns how many ran.
  int ProcessPending();
  // User-interface thread: processes the loop until done() or until the time
  // is up; returns done().
  bool RunUntil(const std::function<bool()>& done, Duration timeout);

  struct State;

 private:
  UiLoop();
  std::unique_ptr<State> state_;
};

// Debug builds end the program with a message naming `what` (a window or
// control) when it is touched from a thread other than the user-interface
// thread; release builds check nothing.
DRVX_PLATFORM_API void CheckUiThread(std::string_view what);

}  // namespace drvx::platform
