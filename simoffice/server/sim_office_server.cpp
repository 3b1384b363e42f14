// SimOffice.dll: the simulated Excel and Word as registered COM classes under
// the hosts' own ProgIDs ("Excel.Application", "Word.Application") and class
// ids, so that code which looks for an installed or running host finds them.
// Each new application registers itself as the running instance.
#include <windows.h>
#include <objbase.h>

#include "frame/com_boundary.h"
#include "frame/com_object.h"
#include "frame/server_lifetime.h"
#include "platform/win32/registry_key.h"
#include "simoffice/sim_excel.h"
#include "simoffice/sim_word.h"

namespace {

using namespace trelvo;

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

class HostFactory : public frame::ComObject<IClassFactory> {
 public:
  explicit HostFactory(const CLSID& class_id) : class_id_(class_id) {}

  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    return frame::GuardComCall(class_id_, [&] {
      Microsoft::WRL::ComPtr<simoffice::SimApplication> application;
      if (class_id_ == kExcelClassId)
        application = simoffice::Make<simoffice::SimExcelApplication>();
      else
        application = simoffice::Make<simoffice::SimWordApplication>();
      application->RegisterAsRunning(class_id_);
      return application->QueryInterface(iid, object);
    });
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
    frame::LockServer(lock != FALSE);
    return S_OK;
  }

 private:
  CLSID class_id_;
};

void Write(const std::wstring& key, const std::wstring& name, const std::wstring& value) {
  win32::WriteRegistryText(HKEY_CLASSES_ROOT, key, name, value);
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    frame::SetModuleHandle(instance);
    DisableThreadLibraryCalls(instance);
  }
  return TRUE;
}

STDAPI DllGetClassObject(REFCLSID class_id, REFIID iid, LPVOID* object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (class_id != kExcelClassId && class_id != kWordClassId) return CLASS_E_CLASSNOTAVAILABLE;
  return frame::GuardComCall(class_id,
                             [&] { return frame::MakeComObject<HostFactory>(class_id)->QueryInterface(iid, object); });
}

STDAPI DllCanUnloadNow() { return frame::CanUnload() ? S_OK : S_FALSE; }

STDAPI DllRegisterServer() {
  return SUCCEEDED(frame::GuardComCall(
             GUID_NULL,
             [] {
               for (const HostClass& host : kHosts) {
                 const std::wstring class_id = std::wstring(host.class_key).substr(6);
                 Write(host.class_key, L"", host.description);
                 Write(std::wstring(host.class_key) + L"\\InprocServer32", L"", frame::ModuleFilePath());
                 Write(std::wstring(host.class_key) + L"\\InprocServer32", L"ThreadingModel", L"Apartment");
                 Write(std::wstring(host.class_key) + L"\\ProgID", L"", host.versioned_prog_id);
                 Write(std::wstring(host.class_key) + L"\\VersionIndependentProgID", L"", host.prog_id);
                 Write(host.prog_id, L"", host.description);
                 Write(std::wstring(host.prog_id) + L"\\CLSID", L"", class_id);
                 Write(std::wstring(host.prog_id) + L"\\CurVer", L"", host.versioned_prog_id);
                 Write(host.versioned_prog_id, L"", host.description);
                 Write(std::wstring(host.versioned_prog_id) + L"\\CLSID", L"", class_id);
               }
               return S_OK;
             }))
             ? S_OK
             : E_FAIL;
}

STDAPI DllUnregisterServer() {
  for (const HostClass& host : kHosts)
    for (const wchar_t* key : {host.class_key, host.prog_id, host.versioned_prog_id})
      win32::DeleteRegistryTree(HKEY_CLASSES_ROOT, key);
  return S_OK;
}
