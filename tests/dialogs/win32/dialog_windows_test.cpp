// The dialogs' real windows under Wine, driven by window messages as a user
// drives them: texts typed, entries picked, buttons pressed, keys; then the
// labels and states of the controls and what reached the files.
#include <windows.h>
#include <commctrl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "dialogs/win32/about_window.h"
#include "dialogs/win32/options_window.h"
#include "dialogs/win32/text_input_window.h"
#include "platform/error.h"
#include "platform/win32/message_box_user_interface.h"
#include "resources/dialog_ids.h"
#include "tests/dialogs/win32/dialog_driver.h"
#include "tests/dialogs/win32/dialog_fixture.h"

namespace trelvo {
namespace {

using testing::Click;
using testing::ItemText;
using testing::SetItemText;
using testing::WhenDialogOpens;

TEST_F(DialogWindows, OptionsInAdminModeEditsPreviewsLocksAndSaves) {
  Write(SettingsFolder() + "trelvo.ini", "[Mode]\r\nAdminMode=1\r\n");
  Write(CounterPath(), "[Zaehler]\r\nCounter=41\r\n[Optionen]\r\nPadding=3\r\n");
  for (const char* name : {"a", "b"}) Write(folder + name + ".ini", "[Zaehler]\r\n");
  Write(SettingsFolder() + "nummernkreise.txt", "Kunde A|" + folder + "a.ini\r\nKunde B|" + folder + "b.ini\r\n");
  bool driven = false;
  WhenDialogOpens("Trelvo Optionen", [&](HWND dialog) {
    driven = true;
    EXPECT_EQ(TabCtrl_GetItemCount(GetDlgItem(dialog, IDC_TABS)), 3);
    EXPECT_EQ(ItemText(dialog, IDC_MODE), "Adminmodus");
    EXPECT_EQ(ItemText(dialog, IDC_TEXT_BEFORE_LABEL), "Text &vor Datum:");
    EXPECT_EQ(ItemText(dialog, IDC_PREVIEW), "0042");
    EXPECT_TRUE(Visible(dialog, IDC_COUNTER));
    EXPECT_FALSE(Visible(dialog, IDC_RANGES));
    EXPECT_EQ(Counter().ReadString("Locking", "LockedBy", ""), "mmuster") << "locked while open";

    SetItemText(dialog, IDC_TEXT_BEFORE, "RE-");
    EXPECT_EQ(ItemText(dialog, IDC_PREVIEW), "RE-0042");
    EXPECT_EQ(ItemText(dialog, IDC_PREVIEW2), "RE-0042");
    Click(dialog, IDC_LEADING);
    EXPECT_EQ(ItemText(dialog, IDC_TEXT_COUNTER_LABEL), "Text vor Z&ähler:");
    testing::Pick(dialog, IDC_DIGITS, 5);
    EXPECT_EQ(ItemText(dialog, IDC_PREVIEW), "000042RE-");
    SetItemText(dialog, IDC_COUNTER, "");
    EXPECT_EQ(ui.shown.size(), 1u) << "an empty counter is told at once";
    SetItemText(dialog, IDC_COUNTER, "99");

    TabCtrl_SetCurSel(GetDlgItem(dialog, IDC_TABS), 2);
    NMHDR change{GetDlgItem(dialog, IDC_TABS), IDC_TABS, static_cast<UINT>(TCN_SELCHANGE)};
    SendMessageW(dialog, WM_NOTIFY, IDC_TABS, reinterpret_cast<LPARAM>(&change));
    EXPECT_TRUE(Visible(dialog, IDC_RANGES));
    EXPECT_FALSE(Visible(dialog, IDC_COUNTER));
    EXPECT_EQ(SendMessageW(GetDlgItem(dialog, IDC_RANGES), LB_GETCOUNT, 0, 0), 2);
    testing::Pick(dialog, IDC_RANGES, 0, true);
    testing::PressKey(dialog, IDC_RANGES, VK_UP, true);
    EXPECT_EQ(ui.beeps, 1) << "Ctrl+Up at the top beeps";
    testing::PressKey(dialog, IDC_RANGES, VK_DOWN, true, true);
    EXPECT_EQ(ListItem(dialog, 0), "Kunde A|" + folder + "a.ini") << "Shift+Ctrl+Down does not reorder";
    testing::Pick(dialog, IDC_RANGES, 0, true);
    testing::PressKey(dialog, IDC_RANGES, VK_DOWN, true);
    EXPECT_EQ(ListItem(dialog, 1), "Kunde A|" + folder + "a.ini");
    Click(dialog, IDC_OPTIONS_OK);
  });
  dialogs::win32::OptionsWindow window(env);
  window.Run(nullptr);
  ASSERT_TRUE(driven);
  const auto saved = Counter();
  EXPECT_EQ(saved.ReadString("Optionen", "TextBefore", ""), "RE-");
  EXPECT_EQ(saved.ReadInteger("Optionen", "Padding", -1), 5);
  EXPECT_TRUE(saved.ReadBool("Optionen", "LeadingText", false));
  EXPECT_EQ(saved.ReadInteger("Zaehler", "Counter", -1), 99);
  EXPECT_FALSE(saved.ReadBool("Locking", "IsLocked", true)) << "OK frees the lock";
  EXPECT_EQ(Read(SettingsFolder() + "nummernkreise.txt"),
            "Kunde B|" + folder + "b.ini\r\nKunde A|" + folder + "a.ini\r\n");
  EXPECT_TRUE(window.dialog().range_list_changed());
}

TEST_F(DialogWindows, OptionsInClientModeShowsThePathsAndLocksNothing) {
  Write(CounterPath(), "[Zaehler]\r\nCounter=7\r\n");
  bool driven = false;
  WhenDialogOpens("Trelvo Optionen", [&](HWND dialog) {
    driven = true;
    EXPECT_EQ(TabCtrl_GetItemCount(GetDlgItem(dialog, IDC_TABS)), 2);
    EXPECT_EQ(ItemText(dialog, IDC_MODE), "Clientmodus");
    EXPECT_TRUE(Visible(dialog, IDC_COUNTER_FILE));
    EXPECT_FALSE(Visible(dialog, IDC_NEW_COUNTER_FILE));
    EXPECT_FALSE(Visible(dialog, IDC_COUNTER));
    EXPECT_TRUE(GetWindowLongW(GetDlgItem(dialog, IDC_DESCRIPTION), GWL_STYLE) & ES_READONLY);
    EXPECT_EQ(ItemText(dialog, IDC_DESCRIPTION_LABEL), "&Beschreibung für 'sabu_counter.ini':");
    EXPECT_EQ(ItemText(dialog, IDC_COUNTER_FILE), CounterPath());
    EXPECT_EQ(ItemText(dialog, IDC_PREVIEW2), "0008") << "the next number as a draw composes it";
    SetItemText(dialog, IDC_LOG_FOLDER, "L:\\Logs\\");
    Click(dialog, IDCANCEL);
  });
  dialogs::win32::OptionsWindow window(env);
  window.Run(nullptr);
  ASSERT_TRUE(driven);
  EXPECT_EQ(Read(CounterPath()), "[Zaehler]\r\nCounter=7\r\n");
  EXPECT_EQ(Read(SettingsFolder() + "trelvo.ini"), "") << "Cancel writes no settings";
}

TEST_F(DialogWindows, AddingARangeOpensTheRangeDialogWhichRefusesABlankName) {
  Write(folder + "c.ini", "[Zaehler]\r\n");
  bool edited = false;
  WhenDialogOpens("Trelvo Optionen", [&](HWND options) {
    WhenDialogOpens("Trelvo Nummernkreis bearbeiten", [&](HWND range) {
      edited = true;
      EXPECT_EQ(ItemText(range, IDC_RANGE_NAME_LABEL), "&Angezeigter Name (eindeutig): ");
      SetItemText(range, IDC_RANGE_NAME, "   ");
      SetItemText(range, IDC_RANGE_FILE, folder + "c.ini");
      Click(range, IDOK);
      EXPECT_EQ(ui.beeps, 1) << "a name of blanks is refused";
      EXPECT_TRUE(IsWindowVisible(range));
      SetItemText(range, IDC_RANGE_NAME, " Kunde C");
      Click(range, IDOK);
    });
    Click(options, IDC_ADD_RANGE);
    EXPECT_EQ(ItemText(options, IDC_RANGES), "");
    EXPECT_EQ(SendMessageW(GetDlgItem(options, IDC_RANGES), LB_GETCOUNT, 0, 0), 1);
    Click(options, IDC_OPTIONS_OK);
  });
  dialogs::win32::OptionsWindow window(env);
  window.Run(nullptr);
  EXPECT_TRUE(edited);
  EXPECT_EQ(Read(SettingsFolder() + "nummernkreise.txt"), " Kunde C|" + folder + "c.ini\r\n");
}

TEST_F(DialogWindows, AboutShowsNameVersionAndRevisionAndCloses) {
  bool driven = false;
  WhenDialogOpens("Info", [&](HWND dialog) {
    driven = true;
    EXPECT_EQ(ItemText(dialog, IDC_ABOUT_TITLE), "Trelvo 2008 Add-In");
    EXPECT_EQ(ItemText(dialog, IDC_VERSION), "Version: 0.0.0.0") << "a program without version information";
    EXPECT_EQ(ItemText(dialog, IDC_REVISION), "Revision: 2008-09-28 19:30:44");
    EXPECT_EQ(ItemText(dialog, IDC_CONTACT), "Hinweise && Kontakt");
    EXPECT_EQ(ItemText(dialog, IDCANCEL), "Schließen");
    SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);  // Esc
  });
  dialogs::win32::AboutWindow().Run(nullptr);
  EXPECT_TRUE(driven);
}

TEST_F(DialogWindows, TheTextInputGivesTheTextOrNothingOnCancel) {
  for (const bool ok : {true, false}) {
    WhenDialogOpens("Trelvo", [&](HWND dialog) {
      EXPECT_EQ(ItemText(dialog, IDC_INPUT_PROMPT), "Geben Sie bitte die Kundenbezeichnung für den Dateinamen ein:");
      EXPECT_EQ(ItemText(dialog, IDC_INPUT_TEXT), "Müller");
      SetItemText(dialog, IDC_INPUT_TEXT, "Müller & Co.");
      Click(dialog, ok ? IDOK : IDCANCEL);
    });
    dialogs::win32::TextInputWindow input("Trelvo",
                                          "Geben Sie bitte die Kundenbezeichnung für den Dateinamen ein:", "Müller");
    EXPECT_EQ(input.Run(nullptr), ok ? std::optional<std::string>("Müller & Co.") : std::nullopt);
  }
}

// A dialog whose handler fails and whose error box fails in turn: the dialog
// procedure keeps both exceptions, and the dialog goes on until it is closed.
TEST_F(DialogWindows, AnErrorBoxThatThrowsStaysInTheDialogProcedure) {
  class FailingInput : public dialogs::win32::TextInputWindow {
   public:
    FailingInput() : TextInputWindow("Trelvo", "Text:", "") {}
    int reports = 0;

   protected:
    void OnCommand(int id, int code) override {
      if (id == IDOK) throw Error("OK ging schief.");
      TextInputWindow::OnCommand(id, code);
    }
    void OnError(const std::exception&) override {
      ++reports;
      throw Error("Auch die Fehlermeldung ging schief.");
    }
  } input;
  WhenDialogOpens("Trelvo", [&](HWND dialog) {
    Click(dialog, IDOK);
    EXPECT_TRUE(IsWindowVisible(dialog)) << "the dialog goes on";
    Click(dialog, IDCANCEL);
  });
  EXPECT_EQ(input.Run(nullptr), std::nullopt);
  EXPECT_EQ(input.reports, 1);
}

// A box of the add-in while one of its dialogs is open belongs to that dialog,
// not to the host's window that the dialog has disabled.
TEST_F(DialogWindows, ABoxDuringADialogBelongsToTheDialog) {
  HWND host =
      CreateWindowExW(0, L"STATIC", L"Host", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr, nullptr, nullptr);
  ASSERT_TRUE(host);
  win32::MessageBoxUserInterface boxes(win32::OwnerWindow([host] { return host; }));
  HWND box_owner = nullptr, input = nullptr;
  WhenDialogOpens("Trelvo", [&](HWND dialog) {
    input = dialog;
    WhenDialogOpens("Fehler", [&](HWND box) {
      box_owner = GetWindow(box, GW_OWNER);
      SendMessageW(box, WM_COMMAND, IDOK, 0);
    });
    platform::ShowErrorBox(boxes, "Ein Fehler");
    Click(dialog, IDCANCEL);
  });
  dialogs::win32::TextInputWindow("Trelvo", "Text:", "").Run(host);
  EXPECT_EQ(box_owner, input);
  DestroyWindow(host);
}

}  // namespace
}  // namespace trelvo
