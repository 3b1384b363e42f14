// Trelvo.msi under Wine: installed quietly for the user, loaded by the
// simulated Excel with its toolbar, and removed again without a key, a file or
// a toolbar left behind.
#include <gtest/gtest.h>

#include <fstream>
#include <windows.h>

#include "platform/win32/registry_key.h"
#include "platform/win32/wide_text.h"
#include "tests/support/child_process.h"

namespace trelvo {
namespace {

using win32::RegistryKey;

const wchar_t* const kUserKeys[] = {
    L"Software\\Classes\\CLSID\\{BFE216C7-D241-4767-A79A-7FAB841715E5}",
    L"Software\\Classes\\Trelvo.TrelvoCoClass",
    L"Software\\Microsoft\\Office\\Excel\\AddIns\\Trelvo.TrelvoCoClass",
    L"Software\\Microsoft\\Office\\Word\\AddIns\\Trelvo.TrelvoCoClass",
};

int RunProgram(const std::string& program, const std::vector<std::string>& args) {
  return testing::StartChild(program, args)->Wait();
}

// A macro starts Excel: whether it shows the toolbar "Trelvo". In a process
// of its own, so that the library is not kept loaded here.
bool StartExcelWithToolbar() {
  const std::string script = testing::MakeTempFolder() + "toolbar.vbs";
  std::ofstream(script, std::ios::binary) << "Set xl = CreateObject(\"Excel.Application\")\r\n"
                                             "found = False\r\n"
                                             "For i = 1 To xl.CommandBars.Count\r\n"
                                             "  If xl.CommandBars(i).Name = \"Trelvo\" Then found = True\r\n"
                                             "Next\r\n"
                                             "xl.Quit\r\n"
                                             "If found Then WScript.Quit 7\r\n"
                                             "WScript.Quit 3\r\n";
  return RunProgram("cscript.exe", {"//nologo", script}) == 7;
}

TEST(Installer, InstallsForTheUserAndRemovesEverythingAgain) {
  ASSERT_EQ(RunProgram("regsvr32.exe", {"/s", testing::ProgramFolder() + "SimOffice.dll"}), 0);
  win32::DeleteRegistryTree(HKEY_CURRENT_USER, L"Software\\SimOffice");
  const std::string package = testing::ProgramFolder() + "Trelvo.msi";

  ASSERT_EQ(RunProgram("msiexec.exe", {"/i", package, "/qn"}), 0);
  for (const wchar_t* key : kUserKeys) EXPECT_TRUE(RegistryKey::Open(HKEY_CURRENT_USER, key)) << win32::Narrow(key);
  EXPECT_FALSE(
      RegistryKey::Open(HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\Office\\Excel\\AddIns\\Trelvo.TrelvoCoClass"));
  EXPECT_TRUE(StartExcelWithToolbar()) << "the simulated Excel loads the installed add-in";

  ASSERT_EQ(RunProgram("msiexec.exe", {"/x", package, "/qn"}), 0);
  for (const wchar_t* key : kUserKeys) EXPECT_FALSE(RegistryKey::Open(HKEY_CURRENT_USER, key)) << win32::Narrow(key);
  EXPECT_FALSE(
      RegistryKey::Open(HKEY_CURRENT_USER, L"Software\\Microsoft\\Office\\11.0\\Excel\\Options").GetString(L"OPEN"));
  wchar_t local[MAX_PATH] = {};
  GetEnvironmentVariableW(L"LOCALAPPDATA", local, MAX_PATH);
  EXPECT_EQ(GetFileAttributesW((std::wstring(local) + L"\\Trelvo").c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_FALSE(StartExcelWithToolbar()) << "the toolbar went with the add-in";

  win32::DeleteRegistryTree(HKEY_CURRENT_USER, L"Software\\SimOffice");
  RunProgram("regsvr32.exe", {"/s", "/u", testing::ProgramFolder() + "SimOffice.dll"});
}

}  // namespace
}  // namespace trelvo
