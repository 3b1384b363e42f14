#include "frame/registration.h"

#include <array>
#include <cstdio>

#include "frame/add_in_registration.h"
#include "frame/type_library.h"
#include "platform/error.h"
#include "platform/win32/com_module.h"
#include "platform/win32/registry_key.h"

namespace trelvo::frame {
namespace {

const std::wstring kClassKey = std::wstring(L"CLSID\\") + kClassId;

void WriteDefault(const ClassesRoot& classes, const std::wstring& key, const std::wstring& name,
                  const std::wstring& value) {
  win32::WriteRegistryText(classes.root, classes.prefix + key, name, value);
}

std::wstring GuidText(const GUID& guid) {
  std::array<wchar_t, 40> text{};
  StringFromGUID2(guid, text.data(), static_cast<int>(text.size()));
  return text.data();
}

}  // namespace

ClassesRoot MachineClasses() { return {HKEY_CLASSES_ROOT, L""}; }

std::wstring ServerPathForRegistry(const std::wstring& full_path) {
  if (full_path.find(L' ') == std::wstring::npos) return full_path;
  std::wstring short_path(full_path.size() + 1, L'\0');
  const DWORD length = GetShortPathNameW(full_path.c_str(), short_path.data(), static_cast<DWORD>(short_path.size()));
  if (length == 0 || length >= short_path.size()) return full_path;
  short_path.resize(length);
  return short_path;
}

void WriteClassEntries(const ClassesRoot& classes) {
  const TypeLibraryFacts facts = ReadTypeLibraryFacts();
  wchar_t version[32];
  std::swprintf(version, std::size(version), L"%d.%d", facts.major_version, facts.minor_version);

  WriteDefault(classes, kClassKey, L"", facts.co_class_description);
  WriteDefault(classes, kClassKey + L"\\InprocServer32", L"", ServerPathForRegistry(win32::ModuleFilePath()));
  WriteDefault(classes, kClassKey + L"\\InprocServer32", L"ThreadingModel", L"Apartment");
  WriteDefault(classes, kProgId, L"", facts.co_class_description);
  WriteDefault(classes, kProgId + L"\\Clsid", L"", kClassId);
  WriteDefault(classes, kClassKey + L"\\ProgID", L"", kProgId);
  WriteDefault(classes, kClassKey + L"\\Version", L"", version);
  WriteDefault(classes, kClassKey + L"\\TypeLib", L"", GuidText(facts.library_id));
}

void DeleteClassEntries(const ClassesRoot& classes) {
  // Subkeys first: a key that cannot be deleted is reported, not passed over.
  const std::wstring keys[] = {kClassKey + L"\\TypeLib",
                               kClassKey + L"\\Version",
                               kClassKey + L"\\ProgID",
                               kProgId + L"\\Clsid",
                               kProgId,
                               kClassKey + L"\\InprocServer32",
                               kClassKey};
  for (const auto& key : keys)
    if (!win32::DeleteRegistryTree(classes.root, classes.prefix + key))
      throw Error("Fehler beim Löschen eines Eintrages in der Systemregistrierung");
}

ClassesRoot UserClasses() { return {HKEY_CURRENT_USER, L"Software\\Classes\\"}; }

namespace {

// Set by the per-user branch of either entry point and never cleared: the
// class entries of HKEY_CLASSES_ROOT are left alone from then on, and the
// add-in keys go under HKEY_CURRENT_USER.
bool g_per_user = false;

// Both entry points try the per-user mode first when its switch is on; when
// that fails, the machine-wide way runs, with the flag still set.
template <class PerUser, class MachineWide>
void InMode(PerUser&& per_user, MachineWide&& machine_wide) {
  if (PerUserSwitchOn()) {
    g_per_user = true;
    try {
      return per_user();
    } catch (const std::exception&) {
      // the machine-wide way below
    }
  }
  machine_wide();
}

}  // namespace

void RegisterServer() {
  const auto& definition = commands::kTrelvoAddIn;
  InMode(
      [&] {
        WriteClassEntries(UserClasses());
        WriteAddInKeys(definition, true);
      },
      [&] {
        RegisterOwnTypeLibrary();
        if (!g_per_user) WriteClassEntries(MachineClasses());
        WriteAddInKeys(definition, g_per_user);
      });
}

void UnregisterServer() {
  const auto& definition = commands::kTrelvoAddIn;
  const auto remove = [&] {
    CleanUpHosts(definition);
    DeleteAddInKeys(definition, g_per_user);
  };
  InMode(
      [&] {
        remove();
        DeleteClassEntries(UserClasses());
      },
      [&] {
        UnregisterOwnTypeLibrary();
        remove();
        if (!g_per_user) DeleteClassEntries(MachineClasses());
      });
}

}  // namespace trelvo::frame
