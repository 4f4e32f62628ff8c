// Senders of raw messages to a message slot, each running apart from the
// receiver (processes on Linux, threads on Windows, where a mailslot takes
// writes from any of them alike).
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>

namespace drvx::test {

// Sends one message of any size to the slot of that name, past the checks
// of the platform's sender. False when the slot took nothing (its queue is
// full where a write does not wait, or it refused the size).
bool SendRawToSlot(const std::string& slotName, const std::string& bytes);

class JunkSenders {
 public:
  // Starts `count` senders, each running `send(index)` to its end.
  JunkSenders(int count, const std::function<void(int)>& send);
  ~JunkSenders();  // stops the senders still running
  // Senders that have not ended yet; counts a failed sender in `failures`.
  std::size_t Running();
  std::size_t Failures() const { return failures_; }

 private:
  struct State;
  std::unique_ptr<State> state_;
  std::size_t failures_ = 0;
};

}  // namespace drvx::test
