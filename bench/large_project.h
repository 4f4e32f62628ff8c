// The large synthetic project the benchmarks share (made once per process),
// loaded into a substitute host, and the same data as plain 8-bit structs.
#pragma once

#include <string>
#include <vector>

#include "host_session.h"

namespace drvx::bench {

struct PlainLink {
  std::string name;
  int kind;
  std::string targetName;  // the linked element's name
  std::string ownerName;   // for a member: its class's name
};
struct PlainShape {
  std::string caption;
  std::string documentation;
  std::string oneLiner;
  std::string instanceName;
  bool association = false;
  int source = -1, target = -1;  // shape indexes
  std::string targetRole;
  std::vector<PlainLink> links;
};
struct PlainDiagram {
  std::string name;
  int kind;
  std::vector<PlainShape> shapes;
};

struct LargeProject {
  LargeProject();
  modelhost::HostSession session;
  std::vector<PlainDiagram> plain;
};

// Made at the first call. A benchmark that runs plug-in code binds its
// session with a host::HostBinding.
LargeProject& Large();

}  // namespace drvx::bench
