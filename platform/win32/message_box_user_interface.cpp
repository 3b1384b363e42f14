#include "platform/win32/message_box_user_interface.h"

#include <utility>

#include "platform/win32/dpi.h"
#include "platform/win32/wide_text.h"

namespace trelvo::win32 {

platform::MessageAnswer MessageBoxUserInterface::Show(const platform::Message& message) {
  UINT style = MB_TASKMODAL;
  switch (message.kind) {
    case platform::MessageKind::Error: style |= MB_ICONERROR; break;
    case platform::MessageKind::Confirmation: style |= MB_ICONQUESTION; break;
    case platform::MessageKind::Plain: break;
  }
  style |= message.buttons == platform::MessageButtons::YesNoCancel ? MB_YESNOCANCEL : MB_OK;
  // While a dialog of the add-in is open, the host's window is disabled: the
  // box belongs to the dialog then, so that it stands in front of it.
  HWND owner = owner_();
  if (owner && !IsWindowEnabled(owner)) owner = GetLastActivePopup(owner);
  // Sharp on every monitor: the box is made aware of each monitor's resolution.
  const PerMonitorDpiAwareness awareness;
  switch (MessageBoxW(owner, Widen(message.text).c_str(), Widen(message.caption).c_str(), style)) {
    case IDYES: return platform::MessageAnswer::Yes;
    case IDNO: return platform::MessageAnswer::No;
    case IDCANCEL: return platform::MessageAnswer::Cancel;
    default: return platform::MessageAnswer::Ok;
  }
}

void MessageBoxUserInterface::Beep() { MessageBeep(MB_OK); }

// The host's thread runs no messages while it waits, so the cursor set here
// stays until the wait ends and the host sets its own again.
void MessageBoxUserInterface::ShowWaiting(const std::string& text) noexcept {
  cursor_before_wait_ = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
  ShowInStatusBar(text);
}

void MessageBoxUserInterface::EndWaiting() noexcept {
  SetCursor(std::exchange(cursor_before_wait_, nullptr));
  ShowInStatusBar(std::nullopt);
}

void MessageBoxUserInterface::ShowInStatusBar(const std::optional<std::string>& text) noexcept {
  if (!status_bar_) return;
  try {
    status_bar_(text);
  } catch (...) {
    // A host without a status bar (or one that refuses it) still has the cursor.
  }
}

}  // namespace trelvo::win32
