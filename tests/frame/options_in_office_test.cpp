// The Options dialog of the real Trelvo.dll opened from the simulated Excel's
// toolbar, as an administrator uses it: while it is open another workstation
// (the trelvo tool) is refused, after OK it is served, and the next Insert
// has the saved format.
#include "tests/frame/office_fixture.h"

#include "commands/toolbar_definition.h"
#include "resources/dialog_ids.h"
#include "tests/dialogs/win32/dialog_driver.h"

namespace trelvo {
namespace {

int DrawFromAnotherWorkstation(const std::string& counter) {
  return testing::StartChild(testing::ProgramFolder() + "trelvo.exe", {"draw", "--counter-file", counter})->Wait();
}

TEST_F(OfficeLoadsTrelvo, TheAdministratorsOptionsHoldOffOtherWorkstationsUntilOk) {
  const UserSettings settings;
  std::ofstream((UserFolder() + L"\\trelvo.ini").c_str(), std::ios::binary)
      << "[Pfade]\r\nCounterFile=\"" << settings.counter << "\"\r\nLogPath=\"" << settings.folder
      << "\"\r\n[Mode]\r\nAdminMode=1\r\n";
  const DispatchObject excel = StartHost(kExcelClassId);
  excel.GetObject("SimUser").Put("Answer", Variant::Text(""));  // the test answers the dialog
  int while_open = -1;
  testing::WhenDialogOpens("Trelvo Optionen", [&](HWND dialog) {
    while_open = DrawFromAnotherWorkstation(settings.counter);
    testing::SetItemText(dialog, IDC_TEXT_BEFORE, "RE-");
    testing::Click(dialog, IDC_OPTIONS_OK);
  });
  OptionsButton(excel).Call("Execute");
  EXPECT_NE(while_open, 0) << "the draw from another workstation was refused while the dialog was open";
  EXPECT_NE(settings.Read(settings.log).find("\"#ini gesperrt#\""), std::string::npos);
  EXPECT_EQ(DrawFromAnotherWorkstation(settings.counter), 0) << "served after OK";
  EXPECT_NE(settings.Read(settings.counter).find("Counter=42"), std::string::npos);
  excel.GetObject("Workbooks").Call("Add");
  InsertButton(excel).Call("Execute");
  // Only the new text was written: the number keeps the draw's four digits.
  EXPECT_EQ(excel.GetObject("ActiveCell").Get("FormulaR1C1").ToText(), "RE-0043") << "the saved format";
  EXPECT_EQ(excel.GetObject("SimUser").Get("Messages").ToText().substr(0, 16), "Trelvo Optionen|");
  excel.Call("Quit");
}

// Open and OK without a change on a counter file without Padding, Increment
// or texts: no key of the counter or the format is added or changed (the
// dialog's lock is freed), and the next number keeps its four digits.
TEST_F(OfficeLoadsTrelvo, OkInTheOptionsWithoutAChangeKeepsTheNumbersFormat) {
  const UserSettings settings;
  std::ofstream((UserFolder() + L"\\trelvo.ini").c_str(), std::ios::binary)
      << "[Pfade]\r\nCounterFile=\"" << settings.counter << "\"\r\nLogPath=\"" << settings.folder
      << "\"\r\n[Mode]\r\nAdminMode=1\r\n";
  const std::string before = settings.Read(settings.counter);
  const DispatchObject excel = StartHost(kExcelClassId);
  std::string preview;
  excel.GetObject("SimUser").Put("Answer", Variant::Text(""));  // the test answers the dialog
  testing::WhenDialogOpens("Trelvo Optionen", [&](HWND dialog) {
    preview = testing::ItemText(dialog, IDC_PREVIEW);
    testing::Click(dialog, IDC_OPTIONS_OK);
  });
  OptionsButton(excel).Call("Execute");
  const std::string after = settings.Read(settings.counter);
  EXPECT_EQ(after.substr(0, after.find("[Locking]")), before) << after;
  EXPECT_EQ(after.substr(after.find("[Locking]")),
            "[Locking]\r\nIsLocked=0\r\nLockedBy=\"#nouser#\"\r\nLockedOn=\"\"\r\nLockedAt=\"\"\r\n");
  EXPECT_EQ(preview, "0042");
  excel.GetObject("Workbooks").Call("Add");
  InsertButton(excel).Call("Execute");
  EXPECT_EQ(excel.GetObject("ActiveCell").Get("FormulaR1C1").ToText(), "0042") << "the same format";
  excel.Call("Quit");
}

}  // namespace
}  // namespace trelvo

namespace trelvo {
namespace {

// After the Options dialog the range selectors hold "(Standard Zähler)" and
// the ranges of the list, in the toolbar (Excel 11.0) and in the ribbon (12.0).
TEST_F(OfficeLoadsTrelvo, TheOptionsCommandRebuildsBothRangeSelectors) {
  const UserSettings settings;
  const std::string other = settings.folder + "firma_b.ini";
  std::ofstream(other, std::ios::binary) << "[Zaehler]\r\n";
  const std::wstring range_list = UserFolder() + L"\\nummernkreise.txt";
  std::ofstream(range_list.c_str(), std::ios::binary) << "Firma B|" << other << "\r\n";
  const char* ranges_tag = commands::kTrelvoToolbar.controls[2].tag;

  const DispatchObject excel = StartHost(kExcelClassId);
  OptionsButton(excel).Call("Execute");  // the scripted user presses OK
  const DispatchObject ranges =
      excel.GetObject("CommandBars")
          .GetObject("FindControl", {Variant::Int(3), Variant::Omitted(), Variant::Text(ranges_tag)});
  EXPECT_EQ(ranges.Get("ListCount").ToInt(), 2);
  EXPECT_EQ(ranges.Get("List", {Variant::Int(2)}).ToText(), "Firma B");
  EXPECT_EQ(ranges.Get("ListIndex").ToInt(), 1);
  EXPECT_EQ(ranges.Get("Text").ToText(), "(Standard Zähler)");
  excel.Call("Quit");

  win32::WriteRegistryText(HKEY_CURRENT_USER, L"Software\\SimOffice\\Excel", L"Version", L"12.0");
  std::ofstream(range_list.c_str(), std::ios::binary) << "Firma B|" << other << "\r\nFirma C|" << other << "\r\n";
  const DispatchObject excel12 = StartHost(kExcelClassId);
  const DispatchObject ribbon = excel12.GetObject("SimRibbon");
  ribbon.Call("Click", {Variant::Text("Einstellungen")});
  EXPECT_EQ(ribbon.Call("ItemCount", {Variant::Text("Nummernkreis")}).ToInt(), 3);
  EXPECT_EQ(ribbon.Call("ItemLabel", {Variant::Text("Nummernkreis"), Variant::Int(2)}).ToText(), "Firma C");
  EXPECT_EQ(ribbon.Call("SelectedIndex", {Variant::Text("Nummernkreis")}).ToInt(), 0);
  EXPECT_EQ(excel12.GetObject("SimUser").Get("Messages").ToText().substr(0, 16), "Trelvo Optionen|");
  excel12.Call("Quit");
  DeleteFileW(range_list.c_str());
}

}  // namespace
}  // namespace trelvo
