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

std::string Trimmed(std::string_view text) {
  const auto kept = [](char c) { return static_cast<unsigned char>(c) > ' '; };
  size_t begin = 0, end = text.size();
  while (begin < end && !kept(text[begin])) ++begin;
  while (end > begin && !kept(text[end - 1])) --end;
  return std::string(text.substr(begin, end - begin));
}

}  // namespace trelvo::platform
