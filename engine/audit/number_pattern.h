#pragma once
// Where the counter stands in the numbers of one counter file's format: the
// texts and the date part around it, the counter before the texts when the
// format leads with it. A number of that format splits into its series (the
// number with the counter digits taken out, "RE-2026-#") and its counter value.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/number_composition.h"

namespace trelvo::engine::audit {

struct CounterInNumber {
  std::string series;  // the number with "#" in place of the counter digits
  int64_t counter = 0;
};

class NumberPattern {
 public:
  explicit NumberPattern(const NumberFormat& format);
  std::optional<CounterInNumber> Match(std::string_view number) const;

 private:
  struct Token {
    enum class Kind { Literal, Digits, Counter } kind;
    std::string text;  // a literal's
    size_t min = 0, max = 0;
  };
  bool MatchFrom(size_t token, std::string_view number, size_t at, size_t& counter_at, size_t& counter_end) const;

  std::vector<Token> tokens_;
};

// The counter of a number of a format not known (an older one): the digits
// at its end (or, leading, at its start) that make up the value wanted, or
// without a value wanted all of them.
std::optional<CounterInNumber> CounterOfValue(std::string_view number, bool leading, std::optional<int64_t> wanted);

}  // namespace trelvo::engine::audit
