#include "engine/audit/number_pattern.h"

#include <algorithm>

namespace trelvo::engine::audit {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
constexpr size_t kMaxCounterDigits = 18;

int64_t ValueOf(std::string_view digits) {
  int64_t value = 0;
  for (char c : digits) value = value * 10 + (c - '0');
  return value;
}

}  // namespace

NumberPattern::NumberPattern(const NumberFormat& format) {
  const auto literal = [&](const std::string& text) {
    if (!text.empty()) tokens_.push_back({Token::Kind::Literal, text});
  };
  // The date part's shape, from a day whose month and day have two digits; a
  // month of one or two digits (the kinds with "M") may have either.
  const bool short_month = format.date_kind == 8 || format.date_kind == 10;
  const std::string sample = DatePart(format.date_kind, format.separator_kind, {2026, 12, 28, 0, 0, 0});
  const auto date = [&] {
    size_t at = 0;
    int run = 0;
    while (at < sample.size()) {
      if (!IsDigit(sample[at])) {
        size_t end = at;
        while (end < sample.size() && !IsDigit(sample[end])) ++end;
        literal(sample.substr(at, end - at));
        at = end;
        continue;
      }
      size_t end = at;
      while (end < sample.size() && IsDigit(sample[end])) ++end;
      const size_t length = end - at;
      const bool month = short_month && run == (format.date_kind == 8 ? 1 : 0);
      tokens_.push_back({Token::Kind::Digits, "", month ? 1 : length, length});
      ++run;
      at = end;
    }
  };
  const Token counter{Token::Kind::Counter, "", static_cast<size_t>(format.width > 1 ? format.width : 1),
                      kMaxCounterDigits};
  if (format.leading) {
    literal(format.counter_text);
    tokens_.push_back(counter);
    literal(format.text_before);
    date();
    literal(format.text_after);
  } else {
    literal(format.text_before);
    date();
    literal(format.text_after);
    tokens_.push_back(counter);
    literal(format.counter_text);
  }
}

bool NumberPattern::MatchFrom(size_t token, std::string_view number, size_t at, size_t& counter_at,
                              size_t& counter_end) const {
  if (token == tokens_.size()) return at == number.size();
  const Token& t = tokens_[token];
  if (t.kind == Token::Kind::Literal)
    return number.substr(at, t.text.size()) == t.text &&
           MatchFrom(token + 1, number, at + t.text.size(), counter_at, counter_end);
  size_t digits = 0;
  while (at + digits < number.size() && IsDigit(number[at + digits]) && digits < t.max) ++digits;
  for (size_t length = digits; length >= t.min && length > 0; --length) {
    if (t.kind == Token::Kind::Counter) counter_at = at, counter_end = at + length;
    if (MatchFrom(token + 1, number, at + length, counter_at, counter_end)) return true;
  }
  return false;
}

std::optional<CounterInNumber> NumberPattern::Match(std::string_view number) const {
  size_t counter_at = 0, counter_end = 0;
  if (!MatchFrom(0, number, 0, counter_at, counter_end)) return std::nullopt;
  return CounterInNumber{std::string(number.substr(0, counter_at)) + "#" + std::string(number.substr(counter_end)),
                         ValueOf(number.substr(counter_at, counter_end - counter_at))};
}

std::optional<CounterInNumber> CounterOfValue(std::string_view number, bool leading, std::optional<int64_t> wanted) {
  // The run of digits at the counter's end of the number.
  size_t begin = 0, end = number.size();
  if (leading) {
    while (begin < end && !IsDigit(number[begin])) ++begin;
    end = begin;
    while (end < number.size() && IsDigit(number[end])) ++end;
  } else {
    while (end > 0 && !IsDigit(number[end - 1])) --end;
    begin = end;
    while (begin > 0 && IsDigit(number[begin - 1])) --begin;
  }
  if (begin == end) return std::nullopt;
  if (!wanted) {
    const size_t length = std::min(end - begin, kMaxCounterDigits);
    const size_t from = leading ? begin : end - length;
    return CounterInNumber{std::string(number.substr(0, from)) + "#" + std::string(number.substr(from + length)),
                           ValueOf(number.substr(from, length))};
  }
  // The shortest stretch of it, counted from the counter's side, that holds the value.
  for (size_t length = 1; length <= end - begin && length <= kMaxCounterDigits; ++length) {
    const size_t from = leading ? begin : end - length;
    if (ValueOf(number.substr(from, length)) != *wanted) continue;
    // Leading zeros belong to the counter's padding.
    size_t padded = from;
    if (!leading)
      while (padded > begin && number[padded - 1] == '0') --padded;
    return CounterInNumber{std::string(number.substr(0, padded)) + "#" + std::string(number.substr(from + length)),
                           *wanted};
  }
  return std::nullopt;
}

}  // namespace trelvo::engine::audit
