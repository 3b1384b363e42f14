#include "frame/add_in_registration.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <vector>

#include "commands/toolbar_definition.h"
#include "commands/win32/trelvo_module.h"
#include "engine/ini/ini_document.h"
#include "frame/host_recognition.h"
#include "frame/toolbar.h"
#include "platform/error.h"
#include "platform/win32/com_module.h"
#include "platform/win32/dispatch_object.h"
#include "platform/win32/message_box_user_interface.h"
#include "platform/win32/registry_key.h"
#include "platform/win32/wide_text.h"

namespace trelvo::frame {
namespace {

using commands::HostKind;
using win32::DispatchObject;
using win32::RegistryKey;
using win32::Variant;

constexpr HostKind kHosts[] = {HostKind::Excel, HostKind::Word};

std::wstring Widened(const char* text) { return win32::Widen(text); }

std::wstring ApplicationProgId(HostKind kind) { return Widened(HostName(kind)) + L".Application"; }

bool Supported(const commands::AddInDefinition& definition, HostKind kind) {
  return std::find(definition.supported_hosts.begin(), definition.supported_hosts.end(), kind) !=
         definition.supported_hosts.end();
}

// A value name in capitals, as host names are compared.
std::string Upper(const std::wstring& name) { return Capitals(win32::Narrow(name)); }

// The OPEN names in the order of their names without case.
std::vector<std::wstring> OpenNames(const OpenValues& values) {
  std::vector<std::wstring> names;
  for (const auto& [name, value] : values)
    if (Upper(name).starts_with("OPEN")) names.push_back(name);
  std::sort(names.begin(), names.end(),
            [](const std::wstring& a, const std::wstring& b) { return Upper(a) < Upper(b); });
  return names;
}

std::wstring OpenEntryText(const std::wstring& prog_id) { return L"/A \"" + prog_id + L"\""; }

// Excel's options of its version; nullopt for a version of 9 or less, which has no automation add-ins there.
std::optional<std::wstring> ExcelOptionsKey(int version) {
  if (version <= 9) return std::nullopt;
  wchar_t key[80];
  std::swprintf(key, std::size(key), L"Software\\Microsoft\\Office\\%d.0\\Excel\\Options", version);
  return key;
}

OpenValues ReadValues(const RegistryKey& key) {
  OpenValues values;
  for (const std::wstring& name : key.ValueNames()) values[name] = key.GetString(name).value_or(L"");
  return values;
}

}  // namespace

void AddExcelOpenEntry(const std::wstring& prog_id, int excel_version) {
  const auto options = ExcelOptionsKey(excel_version);
  if (!options) return;
  const auto key = RegistryKey::Create(HKEY_CURRENT_USER, *options);
  if (!key) return;
  const std::wstring name = NewOpenValueName(ReadValues(key), prog_id);
  if (!name.empty() && !key.SetString(name, OpenEntryText(prog_id)))
    throw Error("Fehler beim Erstellen eines Eintrages in der Systemregistrierung");
}

namespace {

void RemoveExcelOpenEntry(const std::wstring& prog_id) {
  const auto options = ExcelOptionsKey(ExcelVersionNumber());
  if (!options) return;
  const auto key = RegistryKey::Open(HKEY_CURRENT_USER, *options, KEY_READ | KEY_WRITE);
  if (!key) return;
  const OpenValues before = ReadValues(key);
  const OpenValues after = WithoutOpenEntry(before, prog_id);
  if (after == before) return;
  for (const std::wstring& name : OpenNames(before)) RegDeleteValueW(key.get(), name.c_str());
  for (const auto& [name, value] : after)
    if (Upper(name).starts_with("OPEN")) key.SetString(name, value);
}

// The host of that kind: the running one, else one started for the clean-up.
struct Host {
  Microsoft::WRL::ComPtr<IDispatch> application;
  bool started = false;
};
Host FindOrStartHost(HostKind kind) {
  Host host;
  CLSID class_id{};
  if (FAILED(CLSIDFromProgID(ApplicationProgId(kind).c_str(), &class_id))) return host;
  Microsoft::WRL::ComPtr<IUnknown> running;
  if (SUCCEEDED(GetActiveObject(class_id, nullptr, &running)) && SUCCEEDED(running.As(&host.application))) return host;
  host.started = SUCCEEDED(
      CoCreateInstance(class_id, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, IID_PPV_ARGS(&host.application)));
  return host;
}

void CleanUpHost(const commands::AddInDefinition& definition, HostKind kind) {
  const std::wstring add_in_key = AddInRegistryKey(kind, definition.prog_id);
  std::vector<std::wstring> bars;
  std::vector<std::pair<std::wstring, DWORD>> controls;
  if (const auto key = RegistryKey::Open(HKEY_CURRENT_USER, add_in_key, KEY_READ | KEY_WRITE)) {
    if (const auto recorded = RegistryKey::Open(HKEY_CURRENT_USER, add_in_key + L"\\CommandBars"))
      bars = recorded.ValueNames();
    if (const auto recorded = RegistryKey::Open(HKEY_CURRENT_USER, add_in_key + L"\\Controls"))
      for (const std::wstring& tag : recorded.ValueNames())
        controls.emplace_back(tag, recorded.GetDword(tag).value_or(0));
    key.SetString(L"OAXStartMode", L"UNINSTALL");
  }
  const HKEY load_root = definition.register_for_all_users ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
  if (const auto key = RegistryKey::Open(load_root, add_in_key, KEY_READ | KEY_WRITE)) key.SetDword(L"LoadBehavior", 0);

  Host host = FindOrStartHost(kind);
  if (!host.application) return;
  struct QuitAtEnd {
    Host& host;
    ~QuitAtEnd() {
      if (!host.started) return;
      try {
        DispatchObject(host.application).Call("Quit");
      } catch (const std::exception&) {
      }
    }
  } quit{host};
  const DispatchObject application(host.application);
  const auto command_bars = application.GetObject("CommandBars");
  Toolbar toolbar(
      commands::kTrelvoToolbar, command_bars.get(), add_in_key, "", false, false,
      Toolbar::Callbacks{[](commands::Command, size_t) {}, [](const std::exception& error) { throw error; }});
  toolbar.Remove();
  if (kind == HostKind::Word) {
    try {
      const std::string normal = application.GetObject("NormalTemplate").Get("FullName").ToText();
      application.Call("OrganizerDelete", {},
                       {{"Source", Variant::Text(normal)},
                        {"Name", Variant::Text(commands::kTrelvoToolbar.name)},
                        {"Object", Variant::Int(2)}});
    } catch (const std::exception&) {
    }
  }
  // Recorded controls (pop-ups, recorded with 255, after the others), then bars left empty.
  for (const bool popups : {false, true})
    for (const auto& [tag, value] : controls) {
      if ((value == 255) != popups) continue;
      const Variant found =
          command_bars.Call("FindControl", {Variant::Omitted(), Variant::Omitted(), Variant::Text(win32::Narrow(tag))});
      if (found.IsNothing()) continue;
      const DispatchObject control(found.ToObject());
      if (popups && control.GetObject("Controls").Get("Count").ToInt() > 0) continue;
      control.Call("Delete", {Variant::Bool(false)});
    }
  for (const std::wstring& name : bars) {
    const long count = command_bars.Get("Count").ToInt();
    for (long i = 1; i <= count; ++i) {
      const DispatchObject bar = command_bars.GetObject("Item", {Variant::Int(i)});
      if (Capitals(bar.Get("Name").ToText()) != Capitals(win32::Narrow(name))) continue;
      if (!bar.Get("BuiltIn").ToBool() && bar.GetObject("Controls").Get("Count").ToInt() == 0) bar.Call("Delete");
      break;
    }
  }
  if (kind == HostKind::Word) {
    const DispatchObject templates = application.GetObject("Templates");
    const long count = templates.Get("Count").ToInt();
    for (long i = 1; i <= count; ++i) {
      try {
        const DispatchObject item = templates.GetObject("Item", {Variant::Int(i)});
        if (!item.Get("Saved").ToBool()) item.Call("Save");
      } catch (const std::exception&) {
      }
    }
  }
}

}  // namespace

bool PerUserSwitchOn() {
  std::wstring path = win32::ModuleFilePath();
  path = path.substr(0, path.find_last_of(L'.')) + L".ini";
  std::ifstream file(path.c_str(), std::ios::binary);
  if (!file) return false;
  const std::string bytes((std::istreambuf_iterator<char>(file)), {});
  try {
    return Capitals(engine::IniDocument(bytes).ReadString("CONFIG", "PRIVILEGES", "")) == "USER";
  } catch (const std::exception&) {
    return false;  // not a text file: no switch
  }
}

bool HostInstalled(HostKind kind) {
  CLSID class_id{};
  return SUCCEEDED(CLSIDFromProgID(ApplicationProgId(kind).c_str(), &class_id)) && class_id != GUID_NULL;
}

int ExcelVersionNumber() {
  const auto key = RegistryKey::Open(HKEY_CLASSES_ROOT, L"\\Excel.Application\\CurVer");
  const std::wstring text = key ? key.GetString(L"").value_or(L"") : L"";
  try {
    size_t used = 0;
    const std::wstring rest = text.size() > 18 ? text.substr(18) : L"";
    const int version = std::stoi(rest, &used);
    return used == rest.size() ? version : 9;
  } catch (const std::exception&) {
    return 9;
  }
}

std::wstring NewOpenValueName(const OpenValues& values, const std::wstring& prog_id) {
  const std::vector<std::wstring> names = OpenNames(values);
  int highest = -1;
  for (const std::wstring& name : names) {
    if (values.at(name).find(prog_id) != std::wstring::npos) return L"";
    const std::wstring number = name.substr(4);
    size_t used = 0;
    const int value = number.empty() ? 0 : std::stoi(number, &used);
    if (!number.empty() && used != number.size()) throw Error("Ungültiger Eintrag " + win32::Narrow(name));
    highest = std::max(highest, value);
  }
  return highest < 0 ? L"OPEN" : L"OPEN" + std::to_wstring(highest + 1);
}

OpenValues WithoutOpenEntry(const OpenValues& values, const std::wstring& prog_id) {
  std::vector<std::wstring> names = OpenNames(values);
  const auto ours = std::find_if(names.begin(), names.end(), [&](const std::wstring& name) {
    return values.at(name).find(prog_id) != std::wstring::npos;
  });
  if (ours == names.end()) return values;
  OpenValues result;
  for (const auto& [name, value] : values)
    if (!Upper(name).starts_with("OPEN")) result[name] = value;
  names.erase(ours);
  for (size_t i = 0; i < names.size(); ++i)
    result[i == 0 ? L"OPEN" : L"OPEN" + std::to_wstring(i)] = values.at(names[i]);
  return result;
}

void WriteAddInKeys(const commands::AddInDefinition& definition, bool per_user) {
  const HKEY root = definition.register_for_all_users && !per_user ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
  for (HostKind kind : kHosts) {
    if (!Supported(definition, kind) || !HostInstalled(kind)) continue;
    // A key that cannot be made (no administrator rights for the machine's) is passed over.
    if (const auto key = RegistryKey::Create(root, AddInRegistryKey(kind, definition.prog_id))) {
      key.SetString(L"FriendlyName", Widened(definition.add_in_name));
      key.SetString(L"Description", Widened(definition.description));
      key.SetDword(L"LoadBehavior", static_cast<DWORD>(definition.load_behavior));
      key.SetDword(L"CommandLineSafe", 0);
    }
    if (kind == HostKind::Excel && definition.excel_automation_add_in)
      AddExcelOpenEntry(Widened(definition.prog_id), ExcelVersionNumber());
  }
}

void DeleteAddInKeys(const commands::AddInDefinition& definition, bool per_user) {
  for (HostKind kind : kHosts) {
    if (!Supported(definition, kind) || !HostInstalled(kind)) continue;
    const std::wstring key = AddInRegistryKey(kind, definition.prog_id);
    if (definition.register_for_all_users && !per_user) win32::DeleteRegistryTree(HKEY_LOCAL_MACHINE, key);
    win32::DeleteRegistryTree(HKEY_CURRENT_USER, key);
    if (kind == HostKind::Excel && definition.excel_automation_add_in)
      RemoveExcelOpenEntry(Widened(definition.prog_id));
  }
}

void CleanUpHosts(const commands::AddInDefinition& definition) {
  try {
    // The module's creation runs as in a connection (it makes the per-user folder).
    win32::MessageBoxUserInterface ui;
    const auto module = commands::MakeTrelvoModule(ui);
    module->OnCreate();
    for (HostKind kind : kHosts)
      if (Supported(definition, kind) && HostInstalled(kind)) CleanUpHost(definition, kind);
  } catch (const std::exception&) {
    throw Error("Can't unregister add-in controls.");
  }
}

}  // namespace trelvo::frame
