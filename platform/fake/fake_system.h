#pragma once
// Test doubles for the machine and the user: a fixed user, folders and clock,
// and a user interface that records every message box and answers from a script.
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/environment.h"
#include "platform/fake/fake_file_system.h"

namespace trelvo::platform {

class FakeSystem : public SystemServices {
 public:
  std::string user = "mmuster";
  std::string computer = "BUERO-PC1";
  std::string app_data = "C:\\Users\\mmuster\\AppData\\Roaming";
  std::string module_path = "C:\\Programme\\Trelvo\\Trelvo.dll";
  LocalDateTime now{2024, 3, 5, 14, 7, 9};
  std::string time_separator = ":";
  std::chrono::milliseconds slept{0};

  std::string UserName() override { return user; }
  std::string ComputerName() override { return computer; }
  std::string GetSpecialFolderPath(int csidl) override { return csidl == kCsidlAppData ? app_data : ""; }
  std::string ModulePath() override { return module_path; }
  LocalDateTime Now() override { return now; }
  std::string TimeSeparator() override { return time_separator; }
  void Sleep(std::chrono::milliseconds duration) override { slept += duration; }
};

class RecordingUserInterface : public UserInterface {
 public:
  std::vector<Message> shown;
  int beeps = 0;
  std::deque<MessageAnswer> answers;            // used in order; Ok when empty
  std::function<void(const Message&)> on_show;  // runs while the box is "open"

  MessageAnswer Show(const Message& message) override {
    shown.push_back(message);
    if (on_show) on_show(message);
    if (answers.empty()) return MessageAnswer::Ok;
    const MessageAnswer answer = answers.front();
    answers.pop_front();
    return answer;
  }
  void Beep() override { ++beeps; }

  std::vector<std::string> waits;                  // every sign of a wait shown, in order
  bool waiting = false;                            // a sign is shown now
  std::function<void(const std::string&)> on_wait;  // runs as a sign appears
  void ShowWaiting(const std::string& text) noexcept override {
    waits.push_back(text);
    waiting = true;
    if (on_wait) on_wait(text);
  }
  void EndWaiting() noexcept override { waiting = false; }
};

// A whole environment of fakes; the per-user folder exists.
struct FakeEnvironment {
  FakeFileSystem files;
  FakeSystem system;
  RecordingUserInterface ui;
  Environment env{files, system, ui};

  FakeEnvironment() { files.AddFolder(system.app_data + "\\Orvant\\Trelvo 2006"); }
  std::string UserFolder() const { return system.app_data + "\\Orvant\\Trelvo 2006\\"; }
};

}  // namespace trelvo::platform
