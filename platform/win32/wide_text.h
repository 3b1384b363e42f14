#pragma once
// UTF-8 inside the add-in, UTF-16 at the Win32 and COM boundary.
#include <string>
#include <string_view>

namespace trelvo::win32 {

std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);

}  // namespace trelvo::win32
