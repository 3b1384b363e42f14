#pragma once
// The add-in module of Trelvo for one connection to Excel or Word: it makes
// the per-user folder when it is created and, once the host is connected,
// copies the host's kind, version and application into the module-wide state.
// The commands, the toolbar and the ribbon join it with their own issues.
#include <memory>

#include "frame/add_in_module.h"
#include "platform/environment.h"
#include "platform/system_platform.h"

namespace trelvo::commands {

class TrelvoModule : public frame::AddInModule {
 public:
  explicit TrelvoModule(platform::UserInterface& ui);

  void OnCreate() override;
  void OnAddInInitialize(const frame::HostConnection& host) override;
  void OnAddInFinalize(bool host_shutting_down) override;

  platform::Environment& environment() { return env_; }

 private:
  platform::SystemPlatform platform_;
  platform::Environment env_;
};

std::unique_ptr<frame::AddInModule> MakeTrelvoModule(platform::UserInterface& ui);

}  // namespace trelvo::commands
