#pragma once
// What an in-process COM server knows about itself: its module handle, and how
// many of its objects and server locks keep it loaded (DllCanUnloadNow). Each
// DLL links its own copy, so each counts its own objects.
#include <string>
#include <windows.h>

namespace trelvo::win32 {

void SetModuleHandle(HMODULE module);
// The DLL itself, or the program when the module is no DLL of ours.
HMODULE ModuleHandle();
// Full path of a module (by default this DLL itself, not the host program).
std::wstring ModuleFilePath(HMODULE module = ModuleHandle());
// The module's file name without folder and extension ("Trelvo").
std::wstring ModuleName();
// The source named in the error information of this module's COM methods:
// the module's name unless set (Trelvo.dll names its ProgID).
void SetErrorSource(std::wstring source);
std::wstring ErrorSource();

void ObjectCreated();
void ObjectDestroyed();
void LockServer(bool lock);
bool CanUnload();

}  // namespace trelvo::win32
