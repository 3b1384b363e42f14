#pragma once
// The automation object's members as the co-class runs them: with the
// machine's files and folders, boxes owned by the host's window of the moment,
// and the module-wide host copies (so they also serve an object without a
// module).
#include <functional>
#include <string>

#include "commands/automation.h"
#include "platform/environment.h"
#include "platform/system_platform.h"
#include "platform/wait_showing_file_system.h"
#include "platform/win32/message_box_user_interface.h"

namespace trelvo::commands {

class AutomationMembers {
 public:
  // owner: asked for the owner of each box as it appears.
  explicit AutomationMembers(win32::OwnerWindow owner);

  std::string ReadCounter();
  std::string SetCounter();
  IniFileChoice SetIniFile(const std::string& path, const std::function<void()>& select_default);

 private:
  win32::MessageBoxUserInterface ui_;
  platform::SystemPlatform platform_;
  platform::WaitShowingFileSystem files_;  // the machine's, showing the wait for a file another workstation holds
  platform::Environment env_;
};

}  // namespace trelvo::commands
