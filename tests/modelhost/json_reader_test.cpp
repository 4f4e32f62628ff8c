// A text parsed from memory and the same text read piece by piece give the
// same document, wherever the pieces end: inside a string, an escape, a
// number or a keyword.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "json_reader.h"

namespace {

using namespace drvx::modelhost;

// The document written back as text, to compare two of them.
std::string Dump(JsonValue value) {
  switch (value.Type()) {
    case JsonType::Null: return "null";
    case JsonType::Boolean: return value.Boolean() ? "true" : "false";
    case JsonType::String: return "\"" + std::string(value.Text()) + "\"";
    case JsonType::Object:
    case JsonType::Array: {
      const bool object = value.IsObject();
      std::string out = object ? "{" : "[";
      for (JsonValue element : value) {
        if (object) out += std::string(element.Key()) + ":";
        out += Dump(element) + ",";
      }
      return out + (object ? "}" : "]");
    }
    default: return value.NumberText();
  }
}

// The text in pieces of at most `piece` bytes.
JsonPieces InPieces(const std::string& text, std::size_t piece) {
  return [&text, piece, at = std::size_t(0)](char* buffer, std::size_t size) mutable {
    const std::size_t n = std::min({piece, size, text.size() - at});
    text.copy(buffer, n, at);
    at += n;
    return n;
  };
}

const std::string kText =
    R"( {"name": "caf\u00e9 \"quoted\" \\ tab\t", "numbers": [0, -12, 18446744073709551615,)"
    R"( 1.5e-3, 123456789.25], "flags": [true, false, null], "nested": {"empty": {}, "list": [[]]},)"
    " \"utf8\": \"\xC3\xA4\xE2\x82\xAC\xF0\x9F\x98\x80\"} ";

TEST(JsonPieces, GiveTheDocumentOfTheWholeText) {
  JsonDocument whole;
  ASSERT_TRUE(ParseJson(kText, whole, nullptr, JsonParser::Quick));
  const std::string expected = Dump(whole.Root());
  EXPECT_NE(expected.find("18446744073709551615"), std::string::npos) << expected;
  for (std::size_t piece = 1; piece <= kText.size(); piece += piece < 16 ? 1 : 37) {
    JsonDocument pieces;
    ASSERT_TRUE(ParseJson(InPieces(kText, piece), pieces, nullptr)) << "pieces of " << piece;
    EXPECT_EQ(Dump(pieces.Root()), expected) << "pieces of " << piece;
  }
}

TEST(JsonPieces, RefuseWhatTheWholeTextRefuses) {
  for (const std::string text : {"{\"a\": 1", "{\"a\": 1} x", "\xEF\xBB\xBF{}", "{\"a\": \"\xC3\"}", ""}) {
    JsonDocument document;
    EXPECT_FALSE(ParseJson(InPieces(text, 2), document, nullptr)) << text;
  }
}

}  // namespace
