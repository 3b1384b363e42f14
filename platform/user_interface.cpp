#include "platform/user_interface.h"

#include "platform/quoting.h"

namespace trelvo::platform {

void ShowErrorBox(UserInterface& ui, const std::string& text) {
  ui.Show({MessageKind::Error, "Fehler", text, MessageButtons::Ok});
}

std::string Quoted(const std::string& text) { return Enquoted(text, '\''); }

}  // namespace trelvo::platform
