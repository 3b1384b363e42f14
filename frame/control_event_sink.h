#pragma once
// The event sink of one linked toolbar control: the host raises Click (a
// button) or Change (a drop-down) on the control's connection point, for
// every control that carries the same tag. The sink passes on only events
// whose control carries its definition's tag, repairs a broken link from the
// event's control, ignores an event that re-enters itself, and answers the
// host S_OK whatever the handler does (its errors are reported instead).
#include <functional>
#include <string>
#include <windows.h>
#include <wrl/client.h>

#include "platform/win32/com_object.h"

namespace trelvo::frame {

class ControlEventSink : public win32::ComObject<IDispatch> {
 public:
  struct Callbacks {
    // Whether the definition's link to its host control still works.
    std::function<bool()> link_works;
    // Links the definition to the event's control instead.
    std::function<void(IDispatch* control)> relink;
    std::function<void()> handle;
    std::function<void(const std::exception&)> report;
  };
  // control_type: the host's type of the control (1 button, 3 drop-down).
  ControlEventSink(long control_type, std::string tag, Callbacks callbacks);

  // The host's event interface for the control's type.
  const IID& events() const;

  void* QueryOtherInterface(REFIID iid) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* parameters, VARIANT* result, EXCEPINFO*,
                                   UINT*) override;

 private:
  void Deliver();

  long control_type_;
  std::string tag_;
  Callbacks callbacks_;
  bool busy_ = false;
};

}  // namespace trelvo::frame
