#pragma once
// What the simulated Excel and Word Application objects share: the version
// text, the status bar, the built-in dialogs, the command bars, the COM
// add-ins, Quit, and the test surface (SimPump, SimUser, SimStatusBar).
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>

#include "simoffice/sim_add_ins.h"
#include "simoffice/sim_command_bars.h"
#include "simoffice/sim_dialogs.h"
#include "simoffice/sim_ribbon.h"
#include "simoffice/sim_user.h"
#include "simoffice/sim_window.h"

namespace trelvo::simoffice {

class SimApplication : public SimObject {
 public:
  // host_name: "Excel" or "Word" (registry keys); application_iid: the
  // interface id of the host's Application object; built_in_bars: the names
  // of the host's own command bars. The version comes from the value Version
  // under HKEY_CURRENT_USER\Software\SimOffice\<host_name> ("11.0" without it).
  SimApplication(const std::string& source, const std::string& host_name, const IID& application_iid,
                 std::initializer_list<const char*> built_in_bars);

  ~SimApplication() override;

  std::string version;
  // Office may show the ribbon (onLoad and every get-callback) as soon as it
  // has the markup, before start-up is complete; the value RibbonAtCustomUI
  // (1) under the host's key makes the simulated host do so. Otherwise it shows
  // it once the add-in has started.
  bool ribbon_at_custom_ui = false;
  bool quit = false;
  // What the status bar showed, one line for each text set, as the user saw
  // it: "(leer)" when the host has the bar back, " [Sanduhr]" behind a text
  // shown under the wait cursor.
  std::string status_bar_seen;
  const std::string host_name;  // "Excel" or "Word"

  // What a started host does once it exists (the class factory calls it):
  // takes its toolbars of the run before and loads the COM add-ins that the
  // registry announces, and counts the start (value Starts under the host's
  // key). Quit saves the toolbars again. Hosts that tests make
  // in their own process keep nothing between runs.
  void Start();
  SimAddIns& add_ins() { return *add_ins_; }
  SimUser& user() { return *user_.Get(); }

  // Registers the application in the running object table under its class
  // id, as the running instance that GetActiveObject finds; Quit and the
  // end of the object revoke it.
  void RegisterAsRunning(const CLSID& class_id);

  // The whole-number part of the version: 12 and later have the ribbon.
  int major_version() const;
  // Whether every workbook or document gets its own top-level window.
  bool window_per_document() const { return major_version() >= kFirstWindowPerDocument; }
  // The ribbon, in hosts that have one (nullptr otherwise).
  SimRibbon* ribbon();

  SimDialog& dialog(long number) { return dialogs_->dialog(number); }
  SimCommandBars& command_bars() { return *command_bars_.Get(); }

 protected:
  // Before Quit shuts the add-ins down: false cancels the Quit; keep_bars
  // false lets this run's toolbars go instead of keeping them for the next.
  virtual bool ConfirmQuit(bool& /*keep_bars*/) { return true; }

 private:
  void RevokeRunning();

  bool started_ = false;
  std::optional<std::string> status_bar_;  // nullopt: the host's own

  DWORD running_cookie_ = 0;
  Microsoft::WRL::ComPtr<SimDialogs> dialogs_;
  Microsoft::WRL::ComPtr<SimCommandBars> command_bars_;
  Microsoft::WRL::ComPtr<SimUser> user_;
  Microsoft::WRL::ComPtr<SimRibbon> ribbon_;
  std::unique_ptr<SimAddIns> add_ins_;
};

}  // namespace trelvo::simoffice
