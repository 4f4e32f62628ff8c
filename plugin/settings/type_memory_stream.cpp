#include "type_memory_stream.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <stdexcept>

#include "drvx/platform/files.h"

namespace drvx::settings {

void TTypeMemoryStream::SetPosition(std::int32_t position) { position_ = std::max(0, position); }

void TTypeMemoryStream::SetSize(std::int32_t size) { bytes_.resize(std::size_t(std::max(0, size))); }

void TTypeMemoryStream::LoadFromFile(const std::filesystem::path& path, std::uint64_t maxBytes) {
  const std::string content = platform::ReadWholeFile(
      path, std::min<std::uint64_t>(maxBytes, std::numeric_limits<std::int32_t>::max()));
  bytes_.assign(content.begin(), content.end());
  position_ = 0;
}

void TTypeMemoryStream::SaveToFile(const std::filesystem::path& path) const {
  platform::WriteFileAtomically(
      path, std::string_view(reinterpret_cast<const char*>(bytes_.data()), bytes_.size()));
}

std::int32_t TTypeMemoryStream::Read(void* buffer, std::int32_t count) {
  const std::int32_t available = std::max(0, Size() - position_);
  const std::int32_t n = std::clamp(count, 0, available);
  if (n > 0) std::memcpy(buffer, bytes_.data() + position_, std::size_t(n));
  position_ += n;
  return n;
}

void TTypeMemoryStream::Write(const void* buffer, std::int32_t count) {
  if (count <= 0) return;
  const std::size_t end = std::size_t(position_) + std::size_t(count);
  if (end > bytes_.size()) bytes_.resize(end);
  std::memcpy(bytes_.data() + position_, buffer, std::size_t(count));
  position_ += count;
}

void TTypeMemoryStream::WriteBoolean(bool value) {
  const std::uint8_t byte = value ? 1 : 0;
  Write(&byte, 1);
}

void TTypeMemoryStream::WriteInteger(std::int32_t value) {
  const auto u = static_cast<std::uint32_t>(value);
  const std::uint8_t bytes[4] = {std::uint8_t(u), std::uint8_t(u >> 8), std::uint8_t(u >> 16),
                                 std::uint8_t(u >> 24)};
  Write(bytes, 4);
}

void TTypeMemoryStream::WriteString(const std::string& value) {
  WriteInteger(static_cast<std::int32_t>(value.size()));
  Write(value.data(), static_cast<std::int32_t>(value.size()));
}

bool TTypeMemoryStream::ReadBoolean() {
  std::uint8_t byte = 0;
  Read(&byte, 1);
  return byte != 0;
}

std::int32_t TTypeMemoryStream::ReadInteger() {
  std::uint8_t bytes[4] = {0, 0, 0, 0};
  Read(bytes, 4);
  return static_cast<std::int32_t>(std::uint32_t(bytes[0]) | std::uint32_t(bytes[1]) << 8 |
                                   std::uint32_t(bytes[2]) << 16 | std::uint32_t(bytes[3]) << 24);
}

std::string TTypeMemoryStream::ReadString() {
  std::string value;
  ReadStringChecked(value);
  return value;
}

bool TTypeMemoryStream::ReadStringChecked(std::string& value) {
  const std::int32_t length = ReadInteger();
  value.clear();
  if (length <= 0) return true;
  const std::int32_t available = std::max(0, Size() - position_);
  value.resize(std::size_t(std::min(length, available)));
  Read(value.data(), static_cast<std::int32_t>(value.size()));
  return length <= available;
}

}  // namespace drvx::settings
