#pragma once
// Text enclosed in a quote character, each such character inside written twice:
// strings in INI files and fields of the usage log (double quotes), paths and
// user names inside messages (single quotes).
#include <string>
#include <string_view>

namespace trelvo::platform {

std::string Enquoted(std::string_view text, char quote);

}  // namespace trelvo::platform
