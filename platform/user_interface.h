#pragma once
// Message boxes, the beep, and the sign of a wait. The add-in shows them in
// the host; the command-line tool writes them to stderr; tests record them.
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
  // The sign that the program waits for something another workstation holds
  // (the wait cursor and the host's status bar; a line on stderr), shown
  // until EndWaiting. The host's thread waits meanwhile: without the sign
  // Office would stand still without a word. Neither may fail, as they run
  // around a wait that fails.
  virtual void ShowWaiting(const std::string& text) noexcept = 0;
  virtual void EndWaiting() noexcept = 0;
};

// The sign of a wait for as long as the object lives.
class WaitShown {
 public:
  WaitShown(UserInterface& ui, const std::string& text) : ui_(ui) { ui_.ShowWaiting(text); }
  ~WaitShown() { ui_.EndWaiting(); }
  WaitShown(const WaitShown&) = delete;
  WaitShown& operator=(const WaitShown&) = delete;

 private:
  UserInterface& ui_;
};

// An error box: error symbol, caption "Fehler", one button OK.
void ShowErrorBox(UserInterface& ui, const std::string& text);

// A path or user name as it stands inside a message: in single quotes, a
// single quote inside doubled.
std::string Quoted(const std::string& text);

}  // namespace trelvo::platform
