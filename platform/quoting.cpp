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

}  // namespace trelvo::platform
