#pragma once
// What the DLL knows about itself: its module handle, and how many objects and
// server locks keep it loaded (DllCanUnloadNow).
#include <string>
#include <windows.h>

namespace trelvo::frame {

void SetModuleHandle(HMODULE module);
HMODULE ModuleHandle();
// Full path of Trelvo.dll itself, not of the host program.
std::wstring ModuleFilePath();

void ObjectCreated();
void ObjectDestroyed();
void LockServer(bool lock);
bool CanUnload();

}  // namespace trelvo::frame
