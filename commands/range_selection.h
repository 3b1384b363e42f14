#pragma once
// The number-range selectors of the toolbar and the ribbon: the ribbon's list
// filled from the range list file, and what picking a name does. Picking
// "(Standard Zähler)" never writes the settings file; a name whose counter
// file exists makes it the current one, a missing file is told.
#include <string>

#include "platform/environment.h"
#include "ribbon/ribbon_controls.h"

namespace trelvo::commands {

// The drop-down's items become "(Standard Zähler)" and the names of the range
// list file, which is created empty when it is missing. Each item's id is the
// drop-down's, "_" and its name.
void FillRibbonRangeList(platform::Environment& env, ribbon::RibbonControl& drop_down);

// The toolbar's pick: a name that the range list no longer holds is told with
// an empty path.
void SelectToolbarRange(platform::Environment& env, const std::string& name);
// The ribbon's pick (and the Options dialog's): the path is trimmed, and a
// name without a path changes nothing.
void SelectRangeByName(platform::Environment& env, const std::string& name);

}  // namespace trelvo::commands
