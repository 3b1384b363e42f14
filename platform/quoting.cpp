#include "platform/quoting.h"

namespace trelvo::platform {

std::string Enquoted(std::string_view text, char quote) {
  std::string result(1, quote);
  for (char c : text) {
    if (c == quote) result += quote;
    result += c;
  }
  return result + quote;
}

std::string OnOneLine(std::string_view text) {
  std::string result(text);
  for (char& c : result)
    if (c == '\r' || c == '\n' || c == '\0') c = ' ';
  return result;
}

}  // namespace trelvo::platform
