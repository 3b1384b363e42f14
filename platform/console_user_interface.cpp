#include "platform/console_user_interface.h"

namespace trelvo::platform {

MessageAnswer ConsoleUserInterface::Show(const Message& message) {
  std::string text;
  for (size_t i = 0; i < message.text.size(); ++i) {
    if (message.text.compare(i, 2, "\r\n") == 0) continue;  // the \n that follows ends the line
    text += message.text[i];
  }
  err_ << (message.kind == MessageKind::Error ? "Fehler: " : "") << text << '\n';
  return message.buttons == MessageButtons::YesNoCancel ? MessageAnswer::Cancel : MessageAnswer::Ok;
}

void ConsoleUserInterface::ShowWaiting(const std::string& text) noexcept {
  try {
    err_ << text << '\n' << std::flush;
  } catch (...) {
    // stderr refused the line: the wait goes on without it.
  }
}

}  // namespace trelvo::platform
