#include "commands/ribbon_definition.h"

#include <vector>

#include "platform/error.h"

namespace trelvo::commands {
namespace {

using ribbon::RibbonControl;

RibbonControl& AddControl(RibbonControl& parent, const RibbonControlDefinition& definition) {
  const std::string id = definition.id;
  switch (definition.element) {
    case RibbonElement::Group: return parent.Controls()->Add<ribbon::RibbonGroup>(id);
    case RibbonElement::Box: return parent.Controls()->Add<ribbon::RibbonBox>(id);
    case RibbonElement::Button: return parent.Controls()->Add<ribbon::RibbonButton>(id);
    case RibbonElement::DropDown: return parent.Controls()->Add<ribbon::RibbonDropDown>(id);
    case RibbonElement::DialogBoxLauncher: return parent.Controls()->Add<ribbon::RibbonDialogBoxLauncher>(id);
    case RibbonElement::Item: return parent.Items()->Add<ribbon::RibbonItem>(id);
  }
  throw Error("Unbekanntes Element des Menübands");
}

void SetProperties(RibbonControl& control, const RibbonControlDefinition& definition) {
  control.SetCaption(definition.caption);
  control.SetKeyTip(definition.key_tip);
  control.SetScreenTip(definition.screen_tip);
  control.SetSuperTip(definition.super_tip);
  control.SetDescription(definition.description);
  control.SetSize(definition.size);
  control.SetBoxStyle(definition.box_style);
  control.SetShowCaption(definition.show_caption);
  control.SetSizeString(definition.size_string);
  control.SetSelectedItemIndex(definition.selected_item_index);
  control.SetGlyph(definition.glyph);
  control.SetImageIndex(definition.image_index);
}

}  // namespace

ribbon::RibbonTab& BuildRibbonTab(ribbon::Ribbon& ribbon, const RibbonTabDefinition& definition,
                                  const RibbonBinding& bind) {
  ribbon::RibbonTab& tab = ribbon.AddTab(definition.id, definition.ribbons);
  tab.SetCaption(definition.caption);
  tab.images.assign(definition.images.begin(), definition.images.end());
  // The last control made on each level: the parent of the next level's.
  std::vector<RibbonControl*> last{&tab};
  for (const RibbonControlDefinition& control_definition : definition.controls) {
    last.resize(static_cast<size_t>(control_definition.level));
    RibbonControl& control = AddControl(*last.back(), control_definition);
    SetProperties(control, control_definition);
    if (control_definition.command) bind(control, *control_definition.command);
    last.push_back(&control);
  }
  return tab;
}

}  // namespace trelvo::commands
