// TTypeMemoryStream: the one binary encoding of the plug-in's files. A growable
// byte buffer with a position, on which flags, 32-bit integers and strings are
// written and read back, little-endian, with no header or tags:
//   flag    1 byte, 1 or 0 (any non-zero byte reads as true)
//   integer 4 bytes, two's complement
//   string  a 4-byte length n, then n bytes of 8-bit text, no terminator
// Reads never fail for lack of data: they read what is there (zeros or an
// empty string past the end). A stream is used by one thread at a time.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace drvx::settings {

class TTypeMemoryStream {
 public:
  std::int32_t Size() const { return static_cast<std::int32_t>(bytes_.size()); }
  std::int32_t Position() const { return position_; }
  void SetPosition(std::int32_t position);
  // Grows with zero bytes or cuts; the position stays where it is.
  void SetSize(std::int32_t size);

  // Replaces the whole content with the file's bytes (the position goes to 0);
  // throws std::runtime_error naming the file when it cannot be read.
  // A regular file of at most maxBytes (platform::ReadWholeFile).
  void LoadFromFile(const std::filesystem::path& path, std::uint64_t maxBytes);
  // Writes the whole content, whatever the position, replacing the file
  // atomically: a crash leaves the old or the new file. Throws on failure,
  // leaving the old file.
  void SaveToFile(const std::filesystem::path& path) const;

  // Copies min(count, Size - Position) bytes and advances; returns how many.
  std::int32_t Read(void* buffer, std::int32_t count);
  // Writes at the position, growing the content as needed, and advances.
  void Write(const void* buffer, std::int32_t count);

  void WriteBoolean(bool value);
  void WriteInteger(std::int32_t value);
  void WriteString(const std::string& value);
  // false at the end of the data.
  bool ReadBoolean();
  // The bytes that are there as the low-order bytes, zeros above.
  std::int32_t ReadInteger();
  // Empty for a length of 0 or less.
  std::string ReadString();
  // As ReadString, but reports a stored length larger than the bytes left:
  // then `value` gets the bytes that are there and the result is false.
  // Nothing larger than the data is ever allocated.
  bool ReadStringChecked(std::string& value);

  const std::vector<std::uint8_t>& Bytes() const { return bytes_; }

 private:
  std::vector<std::uint8_t> bytes_;
  std::int32_t position_ = 0;
};

}  // namespace drvx::settings
