#pragma once
// The text of a window (a control's caption or contents) as UTF-8.
#include <string>
#include <string_view>
#include <windows.h>

namespace trelvo::win32 {

std::string WindowText(HWND window);
void SetWindowTextUtf8(HWND window, std::string_view text);

}  // namespace trelvo::win32
