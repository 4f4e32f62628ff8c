#include "json_reader.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <memory>
#include <unordered_set>

#include <nlohmann/json.hpp>
#include <rapidjson/memorystream.h>
#include <rapidjson/reader.h>

#include "mmapi/cxx/utf.h"

namespace drvx::modelhost {

// ---- values

JsonType JsonValue::Type() const { return doc_ ? doc_->At(index_).type : JsonType::Null; }

const char* JsonValue::TypeName() const {
  switch (Type()) {
    case JsonType::Null: return "null";
    case JsonType::Object: return "an object";
    case JsonType::Array: return "an array";
    case JsonType::String: return "a string";
    case JsonType::Boolean: return "a boolean";
    case JsonType::Float: return "a fractional number";
    default: return "a number";
  }
}

std::string_view JsonValue::Text() const {
  const auto& node = doc_->At(index_);
  return doc_->TextAt(node.textOffset, node.textLength);
}

bool JsonValue::Boolean() const { return doc_->At(index_).boolean; }
std::int64_t JsonValue::Integer() const { return doc_->At(index_).integer; }
std::uint64_t JsonValue::Unsigned() const { return doc_->At(index_).unsignedInteger; }
double JsonValue::Float() const { return doc_->At(index_).real; }

std::string JsonValue::NumberText() const {
  switch (Type()) {
    case JsonType::Integer: return std::to_string(Integer());
    case JsonType::Unsigned: return std::to_string(Unsigned());
    default: return nlohmann::json(Float()).dump();
  }
}

std::size_t JsonValue::Size() const { return doc_ ? doc_->At(index_).count : 0; }

JsonValue::Iterator JsonValue::begin() const {
  return Iterator(doc_, doc_ ? doc_->At(index_).first : JsonDocument::kNone);
}

JsonValue::Iterator JsonValue::end() const { return Iterator(doc_, JsonDocument::kNone); }

JsonValue::Iterator& JsonValue::Iterator::operator++() {
  index_ = doc_->At(index_).next;
  return *this;
}

std::string_view JsonValue::Key() const {
  const auto& node = doc_->At(index_);
  return doc_->TextAt(node.keyOffset, node.keyLength);
}

JsonValue JsonValue::Find(std::string_view key) const {
  if (Type() != JsonType::Object) return {};
  for (std::uint32_t i = doc_->At(index_).first; i != JsonDocument::kNone;) {
    const auto& node = doc_->At(i);
    if (node.keyLength == key.size() && doc_->TextAt(node.keyOffset, node.keyLength) == key)
      return JsonValue(doc_, i);
    i = node.next;
  }
  return {};
}

// ---- parsing

// Builds the document from nlohmann's parser events, watching the keys of
// every object and knowing the place of every value, and hands the elements
// of streamed lists to the listener as they complete.
class JsonDocumentBuilder {
 public:
  using json = nlohmann::json;
  static constexpr std::uint32_t kNone = JsonDocument::kNone;

  JsonDocumentBuilder(JsonDocument& document, JsonStreamListener* listener)
      : nodes_(document.nodes_), text_(document.text_), doc_(document), listener_(listener) {
    nodes_.clear();
    text_.clear();
  }

  bool null() { return Scalar(Of(JsonType::Null)); }
  bool boolean(bool v) {
    auto node = Of(JsonType::Boolean);
    node.boolean = v;
    return Scalar(node);
  }
  bool number_integer(json::number_integer_t v) {
    auto node = Of(JsonType::Integer);
    node.integer = v;
    return Scalar(node);
  }
  bool number_unsigned(json::number_unsigned_t v) {
    auto node = Of(JsonType::Unsigned);
    node.unsignedInteger = v;
    return Scalar(node);
  }
  bool number_float(json::number_float_t v, std::string_view = {}) {
    auto node = Of(JsonType::Float);
    node.real = v;
    return Scalar(node);
  }
  bool string(std::string_view v) {
    auto node = Of(JsonType::String);
    node.textOffset = Store(v);
    node.textLength = static_cast<std::uint32_t>(v.size());
    return Scalar(node);
  }
  bool binary(json::binary_t&) { return Scalar(Of(JsonType::Null)); }  // not in JSON text

  bool start_object(std::size_t) { return Open(JsonType::Object); }
  bool key(std::string_view k) {
    Frame& frame = frames_.back();
    if (IsKeyTaken(frame, k))
      Fault(Place(frames_.size() - 1), "the field \"" + std::string(k) + "\" is given twice");
    frame.keyOffset = Store(k);
    frame.keyLength = static_cast<std::uint32_t>(k.size());
    if (frame.keys) frame.keys->emplace(k);
    return true;
  }
  bool end_object() { return Close(); }
  bool start_array(std::size_t) { return Open(JsonType::Array); }
  bool end_array() { return Close(); }

  template <class Exception>
  bool parse_error(std::size_t, const std::string&, const Exception& error) {
    throw error;
  }

 private:
  struct Frame {
    std::uint32_t node = 0;
    bool array = false;
    bool streamed = false;
    std::size_t begun = 0;  // elements begun (arrays)
    std::uint32_t keyOffset = 0, keyLength = 0;  // the current key (objects)
    // The keys of an object with many, where looking through them would be slow.
    std::unique_ptr<std::unordered_set<std::string>> keys;
    std::size_t nodesMark = 0, textMark = 0;  // before the current element (streamed lists)
  };
  static constexpr std::uint32_t kManyKeys = 32;

  static JsonDocument::Node Of(JsonType type) {
    JsonDocument::Node node;
    node.type = type;
    return node;
  }

  std::uint32_t Store(std::string_view text) {
    const auto offset = static_cast<std::uint32_t>(text_.size());
    text_.append(text);
    return offset;
  }

  bool IsKeyTaken(Frame& frame, std::string_view key) {
    if (frame.keys) return frame.keys->contains(std::string(key));
    for (JsonValue member : JsonValue(&doc_, frame.node))
      if (member.Key() == key) return true;
    if (nodes_[frame.node].count + 1 == kManyKeys) {
      frame.keys = std::make_unique<std::unordered_set<std::string>>();
      for (JsonValue member : JsonValue(&doc_, frame.node)) frame.keys->emplace(member.Key());
    }
    return false;
  }

  // Adds a value to the document as the next element of the open container.
  std::uint32_t Add(JsonDocument::Node node) {
    const auto index = static_cast<std::uint32_t>(nodes_.size());
    if (frames_.empty()) {
      nodes_.push_back(node);
      return index;
    }
    Frame& frame = frames_.back();
    if (frame.array) {
      ++frame.begun;
      if (frame.streamed) {
        frame.nodesMark = nodes_.size();
        frame.textMark = text_.size();
      }
    } else {
      node.keyOffset = frame.keyOffset;
      node.keyLength = frame.keyLength;
    }
    nodes_.push_back(node);
    JsonDocument::Node& parent = nodes_[frame.node];
    if (parent.last == kNone) parent.first = index;
    else nodes_[parent.last].next = index;
    parent.last = index;
    ++parent.count;
    return index;
  }

  bool Scalar(const JsonDocument::Node& node) {
    const std::uint32_t index = Add(node);
    Completed(index);
    return true;
  }

  bool Open(JsonType type) {
    const bool streamed = type == JsonType::Array && listener_ && frames_.size() == 1 &&
                          !frames_[0].array &&
                          listener_->StreamList(CurrentKey(frames_[0]), JsonValue(&doc_, 0));
    Frame frame;
    frame.node = Add(Of(type));
    frame.array = type == JsonType::Array;
    frame.streamed = streamed;
    frames_.push_back(std::move(frame));
    return true;
  }

  bool Close() {
    const std::uint32_t index = frames_.back().node;
    frames_.pop_back();
    Completed(index);
    return true;
  }

  // A value is complete: an element of a streamed list goes to the listener,
  // then out of the document.
  void Completed(std::uint32_t index) {
    if (frames_.empty() || !frames_.back().streamed) return;
    Frame& list = frames_.back();
    listener_->Element(CurrentKey(frames_[0]), list.begun - 1, JsonValue(&doc_, index));
    nodes_.resize(list.nodesMark);
    text_.resize(list.textMark);
    JsonDocument::Node& node = nodes_[list.node];
    node.first = node.last = kNone;
    node.count = 0;
  }

  std::string_view CurrentKey(const Frame& frame) const {
    return std::string_view(text_).substr(frame.keyOffset, frame.keyLength);
  }

  // The place of the object at frames_[depth], as JsonPlace writes it.
  JsonPlace Place(std::size_t depth) {
    std::string path;
    for (std::size_t i = 0; i < depth; ++i) {
      const Frame& f = frames_[i];
      if (f.array) path += "[" + std::to_string(f.begun - 1) + "]";
      else path += (path.empty() ? "" : ".") + std::string(CurrentKey(f));
    }
    placePath_ = std::move(path);
    return JsonPlace(nullptr, placePath_);
  }

  std::vector<JsonDocument::Node>& nodes_;
  std::string& text_;
  const JsonDocument& doc_;
  JsonStreamListener* listener_;
  std::vector<Frame> frames_;
  std::string placePath_;
};

namespace {

// RapidJSON's events as the builder's. Strings that are not well-formed
// UTF-8 stop it: the exact parser names them.
class QuickEvents {
 public:
  explicit QuickEvents(JsonDocumentBuilder& builder) : builder_(builder) {}
  bool Null() { return builder_.null(); }
  bool Bool(bool v) { return builder_.boolean(v); }
  // Numbers come as text (kParseNumbersAsStringsFlag), read as the exact
  // parser reads them: an integer that fits in 64 bits stays an integer,
  // any other number is a double. A number beyond a double stops the quick
  // parser, and the exact one names it. (RapidJSON's own conversion has
  // undefined behaviour on some inputs, such as "0E112".)
  bool RawNumber(const char* text, rapidjson::SizeType length, bool) {
    const char* end = text + length;
    if (std::none_of(text, end, [](char c) { return c == '.' || c == 'e' || c == 'E'; })) {
      if (*text == '-') {
        std::int64_t v = 0;
        if (const auto r = std::from_chars(text, end, v); r.ec == std::errc() && r.ptr == end)
          return builder_.number_integer(v);
      } else {
        std::uint64_t v = 0;
        if (const auto r = std::from_chars(text, end, v); r.ec == std::errc() && r.ptr == end)
          return builder_.number_unsigned(v);
      }
    }
    double v = 0;
    const auto r = std::from_chars(text, end, v);
    return r.ec == std::errc() && r.ptr == end && builder_.number_float(v);
  }
  // Not called: numbers come as text.
  bool Int(int) { return false; }
  bool Uint(unsigned) { return false; }
  bool Int64(std::int64_t) { return false; }
  bool Uint64(std::uint64_t) { return false; }
  bool Double(double) { return false; }
  bool String(const char* text, rapidjson::SizeType length, bool) {
    const std::string_view v(text, length);
    return mmapi::cxx::IsWellFormedUtf8(v) && builder_.string(v);
  }
  bool StartObject() { return builder_.start_object(0); }
  bool Key(const char* text, rapidjson::SizeType length, bool) {
    const std::string_view k(text, length);
    return mmapi::cxx::IsWellFormedUtf8(k) && builder_.key(k);
  }
  bool EndObject(rapidjson::SizeType) { return builder_.end_object(); }
  bool StartArray() { return builder_.start_array(0); }
  bool EndArray(rapidjson::SizeType) { return builder_.end_array(); }

 private:
  JsonDocumentBuilder& builder_;
};

// A text read piece by piece, as RapidJSON's reader takes it: the current
// character is always in the buffer, and a '\0' follows the last one.
class PieceStream {
 public:
  using Ch = char;

  explicit PieceStream(const JsonPieces& read) : read_(read) { Fill(); }

  Ch Peek() const { return *current_; }
  Ch Take() {
    const Ch c = *current_;
    if (current_ + 1 < end_)
      ++current_;
    else if (current_ != end_)
      Fill();
    return c;
  }
  std::size_t Tell() const { return before_ + std::size_t(current_ - buffer_.data()); }
  // Whether every byte has been taken; a '\0' that RapidJSON took for the
  // end may still be a byte of the text.
  bool AtEnd() const { return current_ == end_; }

  // Only for parsing in place, which is never asked for.
  Ch* PutBegin() { return nullptr; }
  void Put(Ch) {}
  void Flush() {}
  std::size_t PutEnd(Ch*) { return 0; }

 private:
  void Fill() {
    before_ += std::size_t(end_ - buffer_.data());
    const std::size_t n = read_(buffer_.data(), buffer_.size() - 1);
    buffer_[n] = '\0';
    current_ = buffer_.data();
    end_ = current_ + n;  // at the end, current_ == end_ rests on the '\0'
  }

  static constexpr std::size_t kPiece = 256 * 1024;

  const JsonPieces& read_;
  std::vector<char> buffer_ = std::vector<char>(kPiece + 1);
  const char* current_ = buffer_.data();
  const char* end_ = buffer_.data();
  std::size_t before_ = 0;  // bytes of the pieces before this one
};

bool AtEnd(const rapidjson::MemoryStream& stream) { return stream.src_ == stream.end_; }
bool AtEnd(const PieceStream& stream) { return stream.AtEnd(); }

// RapidJSON ends the text at a '\0': one that is a byte of the text is
// trailing text, which the quick parser refuses.
template <class Stream>
bool ParseQuickly(Stream& stream, JsonDocumentBuilder& builder) {
  QuickEvents events(builder);
  rapidjson::Reader reader;
  constexpr unsigned kStrict = rapidjson::kParseIterativeFlag | rapidjson::kParseNumbersAsStringsFlag;
  return !reader.Parse<kStrict>(stream, events).IsError() && AtEnd(stream);
}

// nlohmann-json, too, takes a '\0' for the end of the text: a text holding
// one is refused before it is parsed, naming where it stands.
void RefuseNulBytes(std::string_view text) {
  const std::size_t at = text.find('\0');
  if (at == std::string_view::npos) return;
  const std::string_view before = text.substr(0, at);
  const std::size_t line = 1 + std::size_t(std::count(before.begin(), before.end(), '\n'));
  const std::size_t lineStart = before.rfind('\n');
  const std::size_t column = at - (lineStart == std::string_view::npos ? 0 : lineStart + 1) + 1;
  throw JsonFault{"top level", "a NUL byte at line " + std::to_string(line) + ", column " +
                                   std::to_string(column) + "; a project file is text"};
}

}  // namespace

bool ParseJson(std::string_view text, JsonDocument& document, JsonStreamListener* listener,
               JsonParser parser) {
  JsonDocumentBuilder builder(document, listener);
  if (parser == JsonParser::Exact) {
    RefuseNulBytes(text);
    nlohmann::json::sax_parse(text, &builder);
    return true;
  }
  rapidjson::MemoryStream stream(text.data(), text.size());
  return ParseQuickly(stream, builder);
}

bool ParseJson(const JsonPieces& read, JsonDocument& document, JsonStreamListener* listener) {
  JsonDocumentBuilder builder(document, listener);
  PieceStream stream(read);
  return ParseQuickly(stream, builder);
}

// ---- places

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

// ---- objects

JsonObject::JsonObject(JsonValue value, const JsonPlace& place) : value_(value), place_(place) {
  if (!value.IsObject()) Fault(place, std::string("expected an object, found ") + value.TypeName());
}

void JsonObject::AllowOnly(std::initializer_list<std::string_view> known) const {
  std::string_view first;
  bool found = false;
  for (JsonValue member : value_) {
    const std::string_view key = member.Key();
    bool ok = false;
    for (auto k : known) ok = ok || k == key;
    if (!ok && (!found || key < first)) {
      first = key;
      found = true;
    }
  }
  if (found) Fault(JsonPlace(&place_, first), "unknown field");
}

JsonValue JsonObject::Expect(std::string_view key, JsonType type, const char* expected) const {
  const JsonValue v = value_.Find(key);
  if (!v.Valid()) Fault(place_, "the field \"" + std::string(key) + "\" is missing");
  if (v.Type() != type)
    Fault(JsonPlace(&place_, key), std::string("expected ") + expected + ", found " + v.TypeName());
  return v;
}

std::string_view JsonObject::RequiredText(std::string_view key) const {
  return Expect(key, JsonType::String, "a string").Text();
}

std::u16string JsonObject::String(std::string_view key, std::u16string_view fallback) const {
  if (!Has(key)) return std::u16string(fallback);
  return RequiredString(key);
}

std::u16string JsonObject::RequiredString(std::string_view key) const {
  return mmapi::cxx::ToUtf16(RequiredText(key));
}

std::int32_t JsonObject::Int(std::string_view key, std::int32_t fallback) const {
  return Has(key) ? RequiredInt(key) : fallback;
}

std::int32_t JsonObject::RequiredInt(std::string_view key) const {
  const JsonValue v = value_.Find(key);
  // A whole number beyond 64 bits arrives as a floating-point one; one that
  // fits arrives so only when written with a fraction or an exponent.
  if (v.Type() == JsonType::Float && std::trunc(v.Float()) == v.Float()) {
    if (std::abs(v.Float()) <= double(std::numeric_limits<std::int32_t>::max()))
      Fault(JsonPlace(&place_, key), "the number " + v.NumberText() +
                                         " is not a whole number (it is written with a fraction "
                                         "or an exponent)");
    Fault(JsonPlace(&place_, key), "the number " + v.NumberText() + " does not fit in 32 bits");
  }
  if (!v.Valid()) Fault(place_, "the field \"" + std::string(key) + "\" is missing");
  if (v.Type() != JsonType::Integer && v.Type() != JsonType::Unsigned)
    Fault(JsonPlace(&place_, key), std::string("expected a whole number, found ") + v.TypeName());
  const std::int64_t n = v.Type() == JsonType::Unsigned && v.Unsigned() > INT64_MAX
                             ? std::numeric_limits<std::int64_t>::max()
                             : v.Integer();
  if (n < std::numeric_limits<std::int32_t>::min() || n > std::numeric_limits<std::int32_t>::max())
    Fault(JsonPlace(&place_, key), "the number " + v.NumberText() + " does not fit in 32 bits");
  return static_cast<std::int32_t>(n);
}

bool JsonObject::Bool(std::string_view key, bool fallback) const {
  if (!Has(key)) return fallback;
  return Expect(key, JsonType::Boolean, "true or false").Boolean();
}

int JsonObject::Name(std::string_view key, std::span<const std::string_view> names,
                     int fallback) const {
  if (!Has(key)) return fallback;
  const std::string_view text = RequiredText(key);
  for (std::size_t i = 0; i < names.size(); ++i)
    if (names[i] == text && !names[i].empty()) return static_cast<int>(i);
  std::string list;
  for (auto n : names) {
    if (n.empty() || list.find("\"" + std::string(n) + "\"") != std::string::npos) continue;
    list += (list.empty() ? "\"" : ", \"") + std::string(n) + "\"";
  }
  Fault(JsonPlace(&place_, key), "\"" + std::string(text) + "\" is not one of " + list);
}

JsonValue JsonObject::Array(std::string_view key) const {
  if (!Has(key)) return {};
  return Expect(key, JsonType::Array, "an array");
}

JsonValue JsonObject::Object(std::string_view key) const {
  if (!Has(key)) return {};
  return Expect(key, JsonType::Object, "an object");
}

}  // namespace drvx::modelhost
