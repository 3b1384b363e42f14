#pragma once
// The real Trelvo.dll as a guest of the simulated Excel and Word: both
// registered by regsvr32, the add-in announced in the hosts' add-in keys, each
// test a first start of the hosts, and the user's settings in a new folder.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <shlobj.h>
#include <windows.h>

#include "commands/toolbar_definition.h"
#include "platform/win32/bstr.h"
#include "platform/win32/dispatch_object.h"
#include "platform/win32/office_interfaces.h"
#include "platform/win32/registry_key.h"
#include "platform/win32/wide_text.h"
#include "tests/support/child_process.h"

namespace trelvo {

using win32::DispatchObject;
using win32::RegistryKey;
using win32::Variant;

inline const wchar_t* const kAddInKeys[] = {L"Software\\Microsoft\\Office\\Excel\\AddIns\\Trelvo.TrelvoCoClass",
                                            L"Software\\Microsoft\\Office\\Word\\AddIns\\Trelvo.TrelvoCoClass"};
inline const wchar_t kBrokenKey[] = L"Software\\Microsoft\\Office\\Excel\\AddIns\\Gibt.Es.Nicht";
inline constexpr CLSID kExcelClassId = {0x00024500, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

inline int Regsvr32(const std::string& dll, bool unregister) {
  std::vector<std::string> args = {"/s", testing::ProgramFolder() + dll};
  if (unregister) args.insert(args.begin(), "/u");
  return testing::StartChild("regsvr32.exe", args)->Wait();
}

inline void AnnounceAddIn(const std::wstring& key) {
  const auto opened = RegistryKey::Create(HKEY_CURRENT_USER, key);
  ASSERT_TRUE(opened);
  opened.SetString(L"FriendlyName", L"Orvant Sabu Netzwerk");
  opened.SetString(L"Description", L"Fügt eine fortlaufende Rechnungsnummer ein.");
  opened.SetDword(L"LoadBehavior", 3);
}

inline std::wstring UserFolder() {
  wchar_t app_data[MAX_PATH] = {};
  SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, 0, app_data);
  return std::wstring(app_data) + L"\\Orvant\\Trelvo 2006";
}

class OfficeLoadsTrelvo : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ASSERT_EQ(Regsvr32("SimOffice.dll", false), 0);
    ASSERT_EQ(Regsvr32("Trelvo.dll", false), 0);
    for (const wchar_t* key : kAddInKeys) AnnounceAddIn(key);
  }
  static void TearDownTestSuite() {
    for (const wchar_t* key : kAddInKeys) win32::DeleteRegistryTree(HKEY_CURRENT_USER, key);
    Regsvr32("Trelvo.dll", true);
    Regsvr32("SimOffice.dll", true);
  }
  void SetUp() override {
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    // Each test is a first start: no toolbar kept by the hosts, no bookkeeping.
    for (const wchar_t* key : kAddInKeys)
      for (const wchar_t* part : {L"\\CommandBars", L"\\Controls"})
        win32::DeleteRegistryTree(HKEY_CURRENT_USER, std::wstring(key) + part);
    win32::DeleteRegistryTree(HKEY_CURRENT_USER, L"Software\\SimOffice");
  }
  // The hosts' versions and kept bars go with the test: the next test program
  // that starts a host meets the defaults.
  void TearDown() override {
    win32::DeleteRegistryTree(HKEY_CURRENT_USER, L"Software\\SimOffice");
    CoUninitialize();
  }
};

// The settings file of the test's user: its counter file and log folder in a new folder.
struct UserSettings {
  std::string folder = testing::MakeTempFolder();
  std::string counter = folder + "counter.ini";
  std::string log = folder + "sabulog.csv";
  UserSettings() {
    // Every level: in a new Wine prefix nothing has made the per-user folder yet.
    SHCreateDirectoryExW(nullptr, UserFolder().c_str(), nullptr);
    std::ofstream((UserFolder() + L"\\trelvo.ini").c_str(), std::ios::binary)
        << "[Pfade]\r\nCounterFile=\"" << counter << "\"\r\nLogPath=\"" << folder << "\"\r\n";
    std::ofstream(counter, std::ios::binary) << "[Zaehler]\r\nCounter=41\r\n";
  }
  ~UserSettings() { DeleteFileW((UserFolder() + L"\\trelvo.ini").c_str()); }
  std::string Read(const std::string& path) const {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
};

inline constexpr CLSID kWordClassId = {0x000209FF, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

inline DispatchObject StartHost(const CLSID& class_id) {
  Microsoft::WRL::ComPtr<IDispatch> host;
  EXPECT_EQ(CoCreateInstance(class_id, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&host)), S_OK);
  return DispatchObject(host);
}

inline const char kInsertTag[] = "{2FF5847B-5BA9-476A-931C-38F27A478AE5}";
inline const char* const kOptionsTag = commands::kTrelvoToolbar.controls[3].tag;

// The toolbar's button that opens the Options dialog.
inline DispatchObject OptionsButton(const DispatchObject& host) {
  return host.GetObject("CommandBars")
      .GetObject("FindControl", {Variant::Int(1), Variant::Omitted(), Variant::Text(kOptionsTag)});
}

inline DispatchObject InsertButton(const DispatchObject& host) {
  return host.GetObject("CommandBars")
      .GetObject("FindControl", {Variant::Int(1), Variant::Omitted(), Variant::Text(kInsertTag)});
}

}  // namespace trelvo
