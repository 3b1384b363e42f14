#pragma once
// TrelvoCoClass: the object that the hosts load as the add-in and that macros
// call as an automation object (ITrelvoCoClass, dispatched through the type library).
#include <windows.h>
#include <wrl/client.h>

#include "Trelvo_h.h"
#include "platform/win32/com_object.h"

namespace trelvo::frame {

class TrelvoCoClass : public win32::ComObject<ITrelvoCoClass> {
 public:
  TrelvoCoClass();

  // IDispatch
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale, DISPID* ids) override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* parameters,
                                   VARIANT* result, EXCEPINFO* exception, UINT* argument_error) override;

  // ITrelvoCoClass
  HRESULT STDMETHODCALLTYPE get_ReadCounter(VARIANT* value) override;
  HRESULT STDMETHODCALLTYPE get_SetCounter(VARIANT* value) override;
  HRESULT STDMETHODCALLTYPE get_SetIniFile(VARIANT file_name, VARIANT* value) override;

 private:
  Microsoft::WRL::ComPtr<ITypeInfo> type_info_;
};

}  // namespace trelvo::frame
