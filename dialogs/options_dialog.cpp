#include "dialogs/options_dialog.h"

#include <algorithm>
#include <utility>

#include "dialogs/dialog_texts.h"
#include "engine/counter_change.h"
#include "engine/counter_file.h"
#include "engine/counter_lock.h"
#include "engine/integer_text.h"
#include "engine/messages.h"
#include "engine/number_drawing.h"
#include "engine/number_store.h"
#include "engine/settings.h"
#include "platform/user_interface.h"

namespace trelvo::dialogs {
namespace {

namespace k = engine::counter_keys;

// The description is one line of the counter file: a line break becomes one blank.
std::string OnOneLine(const std::string& text) {
  std::string line;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text.compare(i, 2, "\r\n") == 0) ++i;
    line += text[i] == '\n' ? ' ' : text[i];
  }
  return line;
}

}  // namespace

OptionsDialog::OptionsDialog(platform::Environment& env, OptionsView& view)
    : env_(env), view_(view), ranges_(env, view) {}

bool OptionsDialog::Admin() const { return engine::IsAdminMode(env_); }

// A failure its own error box has told (Aborted) ends here; the dialog can
// always be closed, whatever the store said.
template <class Step>
void OptionsDialog::EvenIfRefused(Step&& step) {
  try {
    step();
  } catch (const Aborted&) {
    platform::ShowErrorBox(env_.ui, texts::kNothingSaved);
  }
}

bool OptionsDialog::Open() {
  const bool admin = Admin();
  counter_file_ = engine::GetCounterFilePath(env_);
  // A relative path stored by hand or by an older version is shown, but not
  // locked or read: the administrator chooses the file anew.
  const bool full_path = env_.files.IsFullPath(counter_file_);
  if (!full_path)
    platform::ShowErrorBox(env_.ui, engine::NotAFullPathMessage(engine::kCounterFileWhat, counter_file_));
  const auto content = ReadCounterFile();
  if (!content) return false;  // told once; fields of defaults would pass for the range's values
  if (full_path && admin) TakeLock();
  view_.ShowMode(admin);
  ranges_.Load();
  counter_file_changed_ = false;
  ShowCounterFile();
  Refresh(engine::GetLogFolder(env_), *content);
  return true;
}

std::optional<engine::IniDocument> OptionsDialog::ReadCounterFile() {
  if (!env_.files.IsFullPath(counter_file_)) return engine::IniDocument();
  try {
    return engine::OpenNumberStore(env_, counter_file_)->Read();  // a missing file reads as empty
  } catch (const Aborted&) {
    return std::nullopt;  // told already (a busy file, a server that does not answer)
  } catch (const std::exception& error) {
    platform::ShowErrorBox(env_.ui, error.what());
    return std::nullopt;
  }
}

// Another workstation's lock is overwritten; a lock that cannot be written is
// told, and then no edit of counter and format is saved.
void OptionsDialog::TakeLock() {
  try {
    engine::AcquireLock(env_, *engine::OpenNumberStore(env_, counter_file_));
    locked_ = true;
  } catch (const Aborted&) {
    locked_ = false;  // told already, with its reason
  } catch (const std::exception& error) {
    locked_ = false;
    platform::ShowErrorBox(
        env_.ui, engine::FillIn(engine::FillIn(texts::kLockNotTaken, platform::Quoted(counter_file_)), error.what()));
  }
}

void OptionsDialog::ShowCounterFile() {
  view_.ShowCounterFile(counter_file_, platform::Quoted(engine::FileNameOf(counter_file_)) + ":");
}

// The fields show what a draw from the file would use, a missing key as the
// draw's default, so that the preview is the next number drawn.
void OptionsDialog::Refresh(const std::string& log_folder, const engine::IniDocument& file) {
  const engine::CounterState draw = engine::ReadCounterState(file);
  OptionsFields fields;
  fields.counter = std::to_string(draw.counter);
  fields.increment = std::to_string(draw.increment);
  fields.text_before = draw.format.text_before;
  fields.date_kind = draw.format.date_kind;
  fields.separator_kind = draw.format.separator_kind;
  fields.text_after = draw.format.text_after;
  fields.text_counter = draw.format.counter_text;
  fields.digits = std::clamp(draw.format.width, 1, 9);
  fields.leading = draw.format.leading;
  fields.restart = draw.restart != engine::CounterRestart::Never;
  restart_ = draw.restart;
  period_ = draw.period;
  fields.description = file.ReadString(k::kNoteSection, k::kConfigDesc, texts::kDefaultDescription);
  fields.log_folder = log_folder;
  shown_ = fields;
  view_.ShowFields(fields);
  Preview(fields);
}

void OptionsDialog::Preview(const OptionsFields& fields) {
  const int32_t counter = engine::ValidateCounterText(env_, fields.counter).value_or(0);
  const int32_t increment = engine::ValidateCounterText(env_, fields.increment).value_or(1);
  engine::NumberFormat format;
  format.text_before = fields.text_before;
  format.text_after = fields.text_after;
  format.counter_text = fields.text_counter;
  format.date_kind = fields.date_kind;
  format.separator_kind = fields.separator_kind;
  format.width = fields.digits;
  format.leading = fields.leading;
  // The number the next draw gives: a new year starts the counter again.
  const engine::CounterRestart restart =
      !fields.restart ? engine::CounterRestart::Never
                      : (restart_ == engine::CounterRestart::Never ? engine::CounterRestart::Yearly : restart_);
  const engine::PeriodDraw period = engine::DrawInPeriod(restart, period_, counter, env_.system.Now());
  view_.ShowPreview(engine::ComposeNumber(format, period.counter, increment, period.date),
                    fields.leading ? texts::kTextBeforeCounterLabel : texts::kTextBehindCounterLabel);
}

void OptionsDialog::Changed(const OptionsFields& fields) { Preview(fields); }

bool OptionsDialog::CounterLeft(const std::string& text) {
  if (engine::ValidateCounterText(env_, text)) return true;
  view_.FocusCounter();
  return false;
}

// Writes the fields the administrator changed into the counter file and frees
// its lock. A field left as it was shown writes nothing: a missing key keeps
// the draw's default, and a stored value the field cannot hold (a counter
// beyond nine digits, a Padding beyond nine digits) is never changed.
void OptionsDialog::SaveConfig(const OptionsFields& fields) {
  if (!locked_) return;
  const auto store = engine::OpenNumberStore(env_, engine::UsableCounterFilePath(env_));
  if (!store->Exists()) return platform::ShowErrorBox(env_.ui, texts::kCounterFileNotSaved);
  const auto counter =
      fields.counter == shown_.counter ? std::nullopt : engine::ValidateCounterText(env_, fields.counter);
  const auto increment =
      fields.increment == shown_.increment ? std::nullopt : engine::ValidateCounterText(env_, fields.increment);
  int32_t before = 0;
  store->Update([&](engine::IniDocument& document) {
    before = engine::ReadCounterState(document).counter;
    const auto text = [&](const char* section, const char* key, const std::string& value, const std::string& shown) {
      if (value != shown) document.WriteString(section, key, value);
    };
    const auto number = [&](const char* key, int32_t value, int32_t shown) {
      if (value != shown) document.WriteInteger(k::kOptionsSection, key, value);
    };
    if (counter) document.WriteInteger(k::kCounterSection, k::kCounter, *counter);
    text(k::kOptionsSection, k::kTextBefore, fields.text_before, shown_.text_before);
    number(k::kPrefix, fields.date_kind, shown_.date_kind);
    number(k::kSep, fields.separator_kind, shown_.separator_kind);
    text(k::kOptionsSection, k::kTextAfter, fields.text_after, shown_.text_after);
    text(k::kOptionsSection, k::kTextCounter, fields.text_counter, shown_.text_counter);
    number(k::kPadding, fields.digits - 1, shown_.digits - 1);
    if (increment) document.WriteInteger(k::kCounterSection, k::kIncrement, *increment);
    if (fields.leading != shown_.leading) document.WriteBool(k::kOptionsSection, k::kLeadingText, fields.leading);
    if (fields.restart != shown_.restart)
      document.WriteInteger(k::kOptionsSection, k::kRestart, fields.restart ? 1 : 0);
    text(k::kNoteSection, k::kConfigDesc, OnOneLine(fields.description), OnOneLine(shown_.description));
    engine::WriteFreeLock(document);
  });
  locked_ = false;
  if (!counter || *counter == before) return;
  // The counter stands; a record that cannot follow it is told, not hidden.
  try {
    engine::RecordCounterChange(*store, {before, *counter, engine::FileNameOf(counter_file_)});
  } catch (const std::exception& error) {
    platform::ShowErrorBox(env_.ui, engine::FillIn(texts::kCounterChangeNotRecorded, error.what()));
  }
}

void OptionsDialog::SaveFileSettings(const OptionsFields& fields) {
  if (ranges_.changed()) ranges_.Save();
  engine::SetPaths(env_, counter_file_, fields.log_folder);
}

void OptionsDialog::ChooseCounterFile(const OptionsFields& fields) {
  const bool admin = Admin();
  if (admin) SaveConfig(fields);
  UseCounterFile(view_.OpenCounterFile(counter_file_, admin), fields);
}

void OptionsDialog::CreateCounterFile(const OptionsFields& fields) {
  SaveConfig(fields);
  UseCounterFile(view_.CreateCounterFile(), fields);
}

// The lock moves from the old counter file to the chosen one; cancelled, it
// is taken again on the old one.
void OptionsDialog::UseCounterFile(const std::optional<std::string>& chosen, const OptionsFields& fields) {
  const bool admin = Admin();
  if (!chosen) {
    if (admin) TakeLock();
    return;
  }
  counter_file_ = *chosen;
  ShowCounterFile();
  SaveFileSettings(fields);
  if (admin) TakeLock();
  Refresh(fields.log_folder, ReadCounterFile().value_or(engine::IniDocument()));
  counter_file_changed_ = true;
}

bool RestartOffered(const OptionsFields& fields) {
  engine::NumberFormat format;
  format.date_kind = fields.date_kind;
  return engine::ShowsYear(format);
}

bool OptionsDialog::RestartRefused(const OptionsFields& fields) {
  if (!fields.restart || RestartOffered(fields)) return false;
  platform::ShowErrorBox(env_.ui, texts::kRestartWithoutYear);
  return true;
}

bool OptionsDialog::CounterSetBack(const OptionsFields& fields) {
  if (fields.counter == shown_.counter || !locked_) return false;
  const auto counter = engine::ParseInteger(fields.counter);
  if (!counter) return false;  // told by the field's own check
  const auto store = engine::OpenNumberStore(env_, counter_file_);
  const auto refusal = engine::CounterSetBackRefusal(
      *counter, engine::HighestIssued(env_, *store, engine::ReadCounterState(store->Read())));
  if (refusal) platform::ShowErrorBox(env_.ui, *refusal);
  return refusal.has_value();
}

bool OptionsDialog::Close(bool ok, const OptionsFields& fields) {
  if (!ok) {
    // A lock that cannot be freed now (a server gone away) is told, and the
    // dialog closes all the same: "trelvo unlock" or the next Options frees it.
    if (Admin() && locked_)
      EvenIfRefused([&] { engine::ReleaseLock(env_, *engine::OpenNumberStore(env_, counter_file_)); });
    locked_ = false;
    return true;
  }
  if (!engine::ValidateCounterText(env_, fields.counter)) return false;
  if (Admin() && (RestartRefused(fields) || CounterSetBack(fields))) return false;
  for (const auto& [what, path] :
       {std::pair{engine::kCounterFileWhat, counter_file_}, std::pair{engine::kLogFolderWhat, fields.log_folder}}) {
    if (env_.files.IsFullPath(path)) continue;
    platform::ShowErrorBox(env_.ui, engine::NotAFullPathMessage(what, path));
    return false;
  }
  SaveFileSettings(fields);
  if (Admin()) EvenIfRefused([&] { SaveConfig(fields); });
  return true;
}

}  // namespace trelvo::dialogs
