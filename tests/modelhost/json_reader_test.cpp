// A text parsed from memory and the same text read piece by piece give the
// same document, wherever the pieces end: inside a string, an escape, a
// number or a keyword.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include <nlohmann/json.hpp>

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

// Numbers as the exact parser reads them: an integer that fits in 64 bits
// stays an integer, anything else is a double; what the quick parser
// refuses, the exact one names. Among them inputs on which RapidJSON's own
// conversion had undefined behaviour ("0E112").
TEST(JsonNumbers, AreReadAsTheExactParserReadsThem) {
  for (const std::string number :
       {"0", "-0", "0E112", "-0e-5", "0.0e400", "1", "-1", "2147483648", "9223372036854775807",
        "-9223372036854775808", "-9223372036854775809", "18446744073709551615",
        "18446744073709551616", "1.5", "-2.5e-3", "1.7976931348623157e308", "4.9e-324",
        "1e-400", "1e400", "-1e400", "123456789012345678901234567890", "0.1", "1E+2"}) {
    const std::string text = "[" + number + "]";
    JsonDocument quick, exact;
    const bool quickRead = ParseJson(text, quick, nullptr, JsonParser::Quick);
    try {
      ParseJson(text, exact, nullptr, JsonParser::Exact);
    } catch (const nlohmann::json::exception& e) {
      EXPECT_FALSE(quickRead) << number << ": the exact parser says " << e.what();
      continue;
    }
    if (!quickRead) continue;  // the exact parser reads it instead
    EXPECT_EQ((*quick.Root().begin()).Type(), (*exact.Root().begin()).Type()) << number;
    EXPECT_EQ(Dump(quick.Root()), Dump(exact.Root())) << number;
  }
}

}  // namespace
