#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <sys/un.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <utility>

#include "drvx/platform/message_slot.h"
#include "message_slot_common.h"

namespace drvx::platform {
namespace {

std::string Reason() { return std::strerror(errno); }

class Fd {
 public:
  explicit Fd(int fd = -1) : fd_(fd) {}
  ~Fd() {
    if (fd_ >= 0) ::close(fd_);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(Fd&& other) noexcept {
    std::swap(fd_, other.fd_);
    return *this;
  }
  int Get() const { return fd_; }

 private:
  int fd_;
};

// The folder that holds the user's slot files, opened once and checked
// through the opened descriptor: $XDG_RUNTIME_DIR when it is absolute (the
// XDG rules ignore a relative one), else /tmp/dravolex-<uid> (made on first
// use). It must be a real folder of the user's own with no rights for
// anybody else. Every later use goes through the descriptor (the *at calls,
// and "/proc/self/fd/N/..." for socket addresses), so a folder exchanged for
// another after the check is never used, and the folder's path may be of
// any length.
class SlotFolder {
 public:
  SlotFolder() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && runtime[0] == '/') {
      path_ = runtime;
    } else {
      path_ = "/tmp/dravolex-" + std::to_string(::geteuid());
      if (::mkdir(path_.c_str(), 0700) != 0 && errno != EEXIST)
        throw std::runtime_error("cannot make the folder " + path_ + " for message slots: " + Reason());
    }
    fd_ = Fd(::open(path_.c_str(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (fd_.Get() < 0) {
      struct stat info {};
      if ((errno == ELOOP || errno == ENOTDIR) && ::lstat(path_.c_str(), &info) == 0 &&
          S_ISLNK(info.st_mode))
        throw std::runtime_error("the folder " + path_ +
                                 " is a symbolic link; message slots are only made in a real "
                                 "folder of the user's own");
      throw std::runtime_error("cannot use the folder " + path_ + " for message slots: " + Reason());
    }
    struct stat info {};
    if (::fstat(fd_.Get(), &info) != 0)
      throw std::runtime_error("cannot use the folder " + path_ + " for message slots: " + Reason());
    if (info.st_uid != ::geteuid() || (info.st_mode & 077) != 0)
      throw std::runtime_error("the folder " + path_ +
                               " is not this user's private folder (it must be a folder owned by "
                               "the user, mode 0700); message slots are not used there");
  }

  int Get() const { return fd_.Get(); }
  // The folder's path, for messages.
  const std::string& Path() const { return path_; }
  // A file of the folder as a path that reaches it through the descriptor.
  std::string Through(const std::string& name) const {
    return "/proc/self/fd/" + std::to_string(fd_.Get()) + "/" + name;
  }

 private:
  std::string path_;
  Fd fd_;
};

// The file name of a slot: "\\.\mailslot\NAME" becomes "mailslot.NAME",
// with every character outside A-Z a-z 0-9 . _ - replaced by '_'.
std::string SocketNameOf(const std::string& path) {
  std::string name = path;
  const std::string prefix = SlotPath("");
  if (name.compare(0, prefix.size(), prefix) == 0) name.erase(0, prefix.size());
  for (char& c : name)
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '.' && c != '_' && c != '-') c = '_';
  return "mailslot." + name;
}

struct Address {
  sockaddr_un un{};
  socklen_t length = 0;
};

Address AddressOf(const std::string& file, const std::string& path) {
  Address a;
  a.un.sun_family = AF_UNIX;
  if (file.size() + 1 > sizeof(a.un.sun_path))
    throw std::runtime_error("the slot " + path + " cannot be used: its name is too long for a "
                             "socket address");
  std::memcpy(a.un.sun_path, file.c_str(), file.size() + 1);
  a.length = socklen_t(offsetof(sockaddr_un, sun_path) + file.size() + 1);
  return a;
}

// What a folder entry is, without following a link; nullopt when there is none.
std::optional<struct stat> EntryOf(const SlotFolder& folder, const std::string& name) {
  struct stat info {};
  if (::fstatat(folder.Get(), name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) return std::nullopt;
  return info;
}

class SocketSlot final : public MessageSlot {
 public:
  // Holds the slot by an exclusive lock on "<file>.lock" for as long as it
  // lives (the lock file stays; the lock goes with the process), then binds
  // the socket file, replacing a socket of this user that a receiver that
  // ended left behind; anything else in its place stays and is named.
  SocketSlot(const std::string& path, int readTimeoutMs)
      : name_(SocketNameOf(path)),
        socket_(::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0)),
        wake_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)),
        timeoutMs_(readTimeoutMs) {
    if (socket_.Get() < 0 || wake_.Get() < 0)
      throw std::runtime_error("cannot make the slot " + path + ": " + Reason());
    const std::string lockName = name_ + ".lock";
    lock_ = Fd(::openat(folder_.Get(), lockName.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW,
                        0600));
    if (lock_.Get() < 0) {
      const auto entry = EntryOf(folder_, lockName);
      if (entry && S_ISLNK(entry->st_mode))
        throw std::runtime_error("cannot make the slot " + path + ": its lock file " +
                                 folder_.Path() + "/" + lockName +
                                 " is a symbolic link, which is not followed");
      throw std::runtime_error("cannot make the slot " + path + ": its lock file " +
                               folder_.Path() + "/" + lockName + " cannot be opened: " + Reason());
    }
    if (::flock(lock_.Get(), LOCK_EX | LOCK_NB) != 0) {
      if (errno == EWOULDBLOCK) throw SlotHeld("another receiver holds the slot " + path);
      throw std::runtime_error("cannot lock the slot " + path + ": " + Reason());
    }
    if (const auto entry = EntryOf(folder_, name_)) {
      if (!S_ISSOCK(entry->st_mode) || entry->st_uid != ::geteuid())
        throw std::runtime_error("cannot make the slot " + path + ": " + folder_.Path() + "/" +
                                 name_ + " is not a socket of this user's; it is left as it is");
      ::unlinkat(folder_.Get(), name_.c_str(), 0);
    }
    // Credentials before the name: a message that arrives at once has them.
    const int on = 1;
    if (::setsockopt(socket_.Get(), SOL_SOCKET, SO_PASSCRED, &on, sizeof on) != 0)
      throw std::runtime_error("cannot make the slot " + path + ": " + Reason());
    const Address address = AddressOf(folder_.Through(name_), path);
    if (::bind(socket_.Get(), reinterpret_cast<const sockaddr*>(&address.un), address.length) != 0)
      throw std::runtime_error("cannot create the slot " + path + ": " + Reason());
    if (const auto entry = EntryOf(folder_, name_)) bound_ = *entry;
  }

  // Removes the socket file only when it is still the one bound here.
  ~SocketSlot() override {
    if (!bound_) return;
    const auto entry = EntryOf(folder_, name_);
    if (entry && entry->st_dev == bound_->st_dev && entry->st_ino == bound_->st_ino)
      ::unlinkat(folder_.Get(), name_.c_str(), 0);  // before the lock goes with lock_
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
  SlotFolder folder_;
  std::string name_;
  Fd lock_;
  Fd socket_;
  Fd wake_;
  int timeoutMs_;
  std::optional<struct stat> bound_;  // the socket file as bound
};

}  // namespace

MessageSlot::~MessageSlot() = default;

std::unique_ptr<MessageSlot> MessageSlot::Create(const std::string& path, int readTimeoutMs) {
  return std::make_unique<SocketSlot>(path, readTimeoutMs);
}

void SendToSlot(const std::string& path, std::string_view message, int timeoutMs) {
  slots::CheckMessageSize(message);
  const SlotFolder folder;
  const std::string name = SocketNameOf(path);
  const auto entry = EntryOf(folder, name);
  if (!entry) throw std::runtime_error("no receiver holds the slot " + path);
  if (!S_ISSOCK(entry->st_mode) || entry->st_uid != ::geteuid())
    throw std::runtime_error("the slot " + path + " is not this user's (" + folder.Path() + "/" +
                             name + "); nothing was sent");
  Fd s(::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0));
  if (s.Get() < 0) throw std::runtime_error("cannot make a socket: " + Reason());
  // A receiver whose queue is full makes a send wait: at most this long.
  const timeval wait{timeoutMs / 1000, (timeoutMs % 1000) * 1000};
  ::setsockopt(s.Get(), SOL_SOCKET, SO_SNDTIMEO, &wait, sizeof wait);
  const int flags = MSG_NOSIGNAL | (timeoutMs <= 0 ? MSG_DONTWAIT : 0);
  const Address address = AddressOf(folder.Through(name), path);
  for (;;) {
    const ssize_t n = ::sendto(s.Get(), message.data(), message.size(), flags,
                               reinterpret_cast<const sockaddr*>(&address.un), address.length);
    if (n >= 0) return;
    if (errno == EINTR) continue;
    if (errno == ECONNREFUSED || errno == ENOENT)
      throw std::runtime_error("no receiver holds the slot " + path);
    if (errno == EAGAIN || errno == EWOULDBLOCK)
      throw SlotTimedOut("the receiver of the slot " + path + " did not take the message within " +
                         std::to_string(std::max(0, timeoutMs)) +
                         " ms (it holds the slot but does not read); nothing was sent");
    throw std::runtime_error("cannot send to the slot " + path + ": " + Reason());
  }
}

}  // namespace drvx::platform
