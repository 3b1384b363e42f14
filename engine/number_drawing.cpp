#include "engine/number_drawing.h"

#include "engine/counter_lock.h"
#include "engine/integer_text.h"
#include "platform/error.h"
#include "platform/user_interface.h"

namespace trelvo::engine {
namespace k = counter_keys;
namespace {

// What a draw from a file's current state issues and stores; nullopt when the
// counter would leave the 32-bit range.
struct NextDraw {
  std::string number;
  int32_t counter;
};
std::optional<NextDraw> ComputeNextDraw(platform::Environment& env, const IniDocument& document) {
  const CounterState state = ReadCounterState(document);
  const int64_t next = int64_t{state.counter} + state.increment;
  if (next < INT32_MIN || next > INT32_MAX) return std::nullopt;
  return NextDraw{ComposeNumber(state.format, state.counter, state.increment, env.system.Now()),
                  static_cast<int32_t>(next)};
}

// Told only after the file is closed again: the box is modal, and other
// workstations must not wait for the user to read it.
[[noreturn]] void RefuseOverflow(platform::Environment& env, const CounterFile& file) {
  const std::string message =
      "Der Zähler in " + platform::Quoted(FileNameOf(file.path())) + " kann nicht weiter erhöht werden.";
  platform::ShowErrorBox(env.ui, message);
  throw Aborted(message);
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
  std::optional<NextDraw> draw;
  file.Update([&](IniDocument& document) {
    draw = ComputeNextDraw(env, document);
    if (draw) document.WriteInteger(k::kCounterSection, k::kCounter, draw->counter);
  });
  if (!draw) RefuseOverflow(env, file);
  return draw->number;
}

DrawResult DrawUnderLock(platform::Environment& env, const CounterFile& file) {
  DrawResult result;
  bool overflow = false;
  file.Update([&](IniDocument& document) {
    result.holder = LockOwnerIn(document);
    if (IsLockHolder(result.holder)) return;
    const auto draw = ComputeNextDraw(env, document);
    if (!draw) {
      overflow = true;
      return;
    }
    // The lock entries come first, as a file that a draw creates has always had them.
    WriteFreeLock(document);
    document.WriteInteger(k::kCounterSection, k::kCounter, draw->counter);
    result.number = draw->number;
    result.issued = true;
  });
  if (overflow) RefuseOverflow(env, file);
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
