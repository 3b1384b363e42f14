#include "platform/win32/dpi.h"

#include "platform/win32/gdi_objects.h"

namespace trelvo::win32 {
namespace {

// DIALOG_DPI_CHANGE_BEHAVIORS' DDC_DISABLE_ALL: the dialog manager leaves
// WM_GETDPISCALEDSIZE and WM_DPICHANGED to the dialog.
constexpr int kDialogScalesItself = 0x0001;

// The functions of Windows 10 that this file calls, each nullptr where
// Windows lacks it.
struct DpiFunctions {
  DPI_AWARENESS_CONTEXT(WINAPI* set_thread_awareness)(DPI_AWARENESS_CONTEXT) = nullptr;  // 1607
  UINT(WINAPI* dpi_for_window)(HWND) = nullptr;                                          // 1607
  UINT(WINAPI* dpi_for_system)() = nullptr;                                              // 1607
  BOOL(WINAPI* adjust_window_rect_for_dpi)(RECT*, DWORD, BOOL, DWORD, UINT) = nullptr;   // 1607
  BOOL(WINAPI* set_dialog_dpi_change_behavior)(HWND, int, int) = nullptr;                // 1703
};

template <class Function>
void LookUp(HMODULE module, const char* name, Function& function) {
  function = reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

const DpiFunctions& Functions() {
  static const DpiFunctions functions = [] {
    DpiFunctions found;
    if (const HMODULE user32 = GetModuleHandleW(L"user32.dll")) {
      LookUp(user32, "SetThreadDpiAwarenessContext", found.set_thread_awareness);
      LookUp(user32, "GetDpiForWindow", found.dpi_for_window);
      LookUp(user32, "GetDpiForSystem", found.dpi_for_system);
      LookUp(user32, "AdjustWindowRectExForDpi", found.adjust_window_rect_for_dpi);
      LookUp(user32, "SetDialogDpiChangeBehavior", found.set_dialog_dpi_change_behavior);
    }
    return found;
  }();
  return functions;
}

}  // namespace

unsigned ThreadDpi() {
  if (Functions().dpi_for_system) return Functions().dpi_for_system();
  // Before Windows 10 the screen's device context tells the same: 96 to a
  // process unaware of the resolution, the system's to one aware of it.
  const ScreenDc screen;
  const int dpi = screen.get() ? GetDeviceCaps(screen.get(), LOGPIXELSY) : 0;
  return dpi > 0 ? static_cast<unsigned>(dpi) : kDefaultDpi;
}

unsigned WindowDpi(HWND window) {
  if (Functions().dpi_for_window && window) {
    if (const UINT dpi = Functions().dpi_for_window(window)) return dpi;
  }
  return ThreadDpi();
}

RECT WindowRectForClient(RECT client, DWORD style, DWORD extended_style, unsigned dpi) {
  if (!Functions().adjust_window_rect_for_dpi ||
      !Functions().adjust_window_rect_for_dpi(&client, style, FALSE, extended_style, dpi))
    AdjustWindowRectEx(&client, style, FALSE, extended_style);
  return client;
}

void KeepDpiScalingToDialog(HWND dialog) {
  if (Functions().set_dialog_dpi_change_behavior)
    Functions().set_dialog_dpi_change_behavior(dialog, kDialogScalesItself, kDialogScalesItself);
}

PerMonitorDpiAwareness::PerMonitorDpiAwareness() {
  const auto set = Functions().set_thread_awareness;
  if (!set) return;
  // A context that Windows does not know is refused with nullptr, the
  // thread's awareness unchanged: Per Monitor v2 came with version 1703.
  previous_ = set(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
  if (!previous_) previous_ = set(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE);
}

PerMonitorDpiAwareness::~PerMonitorDpiAwareness() {
  if (previous_) Functions().set_thread_awareness(previous_);
}

}  // namespace trelvo::win32
