// Where a slot's senders send on Linux, for benchmarks whose receivers are
// plain sockets bound there.
#pragma once

#include <unistd.h>

#include <cstdlib>
#include <string>

namespace drvx::bench {

// The socket file "mailslot.NAME" in the user's runtime folder (the name is
// one of letters, digits and '-').
inline std::string SlotFile(const std::string& name) {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  const std::string folder = runtime && runtime[0] == '/'
                                 ? std::string(runtime)
                                 : "/tmp/dravolex-" + std::to_string(::geteuid());
  return folder + "/mailslot." + name;
}

}  // namespace drvx::bench
