#pragma once
// Late-bound calls on an automation object by member name, as Office's object
// models are called: arguments in call order, named arguments by name, omitted
// optional arguments as Variant::Omitted(). A failure raised by the object
// becomes a trelvo::Error that carries the object's own message.
#include <string>
#include <utility>
#include <vector>

#include "platform/win32/variant.h"

namespace trelvo::win32 {

using NamedArgument = std::pair<std::string, Variant>;

class DispatchObject {
 public:
  explicit DispatchObject(Microsoft::WRL::ComPtr<IDispatch> object);
  IDispatch* get() const { return object_.Get(); }

  Variant Get(const std::string& member, std::vector<Variant> arguments = {}) const;
  DispatchObject GetObject(const std::string& member, std::vector<Variant> arguments = {}) const;
  void Put(const std::string& member, const Variant& value, std::vector<Variant> arguments = {}) const;
  Variant Call(const std::string& member, std::vector<Variant> arguments = {},
               std::vector<NamedArgument> named = {}) const;

 private:
  Variant Invoke(const std::string& member, WORD kind, std::vector<Variant> arguments,
                 std::vector<NamedArgument> named) const;
  Microsoft::WRL::ComPtr<IDispatch> object_;
};

}  // namespace trelvo::win32
