#include "engine/server/proven_counter.h"

#include <algorithm>
#include <utility>

#include "engine/integer_text.h"

namespace trelvo::engine::server {

std::optional<int64_t> ProvenCounter(const NumberFormat& format, const std::string& number,
                                     const platform::LocalDateTime& day) {
  // Two compositions that differ only in the counter's last digit show where
  // the counter stands: everything before its field and after it is fixed text.
  const std::string one = ComposeNumber(format, 1, 0, day);
  const std::string two = ComposeNumber(format, 2, 0, day);
  const size_t last_digit = static_cast<size_t>(std::mismatch(one.begin(), one.end(), two.begin()).first - one.begin());
  const size_t field = PadNumber(1, format.width).size();
  if (last_digit >= one.size() || last_digit + 1 < field) return std::nullopt;
  const std::string before = one.substr(0, last_digit + 1 - field);
  const std::string after = one.substr(last_digit + 1);
  if (number.size() <= before.size() + after.size() || !number.starts_with(before) || !number.ends_with(after))
    return std::nullopt;
  const std::string digits = number.substr(before.size(), number.size() - before.size() - after.size());
  if (!std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) return std::nullopt;
  const auto value = ParseInteger(digits);
  if (!value) return std::nullopt;
  // The number must be exactly what the draw composes for this value: no
  // other padding, no digits that only look like it.
  if (ComposeNumber(format, *value, 0, day) != number) return std::nullopt;
  return *value;
}

std::optional<platform::LocalDateTime> RecordTime(const std::string& text) {
  // "JJJJ-MM-TT HH:MM:SS" read digit by digit (the C library's scanning is no
  // import of the oldest Windows Trelvo runs on).
  if (text.size() != 19) return std::nullopt;
  const auto field = [&](size_t at, size_t length) -> std::optional<int> {
    int value = 0;
    for (size_t i = at; i < at + length; ++i) {
      if (text[i] < '0' || text[i] > '9') return std::nullopt;
      value = value * 10 + (text[i] - '0');
    }
    return value;
  };
  for (const auto& [at, separator] : {std::pair{4, '-'}, {7, '-'}, {10, ' '}, {13, ':'}, {16, ':'}})
    if (text[at] != separator) return std::nullopt;
  const auto year = field(0, 4), month = field(5, 2), day = field(8, 2), hour = field(11, 2),
             minute = field(14, 2), second = field(17, 2);
  if (!year || !month || !day || !hour || !minute || !second) return std::nullopt;
  return platform::LocalDateTime{*year, *month, *day, *hour, *minute, *second};
}

}  // namespace trelvo::engine::server
