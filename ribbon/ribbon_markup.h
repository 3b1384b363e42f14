#pragma once
// The customUI markup of the ribbon for one host ribbon id: structure, ids and
// callback names, one element per line. Building it also leaves out of the
// control table every control that this ribbon id does not show, for the rest
// of the ribbon's life, so that callbacks no longer find them.
#include <string>
#include <string_view>

#include "ribbon/ribbon_controls.h"

namespace trelvo::ribbon {

inline constexpr char kCustomUINamespace[] = "http://schemas.microsoft.com/office/2006/01/customui";

std::string BuildCustomUI(Ribbon& ribbon, std::string_view ribbon_id);

}  // namespace trelvo::ribbon
