#pragma once
// The window that owns a box or dialog of the add-in, asked for at the moment
// it appears. From Office 2013 on every workbook and document has its own
// top-level window, so a window found once at start-up would own the box of
// another workbook, or be gone by the time of a click.
#include <functional>
#include <utility>
#include <windows.h>

namespace trelvo::win32 {

class OwnerWindow {
 public:
  OwnerWindow() = default;  // no owner
  explicit OwnerWindow(std::function<HWND()> ask) : ask_(std::move(ask)) {}

  // The owner now; nullptr when there is none. Asking runs in the middle of
  // the add-in's error handling too, so it never throws: a question that
  // fails means no owner. A handle that names no window also means none, as
  // MessageBox would refuse to show a box for it.
  HWND operator()() const noexcept {
    if (!ask_) return nullptr;
    try {
      const HWND window = ask_();
      return window && IsWindow(window) ? window : nullptr;
    } catch (...) {
      return nullptr;
    }
  }

 private:
  std::function<HWND()> ask_;
};

}  // namespace trelvo::win32
