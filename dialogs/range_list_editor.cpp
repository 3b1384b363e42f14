#include "dialogs/range_list_editor.h"

#include "dialogs/dialog_texts.h"
#include "engine/messages.h"
#include "engine/range_list.h"
#include "engine/settings.h"
#include "platform/quoting.h"
#include "platform/user_interface.h"

namespace trelvo::dialogs {
namespace {

bool Blank(const std::string& text) { return text.find_first_not_of(" \t") == std::string::npos; }

}  // namespace

bool RangeListEditor::Load() {
  entries_.clear();
  try {
    entries_ = engine::ReadRangeList(env_);
  } catch (const std::exception&) {
    // No range list yet: an empty list.
  }
  const size_t before = entries_.size();
  // A relative path is as invalid as a missing file: it names another file in every working folder.
  std::erase_if(entries_, [&](const std::string& entry) {
    const std::string path = engine::GetRangePath(entry);
    return !env_.files.IsFullPath(path) || !env_.files.FileExists(path);
  });
  selected_.reset();
  Show();
  if (entries_.size() == before) return false;
  platform::ShowErrorBox(env_.ui, texts::kInvalidRangesRemoved);
  changed_ = true;
  return true;
}

void RangeListEditor::Add() {
  const auto entry = view_.EditRange("", "");
  if (!entry) return;
  entries_.push_back(*entry);
  changed_ = true;
  Show();
}

void RangeListEditor::Edit() {
  if (!selected_) return env_.ui.Beep();
  std::string& entry = entries_[*selected_];
  const auto edited = view_.EditRange(engine::GetRangeName(entry), engine::GetRangePath(entry));
  if (!edited) return;
  entry = *edited;
  changed_ = true;
  Show();
}

void RangeListEditor::Remove() {
  if (!selected_) return env_.ui.Beep();
  const std::string question =
      engine::FillIn(texts::kRemoveRangeQuestion, platform::Quoted(engine::GetRangeName(entries_[*selected_])));
  const auto answer = env_.ui.Show(
      {platform::MessageKind::Confirmation, texts::kOptionsCaption, question, platform::MessageButtons::YesNoCancel});
  if (answer != platform::MessageAnswer::Yes) return;
  entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(*selected_));
  selected_.reset();
  changed_ = true;
  Show();
}

void RangeListEditor::MoveUp() {
  view_.FocusRanges();
  if (!selected_ || *selected_ == 0) return env_.ui.Beep();
  std::swap(entries_[*selected_], entries_[*selected_ - 1]);
  --*selected_;
  changed_ = true;
  Show();
}

void RangeListEditor::MoveDown() {
  if (!selected_ || *selected_ + 1 >= entries_.size()) return env_.ui.Beep();
  std::swap(entries_[*selected_], entries_[*selected_ + 1]);
  ++*selected_;
  view_.FocusRanges();
  changed_ = true;
  Show();
}

bool RangeListEditor::Key(RangeKey key, Modifiers modifiers) {
  const bool ctrl_alone = modifiers.ctrl && !modifiers.shift && !modifiers.alt;
  switch (key) {
    case RangeKey::Enter: Edit(); return true;
    case RangeKey::Insert: Add(); return true;
    case RangeKey::Delete: Remove(); return true;
    case RangeKey::Up:
      if (!ctrl_alone) return false;
      MoveUp();
      return true;
    case RangeKey::Down:
      if (!ctrl_alone) return false;
      MoveDown();
      return true;
    case RangeKey::Other: return false;
  }
  return false;
}

void RangeListEditor::Save() const { engine::WriteRangeList(env_, entries_); }

bool AcceptRange(platform::Environment& env, const std::string& name, const std::string& path) {
  if (Blank(name) || Blank(path)) {
    env.ui.Beep();
    return false;
  }
  if (name.find('|') != std::string::npos) {
    platform::ShowErrorBox(env.ui, texts::kRangeNameWithBar);
    return false;
  }
  if (const std::string trimmed = platform::Trimmed(path); !env.files.IsFullPath(trimmed)) {
    platform::ShowErrorBox(env.ui, engine::NotAFullPathMessage(engine::kCounterFileWhat, trimmed));
    return false;
  }
  return true;
}

}  // namespace trelvo::dialogs
