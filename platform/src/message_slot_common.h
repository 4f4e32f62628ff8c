// What the message slots of every system say alike.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace drvx::platform::slots {

// Throws std::runtime_error when a message is larger than a slot takes.
void CheckMessageSize(std::string_view message);
// The note for a message larger than the reader's buffer.
std::string OversizeNote(std::size_t size, std::size_t maxSize);

}  // namespace drvx::platform::slots
