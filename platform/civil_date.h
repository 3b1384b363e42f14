#pragma once
// Days of the Gregorian calendar counted from 1 January 1970, and back: for
// comparing and spacing dates (the audit's times, the simulated Excel's
// serial dates) without the C library's time zone.
#include <cstdint>

namespace trelvo::platform {

struct CivilDate {
  int year, month, day;
};

int64_t DaysFromCivil(const CivilDate& date);
CivilDate CivilFromDays(int64_t days);

}  // namespace trelvo::platform
