#include "engine/number_drawing.h"

#include "engine/counter_lock.h"
#include "engine/integer_text.h"
#include "engine/messages.h"
#include "platform/error.h"
#include "platform/user_interface.h"

namespace trelvo::engine {
namespace k = counter_keys;

NextDraw PlanNextDraw(platform::Environment& env, const IniDocument& document, const std::string& path) {
  return PlanNextDraw(document, path, env.system.Now());
}

NextDraw PlanNextDraw(const IniDocument& document, const std::string& path, const platform::LocalDateTime& now) {
  if (auto untrusted = UntrustedCounterValue(document, path)) return {{}, 0, {}, std::move(untrusted)};
  const CounterState state = ReadCounterState(document);
  const PeriodDraw period = DrawInPeriod(state.restart, state.period, state.counter, now);
  const int64_t next = int64_t{period.counter} + state.increment;
  if (next > INT32_MAX) return {{}, 0, {}, CounterOverflowMessage(path)};
  return {ComposeNumber(state.format, period.counter, state.increment, period.date), static_cast<int32_t>(next),
          period, std::nullopt};
}

void WriteDraw(IniDocument& document, const NextDraw& draw) {
  document.WriteInteger(k::kCounterSection, k::kCounter, draw.counter);
  if (draw.period.period.empty()) return;
  document.WriteString(k::kCounterSection, k::kPeriod, draw.period.period);
  if (!draw.period.closed_period) return;
  document.WriteString(k::kCounterSection, k::kClosedPeriod, *draw.period.closed_period);
  document.WriteInteger(k::kCounterSection, k::kClosedCounter, draw.period.closed_counter);
}

namespace {

// Told only after the file is closed again: the box is modal, and other
// workstations must not wait for the user to read it.
[[noreturn]] void Refuse(platform::Environment& env, const std::string& refusal) {
  platform::ShowErrorBox(env.ui, refusal);
  throw Aborted(refusal);
}

}  // namespace

std::string PreviewNextNumber(platform::Environment& env, const NumberStore& store) {
  const IniDocument document = store.Read();
  const std::string holder = LockOwnerIn(document);
  if (IsLockHolder(holder)) {
    ShowLockMessage(env, store, holder, LockPlaceIn(document));
    return kLockedMarker;
  }
  // The preview never shows a number that the draw would refuse.
  const NextDraw draw = PlanNextDraw(env, document, store.path());
  if (draw.refusal) {
    platform::ShowErrorBox(env.ui, *draw.refusal);
    return kErrorMarker;
  }
  return draw.number;
}

std::string PreviewNextNumber(platform::Environment& env) {
  return PreviewNextNumber(env, *OpenCurrentNumberStore(env));
}

std::string DrawNextNumber(platform::Environment& env) {
  const auto store = OpenCurrentNumberStore(env);
  std::optional<std::string> refusal;
  const StoreDraw drawn = store->Draw(
      [&](IniDocument& document, const platform::LocalDateTime& now) -> std::optional<Drawn> {
        const NextDraw draw = PlanNextDraw(document, store->path(), now);
        if (draw.refusal) {
          refusal = draw.refusal;
          return std::nullopt;
        }
        WriteDraw(document, draw);
        return Drawn{draw.number, draw.counter};
      },
      "");
  if (refusal) Refuse(env, *refusal);
  // The number stands, but a caller must learn that its record is missing.
  if (drawn.unrecorded) throw Error(*drawn.unrecorded);
  return drawn.number.value_or("");
}

DrawResult DrawUnderLock(platform::Environment& env, const NumberStore& store, const std::string& application) {
  DrawResult result;
  std::optional<std::string> refusal;
  const StoreDraw drawn = store.Draw(
      [&](IniDocument& document, const platform::LocalDateTime& now) -> std::optional<Drawn> {
        result.holder = LockOwnerIn(document);
        result.holder_place = LockPlaceIn(document);
        if (IsLockHolder(result.holder)) return std::nullopt;
        const NextDraw draw = PlanNextDraw(document, store.path(), now);
        if (draw.refusal) {
          refusal = draw.refusal;
          return std::nullopt;
        }
        // The lock entries come first, as a file that a draw creates has always had them.
        WriteFreeLock(document);
        WriteDraw(document, draw);
        return Drawn{draw.number, draw.counter};
      },
      application);
  if (refusal) Refuse(env, *refusal);
  if (drawn.number) {
    result.issued = true;
    result.number = *drawn.number;
    result.unrecorded = drawn.unrecorded;
  }
  return result;
}

DrawResult DrawUnderLock(platform::Environment& env) { return DrawUnderLock(env, *OpenCurrentNumberStore(env)); }

std::optional<int32_t> ValidateCounterText(platform::Environment& env, const std::string& text) {
  if (const auto number = ParseInteger(text)) return number;
  platform::ShowErrorBox(env.ui, text +
                                     " ist keine gültige Trelvo-Ganzzahl. Geben Sie im Feld \r\n"
                                     "\"Nächster Zähler\" eine Zahl von 1 bis 999.999.999 ein.");
  return std::nullopt;
}

}  // namespace trelvo::engine
