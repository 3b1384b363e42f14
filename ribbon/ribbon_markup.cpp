#include "ribbon/ribbon_markup.h"

#include "ribbon/callbacks.h"

namespace trelvo::ribbon {
namespace {

// One control and, unless the ribbon id leaves it out, its subtree.
void WriteControl(XmlText& xml, RibbonControl& control, std::string_view ribbon_id) {
  if (!RibbonMatches(control.ribbons(), ribbon_id)) return;
  const std::string_view name = control.ElementName();
  const Attributes attributes = control.GetAttributes();
  if (ControlCollection* children = control.Controls()) {
    if (children->empty()) return xml.WriteEmptyElement(name, attributes);
    xml.OpenElement(name);
    for (const auto& [attribute, value] : attributes) xml.AddAttribute(attribute, value);
    for (const auto& child : *children) WriteControl(xml, *child, ribbon_id);
    xml.CloseElement(name);
  } else if (control.control_class() == ControlClass::DialogBoxLauncher) {
    xml.OpenElement(name);
    xml.WriteEmptyElement("button", attributes);
    xml.CloseElement(name);
  } else {
    xml.WriteEmptyElement(name, attributes);
  }
}

}  // namespace

std::string BuildCustomUI(Ribbon& ribbon, std::string_view ribbon_id) {
  ribbon.NarrowTo(ribbon_id);
  XmlText xml;
  xml.OpenElement("customUI");
  xml.AddAttribute("xmlns", kCustomUINamespace);
  xml.AddAttribute("onLoad", CallbackName(Callback::RibbonLoaded));
  xml.AddAttribute("loadImage", CallbackName(Callback::GetImages));
  if (!ribbon.tabs().empty()) {
    xml.OpenElement("ribbon");
    if (RibbonMatches(ribbon.start_from_scratch, ribbon_id)) xml.AddAttribute("startFromScratch", "true");
    bool tabs_open = false;
    for (const auto& tab : ribbon.tabs()) {
      if (!tabs_open && RibbonMatches(tab->ribbons(), ribbon_id)) {
        xml.OpenElement("tabs");
        tabs_open = true;
      }
      WriteControl(xml, *tab, ribbon_id);
    }
    if (tabs_open) xml.CloseElement("tabs");
    xml.CloseElement("ribbon");
  }
  xml.CloseElement("customUI");
  return xml.text();
}

}  // namespace trelvo::ribbon
