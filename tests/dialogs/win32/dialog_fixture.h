#pragma once
// Real files in a new folder for the dialogs' windows, the user's folders
// there, boxes recorded.
#include <windows.h>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <string>

#include "engine/ini/ini_document.h"
#include "platform/fake/fake_system.h"
#include "platform/system_platform.h"
#include "platform/win32/wide_text.h"
#include "resources/dialog_ids.h"
#include "tests/support/child_process.h"

namespace trelvo {

class DialogWindows : public ::testing::Test {
 protected:
  DialogWindows() {
    fake_system.app_data = folder.substr(0, folder.size() - 1);
    CreateDirectoryW(win32::Widen(UserFolder()).c_str(), nullptr);
    CreateDirectoryW(win32::Widen(folder + "Orvant\\Trelvo 2006").c_str(), nullptr);
  }
  std::string UserFolder() const { return folder + "Orvant"; }
  std::string SettingsFolder() const { return folder + "Orvant\\Trelvo 2006\\"; }
  std::string CounterPath() const { return SettingsFolder() + "sabu_counter.ini"; }
  void Write(const std::string& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }
  std::string Read(const std::string& path) const {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  engine::IniDocument Counter(const std::string& path = "") const {
    return engine::IniDocument(Read(path.empty() ? CounterPath() : path));
  }
  bool Visible(HWND dialog, int id) const { return IsWindowVisible(GetDlgItem(dialog, id)); }
  static std::string ListItem(HWND dialog, int index) {
    wchar_t text[1024] = {};
    SendMessageW(GetDlgItem(dialog, IDC_RANGES), LB_GETTEXT, index, reinterpret_cast<LPARAM>(text));
    return win32::Narrow(text);
  }

  std::string folder = testing::MakeTempFolder();
  platform::SystemPlatform real = platform::MakeSystemPlatform();
  platform::FakeSystem fake_system;
  platform::RecordingUserInterface ui;
  platform::Environment env{*real.files, fake_system, ui};
};

}  // namespace trelvo
