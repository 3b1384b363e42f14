#include "simoffice/sim_application.h"

#include <oleauto.h>
#include <utility>

#include "platform/win32/registry_key.h"
#include "platform/win32/wide_text.h"

namespace trelvo::simoffice {

namespace {

std::wstring CommandBarsKey(const std::string& host_name) {
  return L"Software\\SimOffice\\" + win32::Widen(host_name) + L"\\CommandBars";
}

std::string VersionFromRegistry(const std::string& host_name) {
  const auto key = win32::RegistryKey::Open(HKEY_CURRENT_USER, L"Software\\SimOffice\\" + win32::Widen(host_name));
  return win32::Narrow(key ? key.GetString(L"Version").value_or(L"11.0") : L"11.0");
}

bool RibbonAtCustomUIFromRegistry(const std::string& host_name) {
  const auto key = win32::RegistryKey::Open(HKEY_CURRENT_USER, L"Software\\SimOffice\\" + win32::Widen(host_name));
  return key && key.GetDword(L"RibbonAtCustomUI").value_or(0) != 0;
}

}  // namespace

SimApplication::SimApplication(const std::string& source, const std::string& host_name, const IID& application_iid,
                               std::initializer_list<const char*> built_in_bars)
    : SimObject(source),
      version(VersionFromRegistry(host_name)),
      ribbon_at_custom_ui(RibbonAtCustomUIFromRegistry(host_name)),
      host_name(host_name),
      dialogs_(Make<SimDialogs>(source)),
      command_bars_(Make<SimCommandBars>(source)),
      user_(Make<SimUser>(source)),
      add_ins_(std::make_unique<SimAddIns>(*this, host_name)) {
  AnswerAs(application_iid);
  AddProperty("COMAddIns", {}, [this](const CallArguments&) { return add_ins_->Collection(); });
  AddProperty("SimUser", {}, [this](const CallArguments&) { return ObjectValue(user_.Get()); });
  AddProperty("SimRibbon", {}, [this](const CallArguments&) {
    if (!ribbon()) throw OfficeError("Diese Version hat kein Menüband.");
    return ObjectValue(ribbon_.Get());
  });
  AddMethod("SimPump", {"Milliseconds"}, [](const CallArguments& arguments) {
    PumpMessages(static_cast<DWORD>(arguments.Int(0)));
    return Variant();
  });
  for (const char* bar : built_in_bars) command_bars_->AddBuiltInBar(bar);
  AddField("Version", version);
  // Excel reads the bar's text back (False while it is the host's) and takes
  // the bar back at False; Word's StatusBar is a text that can only be set,
  // and an empty one gives the bar back.
  const bool excel = host_name == "Excel";
  AddProperty(
      "StatusBar", {},
      [this, excel](const CallArguments&) {
        if (!excel) throw OfficeError("Die Eigenschaft kann nur gesetzt werden.");
        return status_bar_ ? Variant::Text(*status_bar_) : Variant::Bool(false);
      },
      [this, excel](const CallArguments&, const Variant& value) {
        const bool host_own = excel ? value.type() == VT_BOOL && !value.ToBool() : value.ToText().empty();
        status_bar_ = host_own ? std::nullopt : std::optional<std::string>(value.ToText());
        const bool waiting = GetCursor() && GetCursor() == LoadCursorW(nullptr, IDC_WAIT);
        status_bar_seen += (status_bar_ ? *status_bar_ : "(leer)") + (waiting ? " [Sanduhr]" : "") + "\n";
      });
  AddProperty("SimStatusBar", {}, [this](const CallArguments&) { return Variant::Text(status_bar_seen); });
  AddProperty("Name", {}, [this](const CallArguments&) { return Variant::Text(this->source()); });
  AddProperty("Dialogs", {}, [this](const CallArguments&) { return ObjectValue(dialogs_.Get()); });
  AddProperty("CommandBars", {}, [this](const CallArguments&) { return ObjectValue(command_bars_.Get()); });
  // Test surface: whether Quit was called.
  AddProperty("SimQuit", {}, [this](const CallArguments&) { return Variant::Bool(quit); });
  AddMethod("Quit", {"SaveChanges", "OriginalFormat", "RouteDocument"}, [this](const CallArguments&) {
    if (!quit) {
      bool keep_bars = true;
      if (!ConfirmQuit(keep_bars)) return Variant();
      add_ins_->ShutDown();
      if (started_ && keep_bars) command_bars_->Save(CommandBarsKey(this->host_name));
    }
    quit = true;
    RevokeRunning();
    return Variant();
  });
}

SimApplication::~SimApplication() { RevokeRunning(); }

SimRibbon* SimApplication::ribbon() {
  if (!ribbon_ && major_version() >= 12) ribbon_ = Make<SimRibbon>(source());
  return ribbon_.Get();
}

int SimApplication::major_version() const {
  try {
    return std::stoi(version);
  } catch (const std::exception&) {
    return 0;
  }
}

void SimApplication::Start() {
  started_ = true;
  // Counted, so that a test can tell that nobody (an installer, say) started a host behind its back.
  const auto key = win32::RegistryKey::Create(HKEY_CURRENT_USER, L"Software\\SimOffice\\" + win32::Widen(host_name));
  key.SetDword(L"Starts", key.GetDword(L"Starts").value_or(0) + 1);
  command_bars_->Load(CommandBarsKey(host_name));
  add_ins_->LoadAtStart();
}

void SimApplication::RegisterAsRunning(const CLSID& class_id) {
  RevokeRunning();
  // Weak: the table does not keep the application alive once its callers let it go.
  if (FAILED(RegisterActiveObject(static_cast<IUnknown*>(dispatch()), class_id, ACTIVEOBJECT_WEAK, &running_cookie_)))
    running_cookie_ = 0;
}

void SimApplication::RevokeRunning() {
  if (running_cookie_) RevokeActiveObject(std::exchange(running_cookie_, 0), nullptr);
}

}  // namespace trelvo::simoffice
