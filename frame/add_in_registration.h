#pragma once
// What registration writes besides the class entries: the add-in keys that
// announce the add-in to each installed host (under HKEY_LOCAL_MACHINE, or
// HKEY_CURRENT_USER in the per-user mode), Excel's automation add-in entry
// "OPEN<n>", and on unregistration the clean-up of the hosts (start mode
// "UNINSTALL", LoadBehavior 0, toolbar and recorded controls removed from a
// running host or one started for it) before the keys go.
#include <map>
#include <string>

#include "commands/add_in_definition.h"

namespace trelvo::frame {

// The per-user mode: a file next to the library with its name and ".ini",
// whose [CONFIG] PRIVILEGES reads "USER" in any case.
bool PerUserSwitchOn();

// Whether a host is installed: its application ProgID names a class.
bool HostInstalled(commands::HostKind kind);
// Excel's version number from HKEY_CLASSES_ROOT\Excel.Application\CurVer; 9 when it cannot be read.
int ExcelVersionNumber();

// Lists the ProgID among the automation add-ins of that Excel version (under
// HKEY_CURRENT_USER ...\<version>.0\Excel\Options) unless it is listed;
// nothing for a version of 9 or less.
void AddExcelOpenEntry(const std::wstring& prog_id, int excel_version);

void WriteAddInKeys(const commands::AddInDefinition& definition, bool per_user);
void DeleteAddInKeys(const commands::AddInDefinition& definition, bool per_user);
// The hosts forget the add-in's toolbar and controls; errors raise
// "Can't unregister add-in controls.".
void CleanUpHosts(const commands::AddInDefinition& definition);

// Excel's automation add-in values under ...\Excel\Options, by name: the
// name for a new entry, or "" when the ProgID is listed already; and the
// values that remain after the entry is removed, renumbered.
using OpenValues = std::map<std::wstring, std::wstring>;
std::wstring NewOpenValueName(const OpenValues& values, const std::wstring& prog_id);
OpenValues WithoutOpenEntry(const OpenValues& values, const std::wstring& prog_id);

}  // namespace trelvo::frame
