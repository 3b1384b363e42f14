// A minimal in-process COM server with the four exports of Trelvo.dll, for the
// product check's own tests: linked without --kill-at, or importing a function
// that came only with Windows 8, the check must refuse it.
#ifdef TRELVO_SAMPLE_IMPORTS_WINDOWS_8
#undef _WIN32_WINNT
#define _WIN32_WINNT 0x0602
#endif
#include <windows.h>
#include <objbase.h>

STDAPI DllCanUnloadNow() { return S_FALSE; }

STDAPI DllGetClassObject(REFCLSID, REFIID, LPVOID* object) {
  *object = nullptr;
#ifdef TRELVO_SAMPLE_IMPORTS_WINDOWS_8
  FILETIME now;
  GetSystemTimePreciseAsFileTime(&now);
#endif
  return CLASS_E_CLASSNOTAVAILABLE;
}

STDAPI DllRegisterServer() { return S_OK; }
STDAPI DllUnregisterServer() { return S_OK; }
