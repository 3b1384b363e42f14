#include "engine/counter_period.h"

#include <algorithm>
#include <cstdio>

namespace trelvo::engine {
namespace {

bool Shows(const NumberFormat& format, std::initializer_list<DateElement> wanted) {
  if (format.date_kind < 0 || format.date_kind >= static_cast<int32_t>(kDateKinds.size())) return false;
  const DateKind& kind = kDateKinds[static_cast<size_t>(format.date_kind)];
  return std::any_of(kind.elements.begin(), kind.elements.begin() + kind.count, [&](DateElement element) {
    return std::find(wanted.begin(), wanted.end(), element) != wanted.end();
  });
}

// The value of count decimal digits at from; nullopt where any is no digit.
std::optional<int> DigitsAt(const std::string& text, size_t from, size_t count) {
  if (text.size() < from + count) return std::nullopt;
  int value = 0;
  for (size_t i = from; i < from + count; ++i) {
    if (text[i] < '0' || text[i] > '9') return std::nullopt;
    value = value * 10 + (text[i] - '0');
  }
  return value;
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
  const auto year = DigitsAt(period, 0, 4);
  if (!year || (period.size() != 4 && period.size() != 7)) return std::nullopt;
  if (period.size() == 4) return platform::LocalDateTime{*year, 1, 1, 0, 0, 0};
  const auto month = DigitsAt(period, 5, 2);
  if (period[4] != '-' || !month || *month < 1 || *month > 12) return std::nullopt;
  return platform::LocalDateTime{*year, *month, 1, 0, 0, 0};
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
