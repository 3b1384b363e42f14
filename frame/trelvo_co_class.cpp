#include "frame/trelvo_co_class.h"

#include <oleauto.h>

#include "frame/type_library.h"

namespace trelvo::frame {

TrelvoCoClass::TrelvoCoClass() : type_info_(OwnTypeInfo(IID_ITrelvoCoClass)) {}

HRESULT TrelvoCoClass::GetTypeInfoCount(UINT* count) {
  if (!count) return E_POINTER;
  *count = 1;
  return S_OK;
}

HRESULT TrelvoCoClass::GetTypeInfo(UINT index, LCID, ITypeInfo** info) {
  if (!info) return E_POINTER;
  *info = nullptr;
  if (index != 0) return DISP_E_BADINDEX;
  return type_info_.CopyTo(info);
}

HRESULT TrelvoCoClass::GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
  if (iid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
  return DispGetIDsOfNames(type_info_.Get(), names, count, ids);
}

HRESULT TrelvoCoClass::Invoke(DISPID id, REFIID iid, LCID, WORD flags, DISPPARAMS* parameters, VARIANT* result,
                              EXCEPINFO* exception, UINT* argument_error) {
  if (iid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
  // Late-bound callers may call the read-only properties like methods.
  if (flags & DISPATCH_METHOD) flags |= DISPATCH_PROPERTYGET;
  return DispInvoke(static_cast<ITrelvoCoClass*>(this), type_info_.Get(), id, flags, parameters, result, exception,
                    argument_error);
}

// The members draw and read numbers once the add-in module exists; until the
// module is connected here they answer that they are not available.
HRESULT TrelvoCoClass::get_ReadCounter(VARIANT* value) {
  if (value) VariantInit(value);
  return E_NOTIMPL;
}

HRESULT TrelvoCoClass::get_SetCounter(VARIANT* value) {
  if (value) VariantInit(value);
  return E_NOTIMPL;
}

HRESULT TrelvoCoClass::get_SetIniFile(VARIANT, VARIANT* value) {
  if (value) VariantInit(value);
  return E_NOTIMPL;
}

}  // namespace trelvo::frame
