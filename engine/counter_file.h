#pragma once
// A counter file: the whole state of one number range, in an INI file that
// several workstations read and write (a range on a server is handed on as
// the same content). Its keys, their defaults, its markers and the values a
// draw may trust.
#include <cstdint>
#include <optional>
#include <string>

#include "engine/counter_period.h"
#include "engine/ini/ini_file.h"
#include "engine/number_composition.h"
#include "platform/environment.h"

namespace trelvo::engine {

namespace counter_keys {
inline constexpr char kCounterSection[] = "Zaehler";
inline constexpr char kCounter[] = "Counter";
inline constexpr char kIncrement[] = "Increment";
inline constexpr char kPeriod[] = "Period";              // the period of the last draw
inline constexpr char kClosedPeriod[] = "ClosedPeriod";  // the last period a restart closed...
inline constexpr char kClosedCounter[] = "ClosedCounter";  // ...and its last counter
inline constexpr char kOptionsSection[] = "Optionen";
inline constexpr char kTextBefore[] = "TextBefore";
inline constexpr char kPrefix[] = "Prefix";
inline constexpr char kSep[] = "Sep";
inline constexpr char kTextAfter[] = "TextAfter";
inline constexpr char kTextCounter[] = "TextCounter";
inline constexpr char kPadding[] = "Padding";
inline constexpr char kLeadingText[] = "LeadingText";
inline constexpr char kRestart[] = "Restart";
inline constexpr char kNoteSection[] = "Hinweis";
inline constexpr char kConfigDesc[] = "ConfigDesc";
inline constexpr char kLockingSection[] = "Locking";
inline constexpr char kIsLocked[] = "IsLocked";
inline constexpr char kLockedBy[] = "LockedBy";
inline constexpr char kLockedOn[] = "LockedOn";  // the holder's workstation
inline constexpr char kLockedAt[] = "LockedAt";  // when the lock was taken, "2026-12-11 10:42"
}  // namespace counter_keys

// Markers that stand in place of a number or a lock holder.
inline constexpr char kNoUser[] = "#nouser#";
inline constexpr char kUnknownHolder[] = "Unbekannt";
inline constexpr char kLockedMarker[] = "#ini gesperrt#";
inline constexpr char kErrorMarker[] = "#error#";

// What previewing and drawing read from a counter file, with their defaults.
struct CounterState {
  int32_t counter = 0;
  int32_t increment = 1;
  NumberFormat format;  // width = Padding (default 3) + 1
  CounterRestart restart = CounterRestart::Never;
  std::string period;         // the period of the last draw, "" before the first
  std::string closed_period;  // the last period a restart closed, "" none
  int32_t closed_counter = 0;
};
CounterState ReadCounterState(const IniDocument& file);

// Why no number may be drawn from the file, or nullopt. A Counter that is
// present must be a whole number from 0 to 2147483647 and an Increment one of
// at least 1: a value that reads as its default (a typing error, a note behind
// it, quotes) would restart the range, and an increment below 1 would issue
// numbers again. A missing key keeps its default.
std::optional<std::string> UntrustedCounterValue(const IniDocument& file, const std::string& path);
// The restart's part of it alone (the Options dialog checks what it would save).
std::optional<std::string> UntrustedRestart(const IniDocument& file, const std::string& path);

// The holder named by the advisory lock: "#nouser#" when free, otherwise
// LockedBy, or "Unbekannt" when it names nobody.
std::string LockOwnerIn(const IniDocument& file);
// Where and since when the lock is held, as a message tells it
// (" an PC-ZENTRALE seit 11.12.2026 10:42"); "" when the lock does not say.
std::string LockPlaceIn(const IniDocument& file);
// Marks the advisory lock free: IsLocked 0 and LockedBy "#nouser#".
void WriteFreeLock(IniDocument& file);

}  // namespace trelvo::engine
