// Days of the calendar and back: known days, and every day of four centuries.
#include <gtest/gtest.h>

#include "platform/civil_date.h"

namespace trelvo::platform {
namespace {

TEST(CivilDate, KnownDaysAndEveryDayBackAgain) {
  EXPECT_EQ(DaysFromCivil({1970, 1, 1}), 0);
  EXPECT_EQ(DaysFromCivil({2024, 3, 5}) - DaysFromCivil({1899, 12, 30}), 45356) << "Excel's serial of 5.3.2024";
  EXPECT_EQ(DaysFromCivil({2024, 3, 1}) - DaysFromCivil({2024, 2, 28}), 2) << "a leap year";
  EXPECT_EQ(DaysFromCivil({2100, 3, 1}) - DaysFromCivil({2100, 2, 28}), 1) << "no leap year";
  for (int64_t days = DaysFromCivil({1800, 1, 1}); days < DaysFromCivil({2200, 1, 1}); ++days) {
    const CivilDate date = CivilFromDays(days);
    ASSERT_EQ(DaysFromCivil(date), days) << date.year << "-" << date.month << "-" << date.day;
  }
}

}  // namespace
}  // namespace trelvo::platform
