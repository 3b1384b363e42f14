#pragma once
// The type library embedded in Trelvo.dll: loading it, reading its facts, and
// registering it with the system.
#include <string>
#include <windows.h>
#include <oaidl.h>
#include <wrl/client.h>

namespace trelvo::frame {

struct TypeLibraryFacts {
  GUID library_id;
  WORD major_version;
  WORD minor_version;
  LCID locale;
  SYSKIND system;                     // the platform it was registered for (win32 or win64)
  std::wstring co_class_description;  // help string of the co-class
};

// The embedded type library of this DLL (not registered by loading it).
Microsoft::WRL::ComPtr<ITypeLib> LoadOwnTypeLibrary();
Microsoft::WRL::ComPtr<ITypeInfo> OwnTypeInfo(REFGUID type_id);
TypeLibraryFacts ReadTypeLibraryFacts();

void RegisterOwnTypeLibrary();
void UnregisterOwnTypeLibrary();

}  // namespace trelvo::frame
