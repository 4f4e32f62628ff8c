#include <windows.h>

#include <atomic>
#include <thread>
#include <vector>

#include "drvx/platform/message_slot.h"
#include "e2e/junk_senders.h"

namespace drvx::test {

bool SendRawToSlot(const std::string& slotName, const std::string& bytes) {
  const HANDLE slot = CreateFileA(platform::SlotPath(slotName).c_str(), GENERIC_WRITE,
                                  FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                                  nullptr);
  if (slot == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool sent = WriteFile(slot, bytes.data(), DWORD(bytes.size()), &written, nullptr);
  CloseHandle(slot);
  return sent;
}

struct JunkSenders::State {
  std::vector<std::thread> threads;
  std::atomic<std::size_t> running{0};
};

JunkSenders::JunkSenders(int count, const std::function<void(int)>& send)
    : state_(std::make_unique<State>()) {
  state_->running = std::size_t(count);
  for (int i = 0; i < count; ++i)
    state_->threads.emplace_back([this, send, i] {
      send(i);
      --state_->running;
    });
}

// A sender thread cannot be killed; each ends by itself, as a mailslot
// write never waits for the reader.
JunkSenders::~JunkSenders() {
  for (auto& thread : state_->threads) thread.join();
}

std::size_t JunkSenders::Running() { return state_->running; }

}  // namespace drvx::test
