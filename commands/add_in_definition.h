#pragma once
// The add-in module's definition: the settings that the frame reads when it
// connects and registers the add-in. One place for all of them; the toolbar
// and the ribbon tab join them with their own issues.
#include <initializer_list>

#include "commands/office_host.h"

namespace trelvo::commands {

struct AddInDefinition {
  const char* prog_id;
  const char* add_in_name;  // shown in error boxes and as the add-in's friendly name
  const char* description;
  std::initializer_list<HostKind> supported_hosts;
  int load_behavior;
  bool register_for_all_users;
  bool excel_automation_add_in;
};

inline constexpr AddInDefinition kTrelvoAddIn = {
    "Trelvo.TrelvoCoClass",
    "Orvant Sabu Netzwerk",
    "Fügt eine fortlaufende Rechnungsnummer in Excel oder Word ein. Netzwerkversion.",
    {HostKind::Excel, HostKind::Word},
    3,
    true,
    true,
};

}  // namespace trelvo::commands
