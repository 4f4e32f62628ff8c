#include "json_reader.h"

#include <cmath>
#include <limits>
#include <set>
#include <vector>

#include "mmapi/cxx/utf.h"

namespace drvx::modelhost {
namespace {

const char* TypeName(const nlohmann::json& v) {
  switch (v.type()) {
    case nlohmann::json::value_t::null: return "null";
    case nlohmann::json::value_t::object: return "an object";
    case nlohmann::json::value_t::array: return "an array";
    case nlohmann::json::value_t::string: return "a string";
    case nlohmann::json::value_t::boolean: return "a boolean";
    case nlohmann::json::value_t::number_float: return "a fractional number";
    default: return "a number";
  }
}

const nlohmann::json::array_t kNoElements;

// Builds the value with nlohmann's own builder and watches the keys on the
// way, knowing the place of every value.
class DuplicateKeyWatch {
 public:
  using json = nlohmann::json;
  explicit DuplicateKeyWatch(json& root) : builder_(root, true) {}

  bool null() { return Value() && builder_.null(); }
  bool boolean(bool v) { return Value() && builder_.boolean(v); }
  bool number_integer(json::number_integer_t v) { return Value() && builder_.number_integer(v); }
  bool number_unsigned(json::number_unsigned_t v) { return Value() && builder_.number_unsigned(v); }
  bool number_float(json::number_float_t v, const json::string_t& s) {
    return Value() && builder_.number_float(v, s);
  }
  bool string(json::string_t& v) { return Value() && builder_.string(v); }
  bool binary(json::binary_t& v) { return Value() && builder_.binary(v); }
  bool start_object(std::size_t n) {
    Value();
    frames_.push_back({false, -1, {}, {}});
    return builder_.start_object(n);
  }
  bool key(json::string_t& k) {
    Frame& frame = frames_.back();
    if (!frame.keys.insert(k).second)
      Fault(Place(frames_.size() - 1), "the field \"" + k + "\" is given twice");
    frame.key = k;
    return builder_.key(k);
  }
  bool end_object() {
    frames_.pop_back();
    return builder_.end_object();
  }
  bool start_array(std::size_t n) {
    Value();
    frames_.push_back({true, -1, {}, {}});
    return builder_.start_array(n);
  }
  bool end_array() {
    frames_.pop_back();
    return builder_.end_array();
  }
  bool parse_error(std::size_t position, const std::string& token,
                   const nlohmann::detail::exception& error) {
    return builder_.parse_error(position, token, error);
  }

 private:
  struct Frame {
    bool array;
    long index;
    std::set<std::string, std::less<>> keys;
    std::string key;
  };

  // A value begins: in an array it is the next element.
  bool Value() {
    if (!frames_.empty() && frames_.back().array) ++frames_.back().index;
    return true;
  }
  // The path of the object at frames_[depth], as JsonPlace writes it.
  JsonPlace Place(std::size_t depth) const {
    std::string path;
    for (std::size_t i = 0; i < depth; ++i) {
      const Frame& f = frames_[i];
      if (f.array) path += "[" + std::to_string(f.index) + "]";
      else path += (path.empty() ? "" : ".") + f.key;
    }
    placePath_ = path;
    return JsonPlace(nullptr, placePath_);
  }

  nlohmann::detail::json_sax_dom_parser<json> builder_;
  std::vector<Frame> frames_;
  mutable std::string placePath_;
};

}  // namespace

nlohmann::json ParseJsonWithoutDuplicateKeys(std::string_view text) {
  nlohmann::json root;
  DuplicateKeyWatch watch(root);
  nlohmann::json::sax_parse(text, &watch);
  return root;
}

std::string JsonPlace::Path() const {
  std::string head = parent_ ? parent_->Path() : std::string();
  if (index_ != std::size_t(-1)) return head + "[" + std::to_string(index_) + "]";
  if (key_.empty()) return head;
  return head.empty() ? std::string(key_) : head + "." + std::string(key_);
}

void Fault(const JsonPlace& place, const std::string& what) {
  std::string path = place.Path();
  throw JsonFault{path.empty() ? "top level" : path, what};
}

JsonObject::JsonObject(const nlohmann::json& value, const JsonPlace& place)
    : value_(value), place_(place) {
  if (!value.is_object())
    Fault(place, std::string("expected an object, found ") + TypeName(value));
}

void JsonObject::AllowOnly(std::initializer_list<std::string_view> known) const {
  for (const auto& [key, v] : value_.items()) {
    bool ok = false;
    for (auto k : known) ok = ok || k == key;
    if (!ok) Fault(JsonPlace(&place_, key), "unknown field");
  }
}

const nlohmann::json* JsonObject::Find(std::string_view key) const {
  auto it = value_.find(key);
  return it == value_.end() ? nullptr : &*it;
}

bool JsonObject::Has(std::string_view key) const { return Find(key) != nullptr; }

const nlohmann::json& JsonObject::Expect(std::string_view key,
                                         bool (nlohmann::json::*test)() const noexcept,
                                         const char* expected) const {
  const nlohmann::json* v = Find(key);
  if (!v) Fault(place_, "the field \"" + std::string(key) + "\" is missing");
  if (!(v->*test)())
    Fault(JsonPlace(&place_, key), std::string("expected ") + expected + ", found " + TypeName(*v));
  return *v;
}

std::u16string JsonObject::String(std::string_view key, std::u16string_view fallback) const {
  if (!Has(key)) return std::u16string(fallback);
  return RequiredString(key);
}

std::u16string JsonObject::RequiredString(std::string_view key) const {
  return mmapi::cxx::ToUtf16(
      Expect(key, &nlohmann::json::is_string, "a string").get_ref<const std::string&>());
}

std::int32_t JsonObject::Int(std::string_view key, std::int32_t fallback) const {
  return Has(key) ? RequiredInt(key) : fallback;
}

std::int32_t JsonObject::RequiredInt(std::string_view key) const {
  // A whole number beyond 64 bits arrives as a floating-point one.
  if (const nlohmann::json* big = Find(key);
      big && big->is_number_float() && std::trunc(big->get<double>()) == big->get<double>())
    Fault(JsonPlace(&place_, key), "the number " + big->dump() + " does not fit in 32 bits");
  const auto& v = Expect(key, &nlohmann::json::is_number_integer, "a whole number");
  const std::int64_t n = v.is_number_unsigned() && v.get<std::uint64_t>() > INT64_MAX
                             ? std::numeric_limits<std::int64_t>::max()
                             : v.get<std::int64_t>();
  if (n < std::numeric_limits<std::int32_t>::min() || n > std::numeric_limits<std::int32_t>::max())
    Fault(JsonPlace(&place_, key), "the number " + v.dump() + " does not fit in 32 bits");
  return static_cast<std::int32_t>(n);
}

bool JsonObject::Bool(std::string_view key, bool fallback) const {
  if (!Has(key)) return fallback;
  return Expect(key, &nlohmann::json::is_boolean, "true or false").get<bool>();
}

int JsonObject::Name(std::string_view key, std::span<const std::string_view> names,
                     int fallback) const {
  if (!Has(key)) return fallback;
  const auto& text =
      Expect(key, &nlohmann::json::is_string, "a string").get_ref<const std::string&>();
  for (std::size_t i = 0; i < names.size(); ++i)
    if (names[i] == text && !names[i].empty()) return static_cast<int>(i);
  std::string list;
  for (auto n : names) {
    if (n.empty() || list.find("\"" + std::string(n) + "\"") != std::string::npos) continue;
    list += (list.empty() ? "\"" : ", \"") + std::string(n) + "\"";
  }
  Fault(JsonPlace(&place_, key), "\"" + text + "\" is not one of " + list);
}

const nlohmann::json::array_t& JsonObject::Array(std::string_view key) const {
  if (!Has(key)) return kNoElements;
  return Expect(key, &nlohmann::json::is_array, "an array").get_ref<const nlohmann::json::array_t&>();
}

const nlohmann::json* JsonObject::Object(std::string_view key) const {
  if (!Has(key)) return nullptr;
  return &Expect(key, &nlohmann::json::is_object, "an object");
}

}  // namespace drvx::modelhost
