#include "engine/number_composition.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace trelvo::engine {
namespace {

std::string TwoDigits(int value) {
  char text[16];
  std::snprintf(text, sizeof text, "%02d", value);
  return text;
}

std::string Separator(int32_t separator_kind) {
  switch (separator_kind) {
    case 1: return " ";
    case 2: return "-";
    case 3: return "/";
    case 4: return ".";
    default: return "";
  }
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

std::string DatePart(int32_t date_kind, int32_t separator_kind, const platform::LocalDateTime& date) {
  const std::string yyyy = PadNumber(date.year, 4);
  const std::string yy = TwoDigits(date.year % 100);
  const std::string j = std::to_string(date.year % 10);
  const std::string mm = TwoDigits(date.month);
  const std::string m = std::to_string(date.month);
  const std::string dd = TwoDigits(date.day);

  std::vector<std::string> elements;
  switch (date_kind) {
    case 1: elements = {yyyy}; break;
    case 2: elements = {yy}; break;
    case 3: elements = {yyyy, mm}; break;
    case 4: elements = {yy, mm}; break;
    case 5: elements = {mm, yyyy}; break;
    case 6: elements = {mm, yy}; break;
    case 7: elements = {j}; break;
    case 8: elements = {j, m}; break;
    case 9: elements = {j, mm}; break;
    case 10: elements = {m, j}; break;
    case 11: elements = {mm, j}; break;
    case 12: elements = {dd, mm, yy}; break;
    case 13: elements = {dd, mm, yyyy}; break;
    case 14: elements = {yy, mm, dd}; break;
    case 15: elements = {yyyy, mm, dd}; break;
    default: break;
  }
  const std::string separator = Separator(separator_kind);
  std::string part;
  for (size_t i = 0; i < elements.size(); ++i) part += (i ? separator : "") + elements[i];
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
