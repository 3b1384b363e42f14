#pragma once
// TrelvoCoClass: the object that the hosts load as the add-in and that macros
// call as an automation object. One object, one IDispatch: the automation
// interface ITrelvoCoClass (dispatched through the type library), the add-in
// connection (IDTExtensibility2), the ribbon markup (IRibbonExtensibility) and
// the task pane factory the host offers (ICustomTaskPaneConsumer).
#include <memory>
#include <windows.h>
#include <wrl/client.h>

#include "Trelvo_h.h"
#include "commands/win32/automation_members.h"
#include "frame/add_in_connection.h"
#include "platform/win32/com_object.h"
#include "platform/win32/office_interfaces.h"

namespace trelvo::frame {

class TrelvoCoClass : public win32::ComObject<ITrelvoCoClass, IDTExtensibility2, IRibbonExtensibility,
                                              ICustomTaskPaneConsumer, ISupportErrorInfo> {
 public:
  // make_module: the program's module for each connection.
  explicit TrelvoCoClass(commands::ModuleFactory make_module);

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

  // IDTExtensibility2
  HRESULT STDMETHODCALLTYPE OnConnection(IDispatch* application, ext_ConnectMode mode, IDispatch* add_in,
                                         SAFEARRAY** custom) override;
  HRESULT STDMETHODCALLTYPE OnDisconnection(ext_DisconnectMode mode, SAFEARRAY** custom) override;
  HRESULT STDMETHODCALLTYPE OnAddInsUpdate(SAFEARRAY** custom) override;
  HRESULT STDMETHODCALLTYPE OnStartupComplete(SAFEARRAY** custom) override;
  HRESULT STDMETHODCALLTYPE OnBeginShutdown(SAFEARRAY** custom) override;

  // IRibbonExtensibility
  HRESULT STDMETHODCALLTYPE GetCustomUI(BSTR ribbon_id, BSTR* markup) override;

  // ICustomTaskPaneConsumer
  HRESULT STDMETHODCALLTYPE CTPFactoryAvailable(IDispatch* factory) override;

  // ISupportErrorInfo
  HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID iid) override;

  // The connection while the add-in is connected (nullptr otherwise).
  AddInConnection* connection() const { return connection_.get(); }

 private:
  // A connection method: exceptions become E_UNEXPECTED (or their own code)
  // with error information whose source is the ProgID.
  template <class Body>
  HRESULT Guarded(Body&& body);

  Microsoft::WRL::ComPtr<ITypeInfo> type_info_;
  commands::ModuleFactory make_module_;
  std::unique_ptr<AddInConnection> connection_;
  Microsoft::WRL::ComPtr<IDispatch> task_pane_factory_;
  std::unique_ptr<commands::AutomationMembers> members_;  // made at the first call

  // The automation members, with boxes owned by the connected host's window.
  commands::AutomationMembers& Members();
  // Runs a member: value empty first, then the body's answer; an error is
  // the call's failure with its message as the description.
  template <class Body>
  HRESULT Member(VARIANT* value, Body&& body);
};

}  // namespace trelvo::frame
