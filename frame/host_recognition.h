#pragma once
// Which Office application the add-in was connected to, recognised by the
// application interface its Application object answers (Word's first, then
// Excel's), and the window that owns what the add-in shows in it.
#include <optional>
#include <string>
#include <windows.h>
#include <oaidl.h>

#include "commands/office_host.h"

namespace trelvo::frame {

// nullopt for an application that is neither Word nor Excel.
std::optional<commands::HostKind> RecognizeHost(IDispatch* application);

// The host's name in the registry ("Excel", "Word").
const char* HostName(commands::HostKind kind);

// \Software\Microsoft\Office\<host>\AddIns\<ProgID>, relative to a root.
std::wstring AddInRegistryKey(commands::HostKind kind, const std::string& prog_id);

// A name with a to z made capitals, as the frame compares names and modes.
std::string Capitals(std::string text);

// Excel's main window: the first top-level window of the calling thread whose
// class is "XLMAIN"; nullptr for Word or when there is none.
HWND FindOwnerWindow(commands::HostKind kind);

}  // namespace trelvo::frame
