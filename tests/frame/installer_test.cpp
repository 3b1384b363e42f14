// The Trelvo package of this build under Wine: installed quietly for the
// user, loaded by the simulated Excel with its toolbar, upgraded by a newer
// package, and removed again without a key, a file or a toolbar left behind;
// the x64 package machine-wide, where 64-bit and 32-bit Excel 16.0 each load
// their own Trelvo.dll and draw from one counter file. The installer runs no
// code of Trelvo's and starts no host.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>
#include <windows.h>
#include <msi.h>

#include "platform/win32/registry_key.h"
#include "platform/win32/wide_text.h"
#include "tests/frame/office_fixture.h"
#include "tests/support/child_process.h"

namespace trelvo {
namespace {

using win32::RegistryKey;

const wchar_t kClassKey[] = L"Software\\Classes\\CLSID\\{BFE216C7-D241-4767-A79A-7FAB841715E5}";
const wchar_t* const kEntries[] = {
    kClassKey,
    L"Software\\Classes\\Trelvo.TrelvoCoClass",
    L"Software\\Microsoft\\Office\\Excel\\AddIns\\Trelvo.TrelvoCoClass",
    L"Software\\Microsoft\\Office\\Word\\AddIns\\Trelvo.TrelvoCoClass",
};
// The 64-bit and the 32-bit registry view.
const REGSAM kViews[] = {KEY_WOW64_64KEY, KEY_WOW64_32KEY};

// Per user, Windows keeps the class entries of the two views apart, but Wine
// keeps one HKEY_CURRENT_USER\Software\Classes for both: there the x64
// package's two libraries would share one class entry. So per user each build
// installs the feature of its own bitness.
#if defined(_WIN64)
const char kPerUserFeature[] = "ADDLOCAL=Office64";
#else
const char kPerUserFeature[] = "ADDLOCAL=Office32";
#endif

int RunProgram(const std::string& program, const std::vector<std::string>& args) {
  return testing::StartChild(program, args)->Wait();
}

// Runs a macro with the cscript of the given folder (system32: this
// program's bitness; syswow64: 32-bit in a 64-bit prefix); its exit status.
int RunMacro(const std::string& system_folder, const std::string& text) {
  const std::string script = testing::MakeTempFolder() + "makro.vbs";
  std::ofstream(script, std::ios::binary) << text;
  return RunProgram("C:\\windows\\" + system_folder + "\\cscript.exe", {"//nologo", script});
}

// A macro starts Excel: whether it shows the toolbar "Trelvo". In a process
// of its own, so that the library is not kept loaded here.
bool StartExcelWithToolbar() {
  return RunMacro("system32",
                  "Set xl = CreateObject(\"Excel.Application\")\r\n"
                  "found = False\r\n"
                  "For i = 1 To xl.CommandBars.Count\r\n"
                  "  If xl.CommandBars(i).Name = \"Trelvo\" Then found = True\r\n"
                  "Next\r\n"
                  "xl.Quit\r\n"
                  "If found Then WScript.Quit 7\r\n"
                  "WScript.Quit 3\r\n") == 7;
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

// How often a simulated host was started (the hosts count their starts).
DWORD HostStarts() {
  DWORD starts = 0;
  for (const wchar_t* host : {L"Software\\SimOffice\\Excel", L"Software\\SimOffice\\Word"})
    starts += RegistryKey::Open(HKEY_CURRENT_USER, host).GetDword(L"Starts").value_or(0);
  return starts;
}

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
  // Installs or removes without starting a host.
  void Msiexec(const std::vector<std::string>& args) {
    const DWORD starts = HostStarts();
    ASSERT_EQ(RunProgram("msiexec.exe", args), 0);
    EXPECT_EQ(HostStarts(), starts) << "the installer started a host";
  }
  // Removed by package (machine-wide: root HKEY_LOCAL_MACHINE): no product,
  // entry, folder or toolbar is left.
  void ExpectRemovedBy(const std::string& package, HKEY root) {
    std::vector<std::string> args = {"/x", package, "/qn"};
    if (root == HKEY_LOCAL_MACHINE) args.push_back("ALLUSERS=1");
    Msiexec(args);
    EXPECT_TRUE(InstalledVersions().empty());
    for (const wchar_t* key : kEntries)
      for (const REGSAM view : kViews)
        for (const HKEY where : {root, HKEY_CURRENT_USER})
          EXPECT_FALSE(RegistryKey::Open(where, key, KEY_READ | view)) << win32::Narrow(key);
    wchar_t local[MAX_PATH] = {};
    GetEnvironmentVariableW(L"LOCALAPPDATA", local, MAX_PATH);
    for (const wchar_t* folder : {L"\\Trelvo", L"\\Trelvo (x86)"})
      EXPECT_EQ(GetFileAttributesW((local + std::wstring(folder)).c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_FALSE(StartExcelWithToolbar()) << "the toolbar went with the add-in";
  }
  const std::string package = testing::ProgramFolder() + TRELVO_PACKAGE_NAME;
  const std::string older_package = testing::ProgramFolder() + TRELVO_OLDER_PACKAGE_NAME;
};

TEST_F(Installer, InstallsForTheUserAndRemovesEverythingAgain) {
  // One version everywhere: the package's file name and product version
  // (below) and the library's version resource, which the About dialog shows.
  wchar_t library_version[64] = {};
  DWORD length = 64;
  ASSERT_EQ(MsiGetFileVersionW(win32::Widen(testing::ProgramFolder() + "Trelvo.dll").c_str(), library_version, &length,
                               nullptr, nullptr),
            ERROR_SUCCESS);
  EXPECT_EQ(library_version, win32::Widen(TRELVO_VERSION) + L".0");
  EXPECT_NE(package.find(TRELVO_VERSION), std::string::npos);

  Msiexec({"/i", package, "/qn", kPerUserFeature});
  EXPECT_EQ(InstalledVersions(), std::vector<std::wstring>{win32::Widen(TRELVO_VERSION)});
  for (const wchar_t* key : kEntries) EXPECT_TRUE(RegistryKey::Open(HKEY_CURRENT_USER, key)) << win32::Narrow(key);
  EXPECT_EQ(RegistryKey::Open(HKEY_CURRENT_USER, kEntries[2]).GetString(L"Description"),
            L"Fügt eine fortlaufende Rechnungsnummer in Excel oder Word ein. Netzwerkversion.");
  EXPECT_FALSE(
      RegistryKey::Open(HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\Office\\Excel\\AddIns\\Trelvo.TrelvoCoClass"));
  EXPECT_TRUE(StartExcelWithToolbar()) << "the simulated Excel loads the installed add-in";
  // Excel's list of automation add-ins, which needs Excel's version, came from the add-in.
  EXPECT_EQ(RegistryKey::Open(HKEY_CURRENT_USER, L"Software\\Microsoft\\Office\\11.0\\Excel\\Options")
                .GetString(L"OPEN"),
            L"/A \"Trelvo.TrelvoCoClass\"");
  ExpectRemovedBy(package, HKEY_CURRENT_USER);
}

// Two packages of the same sources, an older version and this one: the newer
// replaces the older (one product, one registration), the older is refused
// over the newer, and removing the newer leaves nothing.
TEST_F(Installer, ANewerPackageReplacesTheOlderAndItsRemovalLeavesNothing) {
  Msiexec({"/i", older_package, "/qn", kPerUserFeature});
  EXPECT_EQ(InstalledVersions(), std::vector<std::wstring>{L"0.9.0"});
  Msiexec({"/i", package, "/qn", kPerUserFeature});
  EXPECT_EQ(InstalledVersions(), std::vector<std::wstring>{win32::Widen(TRELVO_VERSION)});
  for (const wchar_t* key : kEntries) EXPECT_TRUE(RegistryKey::Open(HKEY_CURRENT_USER, key)) << win32::Narrow(key);
  EXPECT_TRUE(StartExcelWithToolbar());

  EXPECT_NE(RunProgram("msiexec.exe", {"/i", older_package, "/qn"}), 0) << "an older package over a newer one";
  EXPECT_EQ(InstalledVersions(), std::vector<std::wstring>{win32::Widen(TRELVO_VERSION)});
  ExpectRemovedBy(package, HKEY_CURRENT_USER);
}

#if defined(_WIN64)
// The x64 package machine-wide, as software distribution installs it: each
// registry view announces its own Trelvo.dll, and the 64-bit and the 32-bit
// Excel 16.0 each load theirs and draw one after the other from one counter
// file, LoadBehavior staying 3. Where this machine cannot run 32-bit programs,
// the 32-bit Excel is left out and its view is only read.
TEST_F(Installer, MachineWideBothBitnessesLoadTheirOwnLibraryAndDrawFromOneCounterFile) {
  const bool runs_32_bit = TRELVO_RUNS_32_BIT;
  const std::string simoffice32 = std::string(TRELVO_X86_BIN) + "/SimOffice.dll";
  if (runs_32_bit) {
    ASSERT_EQ(RunProgram("C:\\windows\\syswow64\\regsvr32.exe", {"/s", simoffice32}), 0);
  }
  RegistryKey::Create(HKEY_CURRENT_USER, L"Software\\SimOffice\\Excel").SetString(L"Version", L"16.0");
  const UserSettings settings;

  Msiexec({"/i", package, "/qn", "ALLUSERS=1"});
  for (const REGSAM view : kViews) {
    const std::wstring server =
        RegistryKey::Open(HKEY_LOCAL_MACHINE, std::wstring(kClassKey) + L"\\InprocServer32", KEY_READ | view)
            .GetString(L"")
            .value_or(L"");
    EXPECT_NE(server.find(view == KEY_WOW64_64KEY ? L"Program Files\\Trelvo" : L"Program Files (x86)\\Trelvo"),
              std::wstring::npos)
        << win32::Narrow(server);
  }
  const auto draws = [&](const std::string& system_folder, const char* expected) {
    return RunMacro(system_folder, std::string("Set xl = CreateObject(\"Excel.Application\")\r\n"
                                               "If xl.Version <> \"16.0\" Then WScript.Quit 3\r\n"
                                               "xl.Workbooks.Add\r\n"
                                               "n = xl.COMAddIns(\"Trelvo.TrelvoCoClass\").Object.SetCounter\r\n"
                                               "xl.Quit\r\n"
                                               "If n <> \"") +
                                       expected + "\" Then WScript.Quit 4\r\nWScript.Quit 7\r\n");
  };
  EXPECT_EQ(draws("system32", "0042"), 7) << "the 64-bit Excel";
  if (runs_32_bit) {
    EXPECT_EQ(draws("syswow64", "0043"), 7) << "the 32-bit Excel";
  }
  EXPECT_NE(settings.Read(settings.counter).find(runs_32_bit ? "Counter=43" : "Counter=42"), std::string::npos);
  for (const REGSAM view : kViews)
    EXPECT_EQ(RegistryKey::Open(HKEY_LOCAL_MACHINE, kEntries[2], KEY_READ | view).GetDword(L"LoadBehavior"), 3u);

  ExpectRemovedBy(package, HKEY_LOCAL_MACHINE);
  if (runs_32_bit) RunProgram("C:\\windows\\syswow64\\regsvr32.exe", {"/s", "/u", simoffice32});
}
#endif

}  // namespace
}  // namespace trelvo
