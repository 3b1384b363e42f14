#include "engine/number_drawing.h"

#include "engine/counter_lock.h"
#include "engine/integer_text.h"
#include "platform/error.h"
#include "platform/user_interface.h"

namespace trelvo::engine {
namespace k = counter_keys;
namespace {

// Composes the next number of a loaded file and writes its counter into it.
std::string AdvanceCounter(platform::Environment& env, const CounterFile& file, IniDocument& document) {
  const CounterState state = ReadCounterState(document);
  const int64_t next = int64_t{state.counter} + state.increment;
  if (next < INT32_MIN || next > INT32_MAX) {
    const std::string message =
        "Der Zähler in " + platform::Quoted(FileNameOf(file.path())) + " kann nicht weiter erhöht werden.";
    platform::ShowErrorBox(env.ui, message);
    throw Aborted(message);
  }
  const std::string number = ComposeNumber(state.format, state.counter, state.increment, env.system.Now());
  document.WriteInteger(k::kCounterSection, k::kCounter, static_cast<int32_t>(next));
  return number;
}

}  // namespace

std::string PreviewNextNumber(platform::Environment& env, const CounterFile& file) {
  const IniDocument document = file.Load();
  const std::string holder = LockOwnerIn(document);
  if (IsLockHolder(holder)) {
    ShowLockMessage(env, file.path(), holder);
    return kLockedMarker;
  }
  const CounterState state = ReadCounterState(document);
  return ComposeNumber(state.format, state.counter, state.increment, env.system.Now());
}

std::string PreviewNextNumber(platform::Environment& env) { return PreviewNextNumber(env, CurrentCounterFile(env)); }

std::string DrawNextNumber(platform::Environment& env) {
  const CounterFile file = CurrentCounterFile(env);
  std::string number = kErrorMarker;
  file.Update([&](IniDocument& document) { number = AdvanceCounter(env, file, document); });
  return number;
}

DrawResult DrawUnderLock(platform::Environment& env, const CounterFile& file) {
  DrawResult result;
  file.Update([&](IniDocument& document) {
    result.holder = LockOwnerIn(document);
    if (IsLockHolder(result.holder)) return;
    // The lock entries come first, as a file that a draw creates has always had them.
    WriteFreeLock(document);
    result.number = AdvanceCounter(env, file, document);
    result.issued = true;
  });
  return result;
}

DrawResult DrawUnderLock(platform::Environment& env) { return DrawUnderLock(env, CurrentCounterFile(env)); }

std::optional<int32_t> ValidateCounterText(platform::Environment& env, const std::string& text) {
  if (const auto number = ParseInteger(text)) return number;
  platform::ShowErrorBox(env.ui, text +
                                     " ist keine gültige Trelvo-Ganzzahl. Geben Sie im Feld \r\n"
                                     "\"Nächster Zähler\" eine Zahl von 1 bis 999.999.999 ein.");
  return std::nullopt;
}

}  // namespace trelvo::engine
