#include "engine/counter_file.h"

#include "engine/settings.h"
#include "platform/error.h"

namespace trelvo::engine {
namespace k = counter_keys;
namespace {

constexpr char kCounterFileBusy[] =
    "Die Zählerdatei %s ist zur Zeit durch einen anderen Arbeitsplatz belegt.\r\n"
    "Bitte probieren Sie es in einigen Sekunden erneut.";

// The busy message is an error box of its own; the operation then ends quietly.
template <class Operation>
auto TellWhenBusy(platform::Environment& env, Operation&& operation) {
  try {
    return operation();
  } catch (const FileBusyError& error) {
    platform::ShowErrorBox(env.ui, error.what());
    throw Aborted(error.what());
  }
}

}  // namespace

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

std::string LockOwnerIn(const IniDocument& file) {
  if (!file.ReadBool(k::kLockingSection, k::kIsLocked, false)) return kNoUser;
  return file.ReadString(k::kLockingSection, k::kLockedBy, kUnknownHolder);
}

void WriteFreeLock(IniDocument& file) {
  file.WriteBool(k::kLockingSection, k::kIsLocked, false);
  file.WriteString(k::kLockingSection, k::kLockedBy, kNoUser);
}

CounterFile::CounterFile(platform::Environment& env, std::string path)
    : env_(env), file_(env.files, std::move(path), kCounterFileBusy) {}

bool CounterFile::Exists() const { return env_.files.FileExists(path()); }

IniDocument CounterFile::Load() const {
  return TellWhenBusy(env_, [&] { return file_.Load(); });
}

void CounterFile::Update(const std::function<void(IniDocument&)>& change) const {
  TellWhenBusy(env_, [&] { file_.Update(change); });
}

CounterFile CurrentCounterFile(platform::Environment& env) { return CounterFile(env, GetCounterFilePath(env)); }

}  // namespace trelvo::engine
