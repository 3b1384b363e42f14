#pragma once
// Facts of the machine and the session that the engine asks for: the logon
// name, the special folders, the library's own path, the local clock.
#include <chrono>
#include <string>

namespace trelvo::platform {

inline constexpr int kCsidlAppData = 26;

struct LocalDateTime {
  int year, month, day, hour, minute, second;
};

class SystemServices {
 public:
  virtual ~SystemServices() = default;
  // Logon name of the current user; empty when it cannot be determined.
  virtual std::string UserName() = 0;
  // Name of this workstation (for the records of a server range); empty when unknown.
  virtual std::string ComputerName() = 0;
  // Path of a special folder (CSIDL value) without trailing separator; empty on failure.
  virtual std::string GetSpecialFolderPath(int csidl) = 0;
  // Full path of the add-in's library (or of the running tool).
  virtual std::string ModulePath() = 0;
  virtual LocalDateTime Now() = 0;
  // The time separator of the regional settings (":" in German settings).
  virtual std::string TimeSeparator() = 0;
  // Waits a little; used between attempts on a file held by another workstation.
  virtual void Sleep(std::chrono::milliseconds duration) = 0;
};

}  // namespace trelvo::platform
