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

// The window of the workbook or document that is active now, as the host
// answers it: Excel's Application.Hwnd (from version 15 on the active
// workbook's window; a host without it: the first top-level window of the
// calling thread whose class is "XLMAIN"), Word's ActiveWindow.Hwnd from
// version 15 on. nullptr for Word before 15, which has no such window for the
// add-in. Throws when the host's answer fails (Word without a document).
HWND ActiveHostWindow(IDispatch* application, commands::HostKind kind, const std::string& version);

}  // namespace trelvo::frame
