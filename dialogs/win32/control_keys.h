#pragma once
// Keys that some controls take differently from the system's: spin fields
// that accept only digits and the minus sign, file fields whose button Alt+Down
// presses, and lists whose keys the dialog runs first.
#include <functional>
#include <windows.h>

namespace trelvo::dialogs::win32 {

void AcceptDigitsAndMinus(HWND edit);
void ClickOnAltDown(HWND field, HWND button);
// keys: called for each key pressed in the list; true when it was consumed.
// The list then also gets Enter, which the dialog would take otherwise. The
// function lives as long as the list.
void HandleListKeys(HWND list, std::function<bool(UINT key)>* keys);

}  // namespace trelvo::dialogs::win32
