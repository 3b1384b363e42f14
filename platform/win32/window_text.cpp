#include "platform/win32/window_text.h"

#include "platform/win32/wide_text.h"

namespace trelvo::win32 {

std::string WindowText(HWND window) {
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return Narrow(text);
}

void SetWindowTextUtf8(HWND window, std::string_view text) { SetWindowTextW(window, Widen(text).c_str()); }

}  // namespace trelvo::win32
