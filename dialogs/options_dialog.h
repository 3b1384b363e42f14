#pragma once
// The Options dialog's behaviour, without its window: the mode from the
// settings file, the administrator's lock on the counter file from opening to
// closing, the counter file's keys in the fields, the preview on every change,
// choosing or creating another counter file, and saving on OK. The window
// (OptionsView) shows what it is told and hands every change back.
#include <optional>
#include <string>

#include "dialogs/range_list_editor.h"
#include "engine/counter_period.h"
#include "engine/ini/ini_document.h"
#include "platform/environment.h"

namespace trelvo::dialogs {

// The fields of the tabs "Zähler" and "Pfade" as the user sees them.
struct OptionsFields {
  std::string text_before;
  int date_kind = 0;       // item of the date list
  int separator_kind = 0;  // item of the separator list
  std::string text_after;
  std::string text_counter;
  std::string counter = "0";    // as typed
  int digits = 3;               // 1 to 9
  std::string increment = "1";  // as typed
  bool leading = false;
  bool restart = false;  // the counter starts again with each new year
  std::string description;
  std::string log_folder;
};

class OptionsView : public RangeListView {
 public:
  // Admin mode: every tab, "Zähler" active, editable description, the new
  // button, an open dialog that offers to create a file. Client mode: no
  // "Zähler" tab, "Pfade" active, read-only description, no new button, an
  // open dialog for existing files only.
  virtual void ShowMode(bool admin) = 0;
  virtual void ShowFields(const OptionsFields& fields) = 0;
  // The counter-file field, and the description's label with its name.
  virtual void ShowCounterFile(const std::string& path, const std::string& name_label) = 0;
  virtual void ShowPreview(const std::string& preview, const std::string& counter_text_label) = 0;
  virtual void FocusCounter() = 0;
  // The file dialogs: the path chosen, or nullopt when cancelled.
  virtual std::optional<std::string> OpenCounterFile(const std::string& current, bool admin) = 0;
  virtual std::optional<std::string> CreateCounterFile() = 0;
};

// Whether the yearly restart may be chosen: only where the date part shows
// the year, which keeps the numbers of two years apart.
bool RestartOffered(const OptionsFields& fields);

class OptionsDialog {
 public:
  OptionsDialog(platform::Environment& env, OptionsView& view);

  // Creation and first display: mode, lock, ranges, fields, preview. False,
  // after its one message, when the counter file cannot be read (a server that
  // does not answer): the dialog does not open.
  bool Open();
  // Any field changed: the preview runs again.
  void Changed(const OptionsFields& fields);
  // The focus leaves the counter field: false (after the error box) sends it back.
  bool CounterLeft(const std::string& text);
  // The counter-file field's buttons.
  void ChooseCounterFile(const OptionsFields& fields);
  void CreateCounterFile(const OptionsFields& fields);
  // OK (true) or Cancel; false when the dialog stays open.
  bool Close(bool ok, const OptionsFields& fields);

  RangeListEditor& ranges() { return ranges_; }
  // What the caller reads after the dialog closed.
  bool counter_file_changed() const { return counter_file_changed_; }
  bool range_list_changed() const { return ranges_.changed(); }

 private:
  bool Admin() const;
  // The counter file's content (empty for a missing file or a path that is
  // not full); nullopt, told once, when it cannot be read.
  std::optional<engine::IniDocument> ReadCounterFile();
  template <class Step>
  void EvenIfRefused(Step&& step);
  void TakeLock();
  void ShowCounterFile();
  void Refresh(const std::string& log_folder, const engine::IniDocument& file);
  // True, after its error box, when the fields ask for a yearly restart that
  // their date part cannot show: nothing is saved.
  bool RestartRefused(const OptionsFields& fields);
  // True, after its error box, when the counter would be set below a value
  // already issued: nothing is saved.
  bool CounterSetBack(const OptionsFields& fields);
  void Preview(const OptionsFields& fields);
  void SaveConfig(const OptionsFields& fields);
  void SaveFileSettings(const OptionsFields& fields);
  void UseCounterFile(const std::optional<std::string>& chosen, const OptionsFields& fields);

  platform::Environment& env_;
  OptionsView& view_;
  RangeListEditor ranges_;
  std::string counter_file_;
  bool counter_file_changed_ = false;
  bool locked_ = false;  // this dialog holds the counter file's lock
  // The fields as they were shown after reading the counter file: what the
  // administrator left as it was is not written.
  OptionsFields shown_;
  // What the preview's restart rests on: the file's restart kind and period.
  engine::CounterRestart restart_ = engine::CounterRestart::Never;
  std::string period_;
};

}  // namespace trelvo::dialogs
