#pragma once
// An owned BSTR.
#include <string>
#include <utility>
#include <windows.h>
#include <oleauto.h>

#include "platform/error.h"

namespace trelvo::win32 {

class Bstr {
 public:
  Bstr() = default;
  explicit Bstr(const std::wstring& text) : value_(SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {
    if (!value_) throw std::bad_alloc();
  }
  Bstr(Bstr&& other) noexcept : value_(std::exchange(other.value_, nullptr)) {}
  Bstr& operator=(Bstr&& other) noexcept {
    if (this != &other) {
      SysFreeString(value_);
      value_ = std::exchange(other.value_, nullptr);
    }
    return *this;
  }
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;
  ~Bstr() { SysFreeString(value_); }

  BSTR get() const { return value_; }
  // For out parameters: frees the old value and hands out the slot.
  BSTR* out() {
    SysFreeString(std::exchange(value_, nullptr));
    return &value_;
  }
  BSTR release() { return std::exchange(value_, nullptr); }
  std::wstring str() const { return value_ ? std::wstring(value_, SysStringLen(value_)) : std::wstring(); }

 private:
  BSTR value_ = nullptr;
};

}  // namespace trelvo::win32
