#pragma once
// Where a number puts its counter, proven by composing it again: a number
// belongs to a format on a day when the format, on that day, composes exactly
// that text from a counter value. The day tried is the record's, and the one
// before it (a draw a moment before midnight whose record was stamped after
// it). A number of an earlier format of the file is read the same way, with
// the present date part and order, when only its texts differ and they hold
// no digit: then the date part and the counter stand where nothing else can.
// Never by guessing at trailing digits.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "engine/number_composition.h"

namespace trelvo::engine::audit {

struct CounterInNumber {
  int64_t counter = 0;
  NumberFormat format;  // the format that composes the number (an earlier one: width 1)
  int year = 0;         // the year and month of the day it was composed on
  int month = 0;
  // The number with "#" in place of the counter digits: one number space, in
  // which one value means one number.
  std::string skeleton;
};

// The counter under the format, composed on day or the day before.
std::optional<CounterInNumber> MatchFormat(const NumberFormat& format, std::string_view number,
                                           const platform::LocalDateTime& day);

// The counter under an earlier format that differs from this one only in its
// texts, which hold no digit; nullopt when no such format composes the number.
std::optional<CounterInNumber> MatchEarlierTexts(const NumberFormat& format, std::string_view number,
                                                 const platform::LocalDateTime& day);

// Where the number's store knows the counter: the format's shape (either of
// the above) that gives that value on day or the day before, for the series;
// nullopt when none does.
std::optional<CounterInNumber> MatchKnownCounter(const NumberFormat& format, std::string_view number, int64_t counter,
                                                 const platform::LocalDateTime& day);
// A number of known counter that no shape of the format gives: its own text is its series.
CounterInNumber OwnSeries(std::string_view number, int64_t counter, const platform::LocalDateTime& day);

// A series of numbers as people read it: the format with the year of its
// numbers, month and day as placeholders, "#" for the counter ("RE-2026-#",
// "RE-2026/MM-#"); with a month (a counter that restarts each month) the
// month shows too ("RE-2026/03-#").
std::string SeriesName(const NumberFormat& format, int year, int month = 0);

// Two formats compose the same series (the counter's minimum width aside);
// with a month, only in that month.
std::string SeriesKey(const NumberFormat& format, int year, int month = 0);

}  // namespace trelvo::engine::audit
