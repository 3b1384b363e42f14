// Composing the printed number: every date-part kind, both orders, padding.
#include <gtest/gtest.h>

#include "engine/number_composition.h"

namespace trelvo::engine {
namespace {

const platform::LocalDateTime kMarch5th2024{2024, 3, 5, 10, 0, 0};

struct DateCase {
  int32_t kind;
  const char* with_slash;
  const char* without_separator;
};

TEST(NumberComposition, EveryDatePartKindWithAndWithoutSeparator) {
  const DateCase cases[] = {
      {0, "", ""},
      {1, "2024", "2024"},
      {2, "24", "24"},
      {3, "2024/03", "202403"},
      {4, "24/03", "2403"},
      {5, "03/2024", "032024"},
      {6, "03/24", "0324"},
      {7, "4", "4"},
      {8, "4/3", "43"},
      {9, "4/03", "403"},
      {10, "3/4", "34"},
      {11, "03/4", "034"},
      {12, "05/03/24", "050324"},
      {13, "05/03/2024", "05032024"},
      {14, "24/03/05", "240305"},
      {15, "2024/03/05", "20240305"},
      {16, "", ""},
      {-1, "", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DatePart(c.kind, 3, kMarch5th2024), c.with_slash) << c.kind;
    EXPECT_EQ(DatePart(c.kind, 0, kMarch5th2024), c.without_separator) << c.kind;
    EXPECT_EQ(DatePart(c.kind, 7, kMarch5th2024), c.without_separator) << c.kind;  // unknown separator kind
  }
  EXPECT_EQ(DatePart(13, 1, kMarch5th2024), "05 03 2024");
  EXPECT_EQ(DatePart(13, 2, kMarch5th2024), "05-03-2024");
  EXPECT_EQ(DatePart(13, 4, kMarch5th2024), "05.03.2024");
}

TEST(NumberComposition, DatePartsFollowTheCalendar) {
  EXPECT_EQ(DatePart(7, 0, {2030, 1, 1, 0, 0, 0}), "0");
  EXPECT_EQ(DatePart(2, 0, {2005, 1, 1, 0, 0, 0}), "05");
  EXPECT_EQ(DatePart(8, 2, {2024, 10, 1, 0, 0, 0}), "4-10");
  EXPECT_EQ(DatePart(10, 2, {2024, 12, 1, 0, 0, 0}), "12-4");
}

struct ComposeCase {
  const char* before;
  const char* after;
  const char* counter_text;
  bool leading;
  const char* expected;
};

TEST(NumberComposition, PiecesJoinInEitherOrder) {
  const ComposeCase cases[] = {
      {"RE", "-", "", false, "RE2024-03-0042"},    {"RE", "-", "/K", false, "RE2024-03-0042/K"},
      {"RE", "-", "/K", true, "/K0042RE2024-03-"}, {"", "", "", false, "2024-030042"},
      {"RE ", "", "", false, "RE 2024-030042"},
  };
  for (const auto& c : cases) {
    const NumberFormat format{c.before, c.after, c.counter_text, 3, 2, 4, c.leading};
    EXPECT_EQ(ComposeNumber(format, 41, 1, kMarch5th2024), c.expected) << c.expected;
  }
}

struct PadCase {
  int32_t counter;
  int32_t increment;
  int32_t width;
  const char* expected;
};

TEST(NumberComposition, TheNumberIsPaddedButNeverCut) {
  const PadCase cases[] = {
      {41, 1, 4, "0042"},   {99999, 1, 4, "100000"},  {6, 1, 1, "7"},
      {-10, 1, 4, "00-9"},  {5, 0, 0, "5"},           {5, 0, -3, "5"},
      {100, 10, 4, "0110"}, {1, 1, 10, "0000000002"}, {INT32_MAX, 1, 1, "2147483648"},
  };
  for (const auto& c : cases) {
    const NumberFormat format{"", "", "", 0, 0, c.width, false};
    EXPECT_EQ(ComposeNumber(format, c.counter, c.increment, kMarch5th2024), c.expected) << c.expected;
  }
  EXPECT_EQ(PadNumber(-9, 4), "00-9");
  EXPECT_EQ(PaddingToWidth(3), 4);
  EXPECT_EQ(PaddingToWidth(INT32_MAX), kMaxNumberWidth);
  EXPECT_EQ(PadNumber(1, 2000000000).size(), static_cast<size_t>(kMaxNumberWidth));
}

}  // namespace
}  // namespace trelvo::engine
