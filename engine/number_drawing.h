#pragma once
// Drawing and previewing invoice numbers from the current counter file.
#include <cstdint>
#include <optional>
#include <string>

#include "engine/counter_file.h"
#include "platform/environment.h"

namespace trelvo::engine {

// What a draw from a counter file's current content issues and stores, or why
// it must not draw (the text of its error box).
struct NextDraw {
  std::string number;
  int32_t counter = 0;
  std::optional<std::string> refusal;
};
NextDraw PlanNextDraw(platform::Environment& env, const IniDocument& document, const std::string& path);

// The number the next draw would issue, or "#ini gesperrt#" (after the lock
// message) when the file is locked, or "#error#" (after an error box) when the
// draw would be refused. Writes nothing.
std::string PreviewNextNumber(platform::Environment& env);
std::string PreviewNextNumber(platform::Environment& env, const CounterFile& file);

// Issues the next number without looking at the advisory lock.
std::string DrawNextNumber(platform::Environment& env);

// A draw as one atomic step under the operating-system lock: a file that the
// advisory lock names a holder for is refused (nothing written); otherwise the
// number is composed and the advanced counter is written together with the
// free lock, in one write. A Counter or Increment that no number may be drawn
// from (UntrustedCounterValue), or a counter that would leave the 32-bit range,
// is refused with an error box (Aborted) and nothing is written.
//
// A range on a server draws in one transaction with the number's usage record
// (application: the record's application text) and answers recorded; a
// counter file's record is the caller's to append (RecordUsage) once the
// number is placed.
struct DrawResult {
  bool issued = false;
  std::string number;     // the issued number when issued
  std::string holder;     // the lock holder when refused
  bool recorded = false;  // the number's record is stored with the draw
};
DrawResult DrawUnderLock(platform::Environment& env);
DrawResult DrawUnderLock(platform::Environment& env, const CounterFile& file, const std::string& application = "");

// Before a draw: a counter file's usage log must take the number's record
// (CheckUsageLogWritable); a server range stores it with the draw.
void CheckRecordable(platform::Environment& env, const CounterFile& file);
// The record of a number or a refusal that the draw has not stored: among the
// server range's records, or appended to the usage log.
void RecordUsage(platform::Environment& env, const CounterFile& file, const std::string& number,
                 const std::string& application, const platform::LocalDateTime& when);

// The text of a counter field as a number; an error box and nullopt when it is
// not a whole number.
std::optional<int32_t> ValidateCounterText(platform::Environment& env, const std::string& text);

}  // namespace trelvo::engine
