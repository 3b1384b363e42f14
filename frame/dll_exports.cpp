// The exports of Trelvo.dll: the standard entry points of an in-process COM server.
#include <windows.h>
#include <objbase.h>

#include "Trelvo_h.h"
#include "commands/add_in_definition.h"
#include "commands/shared_host.h"
#include "commands/win32/trelvo_module.h"
#include "frame/registration.h"
#include "frame/trelvo_co_class.h"
#include "platform/win32/class_factory.h"
#include "platform/win32/com_module.h"

using namespace trelvo;

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  // Error information names the add-in by its ProgID, as macros see it.
  if (reason == DLL_PROCESS_ATTACH) {
    try {
      win32::SetErrorSource(frame::kProgId);
    } catch (...) {
      return FALSE;  // out of memory while loading: the library is not loaded
    }
  }
  return win32::OnDllMain(instance, reason);
}

STDAPI DllGetClassObject(REFCLSID class_id, REFIID iid, LPVOID* object) {
  if (class_id != CLSID_TrelvoCoClass) {
    if (object) *object = nullptr;
    return CLASS_E_CLASSNOTAVAILABLE;
  }
  return win32::ServeClassObject(class_id, iid, object, [] {
    return win32::AsUnknown(win32::MakeComObject<frame::TrelvoCoClass>(commands::MakeTrelvoModule));
  });
}

STDAPI DllCanUnloadNow() {
  if (win32::CanUnloadNow() != S_OK) return S_FALSE;
  // No object of the library is left to ask for the host: the module-wide copy
  // of the host's Application, kept after a user unloaded the add-in, goes now,
  // while the host can take the call, and never in a static destructor under
  // the loader lock after the host's code may be gone.
  commands::SharedHostState().application.reset();
  return S_OK;
}

STDAPI DllRegisterServer() { return win32::RunRegistration(CLSID_TrelvoCoClass, frame::RegisterServer); }

STDAPI DllUnregisterServer() { return win32::RunRegistration(CLSID_TrelvoCoClass, frame::UnregisterServer); }
