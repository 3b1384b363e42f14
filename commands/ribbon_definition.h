#pragma once
// The ribbon tab "Trelvo" as data: its controls in collection order, each
// below the last one of the level above it, with the texts, sizes and images
// the host reads through the callbacks and the command each control runs.
#include <array>
#include <functional>
#include <optional>

#include "commands/command.h"
#include "resources/glyph_ids.h"
#include "ribbon/ribbon_controls.h"

namespace trelvo::commands {

enum class RibbonElement { Group, Box, Button, DropDown, Item, DialogBoxLauncher };

struct RibbonControlDefinition {
  int level;  // 1: in the tab, 2: in a group, 3: in a box, 4: an item of a drop-down
  RibbonElement element;
  const char* id;
  const char* caption = "";
  const char* key_tip = "";
  const char* screen_tip = "";
  const char* super_tip = "";
  const char* description = "";
  ribbon::ControlSize size = ribbon::ControlSize::Regular;
  ribbon::BoxStyle box_style = ribbon::BoxStyle::Horizontal;
  bool show_caption = true;
  const char* size_string = "";
  int selected_item_index = -1;
  int glyph = 0;         // image resource id (resources/glyph_ids.h)
  int image_index = -1;  // in the tab's images
  std::optional<Command> command = std::nullopt;
};

struct RibbonTabDefinition {
  const char* id;
  const char* caption;
  ribbon::Ribbons ribbons;
  std::array<int, 7> images;  // the images by image index, 0 where none
  std::array<RibbonControlDefinition, 12> controls;
};

using ribbon::BoxStyle;
using ribbon::ControlSize;
using ribbon::RibbonKind;

inline constexpr char kOptionsTip[] = "Ändert die Einstellungen des Add-Ins wie etwa das Zählerformat";

inline constexpr RibbonTabDefinition kTrelvoRibbonTab = {
    .id = "oaxRibbonTabA48D29DA270E4F32A05C6C7014E3EBD2",
    .caption = "Trelvo",
    .ribbons = {RibbonKind::ExcelWorkbook, RibbonKind::WordDocument},
    .images = {IDB_GLYPH_INFO, IDB_GLYPH_OPTIONS, IDB_GLYPH_INSERT, IDB_GLYPH_SAVE, 0, 0, IDB_GLYPH_CUSTOMER},
    .controls = {{
        {.level = 1,
         .element = RibbonElement::Group,
         .id = "oaxRibbonGroup956286B942D84877B8F8FEBCA283CDFE",
         .caption = "Speichern"},
        {.level = 2,
         .element = RibbonElement::Box,
         .id = "oaxRibbonBox16151BE9E67D4C18B4074EDED8D8FB7C",
         .box_style = BoxStyle::Horizontal},
        {.level = 3,
         .element = RibbonElement::Button,
         .id = "oaxRibbonButton8C5B153EB84E4FAEBFBB83923A01C3FA",
         .caption = "Speichern",
         .key_tip = "S",
         .screen_tip = "Speichern unter...",
         .super_tip = "Speichert das Dokument mit der Rechnungsnummer im Dateinamen",
         .description = "Speichert das Dokument mit der Rechnungsnummer im Dateinamen",
         .size = ControlSize::Large,
         .glyph = IDB_GLYPH_SAVE,
         .image_index = 3,
         .command = Command::Save},
        {.level = 1,
         .element = RibbonElement::Group,
         .id = "oaxRibbonGroupA9562C67B34747559596C46FE68F385A",
         .caption = "Rechnungsnummer",
         .key_tip = "R",
         .screen_tip = "ScreenTip",
         .super_tip = "SuperTip"},
        {.level = 2,
         .element = RibbonElement::Box,
         .id = "oaxRibbonBox0F674408DB4F4B3A8975229C9AD1F198",
         .box_style = BoxStyle::Vertical},
        {.level = 3,
         .element = RibbonElement::Button,
         .id = "oaxRibbonButtonCEE2D128D81940E9B970ABAB598A8918",
         .caption = "Einfügen",
         .key_tip = "E",
         .screen_tip = "Neue Rechnungsnummer einfügen",
         .super_tip = "Fügt eine Rechnungsnummer ein",
         .description = "Fügt eine Rechnungsnummer ein",
         .size = ControlSize::Large,
         .glyph = IDB_GLYPH_INSERT,
         .command = Command::Insert},
        {.level = 3,
         .element = RibbonElement::DropDown,
         .id = "oaxRibbonDropDown7CEA2879B244448598BE252E620F105A",
         .caption = "Nummernkreis",
         .key_tip = "N",
         .screen_tip = "Nummerkreis wählen",
         .show_caption = false,
         .size_string = "(Standard Zähler)",
         .selected_item_index = 0,
         .command = Command::SelectRange},
        {.level = 4,
         .element = RibbonElement::Item,
         .id = "oaxRibbonItemC3EEEC1F221743239206BC9EB5099309",
         .caption = "(Standard Zähler)"},
        {.level = 3,
         .element = RibbonElement::Button,
         .id = "oaxRibbonButton5739DE94ECA44E339E3B52E1828F22BA",
         .caption = "Einstellungen",
         .key_tip = "O",
         .screen_tip = "Einstellungen",
         .super_tip = kOptionsTip,
         .description = kOptionsTip,
         .glyph = IDB_GLYPH_OPTIONS,
         .image_index = 1,
         .command = Command::Options},
        {.level = 3,
         .element = RibbonElement::Button,
         .id = "oaxRibbonButton6297E57CD0EF4C09B0ABB23A3F1F5468",
         .caption = "Kunde",
         .key_tip = "K",
         .screen_tip = "Kunde",
         .super_tip = "Kundenname für Dateinamen ändern",
         .description = "Kundenname für Dateinamen setzen",
         .glyph = IDB_GLYPH_CUSTOMER,
         .image_index = 6,
         .command = Command::Customer},
        {.level = 3,
         .element = RibbonElement::Button,
         .id = "oaxRibbonButton1C70D627216B485AAEB9CD77099F8D1E",
         .caption = "Über Sabu",
         .key_tip = "I",
         .screen_tip = "Info",
         .super_tip = "Zeigt Informationen über das Trelvo Add-In an",
         .description = "Zeigt Informationen über das Sabu Add-In an",
         .glyph = IDB_GLYPH_INFO,
         .image_index = 0,
         .command = Command::Info},
        {.level = 2,
         .element = RibbonElement::DialogBoxLauncher,
         .id = "oaxRibbonDialogBoxLauncher71E8AB0D83CD442BA5C5C16497BF7EA4",
         .screen_tip = "Optionen",
         .super_tip = kOptionsTip,
         .command = Command::Options},
    }},
};

// Builds the tab into the ribbon; bind connects each control that runs a
// command. Returns the tab.
using RibbonBinding = std::function<void(ribbon::RibbonControl&, Command)>;
ribbon::RibbonTab& BuildRibbonTab(ribbon::Ribbon& ribbon, const RibbonTabDefinition& definition,
                                  const RibbonBinding& bind);

}  // namespace trelvo::commands
