#pragma once
// The top-level windows of the simulated hosts: hidden, of the class Office
// gives them ("XLMAIN" for Excel, "OpusApp" for Word), made on the calling
// thread, which is the application's, and destroyed with their owner.
#include <memory>
#include <string>
#include <type_traits>
#include <windows.h>

namespace trelvo::simoffice {

struct WindowDestroyer {
  void operator()(HWND window) const { DestroyWindow(window); }
};
using HostWindow = std::unique_ptr<std::remove_pointer_t<HWND>, WindowDestroyer>;

// Raises the host's error when the window cannot be made.
HostWindow MakeHostWindow(const wchar_t* class_name, const std::string& caption);

// From Office 2013 (15.0) on, every workbook and document has its own
// top-level window; before, Excel has one main window for all of them.
inline constexpr int kFirstWindowPerDocument = 15;

}  // namespace trelvo::simoffice
