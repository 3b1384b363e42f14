#pragma once
// Office finds members, toolbars, properties and form fields by name without
// regard to case; the simulated hosts compare every name this one way.
#include <string>

namespace trelvo::simoffice {

bool SameName(const std::string& a, const std::string& b);
bool SameName(const std::string& a, const wchar_t* b);

}  // namespace trelvo::simoffice
