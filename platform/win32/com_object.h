#pragma once
// Reference counting and QueryInterface for the DLL's COM objects. Every live
// object keeps the DLL loaded. Objects are made with MakeComObject, never with new.
#include <atomic>
#include <memory>
#include <tuple>
#include <type_traits>
#include <utility>
#include <windows.h>
#include <wrl/client.h>

#include "platform/win32/com_module.h"

namespace trelvo::win32 {

template <class... Interfaces>
class ComObject : public Interfaces... {
 public:
  ComObject() { ObjectCreated(); }
  ComObject(const ComObject&) = delete;
  ComObject& operator=(const ComObject&) = delete;
  virtual ~ComObject() { ObjectDestroyed(); }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (iid == IID_IUnknown) {
      *object = static_cast<IUnknown*>(static_cast<FirstInterface*>(this));
    } else {
      (TryInterface<Interfaces>(iid, object) || ...);
    }
    if (!*object) *object = QueryOtherInterface(iid);
    if (!*object) return E_NOINTERFACE;
    AddRef();
    return S_OK;
  }
  // Objects that answer for further interface ids (through one of their own
  // interfaces) return that pointer here, without adding a reference.
  virtual void* QueryOtherInterface(REFIID) { return nullptr; }

  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++references_); }
  ULONG STDMETHODCALLTYPE Release() override {
    const long left = --references_;
    if (left == 0) std::unique_ptr<ComObject>{this};
    return static_cast<ULONG>(left);
  }

 private:
  using FirstInterface = std::tuple_element_t<0, std::tuple<Interfaces...>>;

  template <class I>
  bool TryInterface(REFIID iid, void** object) {
    if (iid == __uuidof(I) || (std::is_base_of_v<IDispatch, I> && iid == IID_IDispatch)) {
      *object = static_cast<I*>(this);
      return true;
    }
    return false;
  }

  std::atomic<long> references_{1};
};

// Creates a COM object with one reference, owned by the returned pointer.
template <class T, class... Args>
Microsoft::WRL::ComPtr<T> MakeComObject(Args&&... args) {
  Microsoft::WRL::ComPtr<T> result;
  // Into the raw slot: MinGW's ComPtr::Attach adds a reference of its own.
  *result.ReleaseAndGetAddressOf() = std::make_unique<T>(std::forward<Args>(args)...).release();
  return result;
}

}  // namespace trelvo::win32
