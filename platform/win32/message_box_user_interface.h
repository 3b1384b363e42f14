#pragma once
// Message boxes of the add-in: modal to the host's window of the moment, German
// texts. A wait shows the wait cursor and its text in the host's status bar.
#include <functional>
#include <optional>
#include <string>
#include <windows.h>

#include "platform/user_interface.h"
#include "platform/win32/owner_window.h"

namespace trelvo::win32 {

// Shows a text in the host's status bar; nullopt gives the bar back to the host.
using StatusBar = std::function<void(const std::optional<std::string>& text)>;

class MessageBoxUserInterface : public platform::UserInterface {
 public:
  // owner: asked for the owner of each box as it appears (none by default);
  // status_bar: the host's, where it has one.
  explicit MessageBoxUserInterface(OwnerWindow owner = {}, StatusBar status_bar = {})
      : owner_(std::move(owner)), status_bar_(std::move(status_bar)) {}
  platform::MessageAnswer Show(const platform::Message& message) override;
  void Beep() override;
  void ShowWaiting(const std::string& text) noexcept override;
  void EndWaiting() noexcept override;

 private:
  void ShowInStatusBar(const std::optional<std::string>& text) noexcept;

  OwnerWindow owner_;
  StatusBar status_bar_;
  HCURSOR cursor_before_wait_ = nullptr;
};

}  // namespace trelvo::win32
