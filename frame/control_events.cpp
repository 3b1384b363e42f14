#include "frame/control_events.h"

#include <memory>

#include "platform/error.h"
#include "platform/win32/dispatch_object.h"
#include "platform/win32/office_interfaces.h"

namespace trelvo::frame {
namespace {

class ControlEvents {
 public:
  ControlEvents(std::string tag, ControlEventCallbacks callbacks)
      : tag_(std::move(tag)), callbacks_(std::move(callbacks)) {}

  void operator()(DISPID, const DISPPARAMS& parameters) noexcept {
    try {
      Take(parameters);
    } catch (const std::exception& error) {
      Report(&error);
    } catch (...) {
      Report(nullptr);
    }
  }

 private:
  void Take(const DISPPARAMS& parameters) {
    // Ctrl is the first argument in call order, the last one passed.
    if (parameters.cArgs == 0) return;
    const win32::Variant first(parameters.rgvarg[parameters.cArgs - 1]);
    Microsoft::WRL::ComPtr<IDispatch> control;
    if (FAILED(first.ToObject()->QueryInterface(office::kCommandBarControl,
                                                reinterpret_cast<void**>(control.GetAddressOf()))))
      return;
    if (win32::DispatchObject(control).Get("Tag").ToText() != tag_) return;
    if (!callbacks_.link_works()) callbacks_.relink(control.Get());
    if (*busy_) return;  // the event re-entered itself (a modal box keeps the host's loop running)
    struct Busy {
      bool& flag;
      explicit Busy(bool& f) : flag(f) { flag = true; }
      ~Busy() { flag = false; }
    } busy(*busy_);
    callbacks_.handle();
  }

  // error: nullptr for an exception that is no std::exception. Making the
  // report may fail as well as making it: neither leaves.
  void Report(const std::exception* error) noexcept {
    try {
      if (error) return callbacks_.report(*error);
      callbacks_.report(Error("Unerwarteter Fehler"));
    } catch (...) {
      // Reporting failed in turn: the host still must not see it.
    }
  }

  std::string tag_;
  ControlEventCallbacks callbacks_;
  // Shared by the copies a std::function may make of the handler.
  std::shared_ptr<bool> busy_ = std::make_shared<bool>(false);
};

}  // namespace

const IID& ControlEventInterface(long control_type) {
  return control_type == office::kControlButton ? office::kCommandBarButtonEvents : office::kCommandBarComboBoxEvents;
}

std::vector<win32::EventName> ControlEventNames(long control_type) {
  return {{control_type == office::kControlButton ? L"Click" : L"Change", office::kControlEvent}};
}

win32::EventHandler ControlEventHandler(std::string tag, ControlEventCallbacks callbacks) {
  return ControlEvents(std::move(tag), std::move(callbacks));
}

}  // namespace trelvo::frame
