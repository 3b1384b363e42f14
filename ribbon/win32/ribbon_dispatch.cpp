#include "ribbon/win32/ribbon_dispatch.h"

#include <oleauto.h>
#include <string>

#include "platform/error.h"
#include "platform/win32/bstr.h"
#include "platform/win32/com_boundary.h"
#include "platform/win32/com_module.h"
#include "platform/win32/dpi.h"
#include "platform/win32/variant.h"
#include "platform/win32/wide_text.h"
#include "ribbon/callbacks.h"
#include "ribbon/win32/ribbon_pictures.h"

namespace trelvo::ribbon::win32 {
namespace {

using trelvo::win32::ComError;
using trelvo::win32::Variant;

constexpr size_t kMaxNameLength = 255;

// The position-th argument in call order, a reference to a variant followed.
const VARIANT& Argument(const DISPPARAMS* parameters, UINT position) {
  if (!parameters || position >= parameters->cArgs)
    throw ComError(DISP_E_BADPARAMCOUNT, "Dem Rückruf des Menübands fehlt ein Argument.");
  const VARIANT* argument = &parameters->rgvarg[parameters->cArgs - 1 - position];
  if (argument->vt == (VT_BYREF | VT_VARIANT) && argument->pvarVal) argument = argument->pvarVal;
  return *argument;
}

// The argument as a value of type, converted as automation converts.
Variant Converted(const VARIANT& argument, VARTYPE type) {
  Variant converted;
  if (FAILED(VariantChangeType(converted.out(), const_cast<VARIANT*>(&argument), 0, type)))
    throw ComError(DISP_E_TYPEMISMATCH, "Ein Argument eines Rückrufs des Menübands hat den falschen Typ.");
  return converted;
}

template <class Interface>
Microsoft::WRL::ComPtr<Interface> InterfaceOf(const VARIANT& argument) {
  Microsoft::WRL::ComPtr<Interface> object;
  IUnknown* unknown = argument.vt == VT_DISPATCH || argument.vt == VT_UNKNOWN ? argument.punkVal : nullptr;
  if (!unknown || FAILED(unknown->QueryInterface(IID_PPV_ARGS(&object))))
    throw ComError(DISP_E_TYPEMISMATCH, "Ein Argument eines Rückrufs des Menübands hat den falschen Typ.");
  return object;
}

std::string ControlId(const VARIANT& argument) {
  trelvo::win32::Bstr id;
  if (FAILED(InterfaceOf<IRibbonControl>(argument)->get_Id(id.out())))
    throw Error("Die Kennung eines Steuerelements des Menübands kann nicht gelesen werden.");
  return trelvo::win32::Narrow(id.str());
}

// A cancel flag passed by reference is set to false: the host's own action runs.
void KeepHostAction(const VARIANT& argument) {
  if (argument.vt == (VT_BYREF | VT_BOOL) && argument.pboolVal) *argument.pboolVal = VARIANT_FALSE;
}

CallbackArguments Decode(const CallbackDefinition& definition, const DISPPARAMS* parameters) {
  CallbackArguments arguments;
  // Office calls add-ins in the system's awareness: the resolution the thread
  // sees now is the one Office draws the ribbon's pictures for.
  arguments.dpi = trelvo::win32::ThreadDpi();
  const VARIANT& first = Argument(parameters, 0);
  arguments.control_id =
      definition.parameters == Parameters::ImageName ? Converted(first, VT_BSTR).ToText() : ControlId(first);
  switch (definition.parameters) {
    case Parameters::Index: arguments.index = Converted(Argument(parameters, 1), VT_I4).ToInt(); break;
    case Parameters::Pressed: arguments.action.pressed = Converted(Argument(parameters, 1), VT_BOOL).ToBool(); break;
    case Parameters::Cancel: KeepHostAction(Argument(parameters, 1)); break;
    case Parameters::PressedCancel:
      arguments.action.pressed = Converted(Argument(parameters, 1), VT_BOOL).ToBool();
      KeepHostAction(Argument(parameters, 2));
      break;
    case Parameters::Selection:
      arguments.action.selected_item_id = Converted(Argument(parameters, 1), VT_BSTR).ToText();
      arguments.action.selected_item_index = Converted(Argument(parameters, 2), VT_I4).ToInt();
      break;
    case Parameters::Text: arguments.action.text = Converted(Argument(parameters, 1), VT_BSTR).ToText(); break;
    default: break;
  }
  return arguments;
}

Variant ToVariant(const Answer& answer) {
  if (const auto* value = std::get_if<bool>(&answer)) return Variant::Bool(*value);
  if (const auto* value = std::get_if<int32_t>(&answer)) return Variant::Int(*value);
  if (const auto* value = std::get_if<std::string>(&answer)) return Variant::Text(*value);
  if (const auto* value = std::get_if<Picture>(&answer)) return Variant::Object(PictureObject(*value).Get());
  return Variant();
}

// The onLoad callback: the ribbon keeps the host's ribbon, then the module hears of it.
void RibbonLoaded(Ribbon* ribbon, const DISPPARAMS* parameters, const RibbonEvents& events) {
  auto ui = std::make_shared<HostRibbonUI>(InterfaceOf<IRibbonUI>(Argument(parameters, 0)));
  if (!ribbon) return;
  ribbon->SetUI(ui);
  try {
    if (events.loaded) events.loaded(ui);
  } catch (const std::exception& error) {
    events.handler_failed(error);
  }
}

HRESULT Failed(EXCEPINFO* exception, HRESULT code, const std::string& description) {
  if (code != DISP_E_EXCEPTION) return code;
  if (exception) {
    *exception = EXCEPINFO{};
    exception->bstrSource = SysAllocString(trelvo::win32::ErrorSource().c_str());
    exception->bstrDescription = SysAllocString(trelvo::win32::Widen(description).c_str());
    exception->scode = E_FAIL;
  }
  return DISP_E_EXCEPTION;
}

}  // namespace

HRESULT ResolveCallbackNames(LPOLESTR* names, UINT count, DISPID* ids, HRESULT automation_error) {
  if (!names || !ids || count == 0) return E_INVALIDARG;
  for (UINT i = 0; i < count; ++i) ids[i] = DISPID_UNKNOWN;
  // The 8-bit text in a buffer of its own: nothing is allocated, nothing can throw.
  const wchar_t* name = names[0] ? names[0] : L"";
  char narrow[kMaxNameLength];
  size_t length = 0;
  for (; length < kMaxNameLength && name[length] && name[length] <= 255; ++length)
    narrow[length] = static_cast<char>(name[length]);
  const CallbackDefinition* callback = FindCallback(std::string_view(narrow, length));
  if (!callback) return automation_error;
  ids[0] = static_cast<DISPID>(callback->callback);
  // Further names would be the callback's parameters, which none takes by name.
  return count == 1 ? S_OK : DISP_E_UNKNOWNNAME;
}

HRESULT InvokeCallback(Ribbon* ribbon, DISPID number, const DISPPARAMS* parameters, VARIANT* result,
                       EXCEPINFO* exception, const RibbonEvents& events, HRESULT automation_error) {
  const CallbackDefinition* definition = CallbackOfNumber(number);
  if (!definition) return automation_error;
  try {
    if (definition->parameters == Parameters::RibbonUI) {
      RibbonLoaded(ribbon, parameters, events);
      return S_OK;
    }
    Variant answer =
        ToVariant(AnswerCallback(ribbon, *definition, Decode(*definition, parameters), events.handler_failed));
    if (result) answer.MoveTo(result);
    return S_OK;
  } catch (const ComError& error) {
    return Failed(exception, error.code(), error.what());
  } catch (const std::exception& error) {
    return Failed(exception, DISP_E_EXCEPTION, error.what());
  } catch (...) {
    return Failed(exception, DISP_E_EXCEPTION, "Unerwarteter Fehler im Menüband");
  }
}

}  // namespace trelvo::ribbon::win32
