#include "commands/win32/trelvo_module.h"

#include <map>

#include "commands/insert_command.h"
#include "commands/shared_host.h"
#include "commands/win32/dispatch_office_host.h"
#include "engine/range_list.h"
#include "engine/settings.h"
#include "frame/toolbar.h"
#include "platform/user_interface.h"
#include "platform/win32/com_module.h"

namespace trelvo::commands {
namespace {

constexpr UINT kResetInsertMilliseconds = 1000;

// The modules whose insert guard waits for its timer, by timer id (the timer
// runs on the host's user-interface thread, as the modules do).
std::map<UINT_PTR, TrelvoModule*>& WaitingModules() {
  static std::map<UINT_PTR, TrelvoModule*> modules;
  return modules;
}

// Nothing may leave a timer procedure into the host's message loop.
void CALLBACK ResetInsertTimer(HWND, UINT, UINT_PTR timer, DWORD) noexcept {
  try {
    const auto found = WaitingModules().find(timer);
    if (found != WaitingModules().end()) found->second->ResetInsert();
  } catch (...) {
    // Enabling the button again failed: its error has been reported.
  }
}

}  // namespace

TrelvoModule::TrelvoModule(platform::UserInterface& ui)
    : platform_(platform::MakeSystemPlatform(win32::ModuleHandle())), env_{*platform_.files, *platform_.system, ui} {}

TrelvoModule::~TrelvoModule() {
  if (!reset_timer_) return;
  KillTimer(nullptr, reset_timer_);
  WaitingModules().erase(reset_timer_);
}

void TrelvoModule::OnCreate() { engine::CreateSettingsFolder(env_); }

void TrelvoModule::OnAddInInitialize(const frame::HostConnection& host) {
  SharedHost& shared = SharedHostState();
  shared.kind = host.kind;
  shared.version = host.version;
  shared.application = std::make_shared<DispatchOfficeHost>(host.application, host.kind);
  // The ribbon's range list is filled here with the ribbon's issue.
}

void TrelvoModule::OnToolbarCommand(Command command, const frame::HostConnection& host) {
  toolbar_ = host.toolbar;
  switch (command) {
    case Command::Insert: return CallInsert(host);
    case Command::SelectRange: return SelectToolbarRange(host);
    default: return;  // Save, Options, Customer and Info come with their own issues
  }
}

void TrelvoModule::CallInsert(const frame::HostConnection& host) {
  if (!insert_enabled_) return;  // dropped without a word
  insert_enabled_ = false;
  if (toolbar_) toolbar_->SetEnabled(kInsertControl, false);
  // Whatever the insertion's outcome, the timer starts when it ends.
  struct StartTimerAtEnd {
    TrelvoModule& module;
    ~StartTimerAtEnd() {
      module.reset_timer_ = SetTimer(nullptr, 0, kResetInsertMilliseconds, ResetInsertTimer);
      if (module.reset_timer_) WaitingModules()[module.reset_timer_] = &module;
    }
  } start_timer{*this};
  DispatchOfficeHost office(host.application, host.kind);
  ExecuteInsert(env_, office, host.kind);
}

void TrelvoModule::ResetInsert() {
  KillTimer(nullptr, reset_timer_);
  WaitingModules().erase(reset_timer_);
  reset_timer_ = 0;
  insert_enabled_ = true;
  if (toolbar_) toolbar_->SetEnabled(kInsertControl, true);
}

// The user picked a range in the toolbar's drop-down.
void TrelvoModule::SelectToolbarRange(const frame::HostConnection&) {
  if (!toolbar_) return;
  const std::string name = toolbar_->Text(kRangeControl);
  if (name == engine::kDefaultRangeName) return;
  const std::string path = engine::FindRangePath(env_, name);
  if (!path.empty() && env_.files.FileExists(path))
    engine::SetCounterFilePath(env_, path);
  else
    platform::ShowErrorBox(env_.ui, "Die Datei " + platform::Quoted(path) + " existiert nicht!");
}

void TrelvoModule::OnAddInFinalize(bool host_shutting_down) {
  toolbar_ = nullptr;
  // An ended host is not called again: its copy goes with it, not only when
  // the library is unloaded (by then the host's own code may be gone).
  if (host_shutting_down) SharedHostState().application.reset();
}

std::unique_ptr<frame::AddInModule> MakeTrelvoModule(platform::UserInterface& ui) {
  return std::make_unique<TrelvoModule>(ui);
}

}  // namespace trelvo::commands
