#include "commands/win32/trelvo_module.h"

#include <map>

#include "commands/insert_command.h"
#include "commands/range_selection.h"
#include "commands/ribbon_definition.h"
#include "commands/save_command.h"
#include "commands/shared_host.h"
#include "commands/win32/dispatch_office_host.h"
#include "dialogs/win32/about_window.h"
#include "dialogs/dialog_texts.h"
#include "dialogs/win32/options_window.h"
#include "dialogs/win32/text_input_window.h"
#include "engine/range_list.h"
#include "engine/settings.h"
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
    : platform_(platform::MakeSystemPlatform(win32::ModuleHandle())), files_(*platform_.files, ui),
      env_{files_, *platform_.system, ui, *platform_.databases} {
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

void TrelvoModule::OnAddInInitialize(const HostConnection& host) {
  SharedHost& shared = SharedHostState();
  shared.kind = host.kind;
  shared.version = host.version;
  shared.application = std::make_shared<DispatchOfficeHost>(host.application, host.kind);
  host_ = &host;
  FillRibbonRangeList(env_, *ribbon_ranges_);
}

void TrelvoModule::OnAddInStartupComplete(const HostConnection&) { EnableInsertButtons(insert_enabled_); }

void TrelvoModule::OnToolbarCommand(Command command, const HostConnection& host) {
  if (command == Command::SelectRange) {
    if (host.toolbar) SelectToolbarRange(env_, host.toolbar->Text(kRangeControl));
    return;
  }
  RunCommand(command, host);
}

void TrelvoModule::OnRibbonCommand(Command command, ribbon::RibbonControl&) {
  if (!host_) return;  // not started yet
  if (command == Command::SelectRange) {
    const std::string caption = RibbonRangeCaption();
    if (!caption.empty()) SelectRangeByName(env_, caption);
    return;
  }
  RunCommand(command, *host_);
}

void TrelvoModule::RunCommand(Command command, const HostConnection& host) {
  switch (command) {
    case Command::Insert: return CallInsert(host);
    case Command::Options: return RunOptions(host);
    case Command::Info: return dialogs::win32::AboutWindow().Run(host.owner_window());
    case Command::Save: {
      DispatchOfficeHost office(host.application, host.kind);
      return ExecuteSave(env_, office, host.kind, IsRibbonHost(SharedHostState().version));
    }
    case Command::Customer: {
      DispatchOfficeHost office(host.application, host.kind);
      return ExecuteCustomerName(env_, office, host.kind, [&](const std::string& current) {
        return dialogs::win32::TextInputWindow(dialogs::texts::kCustomerCaption, dialogs::texts::kCustomerPrompt,
                                               current)
            .Run(host.owner_window());
      });
    }
    case Command::SelectRange: return;  // each selector runs its own
  }
}

void TrelvoModule::OnCounterFileChosen() {
  if (host_ && host_->toolbar) host_->toolbar->SetListIndex(kRangeControl, 1);
  // The host's ribbon is asked to read the selection again.
  ribbon_ranges_->SetSelectedItemIndex(0);
}

// The caption of the ribbon drop-down's chosen item, "" when none is chosen.
std::string TrelvoModule::RibbonRangeCaption() const {
  const int32_t index = ribbon_ranges_->selected_item_index();
  ribbon::ControlCollection& items = *ribbon_ranges_->Items();
  if (index < 0 || static_cast<size_t>(index) >= items.size()) return "";
  return items.at(static_cast<size_t>(index)).caption();
}

void TrelvoModule::RunOptions(const HostConnection& host) {
  dialogs::win32::OptionsWindow window(env_);
  window.Run(host.owner_window());
  const bool ribbon_host = IsRibbonHost(SharedHostState().version);
  if (window.dialog().counter_file_changed()) {
    if (host.toolbar) host.toolbar->SetListIndex(kRangeControl, 1);
    if (ribbon_host) ribbon_ranges_->SetSelectedItemIndex(0);
  }
  const std::string current =
      ribbon_host ? RibbonRangeCaption() : (host.toolbar ? host.toolbar->Text(kRangeControl) : "");
  if (window.dialog().range_list_changed() || current == engine::kDefaultRangeName)
    RebuildRangeSelectors(window.dialog().ranges().entries(), current, host);
}

void TrelvoModule::RebuildRangeSelectors(const std::vector<std::string>& ranges, const std::string& current,
                                         const HostConnection& host) {
  const bool ribbon_host = IsRibbonHost(SharedHostState().version);
  int chosen = 1;  // in the toolbar's list, counted from 1
  std::vector<std::string> names{engine::kDefaultRangeName};
  for (size_t i = 0; i < ranges.size(); ++i) {
    names.push_back(engine::GetRangeName(ranges[i]));
    if (names.back() == current && chosen == 1) chosen = static_cast<int>(i) + 2;
  }
  if (host.toolbar) host.toolbar->SetItems(kRangeControl, names);
  if (ribbon_host) FillRibbonRangeList(env_, *ribbon_ranges_);
  if (host.toolbar) host.toolbar->SetListIndex(kRangeControl, chosen);
  ribbon_ranges_->SetSelectedItemIndex(chosen - 1);
  if (ribbon_host) {
    ribbon_.InvalidateControl(*ribbon_ranges_);  // the host's ribbon, which the module's ribbon keeps
    if (ribbon_ranges_->selected_item_index() > 0) SelectRangeByName(env_, RibbonRangeCaption());
  } else if (chosen != 1 && host.toolbar) {
    SelectToolbarRange(env_, host.toolbar->Text(kRangeControl));
  }
}

// The guard drops a request while an insertion runs (its boxes keep the
// host's loop running). Once a number is drawn the Insert controls are greyed
// until one second after the end; an insertion that drew nothing (the file
// locked, no workbook) leaves them as they are and Insert free at once.
void TrelvoModule::CallInsert(const HostConnection& host) {
  if (!insert_enabled_) return;  // dropped without a word
  insert_enabled_ = false;
  struct AtEnd {
    TrelvoModule& module;
    bool drawn = false;
    ~AtEnd() {
      if (!drawn) {
        module.insert_enabled_ = true;
        return;
      }
      module.reset_timer_ = SetTimer(nullptr, 0, kResetInsertMilliseconds, ResetInsertTimer);
      if (module.reset_timer_) WaitingModules()[module.reset_timer_] = &module;
    }
  } at_end{*this};
  DispatchOfficeHost office(host.application, host.kind);
  ExecuteInsert(env_, office, host.kind, [&] {
    at_end.drawn = true;
    EnableInsertButtons(false);
  });
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
  if (host_shutting_down) SharedHostState().application.reset();
  host_ = nullptr;
  // A server's kept connection ends with the session, here and not at the
  // library's unloading, where no driver may be called.
  platform_.databases->Close();
}

std::unique_ptr<AddInModule> MakeTrelvoModule(platform::UserInterface& ui) {
  return std::make_unique<TrelvoModule>(ui);
}

}  // namespace trelvo::commands
