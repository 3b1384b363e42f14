#include "platform/cp1252.h"

#include <array>
#include <cstdint>

namespace trelvo::platform {
namespace {

// What DecodeUtf8 gives for a sequence that is not valid UTF-8.
constexpr char32_t kInvalid = 0xFFFFFFFF;

// Code points of the bytes 0x80 to 0x9F; 0 marks the five unassigned bytes,
// which are kept as the C1 control characters of the same value.
constexpr std::array<char32_t, 32> kHighControls = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                                    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                                    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                                    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

char32_t CodePointOf(unsigned char byte) {
  if (byte >= 0x80 && byte < 0xA0 && kHighControls[byte - 0x80] != 0) return kHighControls[byte - 0x80];
  return byte;
}


char ByteOf(char32_t c) {
  if (c == kInvalid) return '?';
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<char>(c);
  for (size_t i = 0; i < kHighControls.size(); ++i)
    if (kHighControls[i] == c || (kHighControls[i] == 0 && c == 0x80 + i)) return static_cast<char>(0x80 + i);
  return '?';
}

// The range of the first continuation byte after a lead byte; later
// continuation bytes are always 80 to BF. This excludes overlong forms,
// surrogates and code points beyond U+10FFFF.
struct LeadRule {
  int continuations;
  unsigned char low, high;
};
LeadRule RuleFor(unsigned char lead) {
  if (lead >= 0xC2 && lead <= 0xDF) return {1, 0x80, 0xBF};
  if (lead == 0xE0) return {2, 0xA0, 0xBF};
  if (lead == 0xED) return {2, 0x80, 0x9F};
  if (lead >= 0xE1 && lead <= 0xEF) return {2, 0x80, 0xBF};
  if (lead == 0xF0) return {3, 0x90, 0xBF};
  if (lead >= 0xF1 && lead <= 0xF3) return {3, 0x80, 0xBF};
  if (lead == 0xF4) return {3, 0x80, 0x8F};
  return {-1, 0, 0};
}

// Decodes one UTF-8 sequence at text[i] and advances i past it. An invalid
// sequence gives kInvalid and is skipped as far as it was a valid beginning,
// so the next byte is read afresh.
char32_t DecodeUtf8(std::string_view text, size_t& i) {
  const auto lead = static_cast<unsigned char>(text[i++]);
  if (lead < 0x80) return lead;
  const LeadRule rule = RuleFor(lead);
  if (rule.continuations < 0) return kInvalid;
  char32_t c = lead & (0x3F >> rule.continuations);
  for (int k = 0; k < rule.continuations; ++k) {
    if (i >= text.size()) return kInvalid;
    const auto byte = static_cast<unsigned char>(text[i]);
    const unsigned char low = k == 0 ? rule.low : 0x80;
    const unsigned char high = k == 0 ? rule.high : 0xBF;
    if (byte < low || byte > high) return kInvalid;
    c = (c << 6) | (byte & 0x3F);
    ++i;
  }
  return c;
}

}  // namespace

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

std::string Cp1252ToUtf8(std::string_view cp1252) {
  std::string out;
  out.reserve(cp1252.size());
  for (char byte : cp1252) AppendUtf8(out, CodePointOf(static_cast<unsigned char>(byte)));
  return out;
}

std::string Utf8ToCp1252(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size();) out += ByteOf(DecodeUtf8(utf8, i));
  return out;
}

std::string ValidUtf8(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size();) {
    const char32_t c = DecodeUtf8(utf8, i);
    if (c == kInvalid)
      out += '?';
    else
      AppendUtf8(out, c);
  }
  return out;
}

bool IsValidUtf8(std::string_view text) {
  for (size_t i = 0; i < text.size();)
    if (DecodeUtf8(text, i) == kInvalid) return false;
  return true;
}

std::u16string Utf8ToUtf16(std::string_view utf8) {
  std::u16string out;
  out.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size();) {
    char32_t c = DecodeUtf8(utf8, i);
    if (c == kInvalid) c = U'?';
    if (c < 0x10000) {
      out += static_cast<char16_t>(c);
    } else {
      out += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
      out += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
    }
  }
  return out;
}

std::string Utf16ToUtf8(std::u16string_view utf16) {
  std::string out;
  out.reserve(utf16.size());
  for (size_t i = 0; i < utf16.size(); ++i) {
    char32_t c = utf16[i];
    const bool high = c >= 0xD800 && c < 0xDC00;
    if (high && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 && utf16[i + 1] < 0xE000)
      c = 0x10000 + ((c - 0xD800) << 10) + (utf16[++i] - 0xDC00);
    else if (c >= 0xD800 && c < 0xE000)
      c = U'?';
    AppendUtf8(out, c);
  }
  return out;
}

}  // namespace trelvo::platform
