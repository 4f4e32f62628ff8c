#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "drvx/platform/message_slot.h"

namespace drvx::platform {
namespace {

// The abstract address whose name is the slot's path text.
struct Address {
  sockaddr_un un{};
  socklen_t length = 0;
};

Address AddressOf(const std::string& path) {
  Address a;
  a.un.sun_family = AF_UNIX;
  if (path.size() + 1 > sizeof(a.un.sun_path))
    throw std::runtime_error("the slot name \"" + path + "\" is too long");
  a.un.sun_path[0] = '\0';
  std::memcpy(a.un.sun_path + 1, path.data(), path.size());
  a.length = socklen_t(offsetof(sockaddr_un, sun_path) + 1 + path.size());
  return a;
}

std::string Reason() { return std::strerror(errno); }

class Fd {
 public:
  explicit Fd(int fd = -1) : fd_(fd) {}
  ~Fd() {
    if (fd_ >= 0) ::close(fd_);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int Get() const { return fd_; }

 private:
  int fd_;
};

class SocketSlot final : public MessageSlot {
 public:
  SocketSlot(const std::string& path, int readTimeoutMs)
      : socket_(::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0)),
        wake_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)),
        timeoutMs_(readTimeoutMs) {
    if (socket_.Get() < 0 || wake_.Get() < 0)
      throw std::runtime_error("cannot make the slot " + path + ": " + Reason());
    const Address address = AddressOf(path);
    if (::bind(socket_.Get(), reinterpret_cast<const sockaddr*>(&address.un), address.length) != 0)
      throw std::runtime_error("cannot create the slot " + path + ": " + Reason());
    const int on = 1;
    ::setsockopt(socket_.Get(), SOL_SOCKET, SO_PASSCRED, &on, sizeof on);
  }

  Result Read(std::vector<std::uint8_t>& buffer, std::size_t maxSize, std::string& note) override {
    pollfd fds[2] = {{socket_.Get(), POLLIN, 0}, {wake_.Get(), POLLIN, 0}};
    const int ready = ::poll(fds, 2, timeoutMs_);
    if (ready < 0) {
      if (errno == EINTR) return Result::TimedOut;
      note = "waiting for a message failed: " + Reason();
      return Result::Failed;
    }
    if (fds[1].revents & POLLIN) {
      std::uint64_t count = 0;
      [[maybe_unused]] auto ignored = ::read(wake_.Get(), &count, sizeof count);
      return Result::Woken;
    }
    if (ready == 0 || !(fds[0].revents & POLLIN)) return Result::TimedOut;

    buffer.resize(maxSize);
    iovec io{buffer.data(), buffer.size()};
    alignas(cmsghdr) char control[CMSG_SPACE(sizeof(ucred))];
    msghdr msg{};
    msg.msg_iov = &io;
    msg.msg_iovlen = 1;
    msg.msg_control = control;
    msg.msg_controllen = sizeof control;
    // MSG_TRUNC: the result is the message's real length, even when larger.
    const ssize_t n = ::recvmsg(socket_.Get(), &msg, MSG_TRUNC | MSG_DONTWAIT);
    if (n < 0) {
      if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) return Result::TimedOut;
      note = "reading a message failed: " + Reason();
      return Result::Failed;
    }
    const ucred* sender = nullptr;
    for (cmsghdr* c = CMSG_FIRSTHDR(&msg); c; c = CMSG_NXTHDR(&msg, c))
      if (c->cmsg_level == SOL_SOCKET && c->cmsg_type == SCM_CREDENTIALS)
        sender = reinterpret_cast<const ucred*>(CMSG_DATA(c));
    if (!sender || sender->uid != ::geteuid()) {
      note = "a message from another user (process " +
             (sender ? std::to_string(sender->pid) : std::string("unknown")) + ") was dropped";
      return Result::Dropped;
    }
    if (std::size_t(n) > maxSize) {
      note = "a message of " + std::to_string(n) + " bytes is larger than the " +
             std::to_string(maxSize) + "-byte buffer; it was dropped";
      return Result::Dropped;
    }
    buffer.resize(std::size_t(n));
    return Result::Message;
  }

  void Wake() override {
    const std::uint64_t one = 1;
    [[maybe_unused]] auto ignored = ::write(wake_.Get(), &one, sizeof one);
  }

 private:
  Fd socket_;
  Fd wake_;
  int timeoutMs_;
};

}  // namespace

MessageSlot::~MessageSlot() = default;

std::unique_ptr<MessageSlot> MessageSlot::Create(const std::string& path, int readTimeoutMs) {
  return std::make_unique<SocketSlot>(path, readTimeoutMs);
}

void SendToSlot(const std::string& path, std::string_view message) {
  if (message.size() > kMaxSlotMessage)
    throw std::runtime_error("the message has " + std::to_string(message.size()) +
                             " bytes; a slot takes at most " + std::to_string(kMaxSlotMessage));
  Fd s(::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0));
  if (s.Get() < 0) throw std::runtime_error("cannot make a socket: " + Reason());
  const Address address = AddressOf(path);
  for (;;) {
    const ssize_t n = ::sendto(s.Get(), message.data(), message.size(), 0,
                               reinterpret_cast<const sockaddr*>(&address.un), address.length);
    if (n >= 0) return;
    if (errno == EINTR) continue;
    if (errno == ECONNREFUSED || errno == ENOENT)
      throw std::runtime_error("no receiver holds the slot " + path);
    throw std::runtime_error("cannot send to the slot " + path + ": " + Reason());
  }
}

}  // namespace drvx::platform
