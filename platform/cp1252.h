#pragma once
// Windows-1252 on disk, UTF-8 inside. A character that Windows-1252 cannot hold
// is written as "?"; a byte that is not valid UTF-8 counts as one such character.
#include <string>
#include <string_view>

namespace trelvo::platform {

std::string Cp1252ToUtf8(std::string_view cp1252);
std::string Utf8ToCp1252(std::string_view utf8);

}  // namespace trelvo::platform
