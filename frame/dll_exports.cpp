// The exports of Trelvo.dll: the standard entry points of an in-process COM server.
#include <windows.h>
#include <objbase.h>

#include "Trelvo_h.h"
#include "frame/class_factory.h"
#include "frame/com_boundary.h"
#include "frame/registration.h"
#include "frame/server_lifetime.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    trelvo::frame::SetModuleHandle(instance);
    DisableThreadLibraryCalls(instance);
  }
  return TRUE;
}

STDAPI DllGetClassObject(REFCLSID class_id, REFIID iid, LPVOID* object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (class_id != CLSID_TrelvoCoClass) return CLASS_E_CLASSNOTAVAILABLE;
  return trelvo::frame::GuardComCall(class_id, [&] {
    return trelvo::frame::MakeComObject<trelvo::frame::TrelvoClassFactory>()->QueryInterface(iid, object);
  });
}

STDAPI DllCanUnloadNow() { return trelvo::frame::CanUnload() ? S_OK : S_FALSE; }

STDAPI DllRegisterServer() {
  const HRESULT hr = trelvo::frame::GuardComCall(CLSID_TrelvoCoClass, [] {
    trelvo::frame::RegisterServer();
    return S_OK;
  });
  return SUCCEEDED(hr) ? S_OK : E_FAIL;
}

STDAPI DllUnregisterServer() {
  const HRESULT hr = trelvo::frame::GuardComCall(CLSID_TrelvoCoClass, [] {
    trelvo::frame::UnregisterServer();
    return S_OK;
  });
  return SUCCEEDED(hr) ? S_OK : E_FAIL;
}
