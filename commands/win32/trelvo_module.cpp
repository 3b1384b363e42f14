#include "commands/win32/trelvo_module.h"

#include "commands/shared_host.h"
#include "commands/win32/dispatch_office_host.h"
#include "engine/settings.h"
#include "platform/win32/com_module.h"

namespace trelvo::commands {

TrelvoModule::TrelvoModule(platform::UserInterface& ui)
    : platform_(platform::MakeSystemPlatform(win32::ModuleHandle())), env_{*platform_.files, *platform_.system, ui} {}

void TrelvoModule::OnCreate() { engine::CreateSettingsFolder(env_); }

void TrelvoModule::OnAddInInitialize(const frame::HostConnection& host) {
  SharedHost& shared = SharedHostState();
  shared.kind = host.kind;
  shared.version = host.version;
  shared.application = std::make_shared<DispatchOfficeHost>(host.application, host.kind);
  // The ribbon's range list is filled here with the ribbon's issue.
}

void TrelvoModule::OnAddInFinalize(bool host_shutting_down) {
  // An ended host is not called again: its copy goes with it, not only when
  // the library is unloaded (by then the host's own code may be gone).
  if (host_shutting_down) SharedHostState().application.reset();
}

std::unique_ptr<frame::AddInModule> MakeTrelvoModule(platform::UserInterface& ui) {
  return std::make_unique<TrelvoModule>(ui);
}

}  // namespace trelvo::commands
