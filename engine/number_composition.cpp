#include "engine/number_composition.h"

#include <algorithm>
#include <cstdio>

namespace trelvo::engine {
namespace {

std::string TwoDigits(int value) {
  char text[16];
  std::snprintf(text, sizeof text, "%02d", value);
  return text;
}

}  // namespace

int32_t PaddingToWidth(int32_t padding) { return padding >= kMaxNumberWidth ? kMaxNumberWidth : padding + 1; }

std::string PadNumber(int64_t number, int32_t width) {
  width = std::min(width, kMaxNumberWidth);
  std::string text = std::to_string(number);
  if (width > 0 && text.size() < static_cast<size_t>(width))
    text.insert(0, static_cast<size_t>(width) - text.size(), '0');
  return text;
}

std::string SeparatorText(int32_t separator_kind) {
  switch (separator_kind) {
    case 1: return " ";
    case 2: return "-";
    case 3: return "/";
    case 4: return ".";
    default: return "";
  }
}

std::string DateElementText(DateElement element, const platform::LocalDateTime& date) {
  switch (element) {
    case DateElement::Year4: return PadNumber(date.year, 4);
    case DateElement::Year2: return TwoDigits(date.year % 100);
    case DateElement::Year1: return std::to_string(date.year % 10);
    case DateElement::Month2: return TwoDigits(date.month);
    case DateElement::Month1: return std::to_string(date.month);
    case DateElement::Day2: return TwoDigits(date.day);
  }
  return "";
}

std::string DatePart(int32_t date_kind, int32_t separator_kind, const platform::LocalDateTime& date) {
  if (date_kind < 0 || static_cast<size_t>(date_kind) >= kDateKinds.size()) return "";
  const DateKind& kind = kDateKinds[static_cast<size_t>(date_kind)];
  const std::string separator = SeparatorText(separator_kind);
  std::string part;
  for (int i = 0; i < kind.count; ++i)
    part += (i ? separator : "") + DateElementText(kind.elements[static_cast<size_t>(i)], date);
  return part;
}

std::string ComposeNumber(const NumberFormat& format, int32_t counter, int32_t increment,
                          const platform::LocalDateTime& today) {
  const std::string number = PadNumber(int64_t{counter} + increment, format.width);
  const std::string date = DatePart(format.date_kind, format.separator_kind, today);
  if (format.leading) return format.counter_text + number + format.text_before + date + format.text_after;
  return format.text_before + date + format.text_after + number + format.counter_text;
}

}  // namespace trelvo::engine
