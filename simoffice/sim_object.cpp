#include "simoffice/sim_object.h"

#include <algorithm>

#include "platform/win32/bstr.h"
#include "platform/win32/wide_text.h"
#include "simoffice/sim_names.h"

namespace trelvo::simoffice {

const Variant& CallArguments::At(size_t index) const {
  if (!Has(index)) throw OfficeError("Argument ist nicht optional.");
  return values_[index];
}

SimCollection::SimCollection(const std::string& source, std::function<long()> count,
                             std::function<Variant(const Variant&)> item, CollectionAdd add)
    : SimObject(source) {
  AddProperty("Count", {}, [count](const CallArguments&) { return Variant::Int(count()); });
  AddProperty("Item", {"Index"}, [item](const CallArguments& arguments) { return item(arguments.At(0)); });
  SetDefaultMember("Item");
  if (add.run) AddMethod("Add", add.params, add.run);
}

SimObject::~SimObject() {
  for (auto& [iid, point] : points_) {
    point->Detach();
    point->DropSinks();
  }
}

void SimObject::AddProperty(const std::string& name, std::vector<std::string> params, Getter get, Setter put) {
  members_.push_back({name, std::move(params), std::move(get), std::move(put), {}});
}

void SimObject::AddMethod(const std::string& name, std::vector<std::string> params, Method method) {
  members_.push_back({name, std::move(params), {}, {}, std::move(method)});
}

void SimObject::SetDefaultMember(const std::string& name) {
  for (size_t i = 0; i < members_.size(); ++i)
    if (members_[i].name == name) default_member_ = static_cast<int>(i);
}

void SimObject::AddConnectionPoint(const IID& events) {
  points_.emplace_back(events, win32::MakeComObject<SimConnectionPoint>(*this, events));
}

void SimObject::Fire(const IID& events, DISPID id, std::vector<Variant> arguments) {
  for (auto& [iid, point] : points_)
    if (iid == events) point->Fire(id, std::move(arguments));
}

void SimObject::DisconnectAllSinks() {
  for (auto& [iid, point] : points_) point->DropSinks();
}

SimObject::Fields SimObject::SavedFields() const {
  Fields fields;
  for (const Member& member : members_) {
    if (!member.get || !member.put || !member.params.empty()) continue;
    const Variant value = member.get(CallArguments({}));
    // Texts, numbers and truth values; objects (a button's Picture) are not kept.
    if (value.type() == VT_BSTR || value.type() == VT_I4 || value.type() == VT_BOOL)
      fields.emplace_back(member.name, value.ToText());
  }
  return fields;
}

void SimObject::RestoreFields(const Fields& fields) {
  for (const auto& [name, text] : fields)
    for (const Member& member : members_) {
      if (member.name != name || !member.put) continue;
      try {
        member.put(CallArguments({}), Variant::Text(text));
      } catch (const std::exception&) {
        // A value the object no longer takes (an empty list's Text) stays as it is.
      }
    }
}

void* SimObject::QueryOtherInterface(REFIID iid) {
  for (const IID& alias : aliases_)
    if (alias == iid) return dispatch();
  return nullptr;
}

const SimObject::Member* SimObject::Find(DISPID id) const {
  if (id == DISPID_VALUE) return default_member_ >= 0 ? &members_[static_cast<size_t>(default_member_)] : nullptr;
  if (id < 1 || id > static_cast<DISPID>(members_.size())) return nullptr;
  return &members_[static_cast<size_t>(id - 1)];
}

HRESULT SimObject::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
  if (!names || !ids || count == 0) return E_POINTER;
  std::fill(ids, ids + count, DISPID_UNKNOWN);
  const auto member =
      std::find_if(members_.begin(), members_.end(), [&](const Member& m) { return SameName(m.name, names[0]); });
  if (member == members_.end()) return DISP_E_UNKNOWNNAME;
  ids[0] = static_cast<DISPID>(member - members_.begin()) + 1;
  HRESULT result = S_OK;
  for (UINT n = 1; n < count; ++n) {
    const auto param = std::find_if(member->params.begin(), member->params.end(),
                                    [&](const std::string& p) { return SameName(p, names[n]); });
    if (param == member->params.end())
      result = DISP_E_UNKNOWNNAME;
    else
      ids[n] = static_cast<DISPID>(param - member->params.begin());
  }
  return result;
}

HRESULT SimObject::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* parameters, VARIANT* result,
                          EXCEPINFO* exception, UINT*) {
  const Member* member = Find(id);
  if (!member) return DISP_E_MEMBERNOTFOUND;
  if (!parameters) return E_POINTER;
  try {
    CheckUsable();
    const bool put = flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF);
    // Positional arguments come last to first behind the named ones.
    std::vector<Variant> values;
    for (UINT i = parameters->cArgs; i > parameters->cNamedArgs; --i) {
      Variant value;
      VariantCopyInd(value.out(), &parameters->rgvarg[i - 1]);
      values.push_back(std::move(value));
    }
    Variant assigned;
    bool has_assigned = false;
    for (UINT i = 0; i < parameters->cNamedArgs; ++i) {
      const DISPID target = parameters->rgdispidNamedArgs[i];
      Variant value;
      VariantCopyInd(value.out(), &parameters->rgvarg[i]);
      if (target == DISPID_PROPERTYPUT) {
        // A value to assign outside a property write is refused, as Office refuses it.
        if (!put) return DISP_E_PARAMNOTFOUND;
        assigned = std::move(value);
        has_assigned = true;
        continue;
      }
      if (target < 0 || target >= static_cast<DISPID>(member->params.size())) return DISP_E_PARAMNOTFOUND;
      if (values.size() <= static_cast<size_t>(target))
        values.resize(static_cast<size_t>(target) + 1, Variant::Omitted());
      values[static_cast<size_t>(target)] = std::move(value);
    }
    for (auto& value : values)
      if (value.IsEmpty()) value = Variant::Omitted();
    const CallArguments arguments(std::move(values));

    Variant answer;
    if (put) {
      if (!member->put) return DISP_E_MEMBERNOTFOUND;
      if (!has_assigned) return DISP_E_PARAMNOTFOUND;
      member->put(arguments, assigned);
      ++property_writes_;
      OnPropertyWritten();
    } else if (member->method) {
      answer = member->method(arguments);
    } else if (member->get && member->params.empty() && parameters->cArgs > 0) {
      // Application.COMAddIns("x"): a property without parameters passes the
      // arguments on to the default member of its value, as Office does.
      const Variant value = member->get(CallArguments({}));
      return value.ToObject()->Invoke(DISPID_VALUE, IID_NULL, LOCALE_USER_DEFAULT, flags, parameters, result, exception,
                                      nullptr);
    } else if (member->get) {
      answer = member->get(arguments);
    } else {
      return DISP_E_MEMBERNOTFOUND;
    }
    if (result) answer.MoveTo(result);
    return S_OK;
  } catch (const std::exception& error) {
    if (exception) {
      *exception = EXCEPINFO{};
      exception->scode = E_FAIL;
      exception->bstrSource = win32::Bstr(win32::Widen(source_)).release();
      exception->bstrDescription = win32::Bstr(win32::Widen(error.what())).release();
    }
    return DISP_E_EXCEPTION;
  }
}

HRESULT SimObject::EnumConnectionPoints(IEnumConnectionPoints** points) {
  if (points) *points = nullptr;
  return E_NOTIMPL;
}

HRESULT SimObject::FindConnectionPoint(REFIID events, IConnectionPoint** point) {
  if (!point) return E_POINTER;
  *point = nullptr;
  for (auto& [iid, candidate] : points_)
    if (iid == events) return candidate.CopyTo(point);
  return CONNECT_E_NOCONNECTION;
}

}  // namespace trelvo::simoffice
