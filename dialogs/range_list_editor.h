#pragma once
// The list of number ranges on the Options dialog's tab "Nummernkreise":
// loaded from the range list file without the entries whose counter file is
// gone, then added to, edited, removed from and reordered. Each entry is a
// line of the file, "name|path". The file is written by the Options dialog.
#include <optional>
#include <string>
#include <vector>

#include "platform/environment.h"

namespace trelvo::dialogs {

// What the list needs of its window.
class RangeListView {
 public:
  virtual ~RangeListView() = default;
  virtual void ShowRanges(const std::vector<std::string>& entries, std::optional<size_t> selected) = 0;
  virtual void FocusRanges() = 0;
  // The range edit dialog: "name|path" on OK, nullopt on Cancel.
  virtual std::optional<std::string> EditRange(const std::string& name, const std::string& path) = 0;
};

// The keys the list answers while it has the focus.
enum class RangeKey { Enter, Insert, Delete, Up, Down, Other };
struct Modifiers {
  bool ctrl = false, shift = false, alt = false;
};

class RangeListEditor {
 public:
  RangeListEditor(platform::Environment& env, RangeListView& view) : env_(env), view_(view) {}

  // Fills the list from the file; true when entries were dropped (told in one box).
  bool Load();
  void Select(std::optional<size_t> index) { selected_ = index; }

  void Add();
  void Edit();
  void Remove();
  void MoveUp();
  void MoveDown();
  // A key in the list: true when it ran a button (and is consumed).
  bool Key(RangeKey key, Modifiers modifiers);

  const std::vector<std::string>& entries() const { return entries_; }
  std::optional<size_t> selected() const { return selected_; }
  // The list differs from the file: set by dropping, adding, editing, removing, moving.
  bool changed() const { return changed_; }
  // Writes the entries to the range list file, one per line.
  void Save() const;

 private:
  void Show() { view_.ShowRanges(entries_, selected_); }

  platform::Environment& env_;
  RangeListView& view_;
  std::vector<std::string> entries_;
  std::optional<size_t> selected_;
  bool changed_ = false;
};

// The range edit dialog's OK: refused (with a beep, or a message for a "|" in
// the name) while name or path is empty without its blanks, and with a message
// for a path that is not full.
bool AcceptRange(platform::Environment& env, const std::string& name, const std::string& path);

}  // namespace trelvo::dialogs
