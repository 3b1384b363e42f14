#include "simoffice/sim_documents.h"

#include "simoffice/sim_names.h"

namespace trelvo::simoffice {
SimDocumentProperty::SimDocumentProperty(const std::string& source, std::string name, long type, Variant value)
    : SimObject(source), name_(std::move(name)), type_(type), value_(std::move(value)) {
  AddProperty("Name", {}, [this](const CallArguments&) { return Variant::Text(name_); });
  AddProperty("Type", {}, [this](const CallArguments&) { return Variant::Int(type_); });
  AddProperty(
      "Value", {}, [this](const CallArguments&) { return value_; },
      [this](const CallArguments&, const Variant& value) { value_ = value; });
  SetDefaultMember("Value");
}

SimCustomProperties::SimCustomProperties(const std::string& source) : SimObject(source) {
  AddProperty("Count", {},
              [this](const CallArguments&) { return Variant::Int(static_cast<long>(properties_.size())); });
  AddProperty("Item", {"Index"}, [this](const CallArguments& arguments) {
    const Variant& index = arguments.At(0);
    if (index.type() == VT_BSTR) {
      if (SimDocumentProperty* property = Find(index.ToText())) return ObjectValue(property);
    } else {
      const long position = index.ToInt();
      if (position >= 1 && position <= static_cast<long>(properties_.size()))
        return ObjectValue(properties_[static_cast<size_t>(position - 1)].Get());
    }
    throw OfficeError("Ungültiger Prozeduraufruf oder ungültiges Argument");
  });
  SetDefaultMember("Item");
  AddMethod("Add", {"Name", "LinkToContent", "Type", "Value", "LinkSource"}, [this](const CallArguments& arguments) {
    const std::string name = arguments.Text(0);
    if (arguments.Bool(1)) throw OfficeError("Verknüpfte Eigenschaften werden nicht unterstützt.");
    if (Find(name)) throw OfficeError("Ungültiger Prozeduraufruf oder ungültiges Argument");
    const long type = arguments.Has(2) ? arguments.Int(2) : 4;
    if (type < 1 || type > 5) throw OfficeError("Ungültiger Eigenschaftstyp.");
    auto property = Make<SimDocumentProperty>(this->source(), name, type, arguments.At(3));
    properties_.push_back(property);
    return ObjectValue(property.Get());
  });
}

SimDocumentProperty* SimCustomProperties::Find(const std::string& name) const {
  for (const auto& property : properties_)
    if (SameName(property->name(), name)) return property.Get();
  return nullptr;
}

std::optional<std::string> SimCustomProperties::ValueOf(const std::string& name) const {
  const SimDocumentProperty* property = Find(name);
  if (!property) return std::nullopt;
  return property->value().ToText();
}

}  // namespace trelvo::simoffice
