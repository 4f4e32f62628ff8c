#include <windows.h>
#include <aclapi.h>

#include <algorithm>
#include <atomic>
#include <vector>

#include "drvx/platform/message_slot.h"

namespace drvx::platform {
namespace {

std::string LastError() { return "system error " + std::to_string(GetLastError()); }

// A mailslot only the current user may write to.
class MailslotSlot final : public MessageSlot {
 public:
  MailslotSlot(const std::string& path, int readTimeoutMs) {
    HANDLE token = nullptr;
    DWORD size = 0;
    OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token);
    GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    std::vector<BYTE> user(size);
    GetTokenInformation(token, TokenUser, user.data(), size, &size);
    CloseHandle(token);
    EXPLICIT_ACCESS_A access{};
    access.grfAccessPermissions = GENERIC_ALL;
    access.grfAccessMode = SET_ACCESS;
    access.Trustee.TrusteeForm = TRUSTEE_IS_SID;
    access.Trustee.ptstrName =
        static_cast<LPSTR>(reinterpret_cast<TOKEN_USER*>(user.data())->User.Sid);
    PACL acl = nullptr;
    SetEntriesInAclA(1, &access, nullptr, &acl);
    SECURITY_DESCRIPTOR descriptor;
    InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION);
    SetSecurityDescriptorDacl(&descriptor, TRUE, acl, FALSE);
    SECURITY_ATTRIBUTES attributes{sizeof attributes, &descriptor, TRUE};
    handle_ = CreateMailslotA(path.c_str(), 0, DWORD(readTimeoutMs), &attributes);
    LocalFree(acl);
    if (handle_ == INVALID_HANDLE_VALUE)
      throw std::runtime_error("cannot create the slot " + path + ": " + LastError());
  }
  ~MailslotSlot() override { CloseHandle(handle_); }

  Result Read(std::vector<std::uint8_t>& buffer, std::size_t maxSize, std::string& note) override {
    if (woken_.exchange(false)) return Result::Woken;
    DWORD next = 0;
    if (!GetMailslotInfo(handle_, nullptr, &next, nullptr, nullptr)) {
      note = "reading the slot failed: " + LastError();
      return Result::Failed;
    }
    if (next == MAILSLOT_NO_MESSAGE) {
      Sleep(50);
      return Result::TimedOut;
    }
    buffer.resize(std::max<std::size_t>(next, 1));
    DWORD read = 0;
    if (!ReadFile(handle_, buffer.data(), DWORD(buffer.size()), &read, nullptr)) {
      note = "reading a message failed: " + LastError();
      return Result::Failed;
    }
    if (read > maxSize) {
      note = "a message of " + std::to_string(read) + " bytes is larger than the buffer; dropped";
      return Result::Dropped;
    }
    buffer.resize(read);
    return Result::Message;
  }
  void Wake() override { woken_ = true; }

 private:
  HANDLE handle_;
  std::atomic<bool> woken_ = false;
};

}  // namespace

MessageSlot::~MessageSlot() = default;

std::unique_ptr<MessageSlot> MessageSlot::Create(const std::string& path, int readTimeoutMs) {
  return std::make_unique<MailslotSlot>(path, readTimeoutMs);
}

void SendToSlot(const std::string& path, std::string_view message) {
  if (message.size() > kMaxSlotMessage) throw std::runtime_error("the message is too large");
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) throw std::runtime_error("no receiver holds the slot " + path);
  DWORD written = 0;
  const BOOL ok = WriteFile(file, message.data(), DWORD(message.size()), &written, nullptr);
  CloseHandle(file);
  if (!ok) throw std::runtime_error("cannot send to the slot " + path + ": " + LastError());
}

}  // namespace drvx::platform
