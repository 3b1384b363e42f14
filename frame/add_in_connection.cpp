#include "frame/add_in_connection.h"

#include "commands/shared_host.h"
#include "frame/add_in_registration.h"
#include "frame/host_recognition.h"
#include "platform/error.h"
#include "platform/win32/dispatch_object.h"
#include "platform/win32/wide_text.h"
#include "ribbon/ribbon_markup.h"

namespace trelvo::frame {

using commands::HostKind;

AddInConnection::AddInConnection(const commands::AddInDefinition& definition,
                                 const commands::ModuleFactory& make_module, IDispatch* application,
                                 ext_ConnectMode mode, IDispatch* add_in_instance, IDispatch* add_in_object)
    : definition_(definition),
      ui_(HostOwner(), commands::ShowInHostStatusBar),
      module_(make_module(ui_)),
      ribbon_events_{
          [this](const std::shared_ptr<ribbon::win32::HostRibbonUI>& ui) { Run([&] { module_->OnRibbonLoaded(ui); }); },
          [this](const std::exception& error) { HandleAddInError(error); }} {
  // A failing creation handler is told, and the module is used all the same.
  try {
    module_->OnCreate();
  } catch (const std::exception& error) {
    ShowErrorBox(error.what());
  }
  host_.application = application;
  host_.owner_window = HostOwner();
  // Connected after the host has started: start-up is complete already.
  if (mode != ext_cm_Startup) StartupComplete();
  if (add_in_instance && SUCCEEDED(add_in_instance->QueryInterface(
                             office::kComAddIn, reinterpret_cast<void**>(com_add_in_.GetAddressOf())))) {
    win32::DispatchObject(com_add_in_).Put("Object", win32::Variant::Object(add_in_object));
  }
}

AddInConnection::~AddInConnection() = default;

template <class Handler>
void AddInConnection::Run(Handler&& handler) {
  try {
    handler();
  } catch (const std::exception& error) {
    HandleAddInError(error);
  } catch (...) {
    HandleAddInError(Error("Unerwarteter Fehler"));
  }
}

void AddInConnection::HandleAddInError(const std::exception& error) noexcept {
  try {
    if (module_ && module_->OnError(error)) return;
  } catch (...) {
    // The module's own handling failed: the box tells the first error.
  }
  try {
    ShowErrorBox(std::string(definition_.add_in_name) + " error: the add-in has fired an exception.\r\n" +
                 error.what());
  } catch (...) {
    // Not even the text could be made: the host must go on all the same.
  }
}

void AddInConnection::ShowErrorBox(const std::string& text) noexcept {
  try {
    platform::ShowErrorBox(ui_, text);
  } catch (...) {
    // The box could not be shown: nothing more to tell, and the host goes on.
  }
}

win32::OwnerWindow AddInConnection::HostOwner() {
  return win32::OwnerWindow([this] { return ActiveWindowNow(); });
}

HWND AddInConnection::ActiveWindowNow() const {
  return owner_from_host_ ? ActiveHostWindow(host_.application.Get(), host_.kind, host_.version) : nullptr;
}

std::string AddInConnection::RibbonMarkup(const std::string& ribbon_id) {
  if (ribbon_id.find("Microsoft.Excel.") != std::string::npos) host_.kind = HostKind::Excel;
  if (ribbon_id.find("Microsoft.Word.") != std::string::npos) host_.kind = HostKind::Word;
  host_.is_version12 = true;
  ribbon::Ribbon* own = module_->ribbon();
  if (own) return ribbon::BuildCustomUI(*own, ribbon_id);
  ribbon::Ribbon none;
  return ribbon::BuildCustomUI(none, ribbon_id);
}

void AddInConnection::RecognizeTheHost() {
  const auto kind = RecognizeHost(host_.application.Get());
  if (!kind) throw Error("Die Anwendung ist weder Excel noch Word.");
  host_.kind = *kind;
  host_.version = win32::DispatchObject(host_.application).Get("Version").ToText();
  // Every host from version 12 on shows the ribbon; a toolbar there would be a
  // second copy of its buttons in the tab "Add-Ins".
  host_.is_version12 = commands::IsRibbonHost(host_.version);
  owner_from_host_ = true;
}

commands::StartMode AddInConnection::ReadStartMode() const {
  const auto text = registry_.GetString(L"OAXStartMode");
  if (!text) return commands::StartMode::FirstStart;
  const std::string mode = Capitals(win32::Narrow(*text));
  if (mode == "UNINSTALL") return commands::StartMode::Uninstalled;
  if (mode == "NORMAL") return commands::StartMode::Normal;
  if (mode == "FIRSTSTART") return commands::StartMode::FirstStart;
  return commands::StartMode::Unrecognised;
}

void AddInConnection::StartupComplete() {
  if (++startups_ > 1) return;
  RecognizeTheHost();
  registry_ = win32::RegistryKey::Create(HKEY_CURRENT_USER, AddInRegistryKey(host_.kind, definition_.prog_id));
  host_.start_mode = ReadStartMode();
  try {
    host_.command_bars = win32::DispatchObject(host_.application).GetObject("CommandBars").get();
    Microsoft::WRL::ComPtr<IUnknown> typed;
    if (FAILED(
            host_.command_bars->QueryInterface(office::kCommandBars, reinterpret_cast<void**>(typed.GetAddressOf()))))
      host_.command_bars.Reset();
  } catch (const std::exception&) {
    host_.command_bars.Reset();  // a host without command bars: no toolbar, nothing to report
  }
  ListAsAutomationAddIn();
  Run([&] { module_->OnAddInInitialize(host_); });
  BuildToolbar();
  Run([&] { module_->OnAddInStartupComplete(host_); });
  if (host_.start_mode == commands::StartMode::FirstStart) registry_.SetString(L"OAXStartMode", L"NORMAL");
  if (host_.kind == HostKind::Word) {
    word_events_ = std::make_unique<win32::EventConnection>(
        host_.application.Get(), office::kWordApplicationEvents4,
        [this](DISPID event, const DISPPARAMS& arguments) { OnWordEvent(event, arguments); });
  }
}

// Excel's list of automation add-ins is kept per Excel version, which only the
// running Excel tells: the installer writes no entry of its own there. An
// entry that cannot be written costs the worksheet's access to the add-in's
// members, not the add-in: nothing is shown.
void AddInConnection::ListAsAutomationAddIn() noexcept {
  if (host_.kind != HostKind::Excel || !definition_.excel_automation_add_in) return;
  try {
    AddExcelOpenEntry(win32::Widen(definition_.prog_id), commands::HostMajorVersion(host_.version));
  } catch (const std::exception&) {
  }
}

// Hosts from version 12 on show the ribbon instead. The toolbar is temporary
// in every host: Word would keep a lasting one in Normal.dot and make the user
// answer whether to save Normal.dot at every exit; Excel would keep it after
// the add-in was removed, and the installer starts no host to take it away.
void AddInConnection::BuildToolbar() {
  if (host_.is_version12 || !host_.command_bars) return;
  toolbar_ = std::make_unique<Toolbar>(
      commands::kTrelvoToolbar, host_.command_bars, AddInRegistryKey(host_.kind, definition_.prog_id), host_.version,
      host_.start_mode == commands::StartMode::FirstStart, true,
      Toolbar::Callbacks{[this](commands::Command command, size_t) { module_->OnToolbarCommand(command, host_); },
                         [this](const std::exception& error) { HandleAddInError(error); }});
  host_.toolbar = toolbar_.get();
  toolbar_->Build();
}

// The user unloads the add-in: the toolbar leaves the host, and Word's normal
// template forgets it (errors of that are ignored).
void AddInConnection::RemoveToolbar() {
  if (!toolbar_) return;
  Run([&] { toolbar_->Remove(); });
  if (host_.kind == HostKind::Word && !host_.is_version12) {
    try {
      const win32::DispatchObject word(host_.application);
      const std::string normal = word.GetObject("NormalTemplate").Get("FullName").ToText();
      word.Call("OrganizerDelete", {},
                {{"Source", win32::Variant::Text(normal)},
                 {"Name", win32::Variant::Text(commands::kTrelvoToolbar.name)},
                 {"Object", win32::Variant::Int(2)}});
    } catch (const std::exception&) {
    }
  }
}

// Word gives each document its command bars: when another one becomes
// active, the toolbar is put back there. DocumentOpen and NewDocument pass.
void AddInConnection::OnWordEvent(DISPID event, const DISPPARAMS& arguments) {
  if (!toolbar_ || (event != office::kWindowActivateEvent && event != office::kDocumentChangeEvent)) return;
  try {
    const win32::DispatchObject word(host_.application);
    win32::Variant document;
    if (event == office::kWindowActivateEvent) {
      // The activated document is the first argument (passed last).
      if (arguments.cArgs > 0) document = win32::Variant(arguments.rgvarg[arguments.cArgs - 1]);
    } else {
      document = word.Get("ActiveDocument");
    }
    host_.command_bars = document.IsNothing()
                             ? word.GetObject("CommandBars").get()
                             : win32::DispatchObject(document.ToObject()).GetObject("CommandBars").get();
    toolbar_->Reattach(host_.command_bars);
  } catch (const std::exception& error) {
    // A document change while Word closes a document fails harmlessly.
    if (event == office::kWindowActivateEvent) HandleAddInError(error);
  }
}

void AddInConnection::BeginShutdown() {
  Run([&] { module_->OnAddInBeginShutdown(); });
  owner_from_host_ = false;
}

void AddInConnection::Disconnect(ext_DisconnectMode mode) {
  const bool host_shutting_down = mode == ext_dm_HostShutdown;
  if (!host_shutting_down) {
    BeginShutdown();
    RemoveToolbar();
    // The bookkeeping goes, so that a later connection builds toolbar and controls afresh.
    const std::wstring key = AddInRegistryKey(host_.kind, definition_.prog_id);
    for (const wchar_t* part : {L"\\CommandBars", L"\\Controls"})
      if (!win32::DeleteRegistryTree(HKEY_CURRENT_USER, key + part))
        HandleAddInError(Error("Fehler beim Löschen eines Eintrages in der Systemregistrierung"));
  }
  Run([&] { module_->OnAddInFinalize(host_shutting_down); });
  registry_ = win32::RegistryKey();
  word_events_.reset();
  host_.toolbar = nullptr;
  toolbar_.reset();
}

}  // namespace trelvo::frame
