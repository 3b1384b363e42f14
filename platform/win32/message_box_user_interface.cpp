#include "platform/win32/message_box_user_interface.h"

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

}  // namespace trelvo::win32
