#include "mmapi/cxx/utf.h"

#include <cstdint>
#include <cstring>
#include <optional>
#include <type_traits>

namespace mmapi::cxx {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

void PutUtf8(char32_t c, std::string& out) {
  if (c < 0x80) {
    out.push_back(char(c));
  } else if (c < 0x800) {
    out.push_back(char(0xC0 | (c >> 6)));
    out.push_back(char(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out.push_back(char(0xE0 | (c >> 12)));
    out.push_back(char(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(char(0x80 | (c & 0x3F)));
  } else {
    out.push_back(char(0xF0 | (c >> 18)));
    out.push_back(char(0x80 | ((c >> 12) & 0x3F)));
    out.push_back(char(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(char(0x80 | (c & 0x3F)));
  }
}

void PutUtf16(char32_t c, std::u16string& out) {
  if (c < 0x10000) {
    out.push_back(char16_t(c));
  } else {
    c -= 0x10000;
    out.push_back(char16_t(0xD800 | (c >> 10)));
    out.push_back(char16_t(0xDC00 | (c & 0x3FF)));
  }
}

// Decodes one UTF-8 sequence at text[i], advancing i; a malformed one
// (overlong, a surrogate, beyond U+10FFFF, cut short) gives nothing and
// consumes its first byte only, so that the next sequence is still seen.
std::optional<char32_t> DecodeUtf8(std::string_view text, std::size_t& i) {
  const unsigned char b0 = static_cast<unsigned char>(text[i++]);
  if (b0 < 0x80) return b0;
  int extra;
  char32_t c;
  char32_t min;
  if ((b0 & 0xE0) == 0xC0) {
    extra = 1, c = b0 & 0x1F, min = 0x80;
  } else if ((b0 & 0xF0) == 0xE0) {
    extra = 2, c = b0 & 0x0F, min = 0x800;
  } else if ((b0 & 0xF8) == 0xF0) {
    extra = 3, c = b0 & 0x07, min = 0x10000;
  } else {
    return std::nullopt;
  }
  if (i + extra > text.size()) return std::nullopt;
  for (int k = 0; k < extra; ++k) {
    const unsigned char b = static_cast<unsigned char>(text[i + k]);
    if ((b & 0xC0) != 0x80) return std::nullopt;
    c = (c << 6) | (b & 0x3F);
  }
  if (c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return std::nullopt;
  i += extra;
  return c;
}

// The next character, a malformed sequence's first byte as U+FFFD or as
// that byte's Latin-1 character.
char32_t NextUtf8(std::string_view text, std::size_t& i, InvalidUtf8 invalid) {
  const unsigned char b0 = static_cast<unsigned char>(text[i]);
  if (const auto c = DecodeUtf8(text, i)) return *c;
  return invalid == InvalidUtf8::Latin1 ? char32_t(b0) : kReplacement;
}

// Appends the leading ASCII characters of text in bulk (names are mostly
// ASCII); returns how many there were.
template <class To, class From>
std::size_t AppendAscii(std::basic_string_view<From> text, std::basic_string<To>& out) {
  std::size_t n = 0;
  while (n < text.size() && static_cast<std::make_unsigned_t<From>>(text[n]) < 0x80) ++n;
  const std::size_t start = out.size();
  out.resize(start + n);
  To* to = out.data() + start;
  for (std::size_t k = 0; k < n; ++k) to[k] = static_cast<To>(text[k]);
  return n;
}

}  // namespace

void AppendUtf8(std::u16string_view text, std::string& out) {
  for (std::size_t i = AppendAscii(text, out); i < text.size(); ++i) {
    char32_t c = text[i];
    if (c < 0x80) {
      out.push_back(char(c));
      continue;
    }
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = kReplacement;
    }
    PutUtf8(c, out);
  }
}

void AppendUtf16(std::string_view text, std::u16string& out, InvalidUtf8 invalid) {
  for (std::size_t i = AppendAscii(text, out); i < text.size();) {
    if (static_cast<unsigned char>(text[i]) < 0x80) {
      out.push_back(char16_t(text[i++]));
      continue;
    }
    PutUtf16(NextUtf8(text, i, invalid), out);
  }
}

bool IsWellFormedUtf8(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size()) {
    std::uint64_t eight;  // eight ASCII bytes at a time
    if (text.size() - i >= sizeof eight) {
      std::memcpy(&eight, text.data() + i, sizeof eight);
      if ((eight & 0x8080808080808080u) == 0) {
        i += sizeof eight;
        continue;
      }
    }
    if (static_cast<unsigned char>(text[i]) < 0x80) ++i;
    else if (!DecodeUtf8(text, i)) return false;
  }
  return true;
}

}  // namespace mmapi::cxx
