#include "engine/audit/number_pattern.h"

#include <algorithm>

#include "platform/civil_date.h"

namespace trelvo::engine::audit {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Texts put together piece by piece (GCC 12's -O3 warns falsely on chains of +).
std::string Joined(std::initializer_list<std::string_view> pieces) {
  std::string text;
  for (std::string_view piece : pieces) text.append(piece);
  return text;
}
bool HasDigit(std::string_view text) { return std::any_of(text.begin(), text.end(), IsDigit); }
constexpr size_t kMaxSignificantDigits = 18;

// The value of a counter's digits when a format of that width writes them so:
// no more leading zeros than the width asks for, and a value of 64 bits.
std::optional<int64_t> CounterDigits(std::string_view digits, int32_t width) {
  if (digits.empty() || !std::all_of(digits.begin(), digits.end(), IsDigit)) return std::nullopt;
  const size_t zeros = std::min(digits.find_first_not_of('0'), digits.size() - 1);
  if (digits.size() - zeros > kMaxSignificantDigits) return std::nullopt;
  int64_t value = 0;
  for (char c : digits.substr(zeros)) value = value * 10 + (c - '0');
  if (PadNumber(value, width) != digits) return std::nullopt;
  return value;
}

platform::LocalDateTime DayBefore(const platform::LocalDateTime& day) {
  const auto civil = platform::CivilFromDays(platform::DaysFromCivil({day.year, day.month, day.day}) - 1);
  return {civil.year, civil.month, civil.day, 0, 0, 0};
}

// The texts around the counter of a format on a day: head + counter + tail.
std::pair<std::string, std::string> Around(const NumberFormat& format, const platform::LocalDateTime& day) {
  const std::string date = DatePart(format.date_kind, format.separator_kind, day);
  if (format.leading) return {format.counter_text, Joined({format.text_before, date, format.text_after})};
  return {Joined({format.text_before, date, format.text_after}), format.counter_text};
}

std::optional<CounterInNumber> MatchOnDay(const NumberFormat& format, std::string_view number,
                                          const platform::LocalDateTime& day) {
  const auto [head, tail] = Around(format, day);
  if (number.size() <= head.size() + tail.size() || !number.starts_with(head) || !number.ends_with(tail))
    return std::nullopt;
  const auto value = CounterDigits(number.substr(head.size(), number.size() - head.size() - tail.size()), format.width);
  if (!value) return std::nullopt;
  return CounterInNumber{*value, format, day.year, day.month, Joined({head, "#", tail})};
}

// number = before + date + after + counter + tail, with date the day's date
// part and the texts without digits (the counter in front: tail + counter +
// before + date + after).
std::optional<CounterInNumber> EarlierOnDay(const NumberFormat& present, std::string_view number,
                                            const platform::LocalDateTime& day) {
  const std::string date = DatePart(present.date_kind, present.separator_kind, day);
  const auto non_digits = [&](size_t at) {
    while (at < number.size() && !IsDigit(number[at])) ++at;
    return at;
  };
  const auto digits = [&](size_t at) {
    while (at < number.size() && IsDigit(number[at])) ++at;
    return at;
  };
  NumberFormat format = present;
  format.width = 1;
  size_t counter_at = 0, counter_end = 0;
  if (!present.leading) {
    const size_t date_at = non_digits(0);
    if (number.substr(date_at, date.size()) != date) return std::nullopt;
    counter_at = non_digits(date_at + date.size());
    counter_end = digits(counter_at);
    if (counter_at == counter_end || non_digits(counter_end) != number.size()) return std::nullopt;
    format.text_before = std::string(number.substr(0, date_at));
    format.text_after = std::string(number.substr(date_at + date.size(), counter_at - date_at - date.size()));
    format.counter_text = std::string(number.substr(counter_end));
  } else {
    // The texts hold no digit, so the date part ends at the number's last digit.
    counter_at = non_digits(0);
    size_t date_at = number.size();
    if (!date.empty()) {
      size_t last_digit_end = number.size();
      while (last_digit_end > 0 && !IsDigit(number[last_digit_end - 1])) --last_digit_end;
      if (last_digit_end < date.size() + counter_at + 1) return std::nullopt;
      date_at = last_digit_end - date.size();
      if (number.substr(date_at, date.size()) != date) return std::nullopt;
    }
    counter_end = std::min(digits(counter_at), date_at);
    if (counter_at == counter_end) return std::nullopt;
    format.counter_text = std::string(number.substr(0, counter_at));
    format.text_before = std::string(number.substr(counter_end, date_at - counter_end));
    format.text_after = date.empty() ? "" : std::string(number.substr(date_at + date.size()));
  }
  if (HasDigit(format.text_before) || HasDigit(format.text_after) || HasDigit(format.counter_text)) return std::nullopt;
  // An earlier format's width is not known: any leading zeros are its padding.
  const auto value = CounterDigits(number.substr(counter_at, counter_end - counter_at),
                                   static_cast<int32_t>(std::min<size_t>(counter_end - counter_at, kMaxNumberWidth)));
  if (!value) return std::nullopt;
  return CounterInNumber{*value, format, day.year, day.month,
                         Joined({number.substr(0, counter_at), "#", number.substr(counter_end)})};
}

}  // namespace

std::optional<CounterInNumber> MatchFormat(const NumberFormat& format, std::string_view number,
                                           const platform::LocalDateTime& day) {
  if (auto match = MatchOnDay(format, number, day)) return match;
  return MatchOnDay(format, number, DayBefore(day));
}

std::optional<CounterInNumber> MatchEarlierTexts(const NumberFormat& format, std::string_view number,
                                                 const platform::LocalDateTime& day) {
  if (auto match = EarlierOnDay(format, number, day)) return match;
  return EarlierOnDay(format, number, DayBefore(day));
}

std::optional<CounterInNumber> MatchKnownCounter(const NumberFormat& format, std::string_view number, int64_t counter,
                                                 const platform::LocalDateTime& day) {
  for (const auto& match : {MatchFormat(format, number, day), MatchEarlierTexts(format, number, day)})
    if (match && match->counter == counter) return match;
  return std::nullopt;
}

CounterInNumber OwnSeries(std::string_view number, int64_t counter, const platform::LocalDateTime& day) {
  NumberFormat own;
  own.text_before = std::string(number);
  return {counter, own, day.year, day.month, std::string(number) + "#" + std::to_string(counter)};
}

std::string SeriesName(const NumberFormat& format, int year, int month) {
  std::string date;
  if (format.date_kind >= 0 && static_cast<size_t>(format.date_kind) < kDateKinds.size()) {
    const DateKind& kind = kDateKinds[static_cast<size_t>(format.date_kind)];
    for (int i = 0; i < kind.count; ++i) {
      const DateElement element = kind.elements[static_cast<size_t>(i)];
      std::string text;
      if (element == DateElement::Day2)
        text = "TT";
      else if (month == 0 && element == DateElement::Month2)
        text = "MM";
      else if (month == 0 && element == DateElement::Month1)
        text = "M";
      else
        text = DateElementText(element, {year, month == 0 ? 1 : month, 1, 0, 0, 0});
      if (i) date += SeparatorText(format.separator_kind);
      date += text;
    }
  }
  if (format.leading) return Joined({format.counter_text, "#", format.text_before, date, format.text_after});
  return Joined({format.text_before, date, format.text_after, "#", format.counter_text});
}

std::string SeriesKey(const NumberFormat& format, int year, int month) {
  // The texts may hold any character: their lengths keep the key unambiguous.
  std::string key;
  for (const std::string* text : {&format.text_before, &format.text_after, &format.counter_text})
    key.append(std::to_string(text->size())).append(":").append(*text);
  key.append("|").append(std::to_string(format.date_kind)).append("|");
  key.append(std::to_string(format.separator_kind)).append(format.leading ? "|L" : "|T");
  if (format.date_kind != 0) key.append("|").append(std::to_string(year));
  if (month != 0) key.append("/").append(std::to_string(month));
  return key;
}

}  // namespace trelvo::engine::audit
