#pragma once
// The toolbar "Trelvo" as data: its controls in the order the toolbar shows
// them, with everything the frame writes to the host and the command each
// control runs. A design change raises the revision of what it changes: the
// frame then writes that toolbar's or control's properties again.
#include <array>

#include "commands/command.h"
#include "resources/glyph_ids.h"

namespace trelvo::commands {

// The kinds of control this toolbar uses, with the host's control types.
enum class ControlKind { Button = 1, DropDownList = 3 };

struct ToolbarControl {
  ControlKind kind;
  const char* caption;
  const char* tag;  // how the frame finds the control in the host, and its events
  const char* tooltip;
  const char* description;
  bool begin_group;
  int style;         // buttons: the host's MsoButtonStyle (0 automatic, 3 icon and caption)
  int width;         // 0: the host's own
  int list_index;    // drop-downs: the entry chosen at first (from 1), 0: none
  const char* item;  // drop-downs: their one entry at first
  int glyph;         // buttons: the resource id of the face, 0: none
  int revision;
  Command command;
};

struct ToolbarDefinition {
  const char* name;
  int position;    // the host's MsoBarPosition: 4 floating
  int protection;  // the host's MsoBarProtection: 1 no customising
  int revision;
  std::array<ToolbarControl, 6> controls;
};

inline constexpr ToolbarDefinition kTrelvoToolbar = {
    "Trelvo",
    4,
    1,
    5,
    {{
        {ControlKind::Button, "Speichern", "{E5952760-A063-4CAF-80E0-2E7E34C4CEB1}", "Speichern der Rechnung",
         "Speichert das Dokument", false, 0, 0, 0, nullptr, IDB_GLYPH_SAVE, 16, Command::Save},
        {ControlKind::Button, "Sabu einfügen", "{2FF5847B-5BA9-476A-931C-38F27A478AE5}",
         "Fortlaufende Rechnungsnummern einfügen", "Fortlaufende Rechnungsnummern einfügen", true, 3, 0, 0, nullptr,
         IDB_GLYPH_INSERT, 18, Command::Insert},
        {ControlKind::DropDownList, "Nummernkreis", "{D4A2F76B-E798-48C6-8BEC-4A91BA12B835}", "Nummerkreis wählen",
         "Zähler INI-Datei", false, 0, 120, 1, "(Standard Zähler)", 0, 18, Command::SelectRange},
        {ControlKind::Button, "Optionen", "{47E9D44B-0AA7-4EAD-B051-15336E07A98A}", "Optionen und Einstellungen",
         "Optionen und Einstellungen", false, 0, 0, 0, nullptr, IDB_GLYPH_OPTIONS, 15, Command::Options},
        {ControlKind::Button, "Kunde setzen", "{C5C1573B-F504-4494-9789-0CAF9ACB73CD}", "Kunde für Dateinamen setzen",
         "Kundenname für Dateinamen setzen", false, 0, 0, 0, nullptr, IDB_GLYPH_CUSTOMER, 8, Command::Customer},
        {ControlKind::Button, "Info", "{76AC8D1D-F899-48A8-8EF7-4F3206333173}", "Info", "Zeigt den Info-Dialog an",
         true, 0, 0, 0, nullptr, IDB_GLYPH_INFO, 16, Command::Info},
    }},
};

// The position of the Insert button and of the range selector in the toolbar.
inline constexpr int kInsertControl = 1;
inline constexpr int kRangeControl = 2;

}  // namespace trelvo::commands
