#include "frame/control_event_sink.h"

#include "platform/error.h"
#include "platform/win32/dispatch_object.h"
#include "platform/win32/office_interfaces.h"
#include "platform/win32/wide_text.h"

namespace trelvo::frame {

ControlEventSink::ControlEventSink(long control_type, std::string tag, Callbacks callbacks)
    : control_type_(control_type), tag_(std::move(tag)), callbacks_(std::move(callbacks)) {}

const IID& ControlEventSink::events() const {
  return control_type_ == office::kControlButton ? office::kCommandBarButtonEvents : office::kCommandBarComboBoxEvents;
}

void* ControlEventSink::QueryOtherInterface(REFIID iid) {
  return iid == events() ? static_cast<IDispatch*>(this) : nullptr;
}

HRESULT ControlEventSink::GetTypeInfoCount(UINT* count) {
  if (!count) return E_POINTER;
  *count = 0;
  return S_OK;
}

HRESULT ControlEventSink::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
  if (info) *info = nullptr;
  return E_FAIL;
}

HRESULT ControlEventSink::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
  if (!names || !ids) return E_POINTER;
  if (count > 1) return E_INVALIDARG;
  // The one event of the control's interface, its name compared exactly.
  const std::string name = names[0] ? win32::Narrow(names[0]).substr(0, 511) : std::string();
  const bool button = control_type_ == office::kControlButton;
  if (name == (button ? "Click" : "Change")) {
    *ids = office::kControlEvent;
    return S_OK;
  }
  *ids = DISPID_UNKNOWN;
  return DISP_E_UNKNOWNNAME;
}

HRESULT ControlEventSink::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* parameters, VARIANT* result, EXCEPINFO*,
                                 UINT*) {
  if (id != office::kControlEvent) return DISP_E_MEMBERNOTFOUND;
  if (!parameters) return E_POINTER;
  if (result) VariantInit(result);
  // Repairing the link replaces this sink (the host lets it go): it lives until the call ends.
  const Microsoft::WRL::ComPtr<IDispatch> keep_alive(this);
  try {
    // Ctrl is the first argument in call order, the last one passed.
    if (parameters->cArgs == 0) return S_OK;
    const win32::Variant first(parameters->rgvarg[parameters->cArgs - 1]);
    Microsoft::WRL::ComPtr<IDispatch> control;
    if (FAILED(first.ToObject()->QueryInterface(office::kCommandBarControl,
                                                reinterpret_cast<void**>(control.GetAddressOf()))))
      return S_OK;
    if (win32::DispatchObject(control).Get("Tag").ToText() != tag_) return S_OK;
    if (!callbacks_.link_works()) callbacks_.relink(control.Get());
    Deliver();
  } catch (const std::exception& error) {
    callbacks_.report(error);
  } catch (...) {
    callbacks_.report(Error("Unerwarteter Fehler"));
  }
  return S_OK;
}

void ControlEventSink::Deliver() {
  if (busy_) return;  // the event re-entered itself (a modal box keeps the host's loop running)
  struct Busy {
    bool& flag;
    explicit Busy(bool& f) : flag(f) { flag = true; }
    ~Busy() { flag = false; }
  } busy(busy_);
  callbacks_.handle();
}

}  // namespace trelvo::frame
