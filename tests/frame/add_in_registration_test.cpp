// What registration tells the hosts: the add-in keys of each installed host,
// machine-wide or per user, Excel's OPEN entries, and the clean-up of the
// hosts on unregistration, with the simulated Excel and Word (SimOffice.dll)
// as the installed hosts.
#include <gtest/gtest.h>

#include <fstream>
#include <windows.h>
#include <oleauto.h>
#include <wrl/client.h>

#include "frame/add_in_registration.h"
#include "platform/win32/dispatch_object.h"
#include "platform/win32/registry_key.h"
#include "platform/win32/wide_text.h"
#include "tests/support/child_process.h"

namespace trelvo {
namespace {

using frame::OpenValues;
using win32::DispatchObject;
using win32::RegistryKey;
using win32::Variant;

const std::wstring kExcelKey = L"Software\\Microsoft\\Office\\Excel\\AddIns\\Trelvo.TrelvoCoClass";
const std::wstring kWordKey = L"Software\\Microsoft\\Office\\Word\\AddIns\\Trelvo.TrelvoCoClass";
const std::wstring kOptions = L"Software\\Microsoft\\Office\\11.0\\Excel\\Options";
const std::wstring kOurs = L"/A \"Trelvo.TrelvoCoClass\"";
constexpr CLSID kExcelClassId = {0x00024500, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

int Regsvr32(const std::string& dll, bool unregister) {
  std::vector<std::string> args = {"/s", testing::ProgramFolder() + dll};
  if (unregister) args.insert(args.begin(), "/u");
  return testing::StartChild("regsvr32.exe", args)->Wait();
}

std::wstring SwitchFile() { return win32::Widen(testing::ProgramFolder()) + L"Trelvo.ini"; }

bool KeyExists(HKEY root, const std::wstring& key) { return static_cast<bool>(RegistryKey::Open(root, key)); }

class AddInRegistration : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { ASSERT_EQ(Regsvr32("SimOffice.dll", false), 0); }
  static void TearDownTestSuite() { Regsvr32("SimOffice.dll", true); }
  void SetUp() override {
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    win32::DeleteRegistryTree(HKEY_CURRENT_USER, kOptions);
    win32::DeleteRegistryTree(HKEY_CURRENT_USER, L"Software\\SimOffice");
  }
  void TearDown() override {
    DeleteFileW(SwitchFile().c_str());
    Regsvr32("Trelvo.dll", true);
    CoUninitialize();
  }
};

TEST_F(AddInRegistration, MachineWideTheKeysLieUnderTheMachineAndExcelListsTheAutomationAddIn) {
  ASSERT_EQ(Regsvr32("Trelvo.dll", false), 0);
  for (const auto& key : {kExcelKey, kWordKey}) {
    const auto opened = RegistryKey::Open(HKEY_LOCAL_MACHINE, key);
    ASSERT_TRUE(opened);
    EXPECT_EQ(opened.GetString(L"FriendlyName"), L"Orvant Sabu Netzwerk");
    EXPECT_EQ(win32::Narrow(opened.GetString(L"Description").value_or(L"")),
              "Fügt eine fortlaufende Rechnungsnummer in Excel oder Word ein. Netzwerkversion.");
    EXPECT_EQ(opened.GetDword(L"LoadBehavior"), 3u);
    EXPECT_EQ(opened.GetDword(L"CommandLineSafe"), 0u);
  }
  EXPECT_EQ(RegistryKey::Open(HKEY_CURRENT_USER, kOptions).GetString(L"OPEN"), kOurs);
  ASSERT_EQ(Regsvr32("Trelvo.dll", true), 0);
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kExcelKey));
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kWordKey));
  EXPECT_FALSE(RegistryKey::Open(HKEY_CURRENT_USER, kOptions).GetString(L"OPEN"));
}

TEST_F(AddInRegistration, TheSwitchFilePutsEverythingUnderTheUserWithoutTypeLibrary) {
  std::ofstream(SwitchFile().c_str(), std::ios::binary) << "[CONFIG]\r\nPRIVILEGES=user\r\n";
  ASSERT_EQ(Regsvr32("Trelvo.dll", false), 0);
  const std::wstring user_class = L"Software\\Classes\\CLSID\\{BFE216C7-D241-4767-A79A-7FAB841715E5}";
  EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, user_class + L"\\InprocServer32"));
  EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, L"Software\\Classes\\Trelvo.TrelvoCoClass"));
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, L"Software\\Classes\\CLSID\\{BFE216C7-D241-4767-A79A-7FAB841715E5}"));
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kExcelKey));
  EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, kExcelKey));
  EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, kWordKey));
  BSTR path = nullptr;
  const GUID library = {0x39CD8E9A, 0xC147, 0x4E28, {0x90, 0x60, 0x03, 0xAD, 0x40, 0x17, 0xBC, 0xE5}};
  EXPECT_FALSE(SUCCEEDED(QueryPathOfRegTypeLib(library, 1, 0, 0x0409, &path)));
  SysFreeString(path);
  ASSERT_EQ(Regsvr32("Trelvo.dll", true), 0);
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, user_class));
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kExcelKey));
}

TEST_F(AddInRegistration, OnlyInstalledHostsAndExcelFromVersion10GetTheirEntries) {
  // Word not installed; Excel's CurVer names version 9.
  const std::wstring word_curver = L"Software\\Classes\\Word.Application";
  win32::DeleteRegistryTree(HKEY_LOCAL_MACHINE, word_curver);
  win32::WriteRegistryText(HKEY_LOCAL_MACHINE, L"Software\\Classes\\Excel.Application\\CurVer", L"",
                           L"Excel.Application.9");
  ASSERT_EQ(Regsvr32("Trelvo.dll", false), 0);
  EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, kExcelKey));
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kWordKey));
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, L"Software\\Microsoft\\Office\\9.0\\Excel\\Options"));
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kOptions));
  ASSERT_EQ(Regsvr32("SimOffice.dll", false), 0);  // Word and Excel 11 again
}

struct OpenCase {
  OpenValues before;
  std::wstring added;
};

TEST(ExcelOpenEntries, TheNewNameFollowsTheHighestAndOursIsNotWrittenTwice) {
  OpenValues eleven;
  eleven[L"OPEN"] = L"a";
  for (int i = 1; i <= 10; ++i) eleven[L"OPEN" + std::to_wstring(i)] = L"x";
  const OpenCase cases[] = {
      {{}, L"OPEN"},
      {{{L"OPEN", L"a"}, {L"Open1", L"b"}}, L"OPEN2"},
      {eleven, L"OPEN11"},
      {{{L"OPEN", L"a"}, {L"OPEN3", kOurs}}, L""},
      {{{L"Other", L"a"}}, L"OPEN"},
  };
  for (const OpenCase& c : cases) EXPECT_EQ(frame::NewOpenValueName(c.before, L"Trelvo.TrelvoCoClass"), c.added);
  EXPECT_THROW(frame::NewOpenValueName({{L"OPENX", L"a"}}, L"Trelvo.TrelvoCoClass"), std::exception);
}

TEST(ExcelOpenEntries, RemovingOursRenumbersTheOthers) {
  const OpenValues before = {{L"OPEN", L"A"}, {L"OPEN1", kOurs}, {L"OPEN2", L"B"}, {L"Other", L"C"}};
  const OpenValues after = {{L"OPEN", L"A"}, {L"OPEN1", L"B"}, {L"Other", L"C"}};
  EXPECT_EQ(frame::WithoutOpenEntry(before, L"Trelvo.TrelvoCoClass"), after);
  EXPECT_EQ(frame::WithoutOpenEntry(after, L"Trelvo.TrelvoCoClass"), after);
}

DispatchObject StartExcel() {
  Microsoft::WRL::ComPtr<IDispatch> excel;
  EXPECT_EQ(CoCreateInstance(kExcelClassId, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&excel)), S_OK);
  return DispatchObject(excel);
}

bool HasToolbar(const DispatchObject& host) {
  const DispatchObject bars = host.GetObject("CommandBars");
  for (long i = 1; i <= bars.Get("Count").ToInt(); ++i)
    if (bars.GetObject("Item", {Variant::Int(i)}).Get("Name").ToText() == "Trelvo") return true;
  return false;
}

// Excel not running: unregistration starts one, cleans it and quits it; the
// next Excel starts without the toolbar.
TEST_F(AddInRegistration, UnregistrationCleansAnExcelItStarts) {
  ASSERT_EQ(Regsvr32("Trelvo.dll", false), 0);
  {
    const DispatchObject excel = StartExcel();
    ASSERT_TRUE(HasToolbar(excel));
    excel.Call("Quit");  // keeps its toolbars for the next start
  }
  ASSERT_EQ(Regsvr32("Trelvo.dll", true), 0);
  const DispatchObject excel = StartExcel();
  EXPECT_FALSE(HasToolbar(excel));
  excel.Call("Quit");
}

// Excel running: the running one is cleaned and keeps running.
TEST_F(AddInRegistration, UnregistrationCleansTheRunningExcel) {
  ASSERT_EQ(Regsvr32("Trelvo.dll", false), 0);
  const DispatchObject excel = StartExcel();
  ASSERT_TRUE(HasToolbar(excel));
  const HMODULE library = LoadLibraryW((win32::Widen(testing::ProgramFolder()) + L"Trelvo.dll").c_str());
  ASSERT_TRUE(library);
  const auto unregister = reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(
      reinterpret_cast<void*>(GetProcAddress(library, "DllUnregisterServer")));
  ASSERT_TRUE(unregister);
  EXPECT_EQ(unregister(), S_OK);
  EXPECT_FALSE(HasToolbar(excel));
  EXPECT_FALSE(excel.Get("SimQuit").ToBool());
  EXPECT_EQ(RegistryKey::Open(HKEY_CURRENT_USER, kExcelKey).GetString(L"OAXStartMode"), std::nullopt)
      << "the add-in key is gone";
  excel.Call("Quit");
  FreeLibrary(library);
}

}  // namespace
}  // namespace trelvo
