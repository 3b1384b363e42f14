#include "ribbon/ribbon_controls.h"

#include <algorithm>

#include "platform/error.h"
#include "ribbon/callbacks.h"

namespace trelvo::ribbon {
namespace {

constexpr size_t kMaxGroups = 100;
constexpr size_t kMaxControls = 1000;
constexpr size_t kMaxDropDownButtons = 16;
constexpr size_t kMaxItems = 1000;
constexpr size_t kKeyTipLength = 3;

// Ids compare without case (they are ASCII).
bool SameId(std::string_view a, std::string_view b) {
  return std::ranges::equal(a, b, [](char x, char y) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return lower(x) == lower(y);
  });
}

// Appends name = the callback's name.
void Add(Attributes& attributes, std::string_view name, Callback callback) {
  attributes.emplace_back(name, CallbackName(callback));
}

// Appends name = value unless the value is empty.
void AddValue(Attributes& attributes, std::string_view name, const std::string& value) {
  if (!value.empty()) attributes.emplace_back(name, value);
}

// The callbacks of texts and states that buttons and drop-downs share.
void AddTextAndStateCallbacks(Attributes& attributes) {
  Add(attributes, "getKeytip", Callback::GetKeyTip);
  Add(attributes, "getLabel", Callback::GetLabel);
  Add(attributes, "getSupertip", Callback::GetSuperTip);
  Add(attributes, "getScreentip", Callback::GetScreenTip);
  Add(attributes, "getShowLabel", Callback::GetShowLabel);
  Add(attributes, "getShowImage", Callback::GetShowImage);
  Add(attributes, "getEnabled", Callback::GetEnabled);
}

// Runs the handler with the busy flag set, clearing it also when the handler fails.
class BusyWhile {
 public:
  explicit BusyWhile(bool& flag) : flag_(flag) { flag_ = true; }
  ~BusyWhile() { flag_ = false; }
  BusyWhile(const BusyWhile&) = delete;
  BusyWhile& operator=(const BusyWhile&) = delete;

 private:
  bool& flag_;
};

}  // namespace

// --- ControlCollection

ControlCollection::~ControlCollection() = default;

void ControlCollection::Insert(std::unique_ptr<RibbonControl> control) {
  if (controls_.size() >= maximum_)
    throw Error("There can not be more than " + std::to_string(maximum_) + " items in this control!");
  if (control->control_class() == ControlClass::DialogBoxLauncher &&
      std::ranges::any_of(
          controls_, [](const auto& existing) { return existing->control_class() == ControlClass::DialogBoxLauncher; }))
    throw Error("There can be only one instance of ToaxRibbonDialogBoxLauncher in the Ribbon Group!");
  controls_.push_back(std::move(control));
  Changed();
}

void ControlCollection::Clear() {
  controls_.clear();
  Changed();
}

RibbonControl& ControlCollection::at(size_t index) const {
  if (index >= controls_.size()) throw Error("Listenindex überschreitet das Maximum (" + std::to_string(index) + ")");
  return *controls_[index];
}

void ControlCollection::Changed() {
  // A group's dialog box launcher is always written last.
  std::ranges::stable_partition(
      controls_, [](const auto& control) { return control->control_class() != ControlClass::DialogBoxLauncher; });
  if (holds_items_) owner_.ribbon().InvalidateControl(owner_);
}

// --- RibbonControl

RibbonControl::RibbonControl(Ribbon& ribbon, RibbonControl* parent, ControlClass control_class, const std::string& id)
    : ribbon_(ribbon),
      parent_(parent),
      class_(control_class),
      id_(id),
      ribbons_(parent ? parent->ribbons_ : kDefaultRibbons) {
  ribbon_.Register(*this);
}

RibbonControl::~RibbonControl() { ribbon_.Unregister(*this); }

void RibbonControl::SetId(const std::string& id) {
  if (!id.empty()) id_ = id;
}

void RibbonControl::SetRibbons(Ribbons ribbons) {
  if (ribbons.empty()) return;
  ribbons_ = ribbons;
  for (ControlCollection* children : {Controls(), Items()})
    if (children)
      for (const auto& child : *children) child->SetRibbons(ribbons);
}

void RibbonControl::SetKeyTip(const std::string& value) {
  // Three characters of UTF-8 text: a continuation byte belongs to the character before it.
  size_t end = 0;
  for (size_t characters = 0; end < value.size(); ++end) {
    if ((static_cast<unsigned char>(value[end]) & 0xC0) != 0x80 && characters++ == kKeyTipLength) break;
  }
  const std::string cut = value.substr(0, end);
  if (cut == key_tip_) return;
  key_tip_ = cut;
  // The tab asks for itself only here; its other properties change silently.
  if (class_ == ControlClass::Tab)
    ribbon_.InvalidateControl(*this);
  else
    Refresh();
}

void RibbonControl::Refresh() { ribbon_.InvalidateControl(*this); }

void RibbonControl::RunHandler() {
  if (!on_action || busy_) return;
  BusyWhile busy(busy_);
  on_action(*this);
}

void RibbonControl::AddInsertAttribute(Attributes& attributes) const {
  const std::pair<const char*, const std::string*> positions[] = {{"insertAfterMso", &insert_.after_mso},
                                                                  {"insertBeforeMso", &insert_.before_mso},
                                                                  {"insertAfterQ", &insert_.after_id},
                                                                  {"insertBeforeQ", &insert_.before_id}};
  for (const auto& [name, value] : positions) {
    if (value->empty()) continue;
    attributes.emplace_back(name, *value);
    return;
  }
}

Attributes RibbonControl::TabAttributes() const {
  Attributes attributes;
  Add(attributes, "getVisible", Callback::GetVisible);
  if (!id_mso_.empty()) {
    attributes.emplace_back("idMso", id_mso_);
    return attributes;
  }
  attributes.emplace_back("id", id_);
  AddInsertAttribute(attributes);
  Add(attributes, "getKeytip", Callback::GetKeyTip);
  Add(attributes, "getLabel", Callback::GetLabel);
  return attributes;
}

Attributes RibbonControl::BuiltInAttributes() const {
  Attributes attributes{{"idMso", id_mso_}};
  AddValue(attributes, "label", caption_);
  AddValue(attributes, "keytip", key_tip_);
  AddValue(attributes, "screentip", screen_tip_);
  AddValue(attributes, "supertip", super_tip_);
  if (!enabled_) attributes.emplace_back("enabled", "false");
  if (!visible_) attributes.emplace_back("visible", "false");
  return attributes;
}

// --- RibbonTab

RibbonTab::RibbonTab(Ribbon& ribbon, const std::string& id)
    : RibbonControl(ribbon, nullptr, ControlClass::Tab, id), groups_(*this, kMaxGroups) {}

Attributes RibbonTab::GetAttributes() const { return TabAttributes(); }

// --- RibbonGroup

RibbonGroup::RibbonGroup(Ribbon& ribbon, RibbonControl* parent, const std::string& id)
    : RibbonControl(ribbon, parent, ControlClass::Group, id), controls_(*this, kMaxControls) {}

Attributes RibbonGroup::GetAttributes() const {
  Attributes attributes = TabAttributes();
  if (!id_mso().empty()) return attributes;
  Add(attributes, "getSupertip", Callback::GetSuperTip);
  Add(attributes, "getScreentip", Callback::GetScreenTip);
  return attributes;
}

// --- RibbonBox

RibbonBox::RibbonBox(Ribbon& ribbon, RibbonControl* parent, const std::string& id)
    : RibbonControl(ribbon, parent, ControlClass::Box, id), controls_(*this, kMaxControls) {}

Attributes RibbonBox::GetAttributes() const {
  Attributes attributes;
  Add(attributes, "getVisible", Callback::GetVisible);
  attributes.emplace_back("id", id());
  AddInsertAttribute(attributes);
  attributes.emplace_back("boxStyle", box_style() == BoxStyle::Vertical ? "vertical" : "horizontal");
  return attributes;
}

// --- RibbonButton

RibbonButton::RibbonButton(Ribbon& ribbon, RibbonControl* parent, const std::string& id)
    : RibbonControl(ribbon, parent, ControlClass::Button, id) {}

bool RibbonButton::InsideAList() const { return InsideA(ControlClass::DropDown); }

std::string_view RibbonButton::ElementName() const {
  return toggle_button() && !InsideAList() ? "toggleButton" : "button";
}

Attributes RibbonButton::GetAttributes() const {
  if (!id_mso().empty()) return BuiltInAttributes();
  Attributes attributes{{"id", id()}};
  if (glyph() != 0 || image_index() >= 0) Add(attributes, "getImage", Callback::GetImage);
  AddTextAndStateCallbacks(attributes);
  if (InsideAList() || !toggle_button()) {
    Add(attributes, "onAction", Callback::OnActionCommon);
  } else {
    Add(attributes, "getPressed", Callback::GetPressed);
    Add(attributes, "onAction", Callback::OnActionState);
  }
  AddInsertAttribute(attributes);
  AddValue(attributes, "imageMso", image_mso());
  Add(attributes, "getDescription", Callback::GetDescription);
  if (!InsideAList()) Add(attributes, "getSize", Callback::GetSize);
  Add(attributes, "getVisible", Callback::GetVisible);
  return attributes;
}

void RibbonButton::DoAction(const ActionArguments& arguments) {
  SetPressed(arguments.pressed);
  RunHandler();
}

// --- RibbonDropDown

RibbonDropDown::RibbonDropDown(Ribbon& ribbon, RibbonControl* parent, const std::string& id)
    : RibbonControl(ribbon, parent, ControlClass::DropDown, id),
      buttons_(*this, kMaxDropDownButtons),
      items_(*this, kMaxItems, true) {}

Attributes RibbonDropDown::GetAttributes() const {
  if (!id_mso().empty()) return BuiltInAttributes();
  Attributes attributes{{"id", id()}};
  if (glyph() != 0 || image_index() >= 0) Add(attributes, "getImage", Callback::GetImage);
  AddTextAndStateCallbacks(attributes);
  Add(attributes, "getItemCount", Callback::GetItemCount);
  Add(attributes, "getItemID", Callback::GetItemId);
  Add(attributes, "getItemImage", Callback::GetItemImage);
  Add(attributes, "getItemLabel", Callback::GetItemLabel);
  Add(attributes, "getItemScreentip", Callback::GetItemScreenTip);
  Add(attributes, "getItemSupertip", Callback::GetItemSuperTip);
  if (selected_item_index() >= 0)
    Add(attributes, "getSelectedItemIndex", Callback::GetSelectedItemIndex);
  else if (!selected_item_id().empty())
    Add(attributes, "getSelectedItemID", Callback::GetSelectedItemId);
  Add(attributes, "onAction", Callback::OnActionSelected);
  AddValue(attributes, "sizeString", size_string());
  attributes.emplace_back("showItemLabel", show_item_caption() ? "true" : "false");
  AddInsertAttribute(attributes);
  AddValue(attributes, "imageMso", image_mso());
  Add(attributes, "getVisible", Callback::GetVisible);
  return attributes;
}

void RibbonDropDown::DoAction(const ActionArguments& arguments) {
  // The host shows the pick already: stored without asking it to read again.
  StoreSelection(arguments.selected_item_id, arguments.selected_item_index);
  RunHandler();
}

// --- RibbonDialogBoxLauncher

RibbonDialogBoxLauncher::RibbonDialogBoxLauncher(Ribbon& ribbon, RibbonControl* parent, const std::string& id)
    : RibbonControl(ribbon, parent, ControlClass::DialogBoxLauncher, id) {}

Attributes RibbonDialogBoxLauncher::GetAttributes() const {
  if (!id_mso().empty()) return BuiltInAttributes();
  Attributes attributes{{"id", id()}};
  Add(attributes, "getKeytip", Callback::GetKeyTip);
  Add(attributes, "getSupertip", Callback::GetSuperTip);
  Add(attributes, "getScreentip", Callback::GetScreenTip);
  Add(attributes, "getEnabled", Callback::GetEnabled);
  Add(attributes, "onAction", Callback::OnActionCommon);
  Add(attributes, "getVisible", Callback::GetVisible);
  return attributes;
}

void RibbonDialogBoxLauncher::DoAction(const ActionArguments&) { RunHandler(); }

// --- RibbonItem

RibbonItem::RibbonItem(Ribbon& ribbon, RibbonControl* parent, const std::string& id)
    : RibbonControl(ribbon, parent, ControlClass::Item, id) {}

void RibbonItem::Refresh() {
  ribbon().InvalidateControl(*this);
  if (parent()) ribbon().InvalidateControl(*parent());
}

// --- Ribbon

Ribbon::~Ribbon() {
  tabs_.clear();  // the controls leave the table while it still exists
}

RibbonTab& Ribbon::AddTab(const std::string& id, Ribbons ribbons) {
  tabs_.push_back(std::make_unique<RibbonTab>(*this, id));
  tabs_.back()->SetRibbons(ribbons);
  return *tabs_.back();
}

void Ribbon::Register(RibbonControl& control) { table_.push_back(&control); }

void Ribbon::Unregister(const RibbonControl& control) { std::erase(table_, &control); }

RibbonControl* Ribbon::Find(std::string_view id) const {
  for (RibbonControl* control : table_)
    if (SameId(control->id(), id)) return control;
  return nullptr;
}

void Ribbon::NarrowTo(std::string_view ribbon_id) {
  const bool outlook = ribbon_id.find("Microsoft.Outlook.") != std::string_view::npos;
  for (size_t i = table_.size(); i-- > 0;) {
    const Ribbons ribbons = table_[i]->ribbons();
    if (outlook ? !ribbons.HasOutlook() : !RibbonMatches(ribbons, ribbon_id))
      table_.erase(table_.begin() + static_cast<std::ptrdiff_t>(i));
  }
}

void Ribbon::InvalidateControl(const RibbonControl& control) const {
  if (!ui_) return;
  if (!control.id_mso().empty())
    ui_->Invalidate();
  else
    ui_->InvalidateControl(control.id());
}

}  // namespace trelvo::ribbon
