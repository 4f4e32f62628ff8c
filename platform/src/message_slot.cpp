#include "drvx/platform/message_slot.h"
#include "message_slot_common.h"

namespace drvx::platform {

std::string SlotPath(std::string_view name) { return "\\\\.\\mailslot\\" + std::string(name); }

namespace slots {

void CheckMessageSize(std::string_view message) {
  if (message.size() > kMaxSlotMessage)
    throw std::runtime_error("the message has " + std::to_string(message.size()) +
                             " bytes; a slot takes at most " + std::to_string(kMaxSlotMessage));
}

std::string OversizeNote(std::size_t size, std::size_t maxSize) {
  return "a message of " + std::to_string(size) + " bytes is larger than the " +
         std::to_string(maxSize) + "-byte buffer; it was dropped";
}

}  // namespace slots
}  // namespace drvx::platform
