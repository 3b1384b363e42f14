#include "engine/counter_change.h"

#include "engine/messages.h"
#include "engine/server/proven_counter.h"
#include "platform/quoting.h"

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

std::optional<IssuedValue> HighestIssued(platform::Environment& env, const NumberStore& store,
                                         const CounterState& state) {
  std::optional<IssuedValue> highest;
  const auto take = [&](int64_t counter, const std::string& number) {
    if (!highest || counter > highest->counter) highest = IssuedValue{counter, number};
  };
  if (!store.Server() && state.counter > 0)
    take(state.counter, ComposeNumber(state.format, state.counter - state.increment, state.increment,
                                      PeriodStart(state.period).value_or(env.system.Now())));
  store.ForEachRecord([&](const StoredEntry& entry) {
    if (!entry.record) return;
    const UsageRecord& record = *entry.record;
    const auto day = server::RecordTime(record.date + " 00:00:00");
    if (!day) return;
    // A counter that restarts: the present period's records alone.
    if (!state.period.empty() && PeriodOf(state.restart, *day) != state.period) return;
    const auto counter = record.counter ? record.counter : server::ProvenCounter(state.format, record.number, *day);
    if (counter && (!highest || *counter >= highest->counter)) highest = IssuedValue{*counter, record.number};
  });
  return highest;
}

std::optional<std::string> CounterSetBackRefusal(int64_t counter, const std::optional<IssuedValue>& issued) {
  if (!issued || counter >= issued->counter) return std::nullopt;
  return "Der Zählerwert " + std::to_string(counter) + " liegt unter dem zuletzt vergebenen Wert " +
         std::to_string(issued->counter) + " (Nummer " + platform::Quoted(issued->number) +
         "): Nummern gäbe es dann zweimal. Setzen Sie den Zähler auf " + std::to_string(issued->counter) +
         " oder höher. Es wurde nichts gespeichert.";
}

void RecordCounterChange(const NumberStore& store, const CounterChange& change) {
  store.RecordCounterChange(CounterChangeText(change));
}

}  // namespace trelvo::engine
