#pragma once
// Events of a host object delivered to a handler: the sink (an IDispatch that
// also answers for the events' interface id), advised on the source's
// connection point and unadvised when the connection goes. One sink serves
// every source: the host's application events and the controls' Click and
// Change alike; what a source needs beyond that (a control's tag filter, its
// link repair) is its handler's.
#include <functional>
#include <string>
#include <vector>
#include <windows.h>
#include <ocidl.h>
#include <wrl/client.h>

#include "platform/win32/com_object.h"

namespace trelvo::win32 {

// The handler gets the event's DISPID and its arguments (last to first, as
// IDispatch passes them). Whatever it throws stays in the sink: the source
// always hears S_OK, so the host carries on.
using EventHandler = std::function<void(DISPID, const DISPPARAMS&)>;

// An event a caller may look up by its name (compared exactly).
struct EventName {
  std::wstring name;
  DISPID id;
};

class EventSink : public ComObject<IDispatch> {
 public:
  // names: the events the sink answers by name; when given, they are also the
  // only events it takes (others are DISP_E_MEMBERNOTFOUND). Without names it
  // takes every event of the interface and resolves no name.
  EventSink(const IID& events, EventHandler handler, std::vector<EventName> names = {})
      : events_(events), handler_(std::move(handler)), names_(std::move(names)) {}

  void* QueryOtherInterface(REFIID iid) override { return iid == events_ ? static_cast<IDispatch*>(this) : nullptr; }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* parameters, VARIANT* result, EXCEPINFO*,
                                   UINT*) override;

 private:
  IID events_;
  EventHandler handler_;
  std::vector<EventName> names_;
};

class EventConnection {
 public:
  // Throws trelvo::Error when the source has no such events.
  EventConnection(IUnknown* source, const IID& events, EventHandler handler, std::vector<EventName> names = {});
  ~EventConnection();
  EventConnection(const EventConnection&) = delete;
  EventConnection& operator=(const EventConnection&) = delete;

 private:
  Microsoft::WRL::ComPtr<IConnectionPoint> point_;
  DWORD cookie_ = 0;
};

}  // namespace trelvo::win32
