#include "engine/counter_file.h"

#include "engine/integer_text.h"
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
  return std::nullopt;
}

std::string LockOwnerIn(const IniDocument& file) {
  if (!file.ReadBool(k::kLockingSection, k::kIsLocked, false)) return kNoUser;
  return file.ReadString(k::kLockingSection, k::kLockedBy, kUnknownHolder);
}

void WriteFreeLock(IniDocument& file) {
  file.WriteBool(k::kLockingSection, k::kIsLocked, false);
  file.WriteString(k::kLockingSection, k::kLockedBy, kNoUser);
}

}  // namespace trelvo::engine
