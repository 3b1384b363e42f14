#pragma once
// The ribbon's control model: a tab holding groups, boxes, buttons, drop-downs
// with their items, and dialog box launchers. The markup names only ids and
// callbacks; every caption, tip, image and state is read from these objects
// when the host asks, and a changed property asks the host to read it again.
// The ribbon owns its tabs and the table of ids by which callbacks find them.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "ribbon/ribbon_kinds.h"
#include "ribbon/xml_text.h"

namespace trelvo::ribbon {

class Ribbon;
class RibbonControl;

// The control classes with their kind codes.
enum class ControlClass { Tab = 0, Group = 4, Box = 5, Button = 7, DropDown = 13, DialogBoxLauncher = 18, Item = 19 };
enum class ControlSize { Regular = 0, Large = 1 };
enum class BoxStyle { Horizontal, Vertical };

// The host's side of the ribbon that asks it to read controls again.
class RibbonUI {
 public:
  virtual ~RibbonUI() = default;
  virtual void Invalidate() = 0;
  virtual void InvalidateControl(const std::string& id) = 0;
};

// What an action callback hands to the control.
struct ActionArguments {
  bool pressed = false;
  std::string selected_item_id{};
  int32_t selected_item_index = 0;
  std::string text{};
};

// OnClick of buttons and launchers, OnChange of drop-downs.
using ControlHandler = std::function<void(RibbonControl& sender)>;

// A control's children, at most `maximum` of them.
class ControlCollection {
 public:
  // holds_items: the items of a drop-down, whose changes it must read again.
  ControlCollection(RibbonControl& owner, size_t maximum, bool holds_items = false)
      : owner_(owner), maximum_(maximum), holds_items_(holds_items) {}
  ControlCollection(const ControlCollection&) = delete;
  ControlCollection& operator=(const ControlCollection&) = delete;
  ~ControlCollection();

  // Makes a control of class Class with this id inside the owner; fails when
  // the collection is full.
  template <class Class>
  Class& Add(const std::string& id);
  void Clear();

  size_t size() const { return controls_.size(); }
  bool empty() const { return controls_.empty(); }
  // Fails for an index outside the collection.
  RibbonControl& at(size_t index) const;
  auto begin() const { return controls_.begin(); }
  auto end() const { return controls_.end(); }

 private:
  void Insert(std::unique_ptr<RibbonControl> control);
  void Changed();

  RibbonControl& owner_;
  size_t maximum_;
  bool holds_items_;
  std::vector<std::unique_ptr<RibbonControl>> controls_;
};

// Every tab and control. The properties are those of all classes; each class
// writes and answers the ones it has.
class RibbonControl {
 public:
  RibbonControl(Ribbon& ribbon, RibbonControl* parent, ControlClass control_class, const std::string& id);
  virtual ~RibbonControl();
  RibbonControl(const RibbonControl&) = delete;
  RibbonControl& operator=(const RibbonControl&) = delete;

  ControlClass control_class() const { return class_; }
  Ribbon& ribbon() const { return ribbon_; }
  RibbonControl* parent() const { return parent_; }

  virtual std::string_view ElementName() const = 0;
  // The markup's attributes in their order, those with empty values left out.
  virtual Attributes GetAttributes() const = 0;
  virtual ControlCollection* Controls() { return nullptr; }
  virtual ControlCollection* Items() { return nullptr; }
  // A user's action on the control.
  virtual void DoAction(const ActionArguments&) {}

  const std::string& id() const { return id_; }
  void SetId(const std::string& id);

  Ribbons ribbons() const { return ribbons_; }
  // The empty set is ignored; another set passes down to every child and item.
  void SetRibbons(Ribbons ribbons);

  const std::string& caption() const { return caption_; }
  void SetCaption(const std::string& value) { Set(caption_, value); }
  const std::string& description() const { return description_; }
  void SetDescription(const std::string& value) { Set(description_, value); }
  const std::string& screen_tip() const { return screen_tip_; }
  void SetScreenTip(const std::string& value) { Set(screen_tip_, value); }
  const std::string& super_tip() const { return super_tip_; }
  void SetSuperTip(const std::string& value) { Set(super_tip_, value); }
  const std::string& key_tip() const { return key_tip_; }
  // At most three characters: a longer key tip keeps its first three.
  void SetKeyTip(const std::string& value);
  const std::string& text() const { return text_; }
  void SetText(const std::string& value) { Set(text_, value); }

  bool enabled() const { return enabled_; }
  void SetEnabled(bool value) { Set(enabled_, value); }
  bool visible() const { return visible_; }
  void SetVisible(bool value) { Set(visible_, value); }
  bool pressed() const { return pressed_; }
  void SetPressed(bool value) { Set(pressed_, value); }
  bool show_caption() const { return show_caption_; }
  void SetShowCaption(bool value) { Set(show_caption_, value); }
  ControlSize size() const { return size_; }
  void SetSize(ControlSize value) { Set(size_, value); }
  BoxStyle box_style() const { return box_style_; }
  void SetBoxStyle(BoxStyle value) { Set(box_style_, value); }
  bool toggle_button() const { return toggle_button_; }
  void SetToggleButton(bool value) { toggle_button_ = value; }

  // The glyph: a bitmap resource id, 0 for none.
  int glyph() const { return glyph_; }
  void SetGlyph(int value) { Set(glyph_, value); }
  // A picture of the tab's image list, -1 for none.
  int image_index() const { return image_index_; }
  void SetImageIndex(int value) { Set(image_index_, value); }
  const std::string& image_mso() const { return image_mso_; }
  void SetImageMso(const std::string& value) { Set(image_mso_, value); }
  const std::string& id_mso() const { return id_mso_; }
  void SetIdMso(const std::string& value) { Set(id_mso_, value); }
  // Whether the control shows an image: a glyph, a picture of the list or a built-in one.
  bool ShowsImage() const { return glyph_ != 0 || image_index_ >= 0 || !image_mso_.empty(); }

  // Where the control goes among the host's own: after or before a built-in
  // control (idMso) or one of another add-in (qualified id).
  struct InsertPosition {
    std::string after_mso, before_mso, after_id, before_id;
    bool operator==(const InsertPosition&) const = default;
  };
  const InsertPosition& insert_position() const { return insert_; }
  void SetInsertPosition(const InsertPosition& value) { Set(insert_, value); }

  // Drop-downs: the chosen item.
  const std::string& selected_item_id() const { return selected_item_id_; }
  void SetSelectedItemId(const std::string& value) { Set(selected_item_id_, value); }
  int32_t selected_item_index() const { return selected_item_index_; }
  void SetSelectedItemIndex(int32_t value) { Set(selected_item_index_, value); }
  // A drop-down's choice stored without asking the host to read it again (the
  // host shows a user's pick already).
  void StoreSelection(const std::string& id, int32_t index) {
    selected_item_id_ = id;
    selected_item_index_ = index;
  }
  bool show_item_caption() const { return show_item_caption_; }
  void SetShowItemCaption(bool value) { show_item_caption_ = value; }
  const std::string& size_string() const { return size_string_; }
  void SetSizeString(const std::string& value) { size_string_ = value; }

  // OnClick of buttons and launchers, OnChange of drop-downs.
  ControlHandler on_action;
  // Set while on_action runs: an action arriving meanwhile is dropped.
  bool busy() const { return busy_; }

 protected:
  // Asks the host to read the control again (an item: the item, then its drop-down).
  virtual void Refresh();
  friend class ControlCollection;
  // Runs on_action unless it is running already; the flag goes also when it fails.
  void RunHandler();
  // The first insert attribute that has a value, if any.
  void AddInsertAttribute(Attributes& attributes) const;
  // What tabs and groups begin with: getVisible, then idMso alone, or the
  // id, an insert position, getKeytip and getLabel.
  Attributes TabAttributes() const;
  // The attributes of a built-in control: its idMso and plain values.
  Attributes BuiltInAttributes() const;
  // Whether the parent is of this class.
  bool InsideA(ControlClass parent_class) const { return parent_ && parent_->class_ == parent_class; }

 private:
  template <class T>
  void Set(T& field, const T& value) {
    if (field == value) return;
    field = value;
    Refresh();
  }

  Ribbon& ribbon_;
  RibbonControl* parent_;
  ControlClass class_;
  std::string id_;
  Ribbons ribbons_;
  std::string caption_, description_, screen_tip_, super_tip_, key_tip_, text_;
  bool enabled_ = true, visible_ = true, pressed_ = false, show_caption_ = true, toggle_button_ = false;
  bool show_item_caption_ = true;
  ControlSize size_ = ControlSize::Regular;
  BoxStyle box_style_ = BoxStyle::Horizontal;
  int glyph_ = 0;
  int image_index_ = -1;
  std::string image_mso_, id_mso_;
  InsertPosition insert_;
  std::string selected_item_id_;
  int32_t selected_item_index_ = -1;
  std::string size_string_;
  bool busy_ = false;
};

class RibbonTab : public RibbonControl {
 public:
  RibbonTab(Ribbon& ribbon, const std::string& id);
  std::string_view ElementName() const override { return "tab"; }
  Attributes GetAttributes() const override;
  ControlCollection* Controls() override { return &groups_; }

  // The image list: glyph resource ids by image index, 0 where it holds none.
  std::vector<int> images;

 protected:
  // Only a changed key tip asks the host to read the tab again.
  void Refresh() override {}

 private:
  ControlCollection groups_;
};

class RibbonGroup : public RibbonControl {
 public:
  RibbonGroup(Ribbon& ribbon, RibbonControl* parent, const std::string& id);
  std::string_view ElementName() const override { return "group"; }
  Attributes GetAttributes() const override;
  ControlCollection* Controls() override { return &controls_; }

 private:
  ControlCollection controls_;
};

class RibbonBox : public RibbonControl {
 public:
  RibbonBox(Ribbon& ribbon, RibbonControl* parent, const std::string& id);
  std::string_view ElementName() const override { return "box"; }
  Attributes GetAttributes() const override;
  ControlCollection* Controls() override { return &controls_; }

 private:
  ControlCollection controls_;
};

class RibbonButton : public RibbonControl {
 public:
  RibbonButton(Ribbon& ribbon, RibbonControl* parent, const std::string& id);
  std::string_view ElementName() const override;
  Attributes GetAttributes() const override;
  void DoAction(const ActionArguments& arguments) override;

 private:
  bool InsideAList() const;
};

class RibbonDropDown : public RibbonControl {
 public:
  RibbonDropDown(Ribbon& ribbon, RibbonControl* parent, const std::string& id);
  std::string_view ElementName() const override { return "dropDown"; }
  Attributes GetAttributes() const override;
  ControlCollection* Controls() override { return &buttons_; }
  ControlCollection* Items() override { return &items_; }
  void DoAction(const ActionArguments& arguments) override;

 private:
  ControlCollection buttons_;
  ControlCollection items_;
};

class RibbonDialogBoxLauncher : public RibbonControl {
 public:
  RibbonDialogBoxLauncher(Ribbon& ribbon, RibbonControl* parent, const std::string& id);
  std::string_view ElementName() const override { return "dialogBoxLauncher"; }
  // The attributes of its inner button.
  Attributes GetAttributes() const override;
  void DoAction(const ActionArguments& arguments) override;
};

// An entry of a drop-down: never written into the markup, the host reads it
// through the drop-down's item callbacks.
class RibbonItem : public RibbonControl {
 public:
  RibbonItem(Ribbon& ribbon, RibbonControl* parent, const std::string& id);
  std::string_view ElementName() const override { return "item"; }
  Attributes GetAttributes() const override { return {}; }

 protected:
  void Refresh() override;
};

// The module's ribbon: its tabs, the table of every control by id, and the
// host's ribbon once it has loaded.
class Ribbon {
 public:
  Ribbon() = default;
  Ribbon(const Ribbon&) = delete;
  Ribbon& operator=(const Ribbon&) = delete;
  ~Ribbon();

  // A new tab shows in the ribbons given (the hosts the add-in supports).
  RibbonTab& AddTab(const std::string& id, Ribbons ribbons);
  const std::vector<std::unique_ptr<RibbonTab>>& tabs() const { return tabs_; }

  // The tab or control registered under id (case ignored, the first wins), or nullptr.
  RibbonControl* Find(std::string_view id) const;
  // Leaves out of the table, from its last entry to its first, every control
  // that the ribbon id does not match (in Outlook: every one without an Outlook kind).
  void NarrowTo(std::string_view ribbon_id);

  // The host's ribbon, from its onLoad on; before that no refresh is asked.
  void SetUI(std::shared_ptr<RibbonUI> ui) { ui_ = std::move(ui); }
  const std::shared_ptr<RibbonUI>& ui() const { return ui_; }
  // Asks the host to read the control again: the whole ribbon for a
  // built-in control, the control by its id otherwise.
  void InvalidateControl(const RibbonControl& control) const;

  // A new control enters the table; a renamed one keeps its place.
  void Register(RibbonControl& control);
  void Unregister(const RibbonControl& control);

  // The ribbons the host builds from scratch (none). Shared controls of
  // several add-ins (a namespace) are not used: every control gets a plain id.
  Ribbons start_from_scratch;

 private:
  std::vector<std::unique_ptr<RibbonTab>> tabs_;
  std::vector<RibbonControl*> table_;
  std::shared_ptr<RibbonUI> ui_;
};

template <class Class>
Class& ControlCollection::Add(const std::string& id) {
  auto control = std::make_unique<Class>(owner_.ribbon(), &owner_, id);
  Class& added = *control;
  Insert(std::move(control));
  return added;
}

}  // namespace trelvo::ribbon
