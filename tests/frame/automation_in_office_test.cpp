// Save As, the customer name and the automation object of the real
// Trelvo.dll in the simulated Excel and Word: the proposed file names reach
// the hosts' dialogs, and macros run by cscript read, draw and switch the
// counter file with the guarantees of a click.
#include "tests/frame/office_fixture.h"

#include <set>
#include <sstream>

#include "commands/toolbar_definition.h"
#include "resources/dialog_ids.h"
#include "tests/dialogs/win32/dialog_driver.h"

namespace trelvo {
namespace {

DispatchObject Button(const DispatchObject& host, size_t index) {
  return host.GetObject("CommandBars")
      .GetObject("FindControl",
                 {Variant::Int(1), Variant::Omitted(), Variant::Text(commands::kTrelvoToolbar.controls[index].tag)});
}
constexpr size_t kSave = 0, kCustomer = 4;

std::string Shows(const DispatchObject& host, long dialog) {
  return host.GetObject("Dialogs").GetObject("Item", {Variant::Int(dialog)}).Get("SimShows").ToText();
}
std::string Messages(const DispatchObject& host) { return host.GetObject("SimUser").Get("Messages").ToText(); }

// The customer-name dialog answered by typing text (nullopt: Abbrechen).
void AnswerCustomer(const DispatchObject& host, std::optional<std::string> text) {
  host.GetObject("SimUser").Put("Answer", Variant::Text(""));
  testing::WhenDialogOpens("Trelvo", [text](HWND dialog) {
    EXPECT_EQ(testing::ItemText(dialog, IDC_INPUT_PROMPT),
              "Geben Sie bitte die Kundenbezeichnung für den Dateinamen ein:");
    if (text) testing::SetItemText(dialog, IDC_INPUT_TEXT, *text);
    testing::Click(dialog, text ? IDOK : IDCANCEL);
  });
  Button(host, kCustomer).Call("Execute");
  host.GetObject("SimUser").Put("Answer", Variant::Text("OK"));
}

TEST_F(OfficeLoadsTrelvo, SpeichernProposesCustomerAndNumberInExcelAndWord) {
  const UserSettings settings;
  const DispatchObject excel = StartHost(kExcelClassId);
  Button(excel, kSave).Call("Execute");
  EXPECT_EQ(Messages(excel), "Trelvo|Kein aktives Arbeitsblatt. Bitte öffnen Sie eine Arbeitsmappe.\r\n");
  excel.GetObject("Workbooks").Call("Add");
  InsertButton(excel).Call("Execute");
  AnswerCustomer(excel, "Müller & Co.");
  Button(excel, kSave).Call("Execute");
  AnswerCustomer(excel, std::nullopt);  // Abbrechen keeps the name
  Button(excel, kSave).Call("Execute");
  AnswerCustomer(excel, "");
  Button(excel, kSave).Call("Execute");
  EXPECT_EQ(Shows(excel, 5), "Müller & Co. 0042\r\nMüller & Co. 0042\r\n0042\r\n") << "one argument without the ribbon";
  excel.Call("Quit");

  win32::WriteRegistryText(HKEY_CURRENT_USER, L"Software\\SimOffice\\Excel", L"Version", L"12.0");
  const DispatchObject excel12 = StartHost(kExcelClassId);
  excel12.GetObject("Workbooks").Call("Add");
  excel12.GetObject("SimRibbon").Call("Click", {Variant::Text("Speichern")});
  EXPECT_EQ(Shows(excel12, 5), "Rechnungsnummer|-4143\r\n") << "the host's default save format with the ribbon";
  excel12.Call("Quit");

  const DispatchObject word = StartHost(kWordClassId);
  word.GetObject("Documents").Call("Add");
  AnswerCustomer(word, "A/B");
  Button(word, kSave).Call("Execute");
  EXPECT_EQ(Shows(word, 84), "A_B Rechnungsnummer\r\n") << "Name set, then shown";
  word.Call("Quit");
}

// What a macro does through the automation object, in Excel and then Word.
TEST_F(OfficeLoadsTrelvo, AVbscriptMacroReadsDrawsAndSwitchesTheCounterFile) {
  const UserSettings settings;
  const std::string other = settings.folder + "firma_b.ini";
  std::ofstream(other, std::ios::binary) << "[Zaehler]\r\nCounter=7\r\n";
  const std::string script = settings.folder + "makro.vbs";
  {
    std::ofstream out(script, std::ios::binary);
    out << "Set xl = CreateObject(\"Excel.Application\")\r\n"
           "Set t = xl.COMAddIns(\"Trelvo.TrelvoCoClass\").Object\r\n"
           "On Error Resume Next\r\n"
           "n = t.SetCounter\r\n"
           "If Err.Number = 0 Or InStr(Err.Description, \"keine Nummer vergeben\") = 0 Then WScript.Quit 2\r\n"
           "On Error GoTo 0\r\n"
           "xl.Workbooks.Add\r\n"
           "a = t.ReadCounter\r\n"
           "If a <> \"0042\" Or t.ReadCounter <> a Then WScript.Quit 3\r\n"
           "If t.SetCounter <> a Then WScript.Quit 4\r\n"
           "If xl.ActiveWorkbook.CustomDocumentProperties(\"SabuCounter\").Value <> a Then WScript.Quit 5\r\n"
           "xl.Quit\r\n"
           "Set wd = CreateObject(\"Word.Application\")\r\n"
           "Set doc = wd.Documents.Add\r\n"
           "Set t = wd.COMAddIns(\"Trelvo.TrelvoCoClass\").Object\r\n"
           "If t.SetCounter <> \"0043\" Then WScript.Quit 6\r\n"
           "If doc.CustomDocumentProperties(\"SabuCounter\").Value <> \"0043\" Or doc.SimText <> \"\" Then "
           "WScript.Quit 8\r\n"
           // An administrator holds the counter file: refused without a box, and logged.
           "Set fso = CreateObject(\"Scripting.FileSystemObject\")\r\n"
           "Set f = fso.CreateTextFile(\""
        << settings.counter
        << "\", True)\r\n"
           "f.Write \"[Zaehler]\" & vbCrLf & \"Counter=43\" & vbCrLf & \"[Locking]\" & vbCrLf & \"IsLocked=1\" & "
           "vbCrLf & "
           "\"LockedBy=akoch\" & vbCrLf\r\n"
           "f.Close\r\n"
           "If t.SetCounter <> \"#ini gesperrt#\" Then WScript.Quit 9\r\n"
           "If wd.SimUser.Messages <> \"\" Then WScript.Quit 10\r\n"
           // The toolbar's selector on another entry: SetIniFile puts it back on the first.
           "Set ranges = wd.CommandBars.FindControl(3, , \"{D4A2F76B-E798-48C6-8BEC-4A91BA12B835}\")\r\n"
           "ranges.AddItem \"Firma B\"\r\n"
           "ranges.ListIndex = 2\r\n"
           "If t.SetIniFile(\""
        << settings.folder
        << "\") Then WScript.Quit 11\r\n"
           "If t.SetIniFile(\""
        << settings.folder
        << "fehlt.ini\") Then WScript.Quit 12\r\n"
           "If ranges.ListIndex <> 2 Then WScript.Quit 13\r\n"
           "If Not t.SetIniFile(\""
        << other
        << "\") Then WScript.Quit 14\r\n"
           "If ranges.ListIndex <> 1 Then WScript.Quit 15\r\n"
           "If t.ReadCounter <> \"0008\" Then WScript.Quit 16\r\n"
           "wd.Quit\r\n"
           "WScript.Quit 7\r\n";  // reached only when no statement failed
  }
  EXPECT_EQ(testing::StartChild("cscript.exe", {"//nologo", script})->Wait(), 7);
  const std::string log = settings.Read(settings.log);
  for (const char* record : {"\"0042\"; ", "\"Excel 11.0\"", "\"0043\"; ", "\"Word 11.0\"", "\"#ini gesperrt#\"; "})
    EXPECT_NE(log.find(record), std::string::npos) << record << "\n" << log;
}

// A relative counter file would name another file in every folder a host runs
// in: a macro cannot store one, and one stored by hand (or a relative log
// folder) is refused at the draw, naming the setting, before a number is drawn.
TEST_F(OfficeLoadsTrelvo, ARelativeCounterFileOrLogFolderIsNeitherStoredNorDrawnFrom) {
  const UserSettings settings;
  const std::string relative = "trelvo_relativ.ini";  // in this process's working folder
  std::ofstream(relative, std::ios::binary) << "[Zaehler]\r\nCounter=500\r\n";
  const std::string settings_path = win32::Narrow(UserFolder()) + "\\trelvo.ini";
  const std::string stored = settings.Read(settings_path);
  const DispatchObject excel = StartHost(kExcelClassId);
  excel.GetObject("Workbooks").Call("Add");
  const DispatchObject trelvo(
      excel.GetObject("COMAddIns").GetObject("Item", {Variant::Text("Trelvo.TrelvoCoClass")}).Get("Object").ToObject());
  SetErrorInfo(0, nullptr);
  EXPECT_FALSE(trelvo.Get("SetIniFile", {Variant::Text(relative)}).ToBool());
  Microsoft::WRL::ComPtr<IErrorInfo> info;
  ASSERT_EQ(GetErrorInfo(0, &info), S_OK);
  win32::Bstr description;
  info->GetDescription(description.out());
  EXPECT_EQ(win32::Narrow(description.str()),
            "Die Zählerdatei muss mit vollständigem Pfad angegeben werden, mit Laufwerk (C:\\...) oder "
            "Netzwerkfreigabe (\\\\Server\\Freigabe\\...): 'trelvo_relativ.ini'");
  EXPECT_EQ(settings.Read(settings_path), stored) << "nothing stored";

  const std::pair<std::string, std::string> stored_paths[] = {
      {"CounterFile", "CounterFile=\"" + relative + "\"\r\nLogPath=\"" + settings.folder + "\""},
      {"LogPath", "CounterFile=\"" + settings.counter + "\"\r\nLogPath=\"Protokolle\\\""},
  };
  for (const auto& [key, lines] : stored_paths) {
    std::ofstream(settings_path, std::ios::binary) << "[Pfade]\r\n" << lines << "\r\n";
    InsertButton(excel).Call("Execute");
    EXPECT_EQ(excel.GetObject("ActiveCell").Get("FormulaR1C1").ToText(), "") << key;
    EXPECT_NE(Messages(excel).find("Die Einstellung " + key + " in '"), std::string::npos) << Messages(excel);
    EXPECT_NE(Messages(excel).find("' ist kein vollständiger Pfad: '"), std::string::npos) << Messages(excel);
  }
  EXPECT_EQ(settings.Read(relative), "[Zaehler]\r\nCounter=500\r\n");
  EXPECT_EQ(settings.Read(settings.counter), "[Zaehler]\r\nCounter=41\r\n") << "nothing drawn";
  excel.Call("Quit");
  DeleteFileA(relative.c_str());
}

// Macro clients in three processes drawing at once never get the same number.
TEST_F(OfficeLoadsTrelvo, MacrosInSeveralProcessesNeverDrawTheSameNumber) {
  const UserSettings settings;
  const std::string script = settings.folder + "ziehen.vbs";
  constexpr int kDraws = 15, kProcesses = 3;
  std::ofstream(script, std::ios::binary) << "Set xl = CreateObject(\"Excel.Application\")\r\n"
                                             "xl.Workbooks.Add\r\n"
                                             "Set t = xl.COMAddIns(\"Trelvo.TrelvoCoClass\").Object\r\n"
                                             "For i = 1 To "
                                          << kDraws
                                          << "\r\n"
                                             "  t.SetCounter\r\n"
                                             "Next\r\n"
                                             "xl.Quit\r\n"
                                             "WScript.Quit 7\r\n";
  std::vector<std::unique_ptr<testing::ChildProcess>> clients;
  for (int i = 0; i < kProcesses; ++i) clients.push_back(testing::StartChild("cscript.exe", {"//nologo", script}));
  for (auto& client : clients) EXPECT_EQ(client->Wait(), 7);
  std::set<std::string> numbers;
  std::istringstream log(settings.Read(settings.log));
  for (std::string line; std::getline(log, line);)
    if (line.starts_with("\"0")) numbers.insert(line.substr(0, line.find(';')));
  EXPECT_EQ(numbers.size(), static_cast<size_t>(kDraws * kProcesses)) << "every number once";
  EXPECT_NE(settings.Read(settings.counter).find("Counter=" + std::to_string(41 + kDraws * kProcesses)),
            std::string::npos);
}

}  // namespace
}  // namespace trelvo
