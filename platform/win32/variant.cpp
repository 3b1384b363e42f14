#include "platform/win32/variant.h"

#include <utility>

#include "platform/error.h"
#include "platform/win32/bstr.h"
#include "platform/win32/wide_text.h"

namespace trelvo::win32 {

Variant::Variant(const Variant& other) : Variant(other.value_) {}

Variant::Variant(const VARIANT& value) {
  VariantInit(&value_);
  if (FAILED(VariantCopy(&value_, const_cast<VARIANT*>(&value)))) throw Error("Ein Wert kann nicht kopiert werden.");
}

Variant::Variant(Variant&& other) noexcept : value_(other.value_) { VariantInit(&other.value_); }

Variant& Variant::operator=(Variant other) noexcept {
  std::swap(value_, other.value_);
  return *this;
}

Variant Variant::Text(const std::string& utf8) {
  Variant result;
  result.value_.vt = VT_BSTR;
  result.value_.bstrVal = Bstr(Widen(utf8)).release();
  return result;
}

Variant Variant::Int(long value) {
  Variant result;
  result.value_.vt = VT_I4;
  result.value_.lVal = value;
  return result;
}

Variant Variant::Bool(bool value) {
  Variant result;
  result.value_.vt = VT_BOOL;
  result.value_.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
  return result;
}

Variant Variant::Double(double value) {
  Variant result;
  result.value_.vt = VT_R8;
  result.value_.dblVal = value;
  return result;
}

Variant Variant::Object(IDispatch* object) {
  Variant result;
  result.value_.vt = VT_DISPATCH;
  result.value_.pdispVal = object;
  if (object) object->AddRef();
  return result;
}

Variant Variant::Omitted() {
  Variant result;
  result.value_.vt = VT_ERROR;
  result.value_.scode = DISP_E_PARAMNOTFOUND;
  return result;
}

void Variant::MoveTo(VARIANT* target) {
  *target = value_;
  VariantInit(&value_);
}

bool Variant::IsNothing() const {
  return value_.vt == VT_EMPTY || ((value_.vt == VT_DISPATCH || value_.vt == VT_UNKNOWN) && !value_.punkVal);
}

bool Variant::IsOmitted() const { return value_.vt == VT_ERROR && value_.scode == DISP_E_PARAMNOTFOUND; }

namespace {

Variant Converted(const VARIANT& value, VARTYPE type) {
  Variant result;
  if (FAILED(VariantChangeTypeEx(result.out(), const_cast<VARIANT*>(&value), LOCALE_USER_DEFAULT, 0, type)))
    throw Error("Ein Wert hat nicht den erwarteten Typ.");
  return result;
}

}  // namespace

std::string Variant::ToText() const {
  const Variant text = Converted(value_, VT_BSTR);
  return Narrow(std::wstring(text.value_.bstrVal, SysStringLen(text.value_.bstrVal)));
}

long Variant::ToInt() const { return Converted(value_, VT_I4).value_.lVal; }

bool Variant::ToBool() const { return Converted(value_, VT_BOOL).value_.boolVal != VARIANT_FALSE; }

Microsoft::WRL::ComPtr<IDispatch> Variant::ToObject() const {
  Microsoft::WRL::ComPtr<IDispatch> object;
  if (value_.vt == VT_DISPATCH && value_.pdispVal)
    object = value_.pdispVal;
  else if (value_.vt == VT_UNKNOWN && value_.punkVal)
    value_.punkVal->QueryInterface(IID_PPV_ARGS(&object));
  if (!object) throw Error("Ein Objekt wurde erwartet.");
  return object;
}

}  // namespace trelvo::win32
