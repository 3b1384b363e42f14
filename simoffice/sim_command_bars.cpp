#include "simoffice/sim_command_bars.h"

#include <algorithm>

#include "platform/win32/registry_key.h"
#include "platform/win32/wide_text.h"
#include "simoffice/sim_names.h"

namespace trelvo::simoffice {
namespace {

std::optional<long> OptionalInt(const CallArguments& arguments, size_t index) {
  return arguments.Has(index) ? std::optional<long>(arguments.Int(index)) : std::nullopt;
}

}  // namespace

// ---------------------------------------------------------------- controls

SimCommandBarControl::SimCommandBarControl(SimCommandBars& bars, SimCommandBar& bar, long type, long id, bool temporary)
    : SimObject(bars.source()), bars_(bars), bar_(&bar), type_(type), id_(id), temporary_(temporary) {
  AnswerAs(office::kCommandBarControl);
  AddField("BeginGroup", begin_group_);
  AddField("Caption", caption_);
  AddField("DescriptionText", description_);
  AddField("Enabled", enabled_);
  AddField("Height", height_);
  AddField("HelpContextId", help_context_id_);
  AddField("HelpFile", help_file_);
  AddField("Parameter", parameter_);
  AddField("Priority", priority_);
  AddField("Tag", tag_);
  AddField("TooltipText", tooltip_);
  AddField("Visible", visible_);
  AddField("Width", width_);
  AddField("OnAction", on_action_);
  AddProperty("Id", {}, [this](const CallArguments&) { return Variant::Int(id_); });
  AddProperty("Type", {}, [this](const CallArguments&) { return Variant::Int(type_); });
  AddProperty("Index", {}, [this](const CallArguments&) { return Variant::Int(bar_->IndexOf(this)); });
  AddProperty("Parent", {}, [this](const CallArguments&) { return ObjectValue(bar_); });
  AddMethod("Delete", {"Temporary"}, [this](const CallArguments&) {
    bar_->RemoveControl(this);
    return Variant();
  });
  // Execute raises the control's event as a user's click does.
  AddMethod("Execute", {}, [this](const CallArguments&) {
    Click();
    return Variant();
  });
  // Test surface: the user picks the entry at this list index (from 1).
  AddMethod("SimSelect", {"Index"}, [this](const CallArguments& arguments) {
    Choose(arguments.Int(0));
    return Variant();
  });
  AddMethod("Move", {"Bar", "Before"}, [this](const CallArguments& arguments) {
    SimCommandBar* target = bar_;
    if (arguments.Has(0)) {
      const auto object = arguments.At(0).ToObject();
      for (const auto& bar : bars_.bars())
        if (bar->dispatch() == object.Get()) target = bar.Get();
    }
    bar_->MoveControl(this, *target, OptionalInt(arguments, 1));
    return Variant();
  });

  if (type_ == office::kControlButton) {
    AnswerAs(office::kCommandBarButton);
    AddField("FaceId", face_id_);
    AddField("ShortcutText", shortcut_text_);
    AddField("State", state_);
    AddField("Style", style_);
    AddField("HyperlinkType", hyperlink_type_);
    // Picture and Mask take IPictureDisp objects (Office 2002 and later).
    AddProperty(
        "Picture", {}, [this](const CallArguments&) { return Variant::Object(picture_.Get()); },
        [this](const CallArguments&, const Variant& value) { picture_ = value.ToObject(); });
    AddProperty(
        "Mask", {}, [this](const CallArguments&) { return Variant::Object(mask_.Get()); },
        [this](const CallArguments&, const Variant& value) { mask_ = value.ToObject(); });
    // PasteFace takes the bitmap on the clipboard.
    AddMethod("PasteFace", {}, [this](const CallArguments&) {
      if (!IsClipboardFormatAvailable(CF_BITMAP)) throw OfficeError("Die Zwischenablage enthält kein Bild.");
      ++pastes_;
      return Variant();
    });
    AddConnectionPoint(office::kCommandBarButtonEvents);
  } else if (type_ == office::kControlPopup) {
    AnswerAs(office::kCommandBarPopup);
    popup_ = Make<SimCommandBar>(bars_, "", 5, temporary_, false);
    AddProperty("CommandBar", {}, [this](const CallArguments&) { return ObjectValue(popup_.Get()); });
    AddProperty("Controls", {},
                [this](const CallArguments&) { return ObjectValue(Make<SimCommandBarControls>(*popup_.Get()).Get()); });
  } else {
    AnswerAs(office::kCommandBarComboBox);
    AddField("Style", style_);
    AddField("DropDownLines", dropdown_lines_);
    AddField("DropDownWidth", dropdown_width_);
    AddField("ListHeaderCount", list_header_count_);
    AddProperty(
        "ListIndex", {}, [this](const CallArguments&) { return Variant::Int(list_index_); },
        [this](const CallArguments&, const Variant& value) {
          const long index = value.ToInt();
          if (index < 0 || index > static_cast<long>(items_.size())) throw OfficeError("Ungültiger Indexwert.");
          list_index_ = index;
          text_ = index ? items_[static_cast<size_t>(index - 1)] : "";
        });
    AddProperty(
        "Text", {}, [this](const CallArguments&) { return Variant::Text(text_); },
        [this](const CallArguments&, const Variant& value) {
          // A drop-down list takes only the text of one of its items.
          const std::string text = value.ToText();
          const auto found = std::find(items_.begin(), items_.end(), text);
          if (type_ == office::kControlDropdown && found == items_.end())
            throw OfficeError("Der Text ist kein Eintrag der Liste.");
          text_ = text;
          list_index_ = found == items_.end() ? 0 : static_cast<long>(found - items_.begin()) + 1;
        });
    AddProperty("ListCount", {},
                [this](const CallArguments&) { return Variant::Int(static_cast<long>(items_.size())); });
    AddProperty("List", {"Index"}, [this](const CallArguments& arguments) {
      const long index = arguments.Int(0);
      if (index < 1 || index > static_cast<long>(items_.size())) throw OfficeError("Ungültiger Indexwert.");
      return Variant::Text(items_[static_cast<size_t>(index - 1)]);
    });
    AddMethod("AddItem", {"Text", "Index"}, [this](const CallArguments& arguments) {
      const std::string text = arguments.Text(0);
      if (arguments.Has(1)) {
        const long index = arguments.Int(1);
        if (index < 1 || index > static_cast<long>(items_.size()) + 1) throw OfficeError("Ungültiger Indexwert.");
        items_.insert(items_.begin() + (index - 1), text);
      } else {
        items_.push_back(text);
      }
      return Variant();
    });
    AddMethod("Clear", {}, [this](const CallArguments&) {
      items_.clear();
      list_index_ = 0;
      text_.clear();
      return Variant();
    });
    AddConnectionPoint(office::kCommandBarComboBoxEvents);
  }
}

void SimCommandBarControl::OnPropertyWritten() {
  if (!temporary_) bars_.LastingChange();
}

void SimCommandBarControl::CheckUsable() const {
  if (deleted_)
    throw OfficeError("Die Methode ist für dieses Objekt nicht verfügbar: das Steuerelement wurde gelöscht.");
}

void SimCommandBarControl::FireToSameTag(bool button_event) {
  std::vector<SimCommandBarControl*> receivers = {this};
  if (!tag_.empty())
    for (SimCommandBarControl* other : bars_.ControlsWithTag(tag_))
      if (other != this) receivers.push_back(other);
  for (SimCommandBarControl* receiver : receivers) {
    if (button_event) {
      VARIANT_BOOL cancel_default = VARIANT_FALSE;
      VARIANT by_reference;
      VariantInit(&by_reference);
      by_reference.vt = VT_BOOL | VT_BYREF;
      by_reference.pboolVal = &cancel_default;
      receiver->Fire(office::kCommandBarButtonEvents, office::kControlEvent,
                     {ObjectValue(this), Variant(by_reference)});
    } else {
      receiver->Fire(office::kCommandBarComboBoxEvents, office::kControlEvent, {ObjectValue(this)});
    }
  }
}

void SimCommandBarControl::Click() {
  CheckUsable();
  if (type_ != office::kControlButton) throw OfficeError("Nur Schaltflächen lassen sich klicken.");
  if (enabled_) FireToSameTag(true);
}

void SimCommandBarControl::Choose(long list_index) {
  CheckUsable();
  if (list_index < 1 || list_index > static_cast<long>(items_.size())) throw OfficeError("Ungültiger Indexwert.");
  list_index_ = list_index;
  text_ = items_[static_cast<size_t>(list_index - 1)];
  if (enabled_) FireToSameTag(false);
}

void SimCommandBarControl::EnterText(const std::string& text) {
  CheckUsable();
  text_ = text;
  list_index_ = 0;
  if (enabled_) FireToSameTag(false);
}

// ---------------------------------------------------------------- bars

SimCommandBar::SimCommandBar(SimCommandBars& bars, std::string name, long position, bool temporary, bool built_in)
    : SimObject(bars.source()),
      bars_(bars),
      name_(name),
      name_local_(std::move(name)),
      position_(position),
      temporary_(temporary),
      built_in_(built_in) {
  AnswerAs(office::kCommandBar);
  AddField("Name", name_);
  AddField("NameLocal", name_local_);
  AddProperty("BuiltIn", {}, [this](const CallArguments&) { return Variant::Bool(built_in_); });
  AddField("Enabled", enabled_);
  AddField("Visible", visible_);
  AddField("Position", position_);
  AddField("Protection", protection_);
  AddField("Left", left_);
  AddField("Top", top_);
  AddField("RowIndex", row_index_);
  AddProperty("Controls", {},
              [this](const CallArguments&) { return ObjectValue(Make<SimCommandBarControls>(*this).Get()); });
  AddMethod("FindControl", {"Type", "Id", "Tag", "Visible", "Recursive"}, [this](const CallArguments& arguments) {
    return ObjectValue(FindControl(OptionalInt(arguments, 0), OptionalInt(arguments, 1),
                                   arguments.Has(2) ? std::optional(arguments.Text(2)) : std::nullopt,
                                   arguments.Has(3) && arguments.Bool(3), arguments.Has(4) && arguments.Bool(4)));
  });
  AddMethod("Delete", {}, [this](const CallArguments&) {
    if (built_in_) throw OfficeError("Eine integrierte Symbolleiste kann nicht gelöscht werden.");
    bars_.RemoveBar(this);
    return Variant();
  });
}

void SimCommandBar::OnPropertyWritten() {
  if (!temporary_) bars_.LastingChange();
}

void SimCommandBar::CheckUsable() const {
  if (deleted_)
    throw OfficeError("Die Methode ist für dieses Objekt nicht verfügbar: die Symbolleiste wurde gelöscht.");
}

Microsoft::WRL::ComPtr<SimCommandBarControl> SimCommandBar::AddControl(long type, long id, std::optional<long> before,
                                                                       bool temporary) {
  const bool known = type == office::kControlButton || type == office::kControlEdit ||
                     type == office::kControlDropdown || type == office::kControlComboBox ||
                     type == office::kControlPopup;
  if (!known) throw OfficeError("Ungültiger Steuerelementtyp.");
  if (before && (*before < 1 || *before > static_cast<long>(controls_.size()) + 1))
    throw OfficeError("Ungültiger Indexwert.");
  auto control = Make<SimCommandBarControl>(bars_, *this, type, id, temporary);
  controls_.insert(before ? controls_.begin() + (*before - 1) : controls_.end(), control);
  if (!temporary) bars_.LastingChange();
  return control;
}

void SimCommandBar::RemoveControl(SimCommandBarControl* control) {
  if (!control->temporary()) bars_.LastingChange();
  control->MarkDeleted();
  std::erase_if(controls_, [&](const auto& c) { return c.Get() == control; });
}

long SimCommandBar::IndexOf(const SimCommandBarControl* control) const {
  for (size_t i = 0; i < controls_.size(); ++i)
    if (controls_[i].Get() == control) return static_cast<long>(i) + 1;
  return 0;
}

void SimCommandBar::MoveControl(SimCommandBarControl* control, SimCommandBar& target, std::optional<long> before) {
  Microsoft::WRL::ComPtr<SimCommandBarControl> keep = control;
  std::erase_if(controls_, [&](const auto& c) { return c.Get() == control; });
  const long limit = static_cast<long>(target.controls_.size()) + 1;
  const long position = before ? std::clamp(*before, 1L, limit) : limit;
  target.controls_.insert(target.controls_.begin() + (position - 1), keep);
  control->set_parent(target);
}

SimCommandBarControl* SimCommandBar::FindControl(std::optional<long> type, std::optional<long> id,
                                                 std::optional<std::string> tag, bool visible_only,
                                                 bool recursive) const {
  for (const auto& control : controls_) {
    const bool matches = (!type || control->type() == *type) && (!id || control->id() == *id) &&
                         (!tag || control->tag() == *tag) && (!visible_only || control->visible());
    if (matches) return control.Get();
    if (recursive && control->popup_bar())
      if (auto* inner = control->popup_bar()->FindControl(type, id, tag, visible_only, true)) return inner;
  }
  return nullptr;
}

void SimCommandBar::DropTemporaryControls() {
  for (const auto& control : controls_) {
    if (control->temporary())
      control->MarkDeleted();
    else if (control->popup_bar())
      control->popup_bar()->DropTemporaryControls();
  }
  std::erase_if(controls_, [](const auto& c) { return c->temporary(); });
}

// ---------------------------------------------------------------- controls of a bar

SimCommandBarControls::SimCommandBarControls(SimCommandBar& bar) : SimObject(bar.source()), bar_(&bar) {
  AnswerAs(office::kCommandBarControls);
  AddProperty("Count", {},
              [this](const CallArguments&) { return Variant::Int(static_cast<long>(bar_->controls().size())); });
  AddProperty("Item", {"Index"}, [this](const CallArguments& arguments) {
    const long index = arguments.Int(0);
    if (index < 1 || index > static_cast<long>(bar_->controls().size())) throw OfficeError("Ungültiger Indexwert.");
    return ObjectValue(bar_->controls()[static_cast<size_t>(index - 1)].Get());
  });
  SetDefaultMember("Item");
  AddMethod("Add", {"Type", "Id", "Parameter", "Before", "Temporary"}, [this](const CallArguments& arguments) {
    bar_->CheckUsable();
    const long type = arguments.Has(0) ? arguments.Int(0) : office::kControlButton;
    const long id = arguments.Has(1) ? arguments.Int(1) : 1;
    const auto control = bar_->AddControl(type, id, OptionalInt(arguments, 3), arguments.Has(4) && arguments.Bool(4));
    if (arguments.Has(2)) control->set_parameter(arguments.Text(2));
    return ObjectValue(control.Get());
  });
}

// ---------------------------------------------------------------- collection

SimCommandBars::SimCommandBars(std::string source) : SimObject(std::move(source)) {
  AnswerAs(office::kCommandBars);
  AddProperty("Count", {}, [this](const CallArguments&) { return Variant::Int(static_cast<long>(bars_.size())); });
  AddProperty("Item", {"Index"}, [this](const CallArguments& arguments) {
    const Variant& index = arguments.At(0);
    if (index.type() == VT_BSTR) {
      if (SimCommandBar* bar = Bar(index.ToText())) return ObjectValue(bar);
      throw OfficeError("Ungültiges Argument: keine Symbolleiste mit diesem Namen.");
    }
    const long position = index.ToInt();
    if (position < 1 || position > static_cast<long>(bars_.size())) throw OfficeError("Ungültiger Indexwert.");
    return ObjectValue(bars_[static_cast<size_t>(position - 1)].Get());
  });
  SetDefaultMember("Item");
  AddMethod("Add", {"Name", "Position", "MenuBar", "Temporary"}, [this](const CallArguments& arguments) {
    const std::string name =
        arguments.Has(0) ? arguments.Text(0) : "Benutzerdefiniert " + std::to_string(bars_.size() + 1);
    if (Bar(name)) throw OfficeError("Ungültiges Argument: eine Symbolleiste dieses Namens existiert bereits.");
    const long position = arguments.Has(1) ? arguments.Int(1) : 4;
    auto bar = Make<SimCommandBar>(*this, name, position, arguments.Has(3) && arguments.Bool(3), false);
    bars_.push_back(bar);
    if (!bar->temporary()) LastingChange();
    return ObjectValue(bar.Get());
  });
  AddMethod("FindControl", {"Type", "Id", "Tag", "Visible"}, [this](const CallArguments& arguments) {
    for (const auto& bar : bars_)
      if (auto* found = bar->FindControl(OptionalInt(arguments, 0), OptionalInt(arguments, 1),
                                         arguments.Has(2) ? std::optional(arguments.Text(2)) : std::nullopt,
                                         arguments.Has(3) && arguments.Bool(3), true))
        return ObjectValue(found);
    return ObjectValue(nullptr);
  });
}

Microsoft::WRL::ComPtr<SimCommandBar> SimCommandBars::AddBuiltInBar(const std::string& name) {
  auto bar = Make<SimCommandBar>(*this, name, 1, false, true);
  bars_.push_back(bar);
  return bar;
}

SimCommandBar* SimCommandBars::Bar(const std::string& name) const {
  for (const auto& bar : bars_)
    if (SameName(bar->name(), name)) return bar.Get();
  return nullptr;
}

std::vector<SimCommandBarControl*> SimCommandBars::ControlsWithTag(const std::string& tag) const {
  std::vector<SimCommandBarControl*> found;
  const std::function<void(const SimCommandBar&)> walk = [&](const SimCommandBar& bar) {
    for (const auto& control : bar.controls()) {
      if (control->tag() == tag) found.push_back(control.Get());
      if (control->popup_bar()) walk(*control->popup_bar());
    }
  };
  for (const auto& bar : bars_) walk(*bar.Get());
  return found;
}

void SimCommandBars::RemoveBar(SimCommandBar* bar) {
  if (!bar->temporary()) LastingChange();
  bar->MarkDeleted();
  std::erase_if(bars_, [&](const auto& b) { return b.Get() == bar; });
}

void SimCommandBars::Restart() {
  for (const auto& bar : bars_) {
    if (bar->temporary())
      bar->MarkDeleted();
    else
      bar->DropTemporaryControls();
  }
  std::erase_if(bars_, [](const auto& b) { return b->temporary(); });
  const std::function<void(SimCommandBar&)> disconnect = [&](SimCommandBar& bar) {
    for (const auto& control : bar.controls()) {
      control->DisconnectAllSinks();
      if (control->popup_bar()) disconnect(*control->popup_bar());
    }
  };
  for (const auto& bar : bars_) disconnect(*bar.Get());
}

namespace {

// Items of a list as one text, a line each.
std::string Joined(const std::vector<std::string>& items) {
  std::string text;
  for (const std::string& item : items) text += item + "\n";
  return text;
}

std::vector<std::string> Split(const std::string& text) {
  std::vector<std::string> items;
  for (size_t start = 0, stop; (stop = text.find('\n', start)) != std::string::npos; start = stop + 1)
    items.push_back(text.substr(start, stop - start));
  return items;
}

void SaveFields(const win32::RegistryKey& key, const SimObject::Fields& fields) {
  for (const auto& [name, text] : fields) key.SetString(win32::Widen(name), win32::Widen(text));
}

SimObject::Fields LoadFields(const win32::RegistryKey& key) {
  SimObject::Fields fields;
  for (const std::wstring& name : key.ValueNames())
    if (const auto text = key.GetString(name)) fields.emplace_back(win32::Narrow(name), win32::Narrow(*text));
  return fields;
}

}  // namespace

void SimCommandBars::Save(const std::wstring& key) const {
  win32::DeleteRegistryTree(HKEY_CURRENT_USER, key);
  int number = 0;
  for (const auto& bar : bars_) {
    if (bar->temporary()) continue;
    const std::wstring bar_key = key + L"\\" + std::to_wstring(number++);
    const auto saved_bar = win32::RegistryKey::Create(HKEY_CURRENT_USER, bar_key);
    SaveFields(saved_bar, bar->SavedFields());
    saved_bar.SetDword(L"#BuiltIn", bar->built_in() ? 1 : 0);
    int control_number = 0;
    for (const auto& control : bar->controls()) {
      if (control->temporary() || control->popup_bar()) continue;
      const auto saved =
          win32::RegistryKey::Create(HKEY_CURRENT_USER, bar_key + L"\\" + std::to_wstring(control_number++));
      SaveFields(saved, control->SavedFields());
      saved.SetDword(L"#Type", static_cast<DWORD>(control->type()));
      saved.SetDword(L"#Id", static_cast<DWORD>(control->id()));
      saved.SetString(L"#Items", win32::Widen(Joined(control->items())));
    }
  }
}

void SimCommandBars::Load(const std::wstring& key) {
  const auto saved = win32::RegistryKey::Open(HKEY_CURRENT_USER, key);
  if (!saved) return;
  struct Loading {
    bool& flag;
    explicit Loading(bool& f) : flag(f) { flag = true; }
    ~Loading() { flag = false; }
  } loading(loading_);
  for (const std::wstring& bar_name : saved.SubkeyNames()) {
    const auto saved_bar = win32::RegistryKey::Open(HKEY_CURRENT_USER, key + L"\\" + bar_name);
    SimObject::Fields fields = LoadFields(saved_bar);
    std::erase_if(fields, [](const auto& field) { return field.first.starts_with("#"); });
    const std::string name = win32::Narrow(saved_bar.GetString(L"Name").value_or(L""));
    SimCommandBar* bar = Bar(name);
    if (!bar) {
      if (saved_bar.GetDword(L"#BuiltIn").value_or(0)) continue;  // a built-in bar this host lacks
      bars_.push_back(Make<SimCommandBar>(*this, name, 4, false, false));
      bar = bars_.back().Get();
    }
    bar->RestoreFields(fields);
    for (const std::wstring& control_name : saved_bar.SubkeyNames()) {
      const auto saved_control =
          win32::RegistryKey::Open(HKEY_CURRENT_USER, key + L"\\" + bar_name + L"\\" + control_name);
      const auto control =
          bar->AddControl(static_cast<long>(saved_control.GetDword(L"#Type").value_or(1)),
                          static_cast<long>(saved_control.GetDword(L"#Id").value_or(1)), std::nullopt, false);
      control->set_items(Split(win32::Narrow(saved_control.GetString(L"#Items").value_or(L""))));
      SimObject::Fields control_fields = LoadFields(saved_control);
      std::erase_if(control_fields, [](const auto& field) { return field.first.starts_with("#"); });
      control->RestoreFields(control_fields);
    }
  }
}

}  // namespace trelvo::simoffice
