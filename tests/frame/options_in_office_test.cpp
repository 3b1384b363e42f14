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
  excel.GetObject("CommandBars")
      .GetObject("FindControl",
                 {Variant::Int(1), Variant::Omitted(), Variant::Text(commands::kTrelvoToolbar.controls[3].tag)})
      .Call("Execute");
  EXPECT_NE(while_open, 0) << "the draw from another workstation was refused while the dialog was open";
  EXPECT_NE(settings.Read(settings.log).find("\"#ini gesperrt#\""), std::string::npos);
  EXPECT_EQ(DrawFromAnotherWorkstation(settings.counter), 0) << "served after OK";
  EXPECT_NE(settings.Read(settings.counter).find("Counter=42"), std::string::npos);
  excel.GetObject("Workbooks").Call("Add");
  InsertButton(excel).Call("Execute");
  // The dialog wrote its own default of three digits with the new text.
  EXPECT_EQ(excel.GetObject("ActiveCell").Get("FormulaR1C1").ToText(), "RE-043") << "the saved format";
  EXPECT_EQ(excel.GetObject("SimUser").Get("Messages").ToText().substr(0, 16), "Trelvo Optionen|");
  excel.Call("Quit");
}

}  // namespace
}  // namespace trelvo
