#pragma once
// Drives a modal dialog of this thread by window messages: once a dialog with
// the caption appears, the script runs inside the dialog's message loop (a
// thread timer), as a user would act on it.
#include <functional>
#include <string>
#include <windows.h>

#include "platform/win32/wide_text.h"

namespace trelvo::testing {

inline std::function<void(HWND)>& PendingScript() {
  static std::function<void(HWND)> script;
  return script;
}
inline std::wstring& PendingCaption() {
  static std::wstring caption;
  return caption;
}

inline BOOL CALLBACK FindPendingDialog(HWND window, LPARAM found) {
  wchar_t caption[256] = {};
  GetWindowTextW(window, caption, 256);
  if (!IsWindowVisible(window) || PendingCaption() != caption) return TRUE;
  *reinterpret_cast<HWND*>(found) = window;
  return FALSE;
}

inline void CALLBACK RunPendingScript(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND dialog = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), FindPendingDialog, reinterpret_cast<LPARAM>(&dialog));
  if (!dialog) return;
  KillTimer(nullptr, timer);
  const auto script = std::move(PendingScript());
  PendingScript() = nullptr;
  script(dialog);
}

// The next dialog with this caption gets the script.
inline void WhenDialogOpens(const std::string& caption, std::function<void(HWND)> script) {
  PendingCaption() = win32::Widen(caption);
  PendingScript() = std::move(script);
  SetTimer(nullptr, 0, 20, RunPendingScript);
}

inline std::string ItemText(HWND dialog, int id) {
  wchar_t text[1024] = {};
  GetDlgItemTextW(dialog, id, text, 1024);
  return win32::Narrow(text);
}
inline void SetItemText(HWND dialog, int id, const std::string& text) {
  SetDlgItemTextW(dialog, id, win32::Widen(text).c_str());
}
inline void Click(HWND dialog, int id) { SendMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }
// Picks an entry of a drop-down or list as a user does: the selection, then its notification.
inline void Pick(HWND dialog, int id, int index, bool list_box = false) {
  SendMessageW(GetDlgItem(dialog, id), list_box ? LB_SETCURSEL : CB_SETCURSEL, index, 0);
  SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, list_box ? LBN_SELCHANGE : CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}
// A key pressed in a control, with Ctrl held or not.
inline void PressKey(HWND dialog, int id, UINT key, bool ctrl = false, bool shift = false) {
  BYTE keys[256] = {};
  GetKeyboardState(keys);
  keys[VK_CONTROL] = ctrl ? 0x80 : 0;
  keys[VK_SHIFT] = shift ? 0x80 : 0;
  SetKeyboardState(keys);
  SendMessageW(GetDlgItem(dialog, id), WM_KEYDOWN, key, 0);
  keys[VK_CONTROL] = keys[VK_SHIFT] = 0;
  SetKeyboardState(keys);
}

}  // namespace trelvo::testing
