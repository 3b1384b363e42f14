// Trelvo.msi under Wine: installed quietly for the user, loaded by the
// simulated Excel with its toolbar, upgraded by a newer package, and removed
// again without a key, a file or a toolbar left behind.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>
#include <windows.h>
#include <msi.h>

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

// The versions of the installed Trelvo packages (of its upgrade code).
std::vector<std::wstring> InstalledVersions() {
  std::vector<std::wstring> versions;
  wchar_t product[39] = {};
  for (DWORD i = 0; MsiEnumRelatedProductsW(L"{87D6A91E-D916-4661-AD24-067DD5031ACC}", 0, i, product) == ERROR_SUCCESS;
       ++i) {
    wchar_t version[64] = {};
    DWORD length = 64;
    MsiGetProductInfoW(product, INSTALLPROPERTY_VERSIONSTRING, version, &length);
    versions.push_back(version);
  }
  return versions;
}

const wchar_t kExcelOptions[] = L"Software\\Microsoft\\Office\\11.0\\Excel\\Options";

class Installer : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(RunProgram("regsvr32.exe", {"/s", testing::ProgramFolder() + "SimOffice.dll"}), 0);
    win32::DeleteRegistryTree(HKEY_CURRENT_USER, L"Software\\SimOffice");
  }
  void TearDown() override {
    win32::DeleteRegistryTree(HKEY_CURRENT_USER, L"Software\\SimOffice");
    RunProgram("regsvr32.exe", {"/s", "/u", testing::ProgramFolder() + "SimOffice.dll"});
  }
  // Removed by package: no product, key, OPEN entry, folder or toolbar is left.
  void ExpectRemovedBy(const std::string& package) {
    ASSERT_EQ(RunProgram("msiexec.exe", {"/x", package, "/qn"}), 0);
    EXPECT_TRUE(InstalledVersions().empty());
    for (const wchar_t* key : kUserKeys) EXPECT_FALSE(RegistryKey::Open(HKEY_CURRENT_USER, key)) << win32::Narrow(key);
    EXPECT_FALSE(RegistryKey::Open(HKEY_CURRENT_USER, kExcelOptions).GetString(L"OPEN"));
    wchar_t local[MAX_PATH] = {};
    GetEnvironmentVariableW(L"LOCALAPPDATA", local, MAX_PATH);
    EXPECT_EQ(GetFileAttributesW((std::wstring(local) + L"\\Trelvo").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_FALSE(StartExcelWithToolbar()) << "the toolbar went with the add-in";
  }
  const std::string package = testing::ProgramFolder() + "Trelvo.msi";
  const std::string older_package = testing::ProgramFolder() + "Trelvo-older.msi";
};

TEST_F(Installer, InstallsForTheUserAndRemovesEverythingAgain) {
  ASSERT_EQ(RunProgram("msiexec.exe", {"/i", package, "/qn"}), 0);
  for (const wchar_t* key : kUserKeys) EXPECT_TRUE(RegistryKey::Open(HKEY_CURRENT_USER, key)) << win32::Narrow(key);
  EXPECT_FALSE(
      RegistryKey::Open(HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\Office\\Excel\\AddIns\\Trelvo.TrelvoCoClass"));
  EXPECT_TRUE(StartExcelWithToolbar()) << "the simulated Excel loads the installed add-in";
  ExpectRemovedBy(package);
}

// Two packages of the same sources, an older version and this one: the newer
// replaces the older (one product, one registration with one OPEN entry),
// the older is refused over the newer, and removing the newer leaves nothing.
TEST_F(Installer, ANewerPackageReplacesTheOlderAndItsRemovalLeavesNothing) {
  ASSERT_EQ(RunProgram("msiexec.exe", {"/i", older_package, "/qn"}), 0);
  EXPECT_EQ(InstalledVersions(), std::vector<std::wstring>{L"0.9.0"});
  ASSERT_EQ(RunProgram("msiexec.exe", {"/i", package, "/qn"}), 0);
  EXPECT_EQ(InstalledVersions(), std::vector<std::wstring>{win32::Widen(TRELVO_VERSION)});
  for (const wchar_t* key : kUserKeys) EXPECT_TRUE(RegistryKey::Open(HKEY_CURRENT_USER, key)) << win32::Narrow(key);
  const RegistryKey options = RegistryKey::Open(HKEY_CURRENT_USER, kExcelOptions);
  EXPECT_TRUE(options.GetString(L"OPEN"));
  EXPECT_FALSE(options.GetString(L"OPEN1")) << "registered twice";
  EXPECT_TRUE(StartExcelWithToolbar());

  EXPECT_NE(RunProgram("msiexec.exe", {"/i", older_package, "/qn"}), 0) << "an older package over a newer one";
  EXPECT_EQ(InstalledVersions(), std::vector<std::wstring>{win32::Widen(TRELVO_VERSION)});
  ExpectRemovedBy(package);
}

}  // namespace
}  // namespace trelvo
