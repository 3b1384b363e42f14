#include "engine/counter_period.h"

#include <algorithm>
#include <cstdio>

#include "engine/integer_text.h"

namespace trelvo::engine {
namespace {

bool Shows(const NumberFormat& format, std::initializer_list<DateElement> wanted) {
  if (format.date_kind < 0 || format.date_kind >= static_cast<int32_t>(kDateKinds.size())) return false;
  const DateKind& kind = kDateKinds[static_cast<size_t>(format.date_kind)];
  return std::any_of(kind.elements.begin(), kind.elements.begin() + kind.count, [&](DateElement element) {
    return std::find(wanted.begin(), wanted.end(), element) != wanted.end();
  });
}

bool Digits(const std::string& text, size_t from, size_t count) {
  if (text.size() < from + count) return false;
  return std::all_of(text.begin() + static_cast<std::ptrdiff_t>(from),
                     text.begin() + static_cast<std::ptrdiff_t>(from + count),
                     [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

std::string PeriodOf(CounterRestart restart, const platform::LocalDateTime& when) {
  char text[16];
  switch (restart) {
    case CounterRestart::Never: return "";
    case CounterRestart::Yearly: std::snprintf(text, sizeof text, "%04d", when.year); break;
    case CounterRestart::Monthly: std::snprintf(text, sizeof text, "%04d-%02d", when.year, when.month); break;
  }
  return text;
}

std::optional<platform::LocalDateTime> PeriodStart(const std::string& period) {
  if (period.size() == 4 && Digits(period, 0, 4)) return platform::LocalDateTime{std::stoi(period), 1, 1, 0, 0, 0};
  if (period.size() == 7 && Digits(period, 0, 4) && period[4] == '-' && Digits(period, 5, 2)) {
    const int month = std::stoi(period.substr(5));
    if (month >= 1 && month <= 12) return platform::LocalDateTime{std::stoi(period.substr(0, 4)), month, 1, 0, 0, 0};
  }
  return std::nullopt;
}

bool ShowsYear(const NumberFormat& format) {
  return Shows(format, {DateElement::Year4, DateElement::Year2, DateElement::Year1});
}
bool ShowsMonth(const NumberFormat& format) { return Shows(format, {DateElement::Month2, DateElement::Month1}); }

PeriodDraw DrawInPeriod(CounterRestart restart, const std::string& stored_period, int32_t counter,
                        const platform::LocalDateTime& now) {
  PeriodDraw draw{counter, now, PeriodOf(restart, now), std::nullopt, 0};
  if (restart == CounterRestart::Never || stored_period.empty()) return draw;
  // Periods of one kind compare as text: "2026" < "2027", "2026-03" < "2026-12".
  if (draw.period > stored_period) {
    draw.closed_period = stored_period;
    draw.closed_counter = counter;
    draw.counter = 0;
  } else if (draw.period < stored_period) {
    draw.period = stored_period;
    draw.date = PeriodStart(stored_period).value_or(now);
  }
  return draw;
}

}  // namespace trelvo::engine
