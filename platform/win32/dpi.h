#pragma once
// The screen's resolution (dots per inch) as Windows gives it to a thread and
// to a window, and the awareness of each monitor's own resolution that the
// add-in's windows are created with. Office 2016 and later draw each window
// for the monitor it is on, but call add-ins in the system's awareness: the
// add-in's dialogs and boxes take the monitor's awareness while they are
// open, and lay themselves out again when they move to another monitor.
// Windows 10 brought the functions for this (version 1607 and 1703): they are
// looked up when first needed, so the library loads on Windows 7 and 8 as
// before, where every window has the system's one resolution.
#include <windows.h>

namespace trelvo::win32 {

inline constexpr unsigned kDefaultDpi = 96;
// WM_GETDPISCALEDSIZE (Windows 10, version 1703), which MinGW's headers
// declare only for builds that require that version.
inline constexpr UINT kGetDpiScaledSize = 0x02E4;

// The resolution that the calling thread draws for now: the system's for a
// thread aware of it (the host's ribbon callbacks run so), 96 for a thread
// that is not (Windows enlarges its windows as pictures).
unsigned ThreadDpi();

// The resolution of the monitor the window is on, for a window aware of each
// monitor's; the thread's, where Windows does not tell windows apart.
unsigned WindowDpi(HWND window);

// The window rectangle around a client rectangle: the frame of a window of
// this style at dpi (the frame of the system's resolution before Windows 10).
RECT WindowRectForClient(RECT client, DWORD style, DWORD extended_style, unsigned dpi);

// Turns off Windows' own enlarging of a dialog whose resolution changes (Per
// Monitor v2, Windows 10 version 1703): a dialog that lays itself out again.
void KeepDpiScalingToDialog(HWND dialog);

// While it lives, the windows that the thread creates are aware of each
// monitor's resolution: Per Monitor v2 where Windows offers it, else Per
// Monitor; the thread's awareness before comes back at its end. Where Windows
// has no awareness per thread (before Windows 10, version 1607) it does
// nothing, and the windows take the host's awareness.
class PerMonitorDpiAwareness {
 public:
  PerMonitorDpiAwareness();
  ~PerMonitorDpiAwareness();
  PerMonitorDpiAwareness(const PerMonitorDpiAwareness&) = delete;
  PerMonitorDpiAwareness& operator=(const PerMonitorDpiAwareness&) = delete;
  // Whether the thread is aware of each monitor's resolution meanwhile.
  bool active() const { return previous_ != nullptr; }

 private:
  DPI_AWARENESS_CONTEXT previous_ = nullptr;
};

}  // namespace trelvo::win32
