#include "drvx/platform/message_slot.h"

namespace drvx::platform {

std::string SlotPath(std::string_view name) { return "\\\\.\\mailslot\\" + std::string(name); }

}  // namespace drvx::platform
