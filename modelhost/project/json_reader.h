// Reading JSON values with the place of every fault: each value knows its
// path from the root ("classes[2].members[0].name").
//
// A text is parsed into a JsonDocument, a flat list of values and one buffer
// for all strings, so that parsing allocates nothing once the buffers have
// grown. A reader may take the elements of large top-level lists one by one
// as the parser completes them (JsonStreamListener): only the element being
// read is held, never the whole text's values.
#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <vector>

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

enum class JsonType : std::uint8_t { Null, Object, Array, String, Boolean, Integer, Unsigned, Float };

class JsonDocument;

// One value of a document: a light handle, valid until the document changes.
// A handle made without a value (`JsonValue()`) is an empty list.
class JsonValue {
 public:
  JsonValue() = default;
  JsonValue(const JsonDocument* document, std::uint32_t index) : doc_(document), index_(index) {}

  JsonType Type() const;
  bool IsObject() const { return Type() == JsonType::Object; }
  bool IsArray() const { return Type() == JsonType::Array; }
  bool IsString() const { return Type() == JsonType::String; }
  // "an object", "a string", ... as a fault names what it found.
  const char* TypeName() const;

  std::string_view Text() const;  // a string's text
  bool Boolean() const;
  std::int64_t Integer() const;
  std::uint64_t Unsigned() const;
  double Float() const;
  // A number as JSON writes it.
  std::string NumberText() const;

  // A container's elements (an object's members) in the order of the text.
  std::size_t Size() const;
  class Iterator;
  Iterator begin() const;
  Iterator end() const;
  // The key of an object's member.
  std::string_view Key() const;
  // The member of an object with this key, or an invalid handle.
  JsonValue Find(std::string_view key) const;
  bool Valid() const { return doc_ != nullptr; }

 private:
  const JsonDocument* doc_ = nullptr;
  std::uint32_t index_ = 0;
};

class JsonValue::Iterator {
 public:
  Iterator(const JsonDocument* document, std::uint32_t index) : doc_(document), index_(index) {}
  JsonValue operator*() const { return JsonValue(doc_, index_); }
  Iterator& operator++();
  bool operator==(const Iterator& other) const { return index_ == other.index_; }

 private:
  const JsonDocument* doc_;
  std::uint32_t index_;
};

// The values of a text, each a node of one list; containers link their
// elements, strings lie in one buffer.
class JsonDocument {
 public:
  static constexpr std::uint32_t kNone = 0xFFFFFFFFu;
  struct Node {
    JsonType type = JsonType::Null;
    bool boolean = false;
    std::uint32_t keyOffset = 0, keyLength = 0;  // an object member's key
    std::uint32_t next = kNone;                  // the next element of the container
    std::uint32_t first = kNone, last = kNone;   // a container's elements
    std::uint32_t count = 0;
    std::uint32_t textOffset = 0, textLength = 0;
    union {
      std::int64_t integer;
      std::uint64_t unsignedInteger;
      double real = 0;
    };
  };

  // The first value of the text (its root).
  JsonValue Root() const { return JsonValue(this, 0); }
  const Node& At(std::uint32_t index) const { return nodes_[index]; }
  // A piece of the string buffer, as the builder recorded it.
  std::string_view TextAt(std::uint32_t offset, std::uint32_t length) const {
    return std::string_view(text_.data() + offset, length);
  }

 private:
  friend class JsonDocumentBuilder;
  std::vector<Node> nodes_;
  std::string text_;
};

// Told of the lists that are values of top-level fields, as they begin.
class JsonStreamListener {
 public:
  // True to receive the list's elements one by one (the list itself stays
  // empty in the document); `root` holds the fields read so far.
  virtual bool StreamList(std::string_view key, JsonValue root) = 0;
  // An element of a streamed list, complete; it is dropped on return.
  virtual void Element(std::string_view key, std::size_t index, JsonValue element) = 0;

 protected:
  ~JsonStreamListener() = default;
};

// The quick parser (RapidJSON) reads a large text in well under half the
// time of the exact one (nlohmann-json), whose messages name a fault of the
// text with its line and column.
enum class JsonParser { Quick, Exact };

// Parses the text into the document. A key given twice in one object is a
// fault at that object ("the field \"name\" is given twice"). The exact
// parser throws nlohmann::json::parse_error for a fault of the text; the
// quick one returns false, having stopped there, and the text is to be
// parsed again by the exact one, which accepts what JSON allows and the
// quick one refuses (a byte order mark), or says what is wrong.
bool ParseJson(std::string_view text, JsonDocument& document, JsonStreamListener* listener,
               JsonParser parser);

// Puts the next bytes of a text into the buffer and returns how many, 0 at
// the end.
using JsonPieces = std::function<std::size_t(char* buffer, std::size_t size)>;
// The quick parser on a text read piece by piece, so that a large text is
// never held whole. Errors of `read` reach the caller as they are.
bool ParseJson(const JsonPieces& read, JsonDocument& document, JsonStreamListener* listener);

// One JSON object being read.
class JsonObject {
 public:
  JsonObject(JsonValue value, const JsonPlace& place);

  const JsonPlace& Place() const { return place_; }
  JsonValue Value() const { return value_; }
  // Fails on any key not in `known` (a misspelt key would otherwise be lost),
  // naming the first such key in byte order.
  void AllowOnly(std::initializer_list<std::string_view> known) const;

  bool Has(std::string_view key) const { return value_.Find(key).Valid(); }
  std::string_view RequiredText(std::string_view key) const;
  std::u16string String(std::string_view key, std::u16string_view fallback = {}) const;
  std::u16string RequiredString(std::string_view key) const;
  std::int32_t Int(std::string_view key, std::int32_t fallback) const;
  std::int32_t RequiredInt(std::string_view key) const;
  bool Bool(std::string_view key, bool fallback) const;
  // The index of the string value in `names`; fallback when the key is absent.
  int Name(std::string_view key, std::span<const std::string_view> names, int fallback) const;
  // The array (an empty one when absent).
  JsonValue Array(std::string_view key) const;
  // A nested object, or an invalid handle when absent.
  JsonValue Object(std::string_view key) const;

 private:
  JsonValue Expect(std::string_view key, JsonType type, const char* expected) const;

  JsonValue value_;
  const JsonPlace& place_;
};

}  // namespace drvx::modelhost
