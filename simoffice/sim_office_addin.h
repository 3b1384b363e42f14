#pragma once
// The host's side of an add-in: its COMAddIn entry (whose Object macros reach)
// and the ribbon's IRibbonUI and IRibbonControl, which record what the add-in
// asks of them.
#include <functional>
#include <string>
#include <vector>

#include "platform/win32/office_interfaces.h"
#include "simoffice/sim_object.h"

namespace trelvo::simoffice {

class SimAddIns;

// One entry of the host's COMAddIns collection: ProgId, Description, Object
// (what the add-in sets for macros) and Connect (setting it connects or
// disconnects the add-in through its host).
class SimComAddIn : public SimObject {
 public:
  SimComAddIn(const std::string& source, std::string prog_id, std::string description = "", SimAddIns* host = nullptr);
  IDispatch* object() const { return object_.Get(); }
  const std::string& prog_id() const { return prog_id_; }
  bool connected() const { return connect_; }

  // The host's side, kept by SimAddIns.
  SimAddIns* host = nullptr;
  Microsoft::WRL::ComPtr<IDTExtensibility2> add_in;
  std::string ribbon_markup;  // what GetCustomUI returned
  void SetConnected(bool connected) { connect_ = connected; }
  void DropObject() { object_.Reset(); }

 private:
  std::string prog_id_;
  std::string description_;
  bool connect_ = false;
  Microsoft::WRL::ComPtr<IDispatch> object_;
};

class SimRibbonUI : public WithoutTypeInfo<IRibbonUI> {
 public:
  int invalidations = 0;
  std::vector<std::string> invalidated_controls;
  bool fail = false;  // the host reports a failure for the next requests
  // Told of each request: the control's id, or "" for the whole ribbon.
  std::function<void(const std::string& id)> on_invalidate;

  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* parameters, VARIANT*, EXCEPINFO*,
                                   UINT*) override;
  HRESULT STDMETHODCALLTYPE Invalidate() override;
  HRESULT STDMETHODCALLTYPE InvalidateControl(BSTR control_id) override;
};

class SimRibbonControl : public WithoutTypeInfo<IRibbonControl> {
 public:
  explicit SimRibbonControl(std::string id, std::string tag = "") : id_(std::move(id)), tag_(std::move(tag)) {}

  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override;
  HRESULT STDMETHODCALLTYPE get_Id(BSTR* id) override;
  HRESULT STDMETHODCALLTYPE get_Context(IDispatch** context) override;
  HRESULT STDMETHODCALLTYPE get_Tag(BSTR* tag) override;

 private:
  std::string id_;
  std::string tag_;
};

}  // namespace trelvo::simoffice
