#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "drvx/platform/message_slot.h"
#include "message_slot_common.h"

namespace drvx::platform {
namespace {

std::string Reason() { return std::strerror(errno); }

// A folder only this user can open: a folder of its own, not a link, with no
// rights for anybody else.
void CheckPrivateFolder(const std::string& folder) {
  struct stat info {};
  if (::lstat(folder.c_str(), &info) != 0)
    throw std::runtime_error("cannot use the folder " + folder + " for message slots: " + Reason());
  if (!S_ISDIR(info.st_mode) || info.st_uid != ::geteuid() || (info.st_mode & 077) != 0)
    throw std::runtime_error("the folder " + folder +
                             " is not this user's private folder (it must be a folder owned by "
                             "the user, mode 0700); message slots are not used there");
}

// The folder that holds the user's slot files: $XDG_RUNTIME_DIR, else
// /tmp/dravolex-<uid> (made on first use); either must be private to the user.
std::string SlotFolder() {
  if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && *runtime) {
    CheckPrivateFolder(runtime);
    return runtime;
  }
  const std::string folder = "/tmp/dravolex-" + std::to_string(::geteuid());
  if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
    throw std::runtime_error("cannot make the folder " + folder + " for message slots: " + Reason());
  CheckPrivateFolder(folder);
  return folder;
}

// The file of a slot: "\\.\mailslot\NAME" becomes <folder>/mailslot.NAME,
// with every character outside A-Z a-z 0-9 . _ - replaced by '_'.
std::string SocketFileOf(const std::string& path) {
  const std::string folder = SlotFolder();
  std::string name = path;
  const std::string prefix = SlotPath("");
  if (name.compare(0, prefix.size(), prefix) == 0) name.erase(0, prefix.size());
  for (char& c : name)
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '.' && c != '_' && c != '-') c = '_';
  return folder + "/mailslot." + name;
}

struct Address {
  sockaddr_un un{};
  socklen_t length = 0;
};

Address AddressOf(const std::string& file, const std::string& path) {
  Address a;
  a.un.sun_family = AF_UNIX;
  if (file.size() + 1 > sizeof(a.un.sun_path))
    throw std::runtime_error("the slot " + path + " cannot be used: its file name " + file +
                             " is too long for a socket");
  std::memcpy(a.un.sun_path, file.c_str(), file.size() + 1);
  a.length = socklen_t(offsetof(sockaddr_un, sun_path) + file.size() + 1);
  return a;
}

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
  // Holds the slot by an exclusive lock on "<file>.lock" for as long as it
  // lives (the lock file stays; the lock goes with the process), then binds
  // the socket file, replacing one a receiver that ended left behind.
  SocketSlot(const std::string& path, int readTimeoutMs)
      : file_(SocketFileOf(path)),
        lock_(::open((file_ + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600)),
        socket_(::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0)),
        wake_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)),
        timeoutMs_(readTimeoutMs) {
    if (lock_.Get() < 0 || socket_.Get() < 0 || wake_.Get() < 0)
      throw std::runtime_error("cannot make the slot " + path + ": " + Reason());
    if (::flock(lock_.Get(), LOCK_EX | LOCK_NB) != 0)
      throw std::runtime_error(errno == EWOULDBLOCK
                                   ? "another receiver holds the slot " + path
                                   : "cannot lock the slot " + path + ": " + Reason());
    const Address address = AddressOf(file_, path);
    ::unlink(file_.c_str());
    if (::bind(socket_.Get(), reinterpret_cast<const sockaddr*>(&address.un), address.length) != 0)
      throw std::runtime_error("cannot create the slot " + path + ": " + Reason());
    bound_ = true;
    const int on = 1;
    ::setsockopt(socket_.Get(), SOL_SOCKET, SO_PASSCRED, &on, sizeof on);
  }

  ~SocketSlot() override {
    if (bound_) ::unlink(file_.c_str());  // before the lock goes with lock_
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
      note = slots::OversizeNote(std::size_t(n), maxSize);
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
  std::string file_;
  Fd lock_;
  Fd socket_;
  Fd wake_;
  int timeoutMs_;
  bool bound_ = false;
};

}  // namespace

MessageSlot::~MessageSlot() = default;

std::unique_ptr<MessageSlot> MessageSlot::Create(const std::string& path, int readTimeoutMs) {
  return std::make_unique<SocketSlot>(path, readTimeoutMs);
}

void SendToSlot(const std::string& path, std::string_view message) {
  slots::CheckMessageSize(message);
  const std::string file = SocketFileOf(path);
  struct stat info {};
  if (::lstat(file.c_str(), &info) != 0) throw std::runtime_error("no receiver holds the slot " + path);
  if (!S_ISSOCK(info.st_mode) || info.st_uid != ::geteuid())
    throw std::runtime_error("the slot " + path + " is not this user's (" + file +
                             "); nothing was sent");
  Fd s(::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0));
  if (s.Get() < 0) throw std::runtime_error("cannot make a socket: " + Reason());
  const Address address = AddressOf(file, path);
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
