#include "frame/type_library.h"

#include <oleauto.h>

#include "Trelvo_h.h"
#include "platform/win32/com_boundary.h"
#include "platform/win32/com_module.h"
#include "platform/win32/bstr.h"

namespace trelvo::frame {
namespace {

using win32::ComError;
using win32::ModuleFilePath;

Microsoft::WRL::ComPtr<ITypeLib> LoadTypeLibrary(REGKIND kind) {
  Microsoft::WRL::ComPtr<ITypeLib> library;
  const HRESULT hr = LoadTypeLibEx(ModuleFilePath().c_str(), kind, &library);
  if (FAILED(hr)) throw ComError(hr, "Die Typbibliothek von Trelvo kann nicht geladen werden.");
  return library;
}

}  // namespace

Microsoft::WRL::ComPtr<ITypeLib> LoadOwnTypeLibrary() { return LoadTypeLibrary(REGKIND_NONE); }

Microsoft::WRL::ComPtr<ITypeInfo> OwnTypeInfo(REFGUID type_id) {
  Microsoft::WRL::ComPtr<ITypeInfo> info;
  const HRESULT hr = LoadOwnTypeLibrary()->GetTypeInfoOfGuid(type_id, &info);
  if (FAILED(hr)) throw ComError(hr, "Die Typbibliothek von Trelvo ist unvollständig.");
  return info;
}

TypeLibraryFacts ReadTypeLibraryFacts() {
  const auto library = LoadOwnTypeLibrary();
  TLIBATTR* attributes = nullptr;
  if (FAILED(library->GetLibAttr(&attributes))) throw Error("Die Typbibliothek von Trelvo kann nicht gelesen werden.");
  TypeLibraryFacts facts{attributes->guid, attributes->wMajorVerNum, attributes->wMinorVerNum,
                         attributes->lcid, attributes->syskind,      {}};
  library->ReleaseTLibAttr(attributes);

  win32::Bstr description;
  Microsoft::WRL::ComPtr<ITypeInfo> co_class;
  if (SUCCEEDED(library->GetTypeInfoOfGuid(CLSID_TrelvoCoClass, &co_class)))
    co_class->GetDocumentation(MEMBERID_NIL, nullptr, description.out(), nullptr, nullptr);
  facts.co_class_description = description.str();
  return facts;
}

void RegisterOwnTypeLibrary() { LoadTypeLibrary(REGKIND_REGISTER); }

void UnregisterOwnTypeLibrary() {
  const TypeLibraryFacts facts = ReadTypeLibraryFacts();
  const HRESULT hr =
      UnRegisterTypeLib(facts.library_id, facts.major_version, facts.minor_version, facts.locale, facts.system);
  if (FAILED(hr) && hr != TYPE_E_REGISTRYACCESS && hr != TYPE_E_LIBNOTREGISTERED)
    throw ComError(hr, "Die Typbibliothek von Trelvo kann nicht abgemeldet werden.");
}

}  // namespace trelvo::frame
