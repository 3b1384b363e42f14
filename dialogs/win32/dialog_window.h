#pragma once
// A modal dialog from a template of the library's resources: the common
// controls of version 6 active while it is open (the library's manifest),
// aware of each monitor's resolution, laid out from its template for the
// resolution of the monitor it opens on and again when it moves to a monitor
// of another (DialogLayout), `this` kept at WM_INITDIALOG and every message
// passed to the object, and no exception leaving the dialog procedure: it is
// shown in an error box.
#include <exception>
#include <optional>
#include <string>
#include <windows.h>

#include "dialogs/win32/dialog_layout.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/window_text.h"

namespace trelvo::dialogs::win32 {

class DialogWindow {
 public:
  virtual ~DialogWindow() = default;
  DialogWindow() = default;
  DialogWindow(const DialogWindow&) = delete;
  DialogWindow& operator=(const DialogWindow&) = delete;

  // Shows the dialog owned by owner (nullptr: none) until it ends; its result.
  INT_PTR ShowModal(HWND owner, int template_id);
  HWND hwnd() const { return hwnd_; }

 protected:
  // WM_INITDIALOG, after the layout: texts, lists, initial state.
  virtual void OnInit() = 0;
  // After each layout (after OnInit at first, then whenever the resolution
  // changes): what goes beyond the template, at the resolution Dpi().
  virtual void OnLayout() {}
  // WM_COMMAND: control id and notification code.
  virtual void OnCommand(int id, int code) = 0;
  // Any other message; true when handled (result in result).
  virtual bool OnMessage(UINT message, WPARAM wparam, LPARAM lparam, INT_PTR& result);
  // An exception of a handler: an error box over the dialog.
  virtual void OnError(const std::exception& error);
  // OnError as every handler's catch calls it: should the report throw in
  // turn, the exception ends here. error: nullptr for one that is no std::exception.
  static void Report(DialogWindow& window, const std::exception* error) noexcept;

  // The resolution the dialog is laid out for, and its font there.
  unsigned Dpi() const { return layout_ ? layout_->dpi() : 96; }
  HFONT DialogFont() const { return layout_ ? layout_->font() : nullptr; }

  HWND Item(int id) const { return GetDlgItem(hwnd_, id); }
  void SetText(int id, const std::string& text) const;
  std::string Text(int id) const;
  void Show(int id, bool shown) const { ShowWindow(Item(id), shown ? SW_SHOW : SW_HIDE); }
  void End(INT_PTR result) const { EndDialog(hwnd_, result); }
  // Moves the focus to a control once the current message is done.
  void FocusLater(int id) const { PostMessageW(hwnd_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(id)), TRUE); }

 private:
  static INT_PTR CALLBACK Procedure(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) noexcept;
  // The first layout, for the monitor the dialog opens on: it keeps its
  // middle where the dialog manager centred it, inside the monitor's work area.
  void LayOutFirst();
  // WM_DPICHANGED: laid out for the new resolution in the place Windows suggests.
  void DpiChanged(unsigned dpi, const RECT& suggested);

  HWND hwnd_ = nullptr;
  std::optional<DialogLayout> layout_;
};

using trelvo::win32::SetWindowTextUtf8;
using trelvo::win32::Widen;
using trelvo::win32::WindowText;

// The width in pixels of a text drawn in a window with a font.
int TextWidth(HWND window, HFONT font, const std::wstring& text);

// A list of texts for a drop-down list.
template <class Items>
void FillComboBox(HWND box, const Items& items) {
  SendMessageW(box, CB_RESETCONTENT, 0, 0);
  for (const char* item : items) SendMessageW(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(item).c_str()));
}

}  // namespace trelvo::dialogs::win32
