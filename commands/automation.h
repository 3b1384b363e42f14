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

// The answer of SetIniFile: whether the file became the current counter file,
// and, for a path that is not full, the German reason the macro is given.
struct IniFileChoice {
  bool chosen = false;
  std::string refusal;
};

// An existing file named by a full path becomes the current counter file
// (select_default first puts both range selectors on "(Standard Zähler)"); a
// pointer to a server range only when its range can be read.
// A folder, a missing file or a relative path (which would name another file
// in every working folder) change nothing.
IniFileChoice SetIniFile(platform::Environment& env, const std::string& path,
                         const std::function<void()>& select_default);

}  // namespace trelvo::commands
