#pragma once
// What the simulated Excel and Word Application objects share: the version
// text, the built-in dialogs, the command bars and Quit.
#include <initializer_list>

#include "simoffice/sim_command_bars.h"
#include "simoffice/sim_dialogs.h"

namespace trelvo::simoffice {

class SimApplication : public SimObject {
 public:
  // application_iid: the interface id of the host's Application object;
  // built_in_bars: the names of the host's own command bars.
  SimApplication(const std::string& source, const IID& application_iid,
                 std::initializer_list<const char*> built_in_bars);

  ~SimApplication() override;

  std::string version = "11.0";
  bool quit = false;

  // Registers the application in the running object table under its class
  // id, as the running instance that GetActiveObject finds; Quit and the
  // end of the object revoke it.
  void RegisterAsRunning(const CLSID& class_id);

  SimDialog& dialog(long number) { return dialogs_->dialog(number); }
  SimCommandBars& command_bars() { return *command_bars_.Get(); }

 private:
  void RevokeRunning();

  DWORD running_cookie_ = 0;
  Microsoft::WRL::ComPtr<SimDialogs> dialogs_;
  Microsoft::WRL::ComPtr<SimCommandBars> command_bars_;
};

}  // namespace trelvo::simoffice
