#include "platform/win32/event_connection.h"

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

HRESULT EventSink::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) { return DISP_E_UNKNOWNNAME; }

HRESULT EventSink::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* parameters, VARIANT* result, EXCEPINFO*, UINT*) {
  if (result) VariantInit(result);
  const DISPPARAMS none{};
  try {
    handler_(id, parameters ? *parameters : none);
  } catch (...) {
    // The handler reports its own errors; the host must not see them.
  }
  return S_OK;
}

EventConnection::EventConnection(IUnknown* source, const IID& events, EventHandler handler)
    : EventConnection(source, events, MakeComObject<EventSink>(events, std::move(handler)).Get()) {}

EventConnection::EventConnection(IUnknown* source, const IID& events, IDispatch* sink) {
  Microsoft::WRL::ComPtr<IConnectionPointContainer> container;
  if (!source || FAILED(source->QueryInterface(IID_PPV_ARGS(&container))) ||
      FAILED(container->FindConnectionPoint(events, &point_)) || FAILED(point_->Advise(sink, &cookie_)))
    throw Error("Die Ereignisse der Anwendung können nicht empfangen werden.");
}

EventConnection::~EventConnection() {
  if (cookie_) point_->Unadvise(cookie_);
}

}  // namespace trelvo::win32
