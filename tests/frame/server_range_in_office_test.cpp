// A counter file that points at a range on the tests' own PostgreSQL server,
// used by the real Trelvo.dll in the simulated Excel 11.0 as by the trelvo
// tool: Insert draws from the server and leaves its record there, and the
// Options dialog edits the server's values while it holds the range.
#include "tests/frame/office_fixture.h"

#include "platform/sql_connection.h"
#include "resources/dialog_ids.h"
#include "tests/dialogs/win32/dialog_driver.h"
#include "tests/support/scratch_server.h"

namespace trelvo {
namespace {

int RunTool(const std::vector<std::string>& args) {
  return testing::StartChild(testing::ProgramFolder() + "trelvo.exe", args)->Wait();
}

// The user's settings name a pointer to a fresh range on the server, moved
// there from the counter file (Counter=41).
struct ServerSettings : UserSettings {
  std::string connection = testing::ScratchServerConnection();
  std::string range = testing::FreshRangeName("Excel");
  std::string pointer = folder + "server.ini";

  explicit ServerSettings(bool admin = false) {
    std::ofstream(pointer, std::ios::binary)
        << "[Server]\r\nConnection=" << connection << "\r\nRange=\"" << range << "\"\r\n";
    std::ofstream((UserFolder() + L"\\trelvo.ini").c_str(), std::ios::binary)
        << "[Pfade]\r\nCounterFile=\"" << pointer << "\"\r\nLogPath=\"" << folder << "\"\r\n"
        << (admin ? "[Mode]\r\nAdminMode=1\r\n" : "");
    EXPECT_EQ(RunTool({"server-init", "--counter-file", pointer, "--from", counter}), 0);
  }
  // The range's records on the server: number and application.
  std::vector<std::string> Records() const {
    std::vector<std::string> records;
    for (const auto& row :
         platform::OdbcConnector()
             .Connect(connection)
             ->Execute("SELECT number, application FROM trelvo_usage WHERE range_name = ? ORDER BY record_id", {range}))
      records.push_back(row[0].value_or("") + " " + row[1].value_or(""));
    return records;
  }
};

TEST_F(OfficeLoadsTrelvo, InsertFromAServerRangePutsTheNumberIntoTheCellAndTheRecordOnTheServer) {
  const ServerSettings settings;
  ASSERT_FALSE(settings.connection.empty()) << "no scratch server: run the tests through CTest";
  const DispatchObject excel = StartHost(kExcelClassId);
  excel.GetObject("Workbooks").Call("Add");
  InsertButton(excel).Call("Execute");
  EXPECT_EQ(excel.GetObject("ActiveCell").Get("Text").ToText(), "0042");
  excel.Call("SimPump", {Variant::Int(1100)});
  InsertButton(excel).Call("Execute");
  EXPECT_EQ(excel.GetObject("ActiveCell").Get("Text").ToText(), "0043");
  EXPECT_EQ(excel.GetObject("SimUser").Get("Messages").ToText(), "") << "no box";
  excel.Call("Quit");

  EXPECT_EQ(settings.Records(), (std::vector<std::string>{"0042 Excel 11.0", "0043 Excel 11.0"}));
  EXPECT_EQ(settings.Read(settings.log), "") << "the records are the server's, not the log file's";
  // The counter file the range moved from draws no more.
  EXPECT_EQ(RunTool({"draw", "--counter-file", settings.counter}), 2);
}

TEST_F(OfficeLoadsTrelvo, TheOptionsDialogHoldsTheServerRangeAndSavesItsFormatThere) {
  const ServerSettings settings(true);
  const DispatchObject excel = StartHost(kExcelClassId);
  excel.GetObject("SimUser").Put("Answer", Variant::Text(""));  // the test answers the dialog
  int while_open = -1;
  std::string preview;
  testing::WhenDialogOpens("Trelvo Optionen", [&](HWND dialog) {
    preview = testing::ItemText(dialog, IDC_PREVIEW);
    while_open = RunTool({"draw", "--counter-file", settings.pointer});
    testing::SetItemText(dialog, IDC_TEXT_BEFORE, "RE-");
    testing::Click(dialog, IDC_OPTIONS_OK);
  });
  OptionsButton(excel).Call("Execute");
  EXPECT_EQ(preview, "0042");
  EXPECT_EQ(while_open, 2) << "another workstation is refused while the dialog holds the range";
  excel.GetObject("Workbooks").Call("Add");
  InsertButton(excel).Call("Execute");
  EXPECT_EQ(excel.GetObject("ActiveCell").Get("Text").ToText(), "RE-0042");
  excel.Call("Quit");
  EXPECT_EQ(settings.Records(), (std::vector<std::string>{"#ini gesperrt# Kommandozeile 1.0", "RE-0042 Excel 11.0"}));
}

// Options on a server that cannot be reached: one message, no dialog of
// default values; a server gone while the dialog is open: Cancel closes it,
// saying that the lock stays.
TEST_F(OfficeLoadsTrelvo, OptionsOnAServerThatIsGoneShowOneMessageAndAlwaysClose) {
  const ServerSettings settings(true);
  const auto point_to = [&](const std::string& connection) {
    std::ofstream(settings.pointer, std::ios::binary)
        << "[Server]\r\nConnection=" << connection << "\r\nRange=\"" << settings.range << "\"\r\n";
  };
  const std::string gone = settings.connection.substr(0, settings.connection.find("Port=")) + "Port=1;" +
                           settings.connection.substr(settings.connection.find(';', settings.connection.find("Port=")) + 1);
  const DispatchObject excel = StartHost(kExcelClassId);
  point_to(gone);
  bool opened = false;
  testing::WhenDialogOpens("Trelvo Optionen", [&](HWND dialog) {
    opened = true;
    testing::Click(dialog, IDCANCEL);
  });
  OptionsButton(excel).Call("Execute");
  EXPECT_FALSE(opened) << "no dialog of default values";
  const std::string told = excel.GetObject("SimUser").Get("Messages").ToText();
  EXPECT_NE(told.find("ist nicht erreichbar"), std::string::npos) << told;
  size_t boxes = 0;
  for (size_t at = told.find("Fehler|"); at != std::string::npos; at = told.find("Fehler|", at + 1)) ++boxes;
  EXPECT_EQ(boxes, 1u) << "one message: " << told;

  point_to(settings.connection);
  excel.GetObject("SimUser").Put("Answer", Variant::Text(""));  // the test answers the dialog...
  testing::WhenDialogOpens("Trelvo Optionen", [&](HWND dialog) {
    opened = true;
    point_to(gone);
    excel.GetObject("SimUser").Put("Answer", Variant::Text("OK"));  // ...the user the boxes it brings
    testing::Click(dialog, IDCANCEL);
  });
  OptionsButton(excel).Call("Execute");
  EXPECT_TRUE(opened);
  EXPECT_NE(excel.GetObject("SimUser").Get("Messages").ToText().find("Die Sperre bleibt bestehen"), std::string::npos)
      << excel.GetObject("SimUser").Get("Messages").ToText();
  excel.Call("Quit");
}

}  // namespace
}  // namespace trelvo
