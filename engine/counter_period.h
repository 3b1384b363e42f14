#pragma once
// A counter that starts again with each new year (or month): the period a
// draw counts in, and what a draw does when the period of the moment is later
// than the one the range last drew in. The year in the number keeps the
// numbers of two periods apart, so a format without one cannot restart.
#include <cstdint>
#include <optional>
#include <string>

#include "engine/number_composition.h"
#include "platform/system_services.h"

namespace trelvo::engine {

// Restart in [Optionen]: 0 never (the default), 1 each year, 2 each month.
enum class CounterRestart { Never = 0, Yearly = 1, Monthly = 2 };

// The period of a moment: "2026" yearly, "2026-03" monthly, "" never.
std::string PeriodOf(CounterRestart restart, const platform::LocalDateTime& when);

// The first moment of a period, or nullopt for text that names none.
std::optional<platform::LocalDateTime> PeriodStart(const std::string& period);

// Whether the format's date part shows the year, and the month.
bool ShowsYear(const NumberFormat& format);
bool ShowsMonth(const NumberFormat& format);

// The counter, period and date a draw composes from, at a moment: a later
// period starts the counter again from 0 and closes the one before; a moment
// before the stored period (a clock behind) composes on that period's first
// day, never in a closed period; the first draw of a range without a period
// takes the moment's.
struct PeriodDraw {
  int32_t counter = 0;             // the counter the draw adds its increment to
  platform::LocalDateTime date{};  // the day the number is composed on
  std::string period;              // the period to store ("" for a range that never restarts)
  std::optional<std::string> closed_period;  // a period this draw closes, with...
  int32_t closed_counter = 0;                // ...its last counter
};
PeriodDraw DrawInPeriod(CounterRestart restart, const std::string& stored_period, int32_t counter,
                        const platform::LocalDateTime& now);

}  // namespace trelvo::engine
