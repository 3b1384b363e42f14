// Text at the file boundary: Windows-1252 and UTF-8, and values kept on one line.
#include <gtest/gtest.h>

#include "platform/cp1252.h"
#include "platform/quoting.h"

namespace trelvo::platform {
namespace {

TEST(Cp1252, CharactersOfTheCodePageRoundTripAndOthersBecomeAQuestionMark) {
  const std::string bytes = "A\xE4\xF6\xFC\xDF\x80\x96\x9F\xFF";
  EXPECT_EQ(Cp1252ToUtf8(bytes), "Aäöüß€–Ÿÿ");
  EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(bytes)), bytes);
  EXPECT_EQ(Utf8ToCp1252("Ω😀x"), "??x");
}

// Invalid UTF-8 never becomes a control character or a byte of its own choosing.
TEST(Cp1252, InvalidUtf8BecomesQuestionMarks) {
  const struct {
    const char* utf8;
    const char* cp1252;
  } cases[] = {
      {"a\xE0\x80\x8Az", "a???z"},  // overlong line feed
      {"a\xE0\x80\x80z", "a???z"},  // overlong NUL
      {"\xC0\x8A", "??"},           // overlong two-byte form
      {"\xC1\xBF", "??"},
      {"\xED\xA0\x80", "???"},            // a surrogate
      {"\xF4\x90\x80\x80", "????"},       // beyond U+10FFFF
      {"\xF8\x88\x80\x80\x80", "?????"},  // F8 to FF lead nothing
      {"\xFFZ", "?Z"},
      {"\xC3", "?"},  // cut short
      {"\xC3Z", "?Z"},
      {"\x80\xBF", "??"},                         // stray continuation bytes
      {"\xE2\x82\xAC\xF0\x9F\x98\x80", "\x80?"},  // valid: the euro sign, an emoji
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Utf8ToCp1252(c.utf8), c.cp1252) << c.utf8;
    EXPECT_EQ(Utf8ToCp1252(ValidUtf8(c.utf8)), c.cp1252) << c.utf8;
  }
  EXPECT_EQ(ValidUtf8("ä\xE0\x80\x8A€"), "ä???€");
}

TEST(OnOneLine, LineBreaksAndNulBecomeBlanks) {
  EXPECT_EQ(OnOneLine(std::string("a\r\nb\rc\nd\0e", 10)), "a  b c d e");
  EXPECT_EQ(OnOneLine("Müller & Co."), "Müller & Co.");
}

}  // namespace
}  // namespace trelvo::platform
