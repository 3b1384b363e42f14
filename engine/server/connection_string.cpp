#include "engine/server/connection_string.h"

#include <algorithm>
#include <cctype>
#include <string_view>

namespace trelvo::engine::server {

namespace {

constexpr char kHidden[] = "***";

// The grammar's blank is the space alone.
std::string_view WithoutBlanksAround(std::string_view text) {
  const size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

bool SameLetters(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
  });
}

// A braced value from its opening brace at open: fills the attribute's value
// and answers where its raw text ends (the ";" after the closing brace, or the
// end of the string).
size_t ReadBraced(const std::string& connection, size_t open, ConnectionAttribute& attribute) {
  for (size_t at = open + 1; at < connection.size(); ++at) {
    if (connection[at] != '}') {
      attribute.value += connection[at];
    } else if (at + 1 < connection.size() && connection[at + 1] == '}') {
      attribute.value += '}';
      ++at;
    } else {
      // Anything but blanks between the closing brace and the ";" is outside
      // the grammar; it stays with the value, so that it is hidden with it.
      return std::min(connection.find(';', at + 1), connection.size());
    }
  }
  attribute.unclosed = true;
  return connection.size();
}

void ReplaceEvery(std::string& text, const std::string& secret) {
  for (size_t at = text.find(secret); at != std::string::npos; at = text.find(secret, at + sizeof kHidden - 1))
    text.replace(at, secret.size(), kHidden);
}

}  // namespace

std::vector<ConnectionAttribute> ConnectionAttributes(const std::string& connection) {
  std::vector<ConnectionAttribute> attributes;
  for (size_t at = 0; at < connection.size();) {
    const size_t keyword_at = connection.find_first_not_of(' ', at);
    if (keyword_at == std::string::npos) break;
    const size_t equals = connection.find_first_of("=;", keyword_at);
    if (equals == std::string::npos) break;
    if (connection[equals] == ';') {
      at = equals + 1;
      continue;
    }
    ConnectionAttribute attribute;
    attribute.keyword = connection.substr(keyword_at, equals - keyword_at);
    attribute.raw_at = equals + 1;
    const size_t first = connection.find_first_not_of(' ', attribute.raw_at);
    size_t raw_end;
    if (first != std::string::npos && connection[first] == '{') {
      raw_end = ReadBraced(connection, first, attribute);
    } else {
      raw_end = std::min(connection.find(';', attribute.raw_at), connection.size());
      attribute.value = connection.substr(attribute.raw_at, raw_end - attribute.raw_at);
    }
    attribute.raw = connection.substr(attribute.raw_at, raw_end - attribute.raw_at);
    attributes.push_back(std::move(attribute));
    at = raw_end + 1;
  }
  return attributes;
}

bool IsPassword(const ConnectionAttribute& attribute) {
  // The grammar counts blanks after a keyword as part of it, but a driver that
  // drops them takes the value for the password: it is hidden all the same.
  const std::string_view keyword = WithoutBlanksAround(attribute.keyword);
  return SameLetters(keyword, "PWD") || SameLetters(keyword, "Password");
}

std::string WithoutPassword(const std::string& connection) {
  std::string shown = connection;
  const auto attributes = ConnectionAttributes(connection);
  // From the back, so that the places of the earlier values stay as they are.
  for (auto attribute = attributes.rbegin(); attribute != attributes.rend(); ++attribute)
    if (IsPassword(*attribute) && !attribute->value.empty())
      shown.replace(attribute->raw_at, attribute->raw.size(), kHidden);
  return shown;
}

std::string MaskedIn(std::string text, const std::string& connection) {
  std::vector<std::string> secrets;
  for (const auto& attribute : ConnectionAttributes(connection)) {
    if (!IsPassword(attribute) || attribute.value.empty()) continue;
    // As written, as the driver reads it, and without the blanks around it
    // (a message may quote the password without them).
    for (std::string_view spelling :
         {WithoutBlanksAround(attribute.raw), std::string_view(attribute.value), WithoutBlanksAround(attribute.value)})
      if (!spelling.empty()) secrets.emplace_back(spelling);
  }
  // The longest first: a braced spelling goes whole before the value inside it.
  std::sort(secrets.begin(), secrets.end(),
            [](const std::string& a, const std::string& b) { return a.size() > b.size(); });
  for (const auto& secret : secrets) ReplaceEvery(text, secret);
  return text;
}

}  // namespace trelvo::engine::server
