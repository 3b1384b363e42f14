#pragma once
// An owned VARIANT with the conversions the add-in needs at the COM boundary.
#include <string>
#include <windows.h>
#include <oleauto.h>
#include <wrl/client.h>

namespace trelvo::win32 {

class Variant {
 public:
  Variant() { VariantInit(&value_); }
  Variant(const Variant& other);
  Variant(Variant&& other) noexcept;
  Variant& operator=(Variant other) noexcept;
  ~Variant() { VariantClear(&value_); }
  // Copies a VARIANT that the caller keeps.
  explicit Variant(const VARIANT& value);

  static Variant Text(const std::string& utf8);
  static Variant Int(long value);
  static Variant Bool(bool value);
  static Variant Double(double value);
  static Variant Object(IDispatch* object);
  // The marker of an omitted optional argument (VT_ERROR, DISP_E_PARAMNOTFOUND).
  static Variant Omitted();

  const VARIANT& get() const { return value_; }
  VARIANT* out() {
    VariantClear(&value_);
    return &value_;
  }
  // Hands the value to a caller-owned VARIANT (an [out, retval] parameter).
  void MoveTo(VARIANT* target);

  VARTYPE type() const { return value_.vt; }
  bool IsOmitted() const;
  bool IsEmpty() const { return value_.vt == VT_EMPTY; }
  // An object reference to no object (what Office returns when nothing is found).
  bool IsNothing() const;
  // Conversions as automation converts; they throw trelvo::Error when the value does not convert.
  std::string ToText() const;
  long ToInt() const;
  bool ToBool() const;
  Microsoft::WRL::ComPtr<IDispatch> ToObject() const;

 private:
  VARIANT value_;
};

}  // namespace trelvo::win32
