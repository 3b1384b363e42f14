#pragma once
// A counter changed by hand (the Options dialog, "trelvo set-counter") is a
// record of its own among the range's records: who, when, from which value
// to which. It stands where a number would, with a marker no number has, so
// that earlier versions' readers of the log never take it for an issued
// number, and the audit tells the values it skips as set by hand, not lost.
#include <cstdint>
#include <optional>
#include <string>

#include "engine/counter_file.h"
#include "engine/number_store.h"
#include "platform/environment.h"

namespace trelvo::engine {

inline constexpr char kCounterSetMarker[] = "#Zähler gesetzt#";

struct CounterChange {
  int64_t from = 0;
  int64_t to = 0;
  std::string subject;  // the counter file's name, or the range's on a server
};

// The record's application text: "von 88 auf 100: re.ini".
std::string CounterChangeText(const CounterChange& change);
// The change an application text tells, or nullopt for any other text.
std::optional<CounterChange> ParseCounterChange(const std::string& application);

// The highest counter value issued from a store in its present period, with
// the number that shows it: its records (a usage log's numbers read back by
// the range's format) and, for a counter file, its own counter.
struct IssuedValue {
  int64_t counter = 0;
  std::string number;
};
std::optional<IssuedValue> HighestIssued(platform::Environment& env, const NumberStore& store,
                                         const CounterState& state);

// Why a counter may not be set to counter by hand (below a value already
// issued, whose number would be issued again), or nullopt.
std::optional<std::string> CounterSetBackRefusal(int64_t counter, const std::optional<IssuedValue>& issued);

// The record of a change by hand, kept by the store.
void RecordCounterChange(const NumberStore& store, const CounterChange& change);

}  // namespace trelvo::engine
