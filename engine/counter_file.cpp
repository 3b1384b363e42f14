#include "engine/counter_file.h"

#include "engine/integer_text.h"
#include "engine/messages.h"
#include "platform/quoting.h"
#include "platform/error.h"

namespace trelvo::engine {
namespace k = counter_keys;

CounterState ReadCounterState(const IniDocument& file) {
  CounterState state;
  state.counter = file.ReadInteger(k::kCounterSection, k::kCounter, 0);
  state.increment = file.ReadInteger(k::kCounterSection, k::kIncrement, 1);
  state.format.date_kind = file.ReadInteger(k::kOptionsSection, k::kPrefix, 0);
  state.format.separator_kind = file.ReadInteger(k::kOptionsSection, k::kSep, 0);
  state.format.width = PaddingToWidth(file.ReadInteger(k::kOptionsSection, k::kPadding, 3));
  state.format.leading = file.ReadBool(k::kOptionsSection, k::kLeadingText, false);
  state.format.counter_text = file.ReadString(k::kOptionsSection, k::kTextCounter, "");
  state.format.text_after = file.ReadString(k::kOptionsSection, k::kTextAfter, "");
  state.format.text_before = file.ReadString(k::kOptionsSection, k::kTextBefore, "");
  const int32_t restart = file.ReadInteger(k::kOptionsSection, k::kRestart, 0);
  if (restart == 1 || restart == 2) state.restart = static_cast<CounterRestart>(restart);
  state.period = file.ReadString(k::kCounterSection, k::kPeriod, "");
  state.closed_period = file.ReadString(k::kCounterSection, k::kClosedPeriod, "");
  state.closed_counter = file.ReadInteger(k::kCounterSection, k::kClosedCounter, 0);
  return state;
}

std::optional<std::string> UntrustedCounterValue(const IniDocument& file, const std::string& path) {
  const struct {
    const char* key;
    int32_t minimum;
    const char* allowed;
  } rules[] = {{k::kCounter, 0, "eine ganze Zahl von 0 bis 2147483647"}, {k::kIncrement, 1, "eine ganze Zahl ab 1"}};
  for (const auto& rule : rules) {
    const auto raw = file.ReadRawValue(k::kCounterSection, rule.key);
    if (!raw) continue;
    const auto number = ParseInteger(*raw);
    if (number && *number >= rule.minimum) continue;
    return InvalidCounterValueMessage(path, rule.key, *raw, rule.allowed);
  }
  return UntrustedRestart(file, path);
}

std::optional<std::string> UntrustedRestart(const IniDocument& file, const std::string& path) {
  const auto raw = file.ReadRawValue(k::kOptionsSection, k::kRestart);
  if (!raw) return std::nullopt;
  const auto restart = ParseInteger(*raw);
  if (!restart || *restart < 0 || *restart > 2)
    return InvalidCounterValueMessage(path, k::kRestart, *raw, "0 (nie), 1 (jedes Jahr) oder 2 (jeden Monat)");
  const CounterState state = ReadCounterState(file);
  const std::string file_name = platform::Quoted(FileNameOf(path));
  if (state.restart == CounterRestart::Yearly && !ShowsYear(state.format))
    return "Die Zählerdatei " + file_name +
           " soll ihren Zähler mit jedem neuen Jahr neu beginnen, ihre Nummern zeigen aber kein Jahr: sie würden "
           "sich wiederholen. Wählen Sie einen Datumsteil mit Jahr oder lassen Sie den Zähler weiterlaufen.";
  if (state.restart == CounterRestart::Monthly && !ShowsMonth(state.format))
    return "Die Zählerdatei " + file_name +
           " soll ihren Zähler mit jedem neuen Monat neu beginnen, ihre Nummern zeigen aber keinen Monat: sie "
           "würden sich wiederholen. Wählen Sie einen Datumsteil mit Jahr und Monat.";
  const bool monthly = state.restart == CounterRestart::Monthly;
  if (!state.period.empty() && (!PeriodStart(state.period) || (state.period.size() == 7) != monthly))
    return InvalidCounterValueMessage(path, k::kPeriod, state.period,
                                      monthly ? "ein Monat wie 2026-03" : "ein Jahr wie 2026");
  return std::nullopt;
}

std::string LockOwnerIn(const IniDocument& file) {
  if (!file.ReadBool(k::kLockingSection, k::kIsLocked, false)) return kNoUser;
  return file.ReadString(k::kLockingSection, k::kLockedBy, kUnknownHolder);
}

std::string LockPlaceIn(const IniDocument& file) {
  if (!file.ReadBool(k::kLockingSection, k::kIsLocked, false)) return "";
  const std::string on = file.ReadString(k::kLockingSection, k::kLockedOn, "");
  const std::string at = file.ReadString(k::kLockingSection, k::kLockedAt, "");
  std::string place = on.empty() ? "" : " an " + on;
  // "2026-12-11 10:42" is told as "11.12.2026 10:42".
  if (at.size() == 16 && at[4] == '-' && at[7] == '-' && at[10] == ' ')
    place += " seit " + at.substr(8, 2) + "." + at.substr(5, 2) + "." + at.substr(0, 4) + " " + at.substr(11);
  return place;
}

void WriteFreeLock(IniDocument& file) {
  file.WriteBool(k::kLockingSection, k::kIsLocked, false);
  file.WriteString(k::kLockingSection, k::kLockedBy, kNoUser);
  // Written only where a lock wrote them: a draw keeps other files as they were.
  for (const char* key : {k::kLockedOn, k::kLockedAt})
    if (file.HasKey(k::kLockingSection, key)) file.WriteString(k::kLockingSection, key, "");
}

}  // namespace trelvo::engine
