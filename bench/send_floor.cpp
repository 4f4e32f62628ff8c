#include "send_floor.h"

#include <sys/socket.h>
#include <sys/time.h>
#include <sys/un.h>
#include <unistd.h>

#include "slot_file.h"

namespace drvx::bench {

SendFloor::Drain::Drain(std::function<void()> readOne)
    : read_(std::move(readOne)), thread_([this] {
        while (!stop_) read_();
      }) {}

SendFloor::Drain::~Drain() {
  stop_ = true;
  thread_.join();
}

SendFloor::SendFloor(const std::string& slot)
    : path_(SlotFile(slot)), slotBuffer_(65536), pairBuffer_(65536) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (path_.size() >= sizeof address.sun_path) {
    failure_ = "the slot path is too long for a socket address";
    return;
  }
  path_.copy(address.sun_path, path_.size());
  slotReceiver_ = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  ::unlink(path_.c_str());
  if (::bind(slotReceiver_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    failure_ = "cannot bind the slot";
    return;
  }
  if (::socketpair(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0, pair_) != 0) {
    failure_ = "no socket pair";
    return;
  }
  // Short time-outs, so that the drains see that they should stop.
  timeval timeout{0, 20000};
  ::setsockopt(pair_[1], SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
  ::setsockopt(slotReceiver_, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
  drains_.push_back(std::make_unique<Drain>([this] {
    [[maybe_unused]] auto n = ::recv(pair_[1], pairBuffer_.data(), pairBuffer_.size(), 0);
  }));
  drains_.push_back(std::make_unique<Drain>([this] {
    [[maybe_unused]] auto n = ::recv(slotReceiver_, slotBuffer_.data(), slotBuffer_.size(), 0);
  }));
}

SendFloor::~SendFloor() {
  drains_.clear();  // the threads stop before their sockets close
  for (int fd : {slotReceiver_, pair_[0], pair_[1]})
    if (fd >= 0) ::close(fd);
  ::unlink(path_.c_str());
}

bool SendFloor::SendBare(const std::string& message) const {
  return ::send(pair_[0], message.data(), message.size(), MSG_DONTWAIT) >= 0;
}

}  // namespace drvx::bench
