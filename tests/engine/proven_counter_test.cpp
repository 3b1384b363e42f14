// The counter value a record's number proves under a range's format.
#include "engine/server/proven_counter.h"

#include <gtest/gtest.h>

namespace trelvo::engine::server {
namespace {

constexpr platform::LocalDateTime kDay{2026, 3, 5, 14, 7, 9};

NumberFormat Format(int32_t date_kind, int32_t separator_kind, std::string before = "", std::string after = "",
                    bool leading = false, std::string counter_text = "") {
  NumberFormat format;
  format.text_before = std::move(before);
  format.text_after = std::move(after);
  format.date_kind = date_kind;
  format.separator_kind = separator_kind;
  format.leading = leading;
  format.counter_text = std::move(counter_text);
  return format;
}

TEST(ProvenCounter, OnlyTheExactCompositionOfTheRecordsDayProvesAValue) {
  const struct {
    NumberFormat format;
    std::string number;
    std::optional<int64_t> proven;
  } cases[] = {
      {Format(1, 0, "RE-", "-"), "RE-2026-0042", 42},
      {Format(1, 0, "RE-", "-"), "RE-2026-12345", 12345},          // wider than the padding
      {Format(8, 0, "R"), "R630004", 4},                      // the date part runs into the counter
      {Format(15, 0), "202603050007", 7},
      {Format(3, 2, "", "/"), "2026-03/0011", 11},
      {Format(0, 0, "", "", true, "/"), "/0009", 9},              // counter in front
      {Format(1, 0, "RE-", "-"), "RE-2025-0042", std::nullopt},    // another day's year
      {Format(1, 0, "RE-", "-"), "RE-2026-042", std::nullopt},     // padded otherwise
      {Format(1, 0, "RE-", "-"), "RE-2026-X", std::nullopt},
      {Format(1, 0, "RE-", "-"), "RE-2026-", std::nullopt},
      {Format(1, 0, "RE-", "-"), "RE-0042", std::nullopt},         // an older format
      {Format(1, 0, "RE-", "-"), "#ini gesperrt#", std::nullopt},
      {Format(1, 0, "RE-", "-"), "RE-2026-99999999999", std::nullopt},  // beyond any counter
  };
  for (const auto& c : cases) EXPECT_EQ(ProvenCounter(c.format, c.number, kDay), c.proven) << c.number;
}

TEST(ProvenCounter, TheServersRecordTimeIsReadWholeOrNotAtAll) {
  const auto time = RecordTime("2026-03-05 14:07:09");
  ASSERT_TRUE(time);
  EXPECT_EQ(time->year, 2026);
  EXPECT_EQ(time->day, 5);
  EXPECT_EQ(time->second, 9);
  for (const char* text : {"", "2026-03-05", "2026-03-05 14:07:09x", "2026-03-05T14:07:09", "2026-03-05 14:07:0x"}) EXPECT_FALSE(RecordTime(text)) << text;
}

}  // namespace
}  // namespace trelvo::engine::server
