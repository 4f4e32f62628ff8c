#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "e2e/junk_senders.h"

namespace drvx::test {

// Straight to the slot's socket file in the test's runtime folder.
bool SendRawToSlot(const std::string& slotName, const std::string& bytes) {
  const std::string file = std::string(std::getenv("XDG_RUNTIME_DIR")) + "/mailslot." + slotName;
  const int s = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::strncpy(address.sun_path, file.c_str(), sizeof address.sun_path - 1);
  const bool sent = ::sendto(s, bytes.data(), bytes.size(), 0,
                            reinterpret_cast<const sockaddr*>(&address), sizeof address) >= 0;
  ::close(s);
  return sent;
}

struct JunkSenders::State {
  std::vector<pid_t> children;
};

JunkSenders::JunkSenders(int count, const std::function<void(int)>& send)
    : state_(std::make_unique<State>()) {
  for (int i = 0; i < count; ++i) {
    const pid_t child = ::fork();
    if (child == 0) {
      send(i);
      ::_exit(0);
    }
    state_->children.push_back(child);
  }
}

JunkSenders::~JunkSenders() {
  for (const pid_t child : state_->children) {
    if (child <= 0) continue;
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
  }
}

std::size_t JunkSenders::Running() {
  std::size_t running = 0;
  for (pid_t& child : state_->children) {
    int status = 0;
    if (child > 0 && ::waitpid(child, &status, WNOHANG) == child) {
      failures_ += !WIFEXITED(status) || WEXITSTATUS(status) != 0;
      child = 0;
    }
    running += child > 0;
  }
  return running;
}

}  // namespace drvx::test
