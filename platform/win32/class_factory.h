#pragma once
// The class factory of an in-process COM server, and the bodies of the
// standard exports that Trelvo.dll and SimOffice.dll share.
#include <functional>
#include <windows.h>
#include <unknwn.h>
#include <wrl/client.h>

#include "platform/win32/com_object.h"

namespace trelvo::win32 {

// Makes one object of a class; the result owns one reference.
using ObjectCreator = std::function<Microsoft::WRL::ComPtr<IUnknown>()>;

// An object's identity (its IUnknown), whichever interfaces it derives from.
template <class T>
Microsoft::WRL::ComPtr<IUnknown> AsUnknown(const Microsoft::WRL::ComPtr<T>& object) {
  Microsoft::WRL::ComPtr<IUnknown> unknown;
  object.As(&unknown);
  return unknown;
}

class ClassFactory : public ComObject<IClassFactory> {
 public:
  ClassFactory(const CLSID& class_id, ObjectCreator create) : class_id_(class_id), create_(std::move(create)) {}
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override;
  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override;

 private:
  CLSID class_id_;
  ObjectCreator create_;
};

// DllMain: remembers the module.
BOOL OnDllMain(HINSTANCE instance, DWORD reason);
// DllGetClassObject for one class that this module serves.
HRESULT ServeClassObject(const CLSID& class_id, REFIID iid, void** object, ObjectCreator create);
// DllCanUnloadNow.
HRESULT CanUnloadNow();
// DllRegisterServer and DllUnregisterServer: S_OK, or E_FAIL with the
// message as error information.
HRESULT RunRegistration(const GUID& source, const std::function<void()>& step);

}  // namespace trelvo::win32
