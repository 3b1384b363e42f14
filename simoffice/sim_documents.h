#pragma once
// What Excel's workbooks and Word's documents have in common for the add-in:
// a name and custom document properties.
#include <map>
#include <optional>
#include <vector>

#include "simoffice/sim_object.h"

namespace trelvo::simoffice {

class SimDocumentProperty : public SimObject {
 public:
  SimDocumentProperty(const std::string& source, std::string name, long type, Variant value);
  const std::string& name() const { return name_; }
  long type() const { return type_; }
  const Variant& value() const { return value_; }

 private:
  std::string name_;
  long type_;
  Variant value_;
};

// CustomDocumentProperties: Add fails when the name exists (case ignored, as
// Office compares property names); Item of a missing name fails.
class SimCustomProperties : public SimObject {
 public:
  explicit SimCustomProperties(const std::string& source);
  // The property's value as text, or nullopt when the file has no such property.
  std::optional<std::string> ValueOf(const std::string& name) const;
  const std::vector<Microsoft::WRL::ComPtr<SimDocumentProperty>>& properties() const { return properties_; }

 private:
  SimDocumentProperty* Find(const std::string& name) const;
  std::vector<Microsoft::WRL::ComPtr<SimDocumentProperty>> properties_;
};

}  // namespace trelvo::simoffice
