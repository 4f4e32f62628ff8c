#include <gtest/gtest.h>

#include "drvx/platform/ansi_text.h"
#include "mmapi/cxx/utf.h"

namespace {

using mmapi::cxx::ToUtf16;
using mmapi::cxx::ToUtf8;

TEST(Utf, RoundTripsEveryPlane) {
  const std::string text = "Größe € 𝄞 ok";
  EXPECT_EQ(ToUtf8(ToUtf16(text)), text);
  EXPECT_EQ(ToUtf16(text).size(), 13u);  // the clef takes a surrogate pair
}

TEST(Utf, MarksMalformedInputInsteadOfDroppingIt) {
  EXPECT_EQ(ToUtf8(std::u16string(u"a") + char16_t(0xD800) + u"b"), "a\xEF\xBF\xBD" "b");
  EXPECT_EQ(ToUtf16("a\xFF" "b"), u"a\uFFFDb");
  EXPECT_EQ(ToUtf16("\xE2\x82"), u"\uFFFD\uFFFD");    // cut-off sequence
  EXPECT_EQ(ToUtf16("\xC0\xAF"), u"\uFFFD\uFFFD");    // overlong form
}

TEST(AnsiText, ReplacesTheTargetAndKeepsCrLf) {
  std::string out = "old content";
  drvx::platform::AnsiFromUtf16(u"line\r\nnext", out);
  EXPECT_EQ(out, "line\r\nnext");
  std::u16string wide = u"old";
  drvx::platform::Utf16FromAnsi("", wide);
  EXPECT_TRUE(wide.empty());
}

}  // namespace
