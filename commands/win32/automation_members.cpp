#include "commands/win32/automation_members.h"

#include "commands/automation.h"
#include "commands/shared_host.h"
#include "platform/win32/com_module.h"

namespace trelvo::commands {

AutomationMembers::AutomationMembers(win32::OwnerWindow owner)
    : ui_(std::move(owner), ShowInHostStatusBar),
      platform_(platform::MakeSystemPlatform(win32::ModuleHandle())),
      files_(*platform_.files, ui_),
      env_{files_, *platform_.system, ui_, *platform_.databases} {}

std::string AutomationMembers::ReadCounter() { return commands::ReadCounter(env_); }

std::string AutomationMembers::SetCounter() { return commands::SetCounter(env_, SharedHostState()); }

IniFileChoice AutomationMembers::SetIniFile(const std::string& path, const std::function<void()>& select_default) {
  return commands::SetIniFile(env_, path, select_default);
}

}  // namespace trelvo::commands
