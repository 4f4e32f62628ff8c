#include <windows.h>

#include <atomic>
#include <chrono>
#include <vector>

#include "drvx/platform/message_slot.h"
#include "message_slot_common.h"
#include "system_error_win.h"

namespace drvx::platform {
namespace {

// A blocking read waits at most this long, so that Wake is seen soon without
// cancelling a read (Wine's mailslots cannot cancel one).
constexpr DWORD kReadSliceMs = 50;

// The access list "the current user may do everything, nobody else anything".
class CurrentUserOnly {
 public:
  explicit CurrentUserOnly(const std::string& path) {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) Fail(path);
    DWORD size = 0;
    GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    user_.resize(size);
    const BOOL ok = GetTokenInformation(token, TokenUser, user_.data(), size, &size);
    CloseHandle(token);
    if (!ok) Fail(path);
    const PSID sid = reinterpret_cast<TOKEN_USER*>(user_.data())->User.Sid;
    acl_.resize(sizeof(ACL) + sizeof(ACCESS_ALLOWED_ACE) + GetLengthSid(sid));
    auto* acl = reinterpret_cast<ACL*>(acl_.data());
    if (!InitializeAcl(acl, DWORD(acl_.size()), ACL_REVISION) ||
        !AddAccessAllowedAce(acl, ACL_REVISION, GENERIC_ALL, sid) ||
        !InitializeSecurityDescriptor(&descriptor_, SECURITY_DESCRIPTOR_REVISION) ||
        !SetSecurityDescriptorDacl(&descriptor_, TRUE, acl, FALSE))
      Fail(path);
    attributes_ = {sizeof attributes_, &descriptor_, FALSE};
  }
  SECURITY_ATTRIBUTES* Attributes() { return &attributes_; }

 private:
  [[noreturn]] static void Fail(const std::string& path) {
    throw std::runtime_error("cannot make the slot " + path + " private: " + LastErrorText());
  }
  std::vector<BYTE> user_;
  std::vector<BYTE> acl_;
  SECURITY_DESCRIPTOR descriptor_{};
  SECURITY_ATTRIBUTES attributes_{};
};

// A mailslot only the current user may write to. Writers can send no more
// than the largest message; a read takes one whole message.
class MailslotSlot final : public MessageSlot {
 public:
  MailslotSlot(const std::string& path, int readTimeoutMs)
      : timeout_(std::chrono::milliseconds(readTimeoutMs)) {
    CurrentUserOnly security(path);
    handle_ = CreateMailslotA(path.c_str(), DWORD(kMaxSlotMessage), kReadSliceMs,
                              security.Attributes());
    if (handle_ == INVALID_HANDLE_VALUE) {
      if (GetLastError() == ERROR_ALREADY_EXISTS)
        throw SlotHeld("another receiver holds the slot " + path);
      throw std::runtime_error("cannot create the slot " + path + ": " + LastErrorText());
    }
  }
  ~MailslotSlot() override { CloseHandle(handle_); }

  Result Read(std::vector<std::uint8_t>& buffer, std::size_t maxSize, std::string& note) override {
    const auto deadline = std::chrono::steady_clock::now() + timeout_;
    // One byte more than a writer may send: a system that truncates a larger
    // message instead of refusing it still shows it as too large.
    buffer.resize(kMaxSlotMessage + 1);
    for (;;) {
      if (woken_.exchange(false)) return Result::Woken;
      DWORD read = 0;
      const bool ok = ReadFile(handle_, buffer.data(), DWORD(buffer.size()), &read, nullptr);
      const DWORD error = ok ? ERROR_SUCCESS : GetLastError();
      // Wine reads a message of no bytes as a broken pipe; it is taken off
      // the queue all the same.
      if (ok || error == ERROR_BROKEN_PIPE) {
        if (read > kMaxSlotMessage) {
          note = "a message of more than " + std::to_string(kMaxSlotMessage) +
                 " bytes, the most a slot takes, was dropped";
          return Result::Dropped;
        }
        if (read > maxSize) {
          note = slots::OversizeNote(read, maxSize);
          return Result::Dropped;
        }
        buffer.resize(read);
        return Result::Message;
      }
      if (error == ERROR_INSUFFICIENT_BUFFER) return DropOversized(maxSize, note);
      if (error != ERROR_SEM_TIMEOUT) {
        note = "reading a message failed: " + SystemErrorText(error);
        return Result::Failed;
      }
      if (std::chrono::steady_clock::now() >= deadline) return Result::TimedOut;
    }
  }

  void Wake() override { woken_ = true; }

 private:
  // A message larger than the buffer stays queued until read whole.
  Result DropOversized(std::size_t maxSize, std::string& note) {
    DWORD next = 0;
    if (!GetMailslotInfo(handle_, nullptr, &next, nullptr, nullptr) || next == MAILSLOT_NO_MESSAGE) {
      note = "reading a message failed: " + LastErrorText();
      return Result::Failed;
    }
    std::vector<std::uint8_t> whole(next);
    DWORD read = 0;
    if (!ReadFile(handle_, whole.data(), next, &read, nullptr)) {
      note = "reading a message failed: " + LastErrorText();
      return Result::Failed;
    }
    note = slots::OversizeNote(read, maxSize);
    return Result::Dropped;
  }

  HANDLE handle_ = INVALID_HANDLE_VALUE;
  std::chrono::milliseconds timeout_;
  std::atomic<bool> woken_ = false;
};

}  // namespace

MessageSlot::~MessageSlot() = default;

std::unique_ptr<MessageSlot> MessageSlot::Create(const std::string& path, int readTimeoutMs) {
  return std::make_unique<MailslotSlot>(path, readTimeoutMs);
}

// A mailslot's queue has no limit: a write never waits, so there is no
// time-out to keep.
void SendToSlot(const std::string& path, std::string_view message, int) {
  slots::CheckMessageSize(message);
  const HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
      throw std::runtime_error("no receiver holds the slot " + path);
    if (error == ERROR_ACCESS_DENIED)
      throw std::runtime_error("the slot " + path + " is not this user's; nothing was sent");
    throw std::runtime_error("cannot send to the slot " + path + ": " + SystemErrorText(error));
  }
  DWORD written = 0;
  const BOOL ok = WriteFile(file, message.data(), DWORD(message.size()), &written, nullptr);
  const DWORD error = GetLastError();
  CloseHandle(file);
  if (!ok || written != message.size())
    throw std::runtime_error("cannot send to the slot " + path + ": " + SystemErrorText(error));
}

}  // namespace drvx::platform
