// SimOffice.dll: the simulated Excel and Word as registered COM classes under
// the hosts' own ProgIDs ("Excel.Application", "Word.Application") and class
// ids, so that code which looks for an installed or running host finds them.
// Each new application registers itself as the running instance.
#include <windows.h>
#include <objbase.h>

#include "platform/error.h"
#include "platform/win32/class_factory.h"
#include "platform/win32/com_module.h"
#include "platform/win32/registry_key.h"
#include "simoffice/sim_excel.h"
#include "simoffice/sim_word.h"

namespace {

using namespace trelvo;
using win32::ObjectCreator;

constexpr CLSID kExcelClassId = {0x00024500, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
constexpr CLSID kWordClassId = {0x000209FF, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

struct HostClass {
  const CLSID& class_id;
  const wchar_t* class_key;  // CLSID\{...}
  const wchar_t* prog_id;
  const wchar_t* versioned_prog_id;  // what CurVer names
  const wchar_t* description;
};

const HostClass kHosts[] = {
    {kExcelClassId, L"CLSID\\{00024500-0000-0000-C000-000000000046}", L"Excel.Application", L"Excel.Application.11",
     L"Microsoft Excel Application (simuliert)"},
    {kWordClassId, L"CLSID\\{000209FF-0000-0000-C000-000000000046}", L"Word.Application", L"Word.Application.11",
     L"Microsoft Word Application (simuliert)"},
};

// A new simulated application of the class, registered as the running instance.
ObjectCreator CreatesHost(const CLSID& class_id) {
  return [class_id] {
    Microsoft::WRL::ComPtr<simoffice::SimApplication> application;
    if (class_id == kExcelClassId)
      application = simoffice::Make<simoffice::SimExcelApplication>();
    else
      application = simoffice::Make<simoffice::SimWordApplication>();
    application->RegisterAsRunning(class_id);
    application->Start();
    return win32::AsUnknown(application);
  };
}

void Write(const std::wstring& key, const std::wstring& name, const std::wstring& value) {
  win32::WriteRegistryText(HKEY_CLASSES_ROOT, key, name, value);
}

void RegisterHosts() {
  for (const HostClass& host : kHosts) {
    const std::wstring class_id = std::wstring(host.class_key).substr(6);
    Write(host.class_key, L"", host.description);
    Write(std::wstring(host.class_key) + L"\\InprocServer32", L"", win32::ModuleFilePath());
    Write(std::wstring(host.class_key) + L"\\InprocServer32", L"ThreadingModel", L"Apartment");
    Write(std::wstring(host.class_key) + L"\\ProgID", L"", host.versioned_prog_id);
    Write(std::wstring(host.class_key) + L"\\VersionIndependentProgID", L"", host.prog_id);
    Write(host.prog_id, L"", host.description);
    Write(std::wstring(host.prog_id) + L"\\CLSID", L"", class_id);
    Write(std::wstring(host.prog_id) + L"\\CurVer", L"", host.versioned_prog_id);
    Write(host.versioned_prog_id, L"", host.description);
    Write(std::wstring(host.versioned_prog_id) + L"\\CLSID", L"", class_id);
  }
}

void UnregisterHosts() {
  for (const HostClass& host : kHosts)
    for (const wchar_t* key : {host.class_key, host.prog_id, host.versioned_prog_id})
      if (!win32::DeleteRegistryTree(HKEY_CLASSES_ROOT, key))
        throw Error("Fehler beim Löschen eines Eintrages in der Systemregistrierung");
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) { return win32::OnDllMain(instance, reason); }

STDAPI DllGetClassObject(REFCLSID class_id, REFIID iid, LPVOID* object) {
  if (class_id != kExcelClassId && class_id != kWordClassId) {
    if (object) *object = nullptr;
    return CLASS_E_CLASSNOTAVAILABLE;
  }
  return win32::ServeClassObject(class_id, iid, object, CreatesHost(class_id));
}

STDAPI DllCanUnloadNow() { return win32::CanUnloadNow(); }

STDAPI DllRegisterServer() { return win32::RunRegistration(GUID_NULL, RegisterHosts); }

STDAPI DllUnregisterServer() { return win32::RunRegistration(GUID_NULL, UnregisterHosts); }
