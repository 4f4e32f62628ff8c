// A local one-way message channel with a well-known name: whole messages
// (boundaries kept), a read with a time-out, writers from any process of the
// same user. On Windows a mailslot that only the current user may write to,
// read in slices of 50 ms, so that Wake needs no cancelled read. On Linux a
// datagram socket file "mailslot.NAME" in the user's private folder
// ($XDG_RUNTIME_DIR when absolute, else /tmp/dravolex-<uid>; a real folder,
// not a link, owned by the user with mode 0700). The folder is opened and
// checked once per slot or send, and used only through the opened folder,
// so exchanging it after the check redirects nothing. Another user can
// neither take the name nor receive what is sent. The receiver holds the
// name by a lock on "mailslot.NAME.lock", checks every sender's credentials,
// and removes only the socket file it made.
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

// Thrown by MessageSlot::Create when another receiver holds the slot.
class DRVX_PLATFORM_API SlotHeld : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Thrown by SendToSlot when the receiver did not take the message in time.
class DRVX_PLATFORM_API SlotTimedOut : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class DRVX_PLATFORM_API MessageSlot {
 public:
  enum class Result {
    Message,   // `buffer` holds one whole message
    TimedOut,  // nothing arrived within the read time-out
    Woken,     // Wake was called
    Dropped,   // a message was dropped (too large, another user's); `note` says why
    Failed,    // the read failed; `note` says why
  };

  // Creates the slot; throws SlotHeld when another receiver holds the name,
  // std::runtime_error naming the reason for anything else (a folder that
  // is not private, a file in the way).
  static std::unique_ptr<MessageSlot> Create(const std::string& path, int readTimeoutMs);
  virtual ~MessageSlot();

  // Waits for one message of at most maxSize bytes. Safe to call from one
  // reader thread while another thread calls Wake.
  virtual Result Read(std::vector<std::uint8_t>& buffer, std::size_t maxSize,
                      std::string& note) = 0;
  // Makes a waiting Read (or the next one) return Woken at once. Any thread.
  virtual void Wake() = 0;
};

// How long a send waits by default for a receiver whose queue is full.
inline constexpr int kDefaultSendTimeoutMs = 5000;

// Sends one message; throws std::runtime_error saying why it could not (no
// receiver holds the slot, the message is larger than kMaxSlotMessage), and
// SlotTimedOut when the receiver's queue stays full for `timeoutMs`
// milliseconds (0: not at all).
DRVX_PLATFORM_API void SendToSlot(const std::string& path, std::string_view message,
                                  int timeoutMs = kDefaultSendTimeoutMs);

}  // namespace drvx::platform
