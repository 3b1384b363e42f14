#include "commands/win32/trelvo_module.h"

#include <map>

#include "commands/insert_command.h"
#include "commands/range_selection.h"
#include "commands/ribbon_definition.h"
#include "commands/shared_host.h"
#include "commands/win32/dispatch_office_host.h"
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
    : platform_(platform::MakeSystemPlatform(win32::ModuleHandle())), env_{*platform_.files, *platform_.system, ui} {
  BuildRibbonTab(ribbon_, kTrelvoRibbonTab, [this](ribbon::RibbonControl& control, Command command) {
    if (command == Command::Insert) ribbon_insert_ = &control;
    if (command == Command::SelectRange) ribbon_ranges_ = &control;
    control.on_action = [this, command](ribbon::RibbonControl& sender) { OnRibbonCommand(command, sender); };
  });
}

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
  host_ = &host;
  FillRibbonRangeList(env_, *ribbon_ranges_);
}

void TrelvoModule::OnRibbonLoaded(const std::shared_ptr<ribbon::RibbonUI>& ui) { SharedHostState().ribbon_ui = ui; }

void TrelvoModule::OnToolbarCommand(Command command, const frame::HostConnection& host) {
  switch (command) {
    case Command::Insert: return CallInsert(host);
    case Command::SelectRange:
      if (host.toolbar) SelectToolbarRange(env_, host.toolbar->Text(kRangeControl));
      return;
    default: return;  // Save, Options, Customer and Info come with their own issues
  }
}

void TrelvoModule::OnRibbonCommand(Command command, ribbon::RibbonControl& sender) {
  if (!host_) return;  // not started yet
  switch (command) {
    case Command::Insert: return CallInsert(*host_);
    case Command::SelectRange: {
      const int32_t index = sender.selected_item_index();
      if (index >= 0) SelectRangeByName(env_, sender.Items()->at(static_cast<size_t>(index)).caption());
      return;
    }
    default: return;  // Save, Options, Customer and Info come with their own issues
  }
}

void TrelvoModule::CallInsert(const frame::HostConnection& host) {
  if (!insert_enabled_) return;  // dropped without a word
  insert_enabled_ = false;
  EnableInsertButtons(false);
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
  EnableInsertButtons(true);
}

void TrelvoModule::EnableInsertButtons(bool enabled) {
  if (host_ && host_->toolbar) host_->toolbar->SetEnabled(kInsertControl, enabled);
  if (IsRibbonHost(SharedHostState().version)) ribbon_insert_->SetEnabled(enabled);
}

void TrelvoModule::OnAddInFinalize(bool host_shutting_down) {
  // An ended host is not called again: its copy goes with it, not only when
  // the library is unloaded (by then the host's own code may be gone).
  if (host_shutting_down) {
    SharedHostState().application.reset();
    SharedHostState().ribbon_ui.reset();
  }
  host_ = nullptr;
}

std::unique_ptr<frame::AddInModule> MakeTrelvoModule(platform::UserInterface& ui) {
  return std::make_unique<TrelvoModule>(ui);
}

}  // namespace trelvo::commands
