#pragma once
// What the simulated Excel and Word Application objects share: the version
// text, the built-in dialogs, the command bars and Quit.
#include <functional>
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

  std::string version = "11.0";
  bool quit = false;
  // Runs when a caller quits the application (the server revokes its
  // registration as the running instance there).
  std::function<void()> on_quit;

  SimDialog& dialog(long number) { return dialogs_->dialog(number); }
  SimCommandBars& command_bars() { return *command_bars_.Get(); }

 private:
  Microsoft::WRL::ComPtr<SimDialogs> dialogs_;
  Microsoft::WRL::ComPtr<SimCommandBars> command_bars_;
};

}  // namespace trelvo::simoffice
