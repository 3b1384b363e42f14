#include "platform/win32/class_factory.h"

#include "platform/win32/com_boundary.h"
#include "platform/win32/com_module.h"

namespace trelvo::win32 {

HRESULT ClassFactory::CreateInstance(IUnknown* outer, REFIID iid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (outer) return CLASS_E_NOAGGREGATION;
  return GuardComCall(class_id_, [&] { return create_()->QueryInterface(iid, object); });
}

HRESULT ClassFactory::LockServer(BOOL lock) {
  win32::LockServer(lock != FALSE);
  return S_OK;
}

BOOL OnDllMain(HINSTANCE instance, DWORD reason) {
  if (reason == DLL_PROCESS_ATTACH) {
    SetModuleHandle(instance);
    DisableThreadLibraryCalls(instance);
  }
  return TRUE;
}

HRESULT ServeClassObject(const CLSID& class_id, REFIID iid, void** object, ObjectCreator create) {
  if (!object) return E_POINTER;
  *object = nullptr;
  return GuardComCall(
      class_id, [&] { return MakeComObject<ClassFactory>(class_id, std::move(create))->QueryInterface(iid, object); });
}

HRESULT CanUnloadNow() { return CanUnload() ? S_OK : S_FALSE; }

HRESULT RunRegistration(const GUID& source, const std::function<void()>& step) {
  const HRESULT hr = GuardComCall(source, [&] {
    step();
    return S_OK;
  });
  return SUCCEEDED(hr) ? S_OK : E_FAIL;
}

}  // namespace trelvo::win32
