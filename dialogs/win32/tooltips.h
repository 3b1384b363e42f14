#pragma once
// The hints of a dialog's controls, shown as tooltips.
#include <string>
#include <utility>
#include <vector>
#include <windows.h>

namespace trelvo::dialogs::win32 {

using Hints = std::vector<std::pair<int, const char*>>;  // control id, hint

// Makes the dialog's tooltip window (it goes with the dialog) and adds every hint.
void AddTooltips(HWND dialog, const Hints& hints);

}  // namespace trelvo::dialogs::win32
