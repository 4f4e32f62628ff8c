// Reading JSON values with the place of every fault: each value knows its
// path from the root ("classes[2].members[0].name").
#pragma once

#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

namespace drvx::modelhost {

class JsonPlace {
 public:
  JsonPlace() = default;
  JsonPlace(const JsonPlace* parent, std::string_view key) : parent_(parent), key_(key) {}
  JsonPlace(const JsonPlace* parent, std::size_t index) : parent_(parent), index_(index) {}
  std::string Path() const;

 private:
  const JsonPlace* parent_ = nullptr;
  std::string_view key_;
  std::size_t index_ = std::size_t(-1);
};

// Thrown by the accessors; the caller adds the file name.
struct JsonFault {
  std::string path;
  std::string what;
};

[[noreturn]] void Fault(const JsonPlace& place, const std::string& what);

// Parses JSON text into a value; a key given twice in one object is a fault
// at that object ("the field \"name\" is given twice"), as an unknown one
// is. Syntax errors throw nlohmann::json::parse_error.
nlohmann::json ParseJsonWithoutDuplicateKeys(std::string_view text);

// One JSON object being read.
class JsonObject {
 public:
  JsonObject(const nlohmann::json& value, const JsonPlace& place);

  const JsonPlace& Place() const { return place_; }
  // Fails on any key not in `known` (a misspelt key would otherwise be lost).
  void AllowOnly(std::initializer_list<std::string_view> known) const;

  bool Has(std::string_view key) const;
  std::u16string String(std::string_view key, std::u16string_view fallback = {}) const;
  std::u16string RequiredString(std::string_view key) const;
  std::int32_t Int(std::string_view key, std::int32_t fallback) const;
  std::int32_t RequiredInt(std::string_view key) const;
  bool Bool(std::string_view key, bool fallback) const;
  // The index of the string value in `names`; fallback when the key is absent.
  int Name(std::string_view key, std::span<const std::string_view> names, int fallback) const;
  // The array's elements (empty when absent).
  const nlohmann::json::array_t& Array(std::string_view key) const;
  // A nested object, or null when absent.
  const nlohmann::json* Object(std::string_view key) const;

 private:
  const nlohmann::json* Find(std::string_view key) const;
  const nlohmann::json& Expect(std::string_view key, bool (nlohmann::json::*test)() const noexcept,
                               const char* expected) const;

  const nlohmann::json& value_;
  const JsonPlace& place_;
};

}  // namespace drvx::modelhost
