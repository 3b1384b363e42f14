#pragma once
// Message boxes of the add-in: modal to the host's window of the moment, German texts.
#include <windows.h>

#include "platform/user_interface.h"
#include "platform/win32/owner_window.h"

namespace trelvo::win32 {

class MessageBoxUserInterface : public platform::UserInterface {
 public:
  // owner: asked for the owner of each box as it appears (none by default).
  explicit MessageBoxUserInterface(OwnerWindow owner = {}) : owner_(std::move(owner)) {}
  platform::MessageAnswer Show(const platform::Message& message) override;
  void Beep() override;

 private:
  OwnerWindow owner_;
};

}  // namespace trelvo::win32
