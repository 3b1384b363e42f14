#pragma once
// The machine's services with the application-data folder moved under a test
// folder, so that a load program's per-user folder and usage log are its own.
#include <optional>
#include <string>

#include "platform/system_services.h"

namespace trelvo::bench {

class MovedHome : public platform::SystemServices {
 public:
  MovedHome(platform::SystemServices& real, std::optional<std::string> home) : real_(real), home_(std::move(home)) {}
  std::string UserName() override { return real_.UserName(); }
  std::string ComputerName() override { return real_.ComputerName(); }
  std::string GetSpecialFolderPath(int csidl) override { return home_ ? *home_ : real_.GetSpecialFolderPath(csidl); }
  std::string ModulePath() override { return real_.ModulePath(); }
  platform::LocalDateTime Now() override { return real_.Now(); }
  std::string TimeSeparator() override { return real_.TimeSeparator(); }
  void Sleep(std::chrono::milliseconds duration) override { real_.Sleep(duration); }

 private:
  platform::SystemServices& real_;
  std::optional<std::string> home_;
};

}  // namespace trelvo::bench
