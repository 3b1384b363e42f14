#include "platform/win32/event_connection.h"

#include <algorithm>

#include "platform/error.h"

namespace trelvo::win32 {

HRESULT EventSink::GetTypeInfoCount(UINT* count) {
  if (!count) return E_POINTER;
  *count = 0;
  return S_OK;
}

HRESULT EventSink::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
  if (info) *info = nullptr;
  return E_NOTIMPL;
}

// The first name is the event's, the others would be its parameters' (which
// no event takes by name): every unknown name is DISPID_UNKNOWN, and any
// unknown name makes the answer DISP_E_UNKNOWNNAME.
HRESULT EventSink::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
  if (!names || !ids) return E_POINTER;
  if (count == 0) return E_INVALIDARG;
  for (UINT i = 0; i < count; ++i) ids[i] = DISPID_UNKNOWN;
  const auto found = std::find_if(names_.begin(), names_.end(),
                                  [&](const EventName& event) { return names[0] && event.name == names[0]; });
  if (found != names_.end()) ids[0] = found->id;
  return found != names_.end() && count == 1 ? S_OK : DISP_E_UNKNOWNNAME;
}

HRESULT EventSink::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* parameters, VARIANT* result, EXCEPINFO*, UINT*) {
  if (!names_.empty() &&
      std::none_of(names_.begin(), names_.end(), [&](const EventName& event) { return event.id == id; }))
    return DISP_E_MEMBERNOTFOUND;
  if (!parameters) return E_POINTER;
  if (result) VariantInit(result);
  // The handler may end this sink's connection (a control's link repaired):
  // the sink and its handler live until the call ends.
  const Microsoft::WRL::ComPtr<IDispatch> keep_alive(this);
  try {
    handler_(id, *parameters);
  } catch (...) {
    // The handler reports its own errors; the host must not see them.
  }
  return S_OK;
}

EventConnection::EventConnection(IUnknown* source, const IID& events, EventHandler handler,
                                 std::vector<EventName> names) {
  const auto sink = MakeComObject<EventSink>(events, std::move(handler), std::move(names));
  Microsoft::WRL::ComPtr<IConnectionPointContainer> container;
  if (!source || FAILED(source->QueryInterface(IID_PPV_ARGS(&container))) ||
      FAILED(container->FindConnectionPoint(events, &point_)) || FAILED(point_->Advise(sink.Get(), &cookie_)))
    throw Error("Die Ereignisse der Anwendung können nicht empfangen werden.");
}

EventConnection::~EventConnection() {
  if (cookie_) point_->Unadvise(cookie_);
}

}  // namespace trelvo::win32
