#include "engine/counter_change.h"

namespace trelvo::engine {
namespace {

// Decimal digits of a counter value, nothing else.
std::optional<int64_t> CounterValue(const std::string& text) {
  if (text.empty() || text.size() > 18) return std::nullopt;
  int64_t value = 0;
  for (char digit : text) {
    if (digit < '0' || digit > '9') return std::nullopt;
    value = value * 10 + (digit - '0');
  }
  return value;
}

}  // namespace

std::string CounterChangeText(const CounterChange& change) {
  return "von " + std::to_string(change.from) + " auf " + std::to_string(change.to) + ": " + change.subject;
}

std::optional<CounterChange> ParseCounterChange(const std::string& application) {
  if (!application.starts_with("von ")) return std::nullopt;
  const size_t on = application.find(" auf ");
  const size_t colon = application.find(": ", on == std::string::npos ? 0 : on);
  if (on == std::string::npos || colon == std::string::npos) return std::nullopt;
  const auto from = CounterValue(application.substr(4, on - 4));
  const auto to = CounterValue(application.substr(on + 5, colon - on - 5));
  if (!from || !to) return std::nullopt;
  return CounterChange{*from, *to, application.substr(colon + 2)};
}

}  // namespace trelvo::engine
