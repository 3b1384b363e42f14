#pragma once
// Message boxes and the beep. The add-in shows them modally in the host; the
// command-line tool writes them to stderr; tests record them.
#include <string>

namespace trelvo::platform {

enum class MessageKind { Plain, Error, Confirmation };
enum class MessageButtons { Ok, YesNoCancel };
enum class MessageAnswer { Ok, Yes, No, Cancel };

struct Message {
  MessageKind kind;
  std::string caption;
  std::string text;
  MessageButtons buttons;
};

class UserInterface {
 public:
  virtual ~UserInterface() = default;
  virtual MessageAnswer Show(const Message& message) = 0;
  virtual void Beep() = 0;
};

// An error box: error symbol, caption "Fehler", one button OK.
void ShowErrorBox(UserInterface& ui, const std::string& text);

// A path or user name as it stands inside a message: in single quotes, a
// single quote inside doubled.
std::string Quoted(const std::string& text);

}  // namespace trelvo::platform
