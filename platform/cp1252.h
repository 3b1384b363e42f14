#pragma once
// Windows-1252 on disk, UTF-8 inside, UTF-16 to the ODBC driver. A character that Windows-1252 cannot hold
// is written as "?". Text that is not valid UTF-8 (overlong forms, surrogates,
// code points beyond U+10FFFF, stray or missing continuation bytes) is never
// passed on: each invalid sequence becomes one "?".
#include <string>
#include <string_view>

namespace trelvo::platform {

// Appends one code point to a UTF-8 text.
void AppendUtf8(std::string& out, char32_t c);
std::string Cp1252ToUtf8(std::string_view cp1252);
std::string Utf8ToCp1252(std::string_view utf8);
// Valid UTF-8 unchanged; each invalid sequence replaced by "?".
std::string ValidUtf8(std::string_view utf8);
// Whether every sequence of text is valid UTF-8 (plain ASCII is).
bool IsValidUtf8(std::string_view text);

// UTF-16 of the ODBC wide functions on every system (an invalid UTF-8
// sequence or a lone surrogate becomes "?").
std::u16string Utf8ToUtf16(std::string_view utf8);
std::string Utf16ToUtf8(std::u16string_view utf16);

}  // namespace trelvo::platform
