#pragma once
// Drawing and previewing invoice numbers from a number store.
#include <cstdint>
#include <optional>
#include <string>

#include "engine/counter_file.h"
#include "engine/number_store.h"
#include "platform/environment.h"

namespace trelvo::engine {

// What a draw from a counter file's current content issues and stores, or why
// it must not draw (the text of its error box).
struct NextDraw {
  std::string number;
  int32_t counter = 0;
  PeriodDraw period;  // the period it counts in, and one it closes
  std::optional<std::string> refusal;
};
// At the workstation's present moment, or at the moment a store's draw takes place.
NextDraw PlanNextDraw(platform::Environment& env, const IniDocument& document, const std::string& path);
NextDraw PlanNextDraw(const IniDocument& document, const std::string& path, const platform::LocalDateTime& now);
// Writes what a planned draw advances: the counter, and for a range that
// restarts its period and the period it closes.
void WriteDraw(IniDocument& document, const NextDraw& draw);

// The number the next draw would issue, or "#ini gesperrt#" (after the lock
// message) when the range is locked, or "#error#" (after an error box) when
// the draw would be refused. Writes nothing.
std::string PreviewNextNumber(platform::Environment& env);
std::string PreviewNextNumber(platform::Environment& env, const NumberStore& store);

// Issues the next number of the current store without looking at the advisory
// lock; a record that could not be stored after the draw raises its reason.
std::string DrawNextNumber(platform::Environment& env);

// A draw with its record as one step under the range's lock: a range that the
// advisory lock names a holder for is refused (nothing written); otherwise the
// number is composed and the advanced counter is written together with the
// free lock, and the store keeps the number's record (application: the
// record's application text). A Counter or Increment that no number may be
// drawn from (UntrustedCounterValue), or a counter that would leave the
// 32-bit range, is refused with an error box (Aborted) and nothing is
// written. A store that cannot take the record refuses first (Error, saying
// that no number was issued).
struct DrawResult {
  bool issued = false;
  std::string number;  // the issued number when issued
  std::string holder;        // the lock holder when refused
  std::string holder_place;  // where and since when it holds the lock (LockPlaceIn)
  // An issued number whose record could not be stored: the reason, to be told
  // once the number is placed.
  std::optional<std::string> unrecorded;
};
DrawResult DrawUnderLock(platform::Environment& env);
DrawResult DrawUnderLock(platform::Environment& env, const NumberStore& store, const std::string& application = "");

// The text of a counter field as a number; an error box and nullopt when it is
// not a whole number.
std::optional<int32_t> ValidateCounterText(platform::Environment& env, const std::string& text);

}  // namespace trelvo::engine
