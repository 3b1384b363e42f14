#pragma once
// Message boxes of the command-line tool: their text goes to stderr, with the
// system's line ends; confirmations are answered with Cancel. A wait is told
// by a line of its own as it begins.
#include <ostream>

#include "platform/user_interface.h"

namespace trelvo::platform {

class ConsoleUserInterface : public UserInterface {
 public:
  explicit ConsoleUserInterface(std::ostream& err) : err_(err) {}
  MessageAnswer Show(const Message& message) override;
  void Beep() override {}
  void ShowWaiting(const std::string& text) noexcept override;
  void EndWaiting() noexcept override {}

 private:
  std::ostream& err_;
};

}  // namespace trelvo::platform
