#ifdef _WIN32
#include <windows.h>
#endif

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

TEST(Utf, WellFormedUtf8IsTellingEveryMalformedSequence) {
  using mmapi::cxx::IsWellFormedUtf8;
  EXPECT_TRUE(IsWellFormedUtf8(""));
  EXPECT_TRUE(IsWellFormedUtf8("plain ASCII, longer than eight bytes"));
  EXPECT_TRUE(IsWellFormedUtf8("Gr\xC3\xB6\xC3\x9F" "e \xE2\x82\xAC \xF0\x9D\x84\x9E \xEF\xBF\xBD"));
  EXPECT_TRUE(IsWellFormedUtf8("\xF4\x8F\xBF\xBF"));  // U+10FFFF
  for (const char* bad : {"\xC0\xAF", "\xE0\x80\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xF8\x88\x80\x80\x80",
                          "\xFF", "\x80", "\xE2\x82", "12345678\xE2\x82", "abcdefgh\xC3"})
    EXPECT_FALSE(IsWellFormedUtf8(bad)) << bad;
}

TEST(AnsiText, ReplacesTheTargetAndKeepsCrLf) {
  std::string out = "old content";
  drvx::platform::AnsiFromUtf16(u"line\r\nnext", out);
  EXPECT_EQ(out, "line\r\nnext");
  std::u16string wide = u"old";
  drvx::platform::Utf16FromAnsi("", wide);
  EXPECT_TRUE(wide.empty());
}

#ifdef _WIN32
// On Windows the 8-bit text is the system's ANSI code page; a name's host
// form is stable there too.
TEST(AnsiText, IsTheSystemsCodePageAndTheHostFormIsAFixedPoint) {
  using namespace drvx::platform;
  if (GetACP() != 1252) GTEST_SKIP() << "the expectations are those of code page 1252";
  EXPECT_EQ(Utf16FromAnsi("Gr\xf6\xdf" "e \x80"), u"Gr\u00f6\u00dfe \u20ac");
  EXPECT_EQ(AnsiFromUtf16(u"Gr\u00f6\u00dfe \u20ac"), "Gr\xf6\xdf" "e \x80");
  EXPECT_EQ(AnsiFromUtf16(u"\U0001D11E"), "??");  // not in the code page
  for (const std::string text : {"T\xe4", "\xff\x81", "Gr\xc3\xb6", ""}) {
    const std::string once = HostForm(text);
    EXPECT_EQ(HostForm(once), once);
    EXPECT_EQ(Utf16FromAnsi(once), Utf16FromAnsi(text));
  }
  EXPECT_EQ(AnsiCharacterCount("T\xe4\x80"), 3u);
}
#else
// The plug-in's rule for bytes that are not UTF-8: each stands for its
// Latin-1 character, and a name's host form is stable, so names compare
// equal however often they cross.
TEST(AnsiText, InvalidBytesAreLatin1AndTheHostFormIsAFixedPoint) {
  using namespace drvx::platform;
  EXPECT_EQ(Utf16FromAnsi("T\xe4"), u"T\u00e4");
  EXPECT_EQ(Utf16FromAnsi("\xff\xfe"), u"\u00ff\u00fe");
  EXPECT_EQ(Utf16FromAnsi("Gr\xc3\xb6\xc3\x9f" "e"), u"Gr\u00f6\u00dfe");  // valid UTF-8 stays
  for (const std::string text : {"T\xe4", "\xff", "a\xe2\x82", "\xc0\xaf", "Gr\xc3\xb6\xc3\x9f" "e", ""}) {
    const std::string once = HostForm(text);
    EXPECT_EQ(HostForm(once), once);
    EXPECT_EQ(Utf16FromAnsi(once), Utf16FromAnsi(text));
  }
  EXPECT_EQ(HostForm("T\xe4"), "T\xc3\xa4");
  EXPECT_EQ(AnsiCharacterCount("T\xe4"), 2u);
  EXPECT_EQ(AnsiCharacterCount("T\xc3\xa4\xf0\x9d\x84\x9e"), 3u);
}
#endif

}  // namespace
