#pragma once
// DllRegisterServer and DllUnregisterServer: the COM class entries of
// TrelvoCoClass, the registration of the embedded type library and the add-in
// keys; machine-wide, or for the current user alone when the per-user switch
// file lies next to the library.
#include <string>
#include <windows.h>

#include "commands/add_in_definition.h"

namespace trelvo::frame {

inline constexpr wchar_t kClassId[] = L"{BFE216C7-D241-4767-A79A-7FAB841715E5}";
// The add-in definition's ProgID (plain ASCII), as the registry takes it.
inline const std::wstring kProgId(commands::kTrelvoAddIn.prog_id,
                                  commands::kTrelvoAddIn.prog_id +
                                      std::char_traits<char>::length(commands::kTrelvoAddIn.prog_id));

// Where class entries live: HKEY_CLASSES_ROOT machine-wide, or
// HKEY_CURRENT_USER\Software\Classes for one user.
struct ClassesRoot {
  HKEY root;
  std::wstring prefix;  // empty, or ending in a backslash
};
ClassesRoot MachineClasses();
ClassesRoot UserClasses();

// The path written as the in-process server: its short (8.3) form when the
// full path contains a blank and a short form exists.
std::wstring ServerPathForRegistry(const std::wstring& full_path);

// Writes the class entries in their fixed order; throws trelvo::Error when the
// registry refuses one of them.
void WriteClassEntries(const ClassesRoot& classes);
// Deletes them again; entries that are missing are passed over, and one that
// the registry refuses to delete raises trelvo::Error.
void DeleteClassEntries(const ClassesRoot& classes);

// Machine-wide: type library, class entries, add-in keys. Per user: class
// entries under HKEY_CURRENT_USER\Software\Classes and the add-in keys, no
// type library. Unregistration cleans the hosts up first.
void RegisterServer();
void UnregisterServer();

}  // namespace trelvo::frame
