#include "ribbon/callbacks.h"

#include <array>

#include "platform/error.h"
#include "resources/image_sizes.h"

namespace trelvo::ribbon {
namespace {

using Found = RibbonControl*;
using Arguments = const CallbackArguments&;

// The picture of a control: its glyph, else the picture of its tab's image
// list; as large as the control shows it at the screen's resolution (a large
// button's 32 pixels at 100 % are 48 at 150 %, a normal one's 16 are 24).
Answer PictureOf(const RibbonControl& control, bool icon, unsigned dpi) {
  const int base = control.size() == ControlSize::Large && !icon ? resources::kLargeImage : resources::kSmallImage;
  const int size = resources::DrawnSize(resources::ScaledImage(base, dpi));
  if (control.glyph() != 0) return Picture{control.glyph(), icon, size};
  const RibbonControl* root = &control;
  while (root->parent()) root = root->parent();
  const auto* tab = dynamic_cast<const RibbonTab*>(root);
  const int index = control.image_index();
  if (!tab || index < 0 || static_cast<size_t>(index) >= tab->images.size() || tab->images[index] == 0) return {};
  return Picture{tab->images[index], icon, size};
}

// Items [index] of the control found; fails outside the items.
RibbonControl& Item(RibbonControl& control, int32_t index) {
  ControlCollection* items = control.Items();
  if (!items || index < 0) throw Error("Listenindex überschreitet das Maximum (" + std::to_string(index) + ")");
  return items->at(static_cast<size_t>(index));
}

// The action arguments hold what this callback received; the rest is empty.
Answer Act(Found found, const ActionArguments& arguments) {
  if (found) found->DoAction(arguments);
  return {};
}

Answer Nothing(Found, Arguments) { return {}; }

// The table: name, number, arguments and answer of every callback.
constexpr std::array<CallbackDefinition, 34> kCallbacks = {{
    {Callback::RibbonLoaded, "RibbonLoaded_Callback", Parameters::RibbonUI, false, Nothing},
    {Callback::GetImages, "GetImages_Callback", Parameters::ImageName, false,
     [](Found c, Arguments a) { return c ? PictureOf(*c, false, a.dpi) : Answer{}; }},
    {Callback::GetVisible, "GetVisible_Callback", Parameters::None, false,
     [](Found c, Arguments) { return Answer{c ? c->visible() : true}; }},
    {Callback::GetKeyTip, "GetKeyTip_Callback", Parameters::None, false,
     [](Found c, Arguments) { return Answer{c ? c->key_tip() : ""}; }},
    {Callback::GetLabel, "GetLabel_Callback", Parameters::None, false,
     [](Found c, Arguments) { return Answer{c ? c->caption() : ""}; }},
    {Callback::GetEnabled, "GetEnabled_Callback", Parameters::None, false,
     [](Found c, Arguments) { return Answer{c ? c->enabled() : true}; }},
    {Callback::GetPressed, "GetPressed_Callback", Parameters::None, false,
     [](Found c, Arguments) { return Answer{c ? c->pressed() : false}; }},
    {Callback::GetImage, "GetImage_Callback", Parameters::None, false,
     [](Found c, Arguments a) { return c ? PictureOf(*c, false, a.dpi) : Answer{}; }},
    {Callback::GetSuperTip, "GetSuperTip_Callback", Parameters::None, false,
     [](Found c, Arguments) { return Answer{c ? c->super_tip() : ""}; }},
    {Callback::GetScreenTip, "GetScreenTip_Callback", Parameters::None, false,
     [](Found c, Arguments) { return Answer{c ? c->screen_tip() : ""}; }},
    {Callback::GetSize, "GetSize_Callback", Parameters::None, false,
     [](Found c, Arguments) { return Answer{c ? static_cast<int32_t>(c->size()) : 0}; }},
    {Callback::GetShowLabel, "GetShowLabel_Callback", Parameters::None, false,
     [](Found c, Arguments) { return Answer{c ? c->show_caption() : true}; }},
    {Callback::GetShowImage, "GetShowImage_Callback", Parameters::None, false,
     [](Found c, Arguments) { return Answer{c ? c->ShowsImage() : false}; }},
    {Callback::GetDescription, "GetDescription_Callback", Parameters::None, false,
     [](Found c, Arguments) { return Answer{c ? c->description() : ""}; }},
    {Callback::GetText, "GetText_Callback", Parameters::None, false,
     [](Found c, Arguments) { return Answer{c ? c->text() : ""}; }},
    {Callback::GetItemCount, "GetItemCount_Callback", Parameters::None, false,
     [](Found c, Arguments) { return Answer{static_cast<int32_t>(c && c->Items() ? c->Items()->size() : 0)}; }},
    {Callback::GetItemId, "GetItemID_Callback", Parameters::Index, false,
     [](Found c, Arguments a) { return Answer{c ? Item(*c, a.index).id() : ""}; }},
    {Callback::GetItemImage, "GetItemImage_Callback", Parameters::Index, false,
     [](Found c, Arguments a) { return c ? PictureOf(Item(*c, a.index), true, a.dpi) : Answer{}; }},
    {Callback::GetItemLabel, "GetItemLabel_Callback", Parameters::Index, false,
     [](Found c, Arguments a) { return Answer{c ? Item(*c, a.index).caption() : ""}; }},
    {Callback::GetItemScreenTip, "GetItemScreenTip_Callback", Parameters::Index, false,
     [](Found c, Arguments a) { return Answer{c ? Item(*c, a.index).screen_tip() : ""}; }},
    {Callback::GetItemSuperTip, "GetItemSuperTip_Callback", Parameters::Index, false,
     [](Found c, Arguments a) { return Answer{c ? Item(*c, a.index).super_tip() : ""}; }},
    {Callback::GetShowItemImage, "GetShowItemImage_Callback", Parameters::Index, false,
     [](Found c, Arguments a) { return Answer{c ? Item(*c, a.index).ShowsImage() : true}; }},
    {Callback::GetSelectedItemIndex, "GetSelectedItemIndex_Callback", Parameters::None, false,
     [](Found c, Arguments) { return Answer{c ? c->selected_item_index() : 0}; }},
    {Callback::GetSelectedItemId, "GetSelectedItemId_Callback", Parameters::None, false,
     [](Found c, Arguments) { return Answer{c ? c->selected_item_id() : ""}; }},
    // Galleries and menus are not in this model: their sizes, content and
    // titles are the answers of a control not found.
    {Callback::GetItemHeight, "GetItemHeight_Callback", Parameters::None, false,
     [](Found, Arguments) { return Answer{int32_t{-1}}; }},
    {Callback::GetItemWidth, "GetItemWidth_Callback", Parameters::None, false,
     [](Found, Arguments) { return Answer{int32_t{-1}}; }},
    {Callback::GetContent, "GetContent_Callback", Parameters::None, false,
     [](Found, Arguments) { return Answer{std::string()}; }},
    {Callback::GetTitle, "GetTitle_Callback", Parameters::None, false,
     [](Found, Arguments) { return Answer{std::string()}; }},
    {Callback::OnActionCommon, "OnActionCommon_Callback", Parameters::None, true,
     [](Found c, Arguments a) { return Act(c, a.action); }},
    // The ribbon has no repurposed host commands: the host's own action is not cancelled.
    {Callback::OnActionCommonRepurposed, "OnActionCommonRepurposed_Callback", Parameters::Cancel, true,
     [](Found, Arguments) { return Answer{false}; }},
    {Callback::OnActionState, "OnActionState_Callback", Parameters::Pressed, true,
     [](Found c, Arguments a) { return Act(c, a.action); }},
    {Callback::OnActionStateRepurposed, "OnActionStateRepurposed_Callback", Parameters::PressedCancel, true,
     [](Found, Arguments) { return Answer{false}; }},
    {Callback::OnActionSelected, "OnActionSelected_Callback", Parameters::Selection, true,
     [](Found c, Arguments a) { return Act(c, a.action); }},
    {Callback::OnChange, "OnChange_Callback", Parameters::Text, true,
     [](Found c, Arguments a) { return Act(c, a.action); }},
}};

}  // namespace

std::string_view CallbackName(Callback callback) {
  for (const CallbackDefinition& definition : kCallbacks)
    if (definition.callback == callback) return definition.name;
  return {};
}

const CallbackDefinition* FindCallback(std::string_view name) {
  for (const CallbackDefinition& definition : kCallbacks)
    if (definition.name == name) return &definition;
  return nullptr;
}

const CallbackDefinition* CallbackOfNumber(long number) {
  for (const CallbackDefinition& definition : kCallbacks)
    if (static_cast<long>(definition.callback) == number) return &definition;
  return nullptr;
}

Answer AnswerCallback(const Ribbon* ribbon, const CallbackDefinition& definition, const CallbackArguments& arguments,
                      const std::function<void(const std::exception&)>& handler_failed) {
  RibbonControl* found = ribbon ? ribbon->Find(arguments.control_id) : nullptr;
  if (!definition.is_action) return definition.answer(found, arguments);
  try {
    return definition.answer(found, arguments);
  } catch (const std::exception& error) {
    handler_failed(error);
    return {};
  }
}

}  // namespace trelvo::ribbon
