#include "platform/user_interface.h"

namespace trelvo::platform {

void ShowErrorBox(UserInterface& ui, const std::string& text) {
  ui.Show({MessageKind::Error, "Fehler", text, MessageButtons::Ok});
}

std::string Quoted(const std::string& text) {
  std::string result = "'";
  for (char c : text) {
    if (c == '\'') result += '\'';
    result += c;
  }
  return result + "'";
}

}  // namespace trelvo::platform
