#include "frame/registration.h"

#include <array>
#include <cstdio>

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

void RegisterServer() {
  RegisterOwnTypeLibrary();
  WriteClassEntries(MachineClasses());
}

void UnregisterServer() {
  UnregisterOwnTypeLibrary();
  DeleteClassEntries(MachineClasses());
}

}  // namespace trelvo::frame
