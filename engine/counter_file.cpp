#include "engine/counter_file.h"

#include "engine/integer_text.h"
#include "engine/settings.h"
#include "platform/error.h"

namespace trelvo::engine {
namespace k = counter_keys;
namespace {

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

CounterFile::CounterFile(platform::Environment& env, std::string path)
    : env_(env), file_(env.files, std::move(path), CounterFileTexts()) {}

bool CounterFile::Exists() const { return env_.files.FileExists(path()); }

std::optional<server::ServerRange> CounterFile::Server() const {
  if (!pointer_read_) Learn(TellWhenBusy(env_, [&] { return file_.Load(); }));
  if (!pointer_) return std::nullopt;
  return server::ServerRange(env_, *pointer_, path());
}

void CounterFile::Learn(const IniDocument& content) const {
  pointer_ = server::ServerPointerIn(content, path());
  pointer_read_ = true;
}

IniDocument CounterFile::Load() const {
  IniDocument document = TellWhenBusy(env_, [&] { return file_.Load(); });
  Learn(document);
  if (pointer_) return server::ServerRange(env_, *pointer_, path()).Load();
  return document;
}

void CounterFile::Update(const std::function<void(IniDocument&)>& change) const {
  Change(
      [&](IniDocument& document) -> std::optional<server::ServerRecord> {
        change(document);
        return std::nullopt;
      },
      false);
}

std::optional<std::string> CounterFile::UpdateWithRecord(
    const std::function<std::optional<server::ServerRecord>(IniDocument&)>& change) const {
  return Change(change, true);
}

// One open of the file: its content is changed under its lock, unless it
// turns out to be a pointer; then the range's row is, once the file is let go.
std::optional<std::string> CounterFile::Change(
    const std::function<std::optional<server::ServerRecord>(IniDocument&)>& change, bool draws) const {
  TellWhenBusy(env_, [&] {
    file_.Update([&](IniDocument& document) {
      Learn(document);
      if (!pointer_) change(document);
    });
  });
  if (!pointer_) return std::nullopt;
  return server::ServerRange(env_, *pointer_, path()).Update(change, draws);
}

CounterFile CurrentCounterFile(platform::Environment& env) { return CounterFile(env, UsableCounterFilePath(env)); }

}  // namespace trelvo::engine
