#include "frame/trelvo_co_class.h"

#include <oleauto.h>

#include "frame/type_library.h"
#include "platform/win32/bstr.h"
#include "platform/win32/variant.h"
#include "platform/win32/com_boundary.h"
#include "platform/win32/wide_text.h"
#include "ribbon/win32/ribbon_dispatch.h"

namespace trelvo::frame {

TrelvoCoClass::TrelvoCoClass(commands::ModuleFactory make_module)
    : type_info_(OwnTypeInfo(IID_ITrelvoCoClass)), make_module_(std::move(make_module)) {}

template <class Body>
HRESULT TrelvoCoClass::Guarded(Body&& body) {
  return win32::GuardComCall(
      CLSID_TrelvoCoClass,
      [&] {
        body();
        return S_OK;
      },
      E_UNEXPECTED);
}

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

// The automation interface's names first, then the ribbon callbacks'.
HRESULT TrelvoCoClass::GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
  if (iid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
  const HRESULT automation = DispGetIDsOfNames(type_info_.Get(), names, count, ids);
  if (SUCCEEDED(automation)) return automation;
  return ribbon::win32::ResolveCallbackNames(names, count, ids, automation);
}

HRESULT TrelvoCoClass::Invoke(DISPID id, REFIID iid, LCID, WORD flags, DISPPARAMS* parameters, VARIANT* result,
                              EXCEPINFO* exception, UINT* argument_error) {
  if (iid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
  // Late-bound callers may call the read-only properties like methods.
  if (flags & DISPATCH_METHOD) flags |= DISPATCH_PROPERTYGET;
  const HRESULT automation = DispInvoke(static_cast<ITrelvoCoClass*>(this), type_info_.Get(), id, flags, parameters,
                                        result, exception, argument_error);
  if (SUCCEEDED(automation)) return automation;
  // Not a member of the automation interface: perhaps a ribbon callback.
  static const ribbon::win32::RibbonEvents no_events{nullptr, [](const std::exception&) {}};
  return ribbon::win32::InvokeCallback(connection_ ? connection_->ribbon() : nullptr, id, parameters, result, exception,
                                       connection_ ? connection_->ribbon_events() : no_events, automation);
}

commands::AutomationMembers& TrelvoCoClass::Members() {
  if (!members_)
    members_ = std::make_unique<commands::AutomationMembers>(
        win32::OwnerWindow([this] { return connection_ ? connection_->host().owner_window() : nullptr; }));
  return *members_;
}

template <class Body>
HRESULT TrelvoCoClass::Member(VARIANT* value, Body&& body) {
  if (!value) return E_POINTER;
  VariantInit(value);
  return win32::GuardComCall(CLSID_TrelvoCoClass, [&] {
    body().MoveTo(value);
    return S_OK;
  });
}

HRESULT TrelvoCoClass::get_ReadCounter(VARIANT* value) {
  return Member(value, [&] { return win32::Variant::Text(Members().ReadCounter()); });
}

HRESULT TrelvoCoClass::get_SetCounter(VARIANT* value) {
  return Member(value, [&] { return win32::Variant::Text(Members().SetCounter()); });
}

HRESULT TrelvoCoClass::get_SetIniFile(VARIANT file_name, VARIANT* value) {
  return Member(value, [&] {
    win32::Variant path;
    if (FAILED(VariantChangeType(path.out(), &file_name, 0, VT_BSTR)))
      throw win32::ComError(DISP_E_TYPEMISMATCH, "Der Dateiname der Zählerdatei ist kein Text.");
    // An object without a module has no range selectors to put back.
    const auto select_default = [&] {
      if (connection_) connection_->module().OnCounterFileChosen();
    };
    const commands::IniFileChoice choice = Members().SetIniFile(path.ToText(), select_default);
    // A refused path answers False; the error information tells the macro why.
    if (!choice.refusal.empty()) win32::ReportComError(CLSID_TrelvoCoClass, S_OK, choice.refusal);
    return win32::Variant::Bool(choice.chosen);
  });
}

HRESULT TrelvoCoClass::OnConnection(IDispatch* application, ext_ConnectMode mode, IDispatch* add_in, SAFEARRAY**) {
  return Guarded([&] {
    // A connection replaces any earlier one of this object.
    connection_.reset();
    connection_ = std::make_unique<AddInConnection>(commands::kTrelvoAddIn, make_module_, application, mode, add_in,
                                                    static_cast<ITrelvoCoClass*>(this));
  });
}

HRESULT TrelvoCoClass::OnDisconnection(ext_DisconnectMode mode, SAFEARRAY**) {
  return Guarded([&] {
    if (!connection_) return;
    // The connection goes even when its end fails.
    const auto ending = std::move(connection_);
    ending->Disconnect(mode);
  });
}

HRESULT TrelvoCoClass::OnAddInsUpdate(SAFEARRAY**) { return S_OK; }

HRESULT TrelvoCoClass::OnStartupComplete(SAFEARRAY**) {
  return Guarded([&] {
    if (connection_) connection_->StartupComplete();
  });
}

HRESULT TrelvoCoClass::OnBeginShutdown(SAFEARRAY**) {
  return Guarded([&] {
    if (connection_) connection_->BeginShutdown();
  });
}

HRESULT TrelvoCoClass::GetCustomUI(BSTR ribbon_id, BSTR* markup) {
  if (!markup) return E_POINTER;
  *markup = nullptr;
  return Guarded([&] {
    if (!connection_) throw Error("Das Add-In ist mit keiner Anwendung verbunden.");
    const std::wstring id = ribbon_id ? std::wstring(ribbon_id, SysStringLen(ribbon_id)) : std::wstring();
    *markup = win32::Bstr(win32::Widen(connection_->RibbonMarkup(win32::Narrow(id)))).release();
  });
}

HRESULT TrelvoCoClass::CTPFactoryAvailable(IDispatch* factory) {
  task_pane_factory_ = factory;  // kept; the add-in has no task panes
  return S_OK;
}

HRESULT TrelvoCoClass::InterfaceSupportsErrorInfo(REFIID iid) {
  for (const IID& supported :
       {IID_ITrelvoCoClass, __uuidof(IDTExtensibility2), __uuidof(IRibbonExtensibility), IID_IDispatch})
    if (iid == supported) return S_OK;
  return S_FALSE;
}

}  // namespace trelvo::frame
