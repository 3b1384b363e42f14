#pragma once
// The logon name, the shell's special folders, the module path and the local
// clock with the regional time separator, from Windows.
#include <windows.h>

#include "platform/system_services.h"

namespace trelvo::win32 {

class Win32SystemServices : public platform::SystemServices {
 public:
  // module: the DLL or program whose path ModulePath reports.
  explicit Win32SystemServices(HMODULE module) : module_(module) {}
  std::string UserName() override;
  std::string ComputerName() override;
  std::string GetSpecialFolderPath(int csidl) override;
  std::string ModulePath() override;
  platform::LocalDateTime Now() override;
  std::string TimeSeparator() override;
  void Sleep(std::chrono::milliseconds duration) override;

 private:
  HMODULE module_;
};

}  // namespace trelvo::win32
