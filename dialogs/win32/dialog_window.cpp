#include "dialogs/win32/dialog_window.h"

#include <algorithm>
#include <commctrl.h>
#include <stdexcept>

#include "platform/win32/com_module.h"
#include "platform/win32/dpi.h"
#include "platform/win32/wide_text.h"

namespace trelvo::dialogs::win32 {
namespace {

// The library's manifest (resource 2) as the active context while a dialog is
// open, so that its controls are those of version 6, with visual styles.
class VisualStyles {
 public:
  VisualStyles() {
    ACTCTXW context{};
    context.cbSize = sizeof context;
    context.dwFlags = ACTCTX_FLAG_HMODULE_VALID | ACTCTX_FLAG_RESOURCE_NAME_VALID;
    context.hModule = trelvo::win32::ModuleHandle();
    context.lpResourceName = MAKEINTRESOURCEW(2);
    handle_ = CreateActCtxW(&context);
    if (handle_ != INVALID_HANDLE_VALUE && !ActivateActCtx(handle_, &cookie_)) cookie_ = 0;
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_TAB_CLASSES | ICC_UPDOWN_CLASS | ICC_BAR_CLASSES |
                                                       ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
  }
  ~VisualStyles() {
    if (cookie_) DeactivateActCtx(0, cookie_);
    if (handle_ != INVALID_HANDLE_VALUE) ReleaseActCtx(handle_);
  }
  VisualStyles(const VisualStyles&) = delete;
  VisualStyles& operator=(const VisualStyles&) = delete;

 private:
  HANDLE handle_ = INVALID_HANDLE_VALUE;
  ULONG_PTR cookie_ = 0;
};

}  // namespace

int TextWidth(HWND window, HFONT font, const std::wstring& text) {
  const HDC dc = GetDC(window);
  const HGDIOBJ previous = SelectObject(dc, font);
  SIZE size{};
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
  SelectObject(dc, previous);
  ReleaseDC(window, dc);
  return static_cast<int>(size.cx);
}

INT_PTR DialogWindow::ShowModal(HWND owner, int template_id) {
  const VisualStyles styles;
  layout_.emplace(template_id);
  // The host calls in the system's awareness; the dialog and the boxes and
  // file dialogs it opens are aware of each monitor's resolution.
  const trelvo::win32::PerMonitorDpiAwareness awareness;
  const INT_PTR result = DialogBoxParamW(trelvo::win32::ModuleHandle(), MAKEINTRESOURCEW(template_id), owner, Procedure,
                                         reinterpret_cast<LPARAM>(this));
  hwnd_ = nullptr;
  return result;
}

void DialogWindow::LayOutFirst() {
  trelvo::win32::KeepDpiScalingToDialog(hwnd_);
  RECT before{};
  GetWindowRect(hwnd_, &before);
  layout_->Apply(hwnd_, trelvo::win32::WindowDpi(hwnd_));
  RECT after{};
  GetWindowRect(hwnd_, &after);
  const LONG width = after.right - after.left, height = after.bottom - after.top;
  POINT place{(before.left + before.right - width) / 2, (before.top + before.bottom - height) / 2};
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  if (GetMonitorInfoW(MonitorFromWindow(hwnd_, MONITOR_DEFAULTTONEAREST), &monitor)) {
    const RECT& area = monitor.rcWork;
    place.x = std::max(area.left, std::min(place.x, area.right - width));
    place.y = std::max(area.top, std::min(place.y, area.bottom - height));
  }
  SetWindowPos(hwnd_, nullptr, place.x, place.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void DialogWindow::DpiChanged(unsigned dpi, const RECT& suggested) {
  // The suggested place first, so that the frame takes the new resolution's
  // size; then the layout, whose size WM_GETDPISCALEDSIZE told Windows.
  SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
               suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
  layout_->Apply(hwnd_, dpi);
  OnLayout();
}

void DialogWindow::SetText(int id, const std::string& text) const { SetWindowTextUtf8(Item(id), text); }
std::string DialogWindow::Text(int id) const { return WindowText(Item(id)); }

bool DialogWindow::OnMessage(UINT, WPARAM, LPARAM, INT_PTR&) { return false; }

// The procedure's report of a handler's error; nothing may leave it, not even
// a failure of the report itself.
void DialogWindow::Report(DialogWindow& window, const std::exception* error) noexcept {
  try {
    if (error) return window.OnError(*error);
    window.OnError(std::runtime_error("Unerwarteter Fehler im Dialog"));
  } catch (...) {
    // The error box failed in turn: the dialog goes on.
  }
}

void DialogWindow::OnError(const std::exception& error) {
  MessageBoxW(hwnd_, Widen(error.what()).c_str(), L"Fehler", MB_OK | MB_ICONERROR);
}

INT_PTR CALLBACK DialogWindow::Procedure(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) noexcept {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrW(dialog, DWLP_USER, lparam);
    reinterpret_cast<DialogWindow*>(lparam)->hwnd_ = dialog;
  }
  auto* window = reinterpret_cast<DialogWindow*>(GetWindowLongPtrW(dialog, DWLP_USER));
  if (!window) return FALSE;
  try {
    switch (message) {
      case WM_INITDIALOG:
        window->LayOutFirst();
        window->OnInit();
        window->OnLayout();
        return TRUE;
      case WM_COMMAND: window->OnCommand(LOWORD(wparam), HIWORD(wparam)); return TRUE;
      case WM_DPICHANGED:
        window->DpiChanged(LOWORD(wparam), *reinterpret_cast<const RECT*>(lparam));
        SetWindowLongPtrW(dialog, DWLP_MSGRESULT, 0);
        return TRUE;
      case trelvo::win32::kGetDpiScaledSize:
        *reinterpret_cast<SIZE*>(lparam) = window->layout_->WindowSize(dialog, static_cast<unsigned>(wparam));
        SetWindowLongPtrW(dialog, DWLP_MSGRESULT, TRUE);
        return TRUE;
      default: {
        INT_PTR result = FALSE;
        if (!window->OnMessage(message, wparam, lparam, result)) return FALSE;
        SetWindowLongPtrW(dialog, DWLP_MSGRESULT, result);
        return result ? result : TRUE;
      }
    }
  } catch (const std::exception& error) {
    Report(*window, &error);
  } catch (...) {
    Report(*window, nullptr);
  }
  return TRUE;
}

}  // namespace trelvo::dialogs::win32
