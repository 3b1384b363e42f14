#include "dialogs/win32/control_keys.h"

#include <commctrl.h>

namespace trelvo::dialogs::win32 {
namespace {

// Every subclass leaves its control when the control's window goes, so no
// subclass procedure outlives the window it serves.
LRESULT Pass(HWND window, UINT message, WPARAM wparam, LPARAM lparam, SUBCLASSPROC procedure, UINT_PTR id) {
  if (message == WM_NCDESTROY) RemoveWindowSubclass(window, procedure, id);
  return DefSubclassProc(window, message, wparam, lparam);
}

LRESULT CALLBACK DigitsAndMinus(HWND window, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR id,
                                DWORD_PTR) noexcept {
  if (message == WM_CHAR && wparam >= L' ' && !(wparam >= L'0' && wparam <= L'9') && wparam != L'-') {
    MessageBeep(MB_OK);
    return 0;
  }
  return Pass(window, message, wparam, lparam, DigitsAndMinus, id);
}

LRESULT CALLBACK AltDown(HWND window, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR id,
                         DWORD_PTR button) noexcept {
  if (message == WM_SYSKEYDOWN && wparam == VK_DOWN) {
    SendMessageW(reinterpret_cast<HWND>(button), BM_CLICK, 0, 0);
    return 0;
  }
  return Pass(window, message, wparam, lparam, AltDown, id);
}

LRESULT CALLBACK ListKeys(HWND window, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR id,
                          DWORD_PTR keys) noexcept {
  if (message == WM_GETDLGCODE && lparam) {
    const auto* pending = reinterpret_cast<const MSG*>(lparam);
    if (pending->message == WM_KEYDOWN && pending->wParam == VK_RETURN)
      return DefSubclassProc(window, message, wparam, lparam) | DLGC_WANTMESSAGE;
  }
  if (message == WM_KEYDOWN) {
    bool consumed = false;
    try {
      consumed = (*reinterpret_cast<std::function<bool(UINT)>*>(keys))(static_cast<UINT>(wparam));
    } catch (...) {
      consumed = true;  // nothing may leave a window procedure; the handler reports its own errors
    }
    if (consumed) return 0;
  }
  return Pass(window, message, wparam, lparam, ListKeys, id);
}

}  // namespace

void AcceptDigitsAndMinus(HWND edit) { SetWindowSubclass(edit, DigitsAndMinus, 1, 0); }

void ClickOnAltDown(HWND field, HWND button) {
  SetWindowSubclass(field, AltDown, 2, reinterpret_cast<DWORD_PTR>(button));
}

void HandleListKeys(HWND list, std::function<bool(UINT key)>* keys) {
  SetWindowSubclass(list, ListKeys, 3, reinterpret_cast<DWORD_PTR>(keys));
}

}  // namespace trelvo::dialogs::win32
