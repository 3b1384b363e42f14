#pragma once
// A connection point of a simulated Office object: the sinks advised for one
// event interface, called late-bound when the object fires an event.
#include <algorithm>
#include <utility>
#include <vector>
#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include "platform/win32/com_object.h"
#include "platform/win32/variant.h"

namespace trelvo::simoffice {

// One connection point: the sinks advised for one event interface. It points
// back to its container without a reference, so that the two do not keep each
// other alive; the container drops its sinks when it goes.
class SimConnectionPoint : public win32::ComObject<IConnectionPoint> {
 public:
  SimConnectionPoint(IConnectionPointContainer& container, const IID& events)
      : container_(&container), events_(events) {}

  HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* iid) override {
    if (!iid) return E_POINTER;
    *iid = events_;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer** container) override {
    if (!container) return E_POINTER;
    *container = container_;
    if (container_) container_->AddRef();
    return container_ ? S_OK : E_UNEXPECTED;
  }
  HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) override {
    if (!sink || !cookie) return E_POINTER;
    Microsoft::WRL::ComPtr<IDispatch> dispatch;
    if (FAILED(sink->QueryInterface(events_, reinterpret_cast<void**>(dispatch.GetAddressOf()))) &&
        FAILED(sink->QueryInterface(IID_PPV_ARGS(&dispatch))))
      return CONNECT_E_CANNOTCONNECT;
    *cookie = ++last_cookie_;
    sinks_.emplace_back(*cookie, dispatch);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override {
    const auto found = std::find_if(sinks_.begin(), sinks_.end(), [&](const auto& s) { return s.first == cookie; });
    if (found == sinks_.end()) return CONNECT_E_NOCONNECTION;
    sinks_.erase(found);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections**) override { return E_NOTIMPL; }

  void Fire(DISPID id, std::vector<win32::Variant> arguments) {
    // The host passes arguments last to first.
    std::vector<VARIANTARG> raw;
    for (auto it = arguments.rbegin(); it != arguments.rend(); ++it) raw.push_back(it->get());
    DISPPARAMS parameters{raw.data(), nullptr, static_cast<UINT>(raw.size()), 0};
    const auto sinks = sinks_;  // a sink may unadvise while it is called
    for (const auto& [cookie, sink] : sinks)
      sink->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &parameters, nullptr, nullptr, nullptr);
  }
  void Detach() { container_ = nullptr; }
  void DropSinks() { sinks_.clear(); }
  size_t SinkCount() const { return sinks_.size(); }

 private:
  IConnectionPointContainer* container_;
  IID events_;
  DWORD last_cookie_ = 0;
  std::vector<std::pair<DWORD, Microsoft::WRL::ComPtr<IDispatch>>> sinks_;
};

}  // namespace trelvo::simoffice
