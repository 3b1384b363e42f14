#pragma once
// The automation object's members as the co-class runs them: with the
// machine's files and folders, boxes owned by the host's main window, and the
// module-wide host copies (so they also serve an object without a module).
#include <functional>
#include <string>
#include <windows.h>

#include "commands/automation.h"
#include "platform/environment.h"
#include "platform/system_platform.h"
#include "platform/win32/message_box_user_interface.h"

namespace trelvo::commands {

class AutomationMembers {
 public:
  AutomationMembers();
  void set_owner(HWND owner) { ui_.set_owner(owner); }

  std::string ReadCounter();
  std::string SetCounter();
  IniFileChoice SetIniFile(const std::string& path, const std::function<void()>& select_default);

 private:
  win32::MessageBoxUserInterface ui_;
  platform::SystemPlatform platform_;
  platform::Environment env_;
};

}  // namespace trelvo::commands
