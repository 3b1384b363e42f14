#pragma once
// The add-in module of Trelvo for one connection to Excel or Word: it makes
// the per-user folder when it is created, copies the host's kind, version and
// application into the module-wide state once the host is connected, and runs
// the command of each toolbar control. The Insert command is guarded: a
// request is dropped from the start of an insertion until one second after its
// end, when a window timer enables it and its button again.
#include <memory>
#include <windows.h>

#include "frame/add_in_module.h"
#include "platform/environment.h"
#include "platform/system_platform.h"

namespace trelvo::commands {

class TrelvoModule : public frame::AddInModule {
 public:
  explicit TrelvoModule(platform::UserInterface& ui);
  ~TrelvoModule() override;

  void OnCreate() override;
  void OnAddInInitialize(const frame::HostConnection& host) override;
  void OnToolbarCommand(Command command, const frame::HostConnection& host) override;
  void OnAddInFinalize(bool host_shutting_down) override;

  // The insert guard's timer has fired: Insert and its button are enabled again.
  void ResetInsert();

 private:
  void CallInsert(const frame::HostConnection& host);
  void SelectToolbarRange(const frame::HostConnection& host);

  platform::SystemPlatform platform_;
  platform::Environment env_;
  bool insert_enabled_ = true;
  UINT_PTR reset_timer_ = 0;
  frame::Toolbar* toolbar_ = nullptr;  // of the last command: the timer enables its Insert button
};

std::unique_ptr<frame::AddInModule> MakeTrelvoModule(platform::UserInterface& ui);

}  // namespace trelvo::commands
