// The call-list source of the Sequences page: the model's methods and events
// as "Class.Member" entries, and the member an entry names.
#pragma once

#include <string>
#include <vector>

#include "host_api.h"

namespace drvx::codegen {

// "Class.Member" for every method and event, in the model's order of classes
// and members.
std::vector<std::string> MethodEntries(const host::CodeModel& model);

// The first member that "Class.Member" names, class and member compared with
// a-z taken as A-Z; none when nothing matches.
host::Member FindMethodEntry(const host::CodeModel& model, const std::string& entry);

}  // namespace drvx::codegen
