#pragma once
// The scripted user of a simulated host: answers every modal message box and
// dialog that appears on the host's thread with a preset button, after
// recording its caption, text and buttons, so that no test waits on a window.
// Test surface: Application.SimUser with Answer ("OK", "Abbrechen", "Ja",
// "Nein", or any button's caption; OK by default; empty: the box is recorded
// and left to the test, which acts on it by window messages), Messages ("caption|text" a line, line breaks in the
// text as \n), Owners (each box's owner window as Office gives a window
// handle, a Long, in decimal; 0 for none; a line each) and Clear.
#include <string>
#include <vector>
#include <windows.h>

#include "simoffice/sim_object.h"

namespace trelvo::simoffice {

class SimUser : public SimObject {
 public:
  explicit SimUser(const std::string& source);
  ~SimUser() override;

  struct Shown {
    std::string caption;
    std::string text;
    std::vector<std::string> buttons;
    HWND owner = nullptr;  // the window the box belongs to, nullptr for none
  };
  std::vector<Shown> shown;
  std::string answer = "OK";
  // Typed into the next dialog's first text field before it is answered.
  std::string text;
  // A command line run, and waited for, while the next dialog is open: what
  // another workstation does meanwhile. Its output goes to this console.
  std::string meanwhile;

  // "caption|text" a line, each line ending in CR LF.
  std::string MessagesText() const;
  // The owners' handles as Longs, a line each, each line ending in CR LF.
  std::string OwnersText() const;
  // A dialog has been set up on this thread: record it and press the answer.
  void Answer(HWND dialog);
};

// Runs the calling thread's message loop for the time given, as Office's own
// loop runs while the user works: window timers fire, posted messages arrive.
void PumpMessages(DWORD milliseconds);

}  // namespace trelvo::simoffice
