#pragma once
// Events of a host object delivered to a handler: the sink (an IDispatch that
// also answers for the events' interface id), advised on the source's
// connection point and unadvised when the connection goes.
#include <functional>
#include <windows.h>
#include <ocidl.h>
#include <wrl/client.h>

#include "platform/win32/com_object.h"

namespace trelvo::win32 {

// The handler gets the event's DISPID and its arguments (last to first, as
// IDispatch passes them). Whatever it throws stays in the sink: the source
// always hears S_OK, so the host carries on.
using EventHandler = std::function<void(DISPID, const DISPPARAMS&)>;

class EventSink : public ComObject<IDispatch> {
 public:
  EventSink(const IID& events, EventHandler handler) : events_(events), handler_(std::move(handler)) {}

  void* QueryOtherInterface(REFIID iid) override { return iid == events_ ? static_cast<IDispatch*>(this) : nullptr; }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* parameters, VARIANT* result, EXCEPINFO*,
                                   UINT*) override;

 private:
  IID events_;
  EventHandler handler_;
};

class EventConnection {
 public:
  // Throws trelvo::Error when the source has no such events.
  EventConnection(IUnknown* source, const IID& events, EventHandler handler);
  // The same with a sink of the caller's (one that answers for the events' id).
  EventConnection(IUnknown* source, const IID& events, IDispatch* sink);
  ~EventConnection();
  EventConnection(const EventConnection&) = delete;
  EventConnection& operator=(const EventConnection&) = delete;

 private:
  Microsoft::WRL::ComPtr<IConnectionPoint> point_;
  DWORD cookie_ = 0;
};

}  // namespace trelvo::win32
