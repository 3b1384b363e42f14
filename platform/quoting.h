#pragma once
// Text enclosed in a quote character, each such character inside written twice:
// strings in INI files and fields of the usage log (double quotes), paths and
// user names inside messages (single quotes).
#include <string>
#include <string_view>

namespace trelvo::platform {

std::string Enquoted(std::string_view text, char quote);

// The text with every CR, LF and NUL as a blank: a value of an INI file or a
// field of the usage log stays on its one line (a line break inside it would
// add keys, sections or records).
std::string OnOneLine(std::string_view text);

// The text without leading and trailing blanks and control characters (a
// path typed or read from a list).
std::string Trimmed(std::string_view text);

}  // namespace trelvo::platform
