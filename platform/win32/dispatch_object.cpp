#include "platform/win32/dispatch_object.h"

#include "platform/error.h"
#include "platform/win32/bstr.h"
#include "platform/win32/system_error.h"
#include "platform/win32/wide_text.h"

namespace trelvo::win32 {
namespace {

// The object's own description of a failure, freed with the EXCEPINFO.
struct ExceptionInfo {
  EXCEPINFO info{};
  ~ExceptionInfo() {
    SysFreeString(info.bstrSource);
    SysFreeString(info.bstrDescription);
    SysFreeString(info.bstrHelpFile);
  }
  std::string Description() {
    if (info.pfnDeferredFillIn) info.pfnDeferredFillIn(&info);
    return info.bstrDescription ? Narrow(info.bstrDescription) : std::string();
  }
};

}  // namespace

DispatchObject::DispatchObject(Microsoft::WRL::ComPtr<IDispatch> object) : object_(std::move(object)) {
  if (!object_) throw Error("Ein Objekt der Anwendung fehlt.");
}

Variant DispatchObject::Get(const std::string& member, std::vector<Variant> arguments) const {
  return Invoke(member, DISPATCH_PROPERTYGET | DISPATCH_METHOD, std::move(arguments), {});
}

DispatchObject DispatchObject::GetObject(const std::string& member, std::vector<Variant> arguments) const {
  return DispatchObject(Get(member, std::move(arguments)).ToObject());
}

void DispatchObject::Put(const std::string& member, const Variant& value, std::vector<Variant> arguments) const {
  arguments.push_back(value);
  Invoke(member, DISPATCH_PROPERTYPUT, std::move(arguments), {});
}

Variant DispatchObject::Call(const std::string& member, std::vector<Variant> arguments,
                             std::vector<NamedArgument> named) const {
  return Invoke(member, DISPATCH_METHOD, std::move(arguments), std::move(named));
}

Variant DispatchObject::Invoke(const std::string& member, WORD kind, std::vector<Variant> arguments,
                               std::vector<NamedArgument> named) const {
  // Names: the member first, then the named arguments; all resolved in one call.
  std::vector<std::wstring> names = {Widen(member)};
  for (const auto& argument : named) names.push_back(Widen(argument.first));
  std::vector<LPOLESTR> name_pointers;
  for (auto& name : names) name_pointers.push_back(name.data());
  std::vector<DISPID> ids(names.size());
  const HRESULT found = object_->GetIDsOfNames(IID_NULL, name_pointers.data(), static_cast<UINT>(names.size()),
                                               LOCALE_USER_DEFAULT, ids.data());
  if (FAILED(found)) throw Error("Die Anwendung kennt '" + member + "' nicht. " + SystemMessage(found));

  // DISPPARAMS: named arguments first (by their ids), then the positional ones last to first.
  std::vector<VARIANTARG> raw;
  std::vector<DISPID> named_ids;
  for (size_t i = 0; i < named.size(); ++i) {
    raw.push_back(named[i].second.get());
    named_ids.push_back(ids[i + 1]);
  }
  // The assigned value of a property write is the last argument, passed as the
  // named argument DISPID_PROPERTYPUT. raw holds shallow copies: every Variant
  // in arguments must live until Invoke has returned.
  auto last_to_first = arguments.rbegin();
  if (kind == DISPATCH_PROPERTYPUT) {
    raw.push_back(last_to_first->get());
    named_ids.push_back(DISPID_PROPERTYPUT);
    ++last_to_first;
  }
  for (; last_to_first != arguments.rend(); ++last_to_first) raw.push_back(last_to_first->get());
  DISPPARAMS parameters{raw.data(), named_ids.data(), static_cast<UINT>(raw.size()),
                        static_cast<UINT>(named_ids.size())};

  Variant result;
  ExceptionInfo exception;
  UINT argument_error = 0;
  const HRESULT hr =
      object_->Invoke(ids[0], IID_NULL, LOCALE_USER_DEFAULT, kind, &parameters,
                      kind == DISPATCH_PROPERTYPUT ? nullptr : result.out(), &exception.info, &argument_error);
  if (hr == DISP_E_EXCEPTION) {
    const std::string description = exception.Description();
    throw Error(description.empty() ? "'" + member + "' ist in der Anwendung fehlgeschlagen." : description);
  }
  if (FAILED(hr)) throw Error("'" + member + "' ist in der Anwendung fehlgeschlagen. " + SystemMessage(hr));
  return result;
}

}  // namespace trelvo::win32
