#pragma once
// What the automation object's members do for macros: the next number without
// drawing it, a draw with the same guarantees as Insert (one atomic step under
// the lock, one usage-log record, the number in the document property
// "SabuCounter"), and the choice of another counter file.
#include <functional>
#include <string>

#include "commands/shared_host.h"
#include "platform/environment.h"

namespace trelvo::commands {

// The next number, or "#ini gesperrt#" (after the lock message). Writes nothing.
std::string ReadCounter(platform::Environment& env);

// Draws the next number for the active workbook or document of the host the
// add-in was loaded into, or answers "#ini gesperrt#" without a box when the
// file is locked; either is logged. Without an open workbook or document it
// fails before anything is drawn.
std::string SetCounter(platform::Environment& env, const SharedHost& host);

// An existing file becomes the current counter file (select_default first
// puts both range selectors on "(Standard Zähler)"); false for a folder or a
// missing file, which change nothing.
bool SetIniFile(platform::Environment& env, const std::string& path, const std::function<void()>& select_default);

}  // namespace trelvo::commands
