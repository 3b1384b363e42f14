#pragma once
// The add-in module of Trelvo for one connection to Excel or Word: it makes
// the per-user folder when it is created, copies the host's kind, version and
// application into the module-wide state once the host is connected, fills
// the ribbon's range list, and runs the command of each toolbar and ribbon
// control. The Insert command is guarded: a request is dropped from the start
// of an insertion until one second after its end, when a window timer enables
// it and its buttons again.
#include <memory>
#include <string>
#include <vector>
#include <windows.h>

#include "commands/win32/add_in_module.h"
#include "platform/environment.h"
#include "platform/system_platform.h"
#include "platform/wait_showing_file_system.h"

namespace trelvo::commands {

class TrelvoModule : public AddInModule {
 public:
  explicit TrelvoModule(platform::UserInterface& ui);
  ~TrelvoModule() override;

  void OnCreate() override;
  void OnAddInInitialize(const HostConnection& host) override;
  // The Insert button the host kept from a run that ended within an insert's
  // second is enabled again.
  void OnAddInStartupComplete(const HostConnection& host) override;
  void OnToolbarCommand(Command command, const HostConnection& host) override;
  ribbon::Ribbon* ribbon() override { return &ribbon_; }
  void OnCounterFileChosen() override;
  void OnAddInFinalize(bool host_shutting_down) override;

  // The insert guard's timer has fired: Insert and its button are enabled again.
  void ResetInsert();

 private:
  void OnRibbonCommand(Command command, ribbon::RibbonControl& sender);
  void RunCommand(Command command, const HostConnection& host);
  void CallInsert(const HostConnection& host);
  void RunOptions(const HostConnection& host);
  // After the Options dialog: both range selectors built anew from its list.
  // current: the name the selector showed, chosen again where the list holds it.
  void RebuildRangeSelectors(const std::vector<std::string>& ranges, const std::string& current,
                             const HostConnection& host);
  std::string RibbonRangeCaption() const;
  // Enables or disables Insert's toolbar button, and in ribbon hosts its ribbon button.
  void EnableInsertButtons(bool enabled);

  platform::SystemPlatform platform_;
  platform::WaitShowingFileSystem files_;  // the machine's, showing the wait for a file another workstation holds
  platform::Environment env_;
  bool insert_enabled_ = true;
  UINT_PTR reset_timer_ = 0;
  const HostConnection* host_ = nullptr;  // from initialisation on
  ribbon::Ribbon ribbon_;
  ribbon::RibbonControl* ribbon_insert_ = nullptr;
  ribbon::RibbonControl* ribbon_ranges_ = nullptr;
};

std::unique_ptr<AddInModule> MakeTrelvoModule(platform::UserInterface& ui);

}  // namespace trelvo::commands
