// A local one-way message channel with a well-known name: whole messages
// (boundaries kept), a read with a time-out, writers from any process of the
// same user. On Windows a mailslot that only the current user may write to,
// read in slices of 50 ms, so that Wake needs no cancelled read. On Linux a
// datagram socket file "mailslot.NAME" in the user's private folder ($XDG_RUNTIME_DIR, else
// /tmp/dravolex-<uid>, which must be the user's own with mode 0700): another
// user can neither take the name nor receive what is sent. The receiver holds
// the name by a lock on "mailslot.NAME.lock" and checks every sender's
// credentials.
#pragma once

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "drvx/platform/export.h"

namespace drvx::platform {

// The slot's path for a name: "\\.\mailslot\" + name.
DRVX_PLATFORM_API std::string SlotPath(std::string_view name);

// The largest message a sender may send.
inline constexpr std::size_t kMaxSlotMessage = 65536;

class DRVX_PLATFORM_API MessageSlot {
 public:
  enum class Result {
    Message,   // `buffer` holds one whole message
    TimedOut,  // nothing arrived within the read time-out
    Woken,     // Wake was called
    Dropped,   // a message was dropped (too large, another user's); `note` says why
    Failed,    // the read failed; `note` says why
  };

  // Creates the slot; throws std::runtime_error when it cannot (for example
  // because another receiver holds the name).
  static std::unique_ptr<MessageSlot> Create(const std::string& path, int readTimeoutMs);
  virtual ~MessageSlot();

  // Waits for one message of at most maxSize bytes. Safe to call from one
  // reader thread while another thread calls Wake.
  virtual Result Read(std::vector<std::uint8_t>& buffer, std::size_t maxSize,
                      std::string& note) = 0;
  // Makes a waiting Read (or the next one) return Woken at once. Any thread.
  virtual void Wake() = 0;
};

// Sends one message; throws std::runtime_error saying why it could not (no
// receiver holds the slot, the message is larger than kMaxSlotMessage).
DRVX_PLATFORM_API void SendToSlot(const std::string& path, std::string_view message);

}  // namespace drvx::platform
