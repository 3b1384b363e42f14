#include "engine/integer_text.h"

namespace trelvo::engine {
namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::optional<uint32_t> ParseHexDigits(std::string_view digits) {
  if (digits.empty() || digits.size() > 8) return std::nullopt;
  uint32_t value = 0;
  for (char c : digits) {
    const int digit = HexDigit(c);
    if (digit < 0) return std::nullopt;
    value = value * 16 + static_cast<uint32_t>(digit);
  }
  return value;
}

// Magnitude of a decimal number, refused above limit.
std::optional<uint32_t> ParseDecimalDigits(std::string_view digits, uint32_t limit) {
  if (digits.empty()) return std::nullopt;
  uint64_t value = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + static_cast<uint64_t>(c - '0');
    if (value > limit) return std::nullopt;
  }
  return static_cast<uint32_t>(value);
}

}  // namespace

std::optional<int32_t> ParseInteger(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  bool negative = false;
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }

  std::optional<uint32_t> magnitude;
  if (text.starts_with("0x") || text.starts_with("0X")) {
    magnitude = ParseHexDigits(text.substr(2));
  } else if (text.starts_with("$") || text.starts_with("x") || text.starts_with("X")) {
    magnitude = ParseHexDigits(text.substr(1));
  } else {
    magnitude = ParseDecimalDigits(text, negative ? 2147483648u : 2147483647u);
  }
  if (!magnitude) return std::nullopt;
  // Two's complement: hexadecimal values wrap, as they are bit patterns.
  const uint32_t bits = negative ? 0u - *magnitude : *magnitude;
  return static_cast<int32_t>(bits);
}

}  // namespace trelvo::engine
