#include "simoffice/sim_office_addin.h"

#include "platform/win32/bstr.h"
#include "simoffice/sim_add_ins.h"
#include "platform/win32/wide_text.h"
#include "simoffice/sim_names.h"

namespace trelvo::simoffice {

SimComAddIn::SimComAddIn(const std::string& source, std::string prog_id, std::string description, SimAddIns* host)
    : SimObject(source), host(host), prog_id_(std::move(prog_id)), description_(std::move(description)) {
  AnswerAs(office::kComAddIn);
  AddProperty("ProgId", {}, [this](const CallArguments&) { return Variant::Text(prog_id_); });
  AddField("Description", description_);
  AddProperty(
      "Connect", {}, [this](const CallArguments&) { return Variant::Bool(connect_); },
      [this](const CallArguments&, const Variant& value) {
        const bool connect = value.ToBool();
        if (!this->host) {
          connect_ = connect;
        } else if (connect) {
          this->host->Connect(*this, ext_cm_AfterStartup);
        } else {
          this->host->Disconnect(*this, ext_dm_UserClosed);
        }
      });
  AddProperty(
      "Object", {}, [this](const CallArguments&) { return Variant::Object(object_.Get()); },
      [this](const CallArguments&, const Variant& value) { object_ = value.IsNothing() ? nullptr : value.ToObject(); });
}

// IRibbonUI is dual: late-bound callers reach Invalidate (1) and InvalidateControl (2) by their ids.
HRESULT SimRibbonUI::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
  if (!names || !ids || count != 1) return E_INVALIDARG;
  if (SameName("Invalidate", names[0]))
    *ids = 1;
  else if (SameName("InvalidateControl", names[0]))
    *ids = 2;
  else
    return DISP_E_UNKNOWNNAME;
  return S_OK;
}
HRESULT SimRibbonUI::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* parameters, VARIANT*, EXCEPINFO*, UINT*) {
  if (id == 1) return Invalidate();
  if (id == 2 && parameters && parameters->cArgs == 1 && parameters->rgvarg[0].vt == VT_BSTR)
    return InvalidateControl(parameters->rgvarg[0].bstrVal);
  return DISP_E_MEMBERNOTFOUND;
}
HRESULT SimRibbonUI::Invalidate() {
  if (fail) return E_FAIL;
  ++invalidations;
  if (on_invalidate) on_invalidate("");
  return S_OK;
}
HRESULT SimRibbonUI::InvalidateControl(BSTR control_id) {
  if (fail) return E_FAIL;
  invalidated_controls.push_back(win32::Narrow(control_id ? control_id : L""));
  if (on_invalidate) on_invalidate(invalidated_controls.back());
  return S_OK;
}

HRESULT SimRibbonControl::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) { return DISP_E_UNKNOWNNAME; }
HRESULT SimRibbonControl::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) {
  return DISP_E_MEMBERNOTFOUND;
}
HRESULT SimRibbonControl::get_Id(BSTR* id) {
  if (!id) return E_POINTER;
  *id = win32::Bstr(win32::Widen(id_)).release();
  return S_OK;
}
HRESULT SimRibbonControl::get_Context(IDispatch** context) {
  if (!context) return E_POINTER;
  *context = nullptr;
  return S_OK;
}
HRESULT SimRibbonControl::get_Tag(BSTR* tag) {
  if (!tag) return E_POINTER;
  *tag = win32::Bstr(win32::Widen(tag_)).release();
  return S_OK;
}

}  // namespace trelvo::simoffice
