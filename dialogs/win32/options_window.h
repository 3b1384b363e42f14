#pragma once
// The Options dialog's window: three tabs in one template, the controls of a
// tab shown while it is chosen, every change handed to the dialog's behaviour
// (OptionsDialog), which tells the window what to show.
#include <functional>
#include <vector>

#include "dialogs/options_dialog.h"
#include "dialogs/win32/dialog_window.h"
#include "platform/win32/gdi_objects.h"

namespace trelvo::dialogs::win32 {

class OptionsWindow : public DialogWindow, public OptionsView {
 public:
  explicit OptionsWindow(platform::Environment& env);
  ~OptionsWindow() override;
  // Shows the dialog modally; the behaviour's results stay readable afterwards.
  void Run(HWND owner);
  const OptionsDialog& dialog() const { return dialog_; }
  OptionsDialog& dialog() { return dialog_; }

  // OptionsView
  void ShowMode(bool admin) override;
  void ShowFields(const OptionsFields& fields) override;
  void ShowCounterFile(const std::string& path, const std::string& name_label) override;
  void ShowPreview(const std::string& preview, const std::string& counter_text_label) override;
  void FocusCounter() override;
  std::optional<std::string> OpenCounterFile(const std::string& current, bool admin) override;
  std::optional<std::string> CreateCounterFile() override;
  void ShowRanges(const std::vector<std::string>& entries, std::optional<size_t> selected) override;
  void FocusRanges() override;
  std::optional<std::string> EditRange(const std::string& name, const std::string& path) override;

 protected:
  void OnInit() override;
  void OnLayout() override;
  void OnCommand(int id, int code) override;
  bool OnMessage(UINT message, WPARAM wparam, LPARAM lparam, INT_PTR& result) override;

 private:
  void Handle(int id, int code);
  OptionsFields Collect() const;
  // The yearly restart is offered only with a date part that shows the year;
  // where none does, it is cleared, so that nothing unsaveable stays ticked.
  void OfferRestart(const OptionsFields& fields);
  void ShowPage(int page);
  bool RangeKeyPressed(UINT key);
  void LeaveSpinField(int id, int lowest);
  // Runs a step of the behaviour; the window's own notifications meanwhile are not handed on.
  template <class Step>
  void Quietly(Step&& step);

  platform::Environment& env_;
  OptionsDialog dialog_;
  bool admin_ = false;
  bool quiet_ = false;
  std::vector<int> pages_;  // the page of each tab: 0 Zähler, 1 Pfade, 2 Nummernkreise
  std::string last_created_;
  std::function<bool(UINT)> range_keys_;
  std::vector<trelvo::win32::UniqueBitmap> button_faces_;
};

}  // namespace trelvo::dialogs::win32
