#pragma once
// Win32 error codes as text and as exceptions.
#include <string>
#include <windows.h>

namespace trelvo::win32 {

// The system's own description of an error code, without the trailing line break.
std::string SystemMessage(DWORD code);

}  // namespace trelvo::win32
