#pragma once
// Message boxes of the add-in: modal to the host's window, German texts.
#include <windows.h>

#include "platform/user_interface.h"

namespace trelvo::win32 {

class MessageBoxUserInterface : public platform::UserInterface {
 public:
  explicit MessageBoxUserInterface(HWND owner = nullptr) : owner_(owner) {}
  // The window that owns every box from now on (Excel's main window).
  void set_owner(HWND owner) { owner_ = owner; }
  platform::MessageAnswer Show(const platform::Message& message) override;
  void Beep() override;

 private:
  HWND owner_;
};

}  // namespace trelvo::win32
