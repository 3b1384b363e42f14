#pragma once
// A counter file: the whole state of one number range, in an INI file that
// several workstations read and write. Its keys, their defaults, and access
// under the operating-system lock (a workstation that holds the file longer
// than the wait gets the "belegt" error box).
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "engine/ini/ini_file.h"
#include "engine/number_composition.h"
#include "engine/server/server_range.h"
#include "platform/environment.h"

namespace trelvo::engine {

namespace counter_keys {
inline constexpr char kCounterSection[] = "Zaehler";
inline constexpr char kCounter[] = "Counter";
inline constexpr char kIncrement[] = "Increment";
inline constexpr char kOptionsSection[] = "Optionen";
inline constexpr char kTextBefore[] = "TextBefore";
inline constexpr char kPrefix[] = "Prefix";
inline constexpr char kSep[] = "Sep";
inline constexpr char kTextAfter[] = "TextAfter";
inline constexpr char kTextCounter[] = "TextCounter";
inline constexpr char kPadding[] = "Padding";
inline constexpr char kLeadingText[] = "LeadingText";
inline constexpr char kNoteSection[] = "Hinweis";
inline constexpr char kConfigDesc[] = "ConfigDesc";
inline constexpr char kLockingSection[] = "Locking";
inline constexpr char kIsLocked[] = "IsLocked";
inline constexpr char kLockedBy[] = "LockedBy";
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
};
CounterState ReadCounterState(const IniDocument& file);

// Why no number may be drawn from the file, or nullopt. A Counter that is
// present must be a whole number from 0 to 2147483647 and an Increment one of
// at least 1: a value that reads as its default (a typing error, a note behind
// it, quotes) would restart the range, and an increment below 1 would issue
// numbers again. A missing key keeps its default.
std::optional<std::string> UntrustedCounterValue(const IniDocument& file, const std::string& path);

// The holder named by the advisory lock: "#nouser#" when free, otherwise
// LockedBy, or "Unbekannt" when it names nobody.
std::string LockOwnerIn(const IniDocument& file);
// Marks the advisory lock free: IsLocked 0 and LockedBy "#nouser#".
void WriteFreeLock(IniDocument& file);

// A counter file, or a pointer to a range on a server (server_range.h) that
// is read and written as if it were the file's content.
class CounterFile {
 public:
  CounterFile(platform::Environment& env, std::string path);
  const std::string& path() const { return file_.path(); }
  bool Exists() const;
  // The server range the file points at, or nullopt for a counter file.
  std::optional<server::ServerRange> Server() const;
  IniDocument Load() const;
  void Update(const std::function<void(IniDocument&)>& change) const;
  // change answers the usage record of what it did (a draw). A server range
  // inserts it in the same transaction and answers the number committed; for
  // a counter file the answer is nullopt, and the record is the caller's to
  // append to the usage log once the number is placed.
  std::optional<std::string> UpdateWithRecord(
      const std::function<std::optional<server::ServerRecord>(IniDocument&)>& change) const;

 private:
  std::optional<std::string> Change(const std::function<std::optional<server::ServerRecord>(IniDocument&)>& change,
                                    bool draws) const;
  // Notes whether the content read is a pointer. A file does not turn from a
  // counter file into a pointer while one operation (a click) runs, so what
  // its first read found serves the operation's later questions.
  void Learn(const IniDocument& content) const;

  platform::Environment& env_;
  IniFile file_;
  mutable bool pointer_read_ = false;
  mutable std::optional<server::ServerPointer> pointer_;
};

// The current counter file named by the settings file.
CounterFile CurrentCounterFile(platform::Environment& env);

}  // namespace trelvo::engine
