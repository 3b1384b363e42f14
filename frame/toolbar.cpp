#include "frame/toolbar.h"

#include <algorithm>

#include "frame/button_face.h"
#include "frame/host_recognition.h"
#include "platform/error.h"
#include "platform/win32/office_interfaces.h"
#include "platform/win32/wide_text.h"

namespace trelvo::frame {

using commands::ControlKind;
using win32::DispatchObject;
using win32::Variant;

namespace {

constexpr wchar_t kBars[] = L"\\CommandBars";
constexpr wchar_t kControls[] = L"\\Controls";

long HostType(ControlKind kind) { return static_cast<long>(kind); }

// A property write only where the host's value differs from the new one.
void SetIfDifferent(const DispatchObject& object, const std::string& property, const Variant& value) {
  if (object.Get(property).ToText() != value.ToText()) object.Put(property, value);
}

}  // namespace

Toolbar::Toolbar(const commands::ToolbarDefinition& definition, Microsoft::WRL::ComPtr<IDispatch> command_bars,
                 std::wstring add_in_key, std::string host_version, bool first_start, bool temporary,
                 Callbacks callbacks)
    : definition_(definition),
      command_bars_(std::move(command_bars)),
      add_in_key_(std::move(add_in_key)),
      host_version_(std::move(host_version)),
      first_start_(first_start),
      temporary_(temporary),
      callbacks_(std::move(callbacks)),
      links_(definition.controls.size()) {}

Toolbar::~Toolbar() = default;

std::optional<DWORD> Toolbar::Recorded(const wchar_t* part, const std::string& name) const {
  const auto key = win32::RegistryKey::Open(HKEY_CURRENT_USER, add_in_key_ + part);
  if (!key) return std::nullopt;
  return key.GetDword(win32::Widen(name));
}

void Toolbar::Record(const wchar_t* part, const std::string& name, DWORD revision) const {
  const auto key = win32::RegistryKey::Create(HKEY_CURRENT_USER, add_in_key_ + part);
  if (!key || !key.SetDword(win32::Widen(name), revision))
    throw Error("Fehler beim Erstellen eines Eintrages in der Systemregistrierung");
}

// By Name, letters compared as capitals, else by NameLocal; the first match wins.
std::optional<DispatchObject> Toolbar::FindCommandBar() const {
  const std::string wanted = Capitals(definition_.name);
  const long count = command_bars_.Get("Count").ToInt();
  for (long i = 1; i <= count; ++i) {
    const DispatchObject bar = command_bars_.GetObject("Item", {Variant::Int(i)});
    if (Capitals(bar.Get("Name").ToText()) == wanted || Capitals(bar.Get("NameLocal").ToText()) == wanted) return bar;
  }
  return std::nullopt;
}

bool Toolbar::LinkBar() {
  bar_ = FindCommandBar();
  const bool added = !bar_;
  if (added) {
    bar_ = command_bars_.GetObject("Add", {Variant::Text(definition_.name), Variant::Int(definition_.position),
                                           Variant::Omitted(), Variant::Bool(temporary_)});
    // The local name follows the name the host gave the new bar.
    SetIfDifferent(*bar_, "NameLocal", bar_->Get("Name"));
  }
  if (bar_->Get("BuiltIn").ToBool()) return added;
  // A bar added anew (the user deleted the whole bar) gets its properties
  // whatever the bookkeeping records.
  if (!added && Recorded(kBars, definition_.name) == static_cast<DWORD>(definition_.revision)) return added;
  bar_->Put("Enabled", Variant::Bool(true));
  bar_->Put("Visible", Variant::Bool(true));
  bar_->Put("Protection", Variant::Int(definition_.protection));
  bar_->Put("Position", Variant::Int(definition_.position));
  Record(kBars, definition_.name, static_cast<DWORD>(definition_.revision));
  return added;
}

void Toolbar::Build() {
  bool bar_added = false;
  try {
    bar_added = LinkBar();
  } catch (const std::exception& error) {
    bar_.reset();
    callbacks_.report(error);
  }
  try {
    RemoveStaleControls();
  } catch (const std::exception& error) {
    callbacks_.report(error);
  }
  if (!bar_) return;
  for (size_t i = 0; i < definition_.controls.size(); ++i) {
    try {
      BuildControl(i, bar_added);
    } catch (const std::exception& error) {
      callbacks_.report(error);
    }
  }
}

void Toolbar::Reattach(Microsoft::WRL::ComPtr<IDispatch> command_bars) {
  command_bars_ = DispatchObject(std::move(command_bars));
  bar_ = FindCommandBar();
  if (!bar_) return Build();
  for (size_t i = 0; i < definition_.controls.size(); ++i) {
    if (const auto found = FindControl(i))
      LinkControl(i, found->get());
    else
      BuildControl(i, false);
  }
}

// A tag under "Controls" that belongs to no control of the definition: its
// host control is deleted and the value removed.
void Toolbar::RemoveStaleControls() {
  const auto key = win32::RegistryKey::Open(HKEY_CURRENT_USER, add_in_key_ + kControls, KEY_READ | KEY_WRITE);
  if (!key) return;
  for (const std::wstring& name : key.ValueNames()) {
    const std::string tag = win32::Narrow(name);
    if (std::any_of(definition_.controls.begin(), definition_.controls.end(),
                    [&](const commands::ToolbarControl& control) { return tag == control.tag; }))
      continue;
    const std::vector<Variant> by_tag = {Variant::Omitted(), Variant::Omitted(), Variant::Text(tag)};
    Variant found;
    if (bar_)
      found = bar_->Call("FindControl", {Variant::Omitted(), Variant::Omitted(), Variant::Text(tag), Variant::Omitted(),
                                         Variant::Bool(true)});
    if (found.IsNothing()) found = command_bars_.Call("FindControl", by_tag);
    if (found.IsNothing()) continue;
    DispatchObject(found.ToObject()).Call("Delete", {Variant::Bool(false)});
    RegDeleteValueW(key.get(), name.c_str());
  }
}

std::optional<DispatchObject> Toolbar::FindControl(size_t index) const {
  const commands::ToolbarControl& control = definition_.controls[index];
  const Variant found = command_bars_.Call(
      "FindControl", {Variant::Int(HostType(control.kind)), Variant::Omitted(), Variant::Text(control.tag)});
  if (found.IsNothing()) return std::nullopt;
  return DispatchObject(found.ToObject());
}

void Toolbar::BuildControl(size_t index, bool bar_added) {
  const commands::ToolbarControl& control = definition_.controls[index];
  const bool recorded = Recorded(kControls, control.tag) == static_cast<DWORD>(control.revision);
  auto found = FindControl(index);
  // A control the user deleted from the bar stays deleted while its design is
  // the recorded one; on a bar added anew every control comes back.
  if (!found && recorded && !bar_added) return;
  const bool added = !found;
  if (added)
    found = bar_->GetObject("Controls")
                .GetObject("Add", {Variant::Int(HostType(control.kind)), Variant::Int(1), Variant::Text(""),
                                   Variant::Omitted(), Variant::Bool(temporary_)});
  LinkControl(index, found->get());
  if (added || !recorded) WriteControl(index, *found);
}

void Toolbar::WriteControl(size_t index, const DispatchObject& host) {
  const commands::ToolbarControl& control = definition_.controls[index];
  // Back into its place (the position in the definition) on every start after the first.
  if (!first_start_) {
    const long place = static_cast<long>(index) + 1;
    const long at = host.Get("Index").ToInt();
    if (at != place) host.Call("Move", {Variant::Omitted(), Variant::Int(at < place ? place + 1 : place)});
  }
  SetIfDifferent(host, "BeginGroup", Variant::Bool(control.begin_group));
  SetIfDifferent(host, "Caption", Variant::Text(control.caption));
  SetIfDifferent(host, "DescriptionText", Variant::Text(control.description));
  SetIfDifferent(host, "Enabled", Variant::Bool(true));
  SetIfDifferent(host, "Tag", Variant::Text(control.tag));
  SetIfDifferent(host, "TooltipText", Variant::Text(control.tooltip));
  SetIfDifferent(host, "Visible", Variant::Bool(true));
  if (control.width != 0) SetIfDifferent(host, "Width", Variant::Int(control.width));
  if (control.kind == ControlKind::Button) {
    SetIfDifferent(host, "Style", Variant::Int(control.style));
    if (control.glyph) {
      try {
        SetButtonFace(host, control.glyph, host_version_);
      } catch (const std::exception& error) {
        callbacks_.report(error);
      }
    }
  } else {
    SetIfDifferent(host, "Style", Variant::Int(0));
    host.Call("Clear");
    if (control.item) host.Call("AddItem", {Variant::Text(control.item)});
    if (control.list_index != 0) SetIfDifferent(host, "ListIndex", Variant::Int(control.list_index));
  }
  Record(kControls, control.tag, static_cast<DWORD>(control.revision));
}

void Toolbar::LinkControl(size_t index, Microsoft::WRL::ComPtr<IDispatch> control) {
  Link& link = links_[index];
  link.events.reset();  // a definition never has two sinks
  link.control = std::move(control);
  if (!link.control) return;
  const commands::ToolbarControl& definition = definition_.controls[index];
  const long type = DispatchObject(link.control).Get("Type").ToInt();
  link.events = std::make_unique<win32::EventConnection>(
      link.control.Get(), ControlEventInterface(type),
      ControlEventHandler(definition.tag,
                          {[this, index] { return LinkWorks(index); },
                           [this, index](IDispatch* event_control) { LinkControl(index, event_control); },
                           [this, index] { callbacks_.on_command(definition_.controls[index].command, index); },
                           [this](const std::exception& error) { callbacks_.report(error); }}),
      ControlEventNames(type));
}

// The link works when the host control answers: its HelpFile read and written back.
bool Toolbar::LinkWorks(size_t index) const {
  try {
    const DispatchObject control(links_[index].control);
    control.Put("HelpFile", control.Get("HelpFile"));
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

void Toolbar::Remove() {
  const auto bar = FindCommandBar();
  for (size_t i = definition_.controls.size(); i-- > 0;) {
    const commands::ToolbarControl& control = definition_.controls[i];
    Variant found;
    if (bar)
      found = bar->Call("FindControl", {Variant::Int(HostType(control.kind)), Variant::Omitted(),
                                        Variant::Text(control.tag), Variant::Omitted(), Variant::Bool(true)});
    if (found.IsNothing()) {
      const auto elsewhere = FindControl(i);
      if (elsewhere) found = Variant::Object(elsewhere->get());
    }
    if (found.IsNothing()) continue;
    DispatchObject(found.ToObject()).Call("Delete", {Variant::Bool(false)});
    LinkControl(i, nullptr);
  }
  if (bar && !bar->Get("BuiltIn").ToBool() && bar->GetObject("Controls").Get("Count").ToInt() == 0) bar->Call("Delete");
  bar_.reset();
}

void Toolbar::SetEnabled(size_t index, bool enabled) {
  if (!linked(index)) return;
  try {
    SetIfDifferent(DispatchObject(links_[index].control), "Enabled", Variant::Bool(enabled));
  } catch (const std::exception& error) {
    callbacks_.report(error);
  }
}

void Toolbar::SetItems(size_t index, const std::vector<std::string>& items) {
  if (!linked(index)) return;
  try {
    try {
      DispatchObject(links_[index].control).Call("Clear");
    } catch (const std::exception&) {
      const auto found = FindControl(index);
      if (!found) throw;
      LinkControl(index, found->get());
      found->Call("Clear");
    }
    const DispatchObject control(links_[index].control);
    for (const std::string& item : items) control.Call("AddItem", {Variant::Text(item)});
  } catch (const std::exception& error) {
    callbacks_.report(error);
  }
}

void Toolbar::SetListIndex(size_t index, int list_index) {
  if (!linked(index)) return;
  try {
    DispatchObject(links_[index].control).Put("ListIndex", Variant::Int(list_index));
  } catch (const std::exception& error) {
    callbacks_.report(error);
  }
}

std::string Toolbar::Text(size_t index) {
  if (!linked(index)) return "";
  return DispatchObject(links_[index].control).Get("Text").ToText();
}

}  // namespace trelvo::frame
