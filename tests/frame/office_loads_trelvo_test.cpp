// The real Trelvo.dll as a guest of the simulated Excel and Word, created by
// ProgID from a VBScript as a macro would and from C++: connection, toolbar,
// Insert and the range selection.
#include "tests/frame/office_fixture.h"

#include "platform/file_lock_range.h"
#include "platform/win32/unique_handle.h"

namespace trelvo {
namespace {

// A macro finds the add-in connected, reaches its automation object, unloads
// and loads it again, and quits the host.
TEST_F(OfficeLoadsTrelvo, AVbscriptFindsTheAddInConnectedAndDisconnectsAndReconnectsIt) {
  const std::wstring folder = UserFolder();
  RemoveDirectoryW(folder.c_str());
  const std::string script = testing::MakeTempFolder() + "addin.vbs";
  {
    std::ofstream out(script, std::ios::binary);
    out << "For Each name In Array(\"Excel.Application\", \"Word.Application\")\r\n"
           "  Set host = CreateObject(name)\r\n"
           "  Set addin = host.COMAddIns(\"Trelvo.TrelvoCoClass\")\r\n"
           "  If Not addin.Connect Then WScript.Quit 2\r\n"
           "  If TypeName(addin.Object) <> \"ITrelvoCoClass\" Then WScript.Quit 3\r\n"
           "  addin.Connect = False\r\n"
           "  If addin.Connect Or Not (addin.Object Is Nothing) Then WScript.Quit 4\r\n"
           "  addin.Connect = True\r\n"
           "  If TypeName(host.COMAddIns(1).Object) <> \"ITrelvoCoClass\" Then WScript.Quit 5\r\n"
           "  If host.SimUser.Messages <> \"\" Then WScript.Quit 6\r\n"
           "  host.Quit\r\n"
           "Next\r\n"
           "WScript.Quit 7\r\n";  // reached only when no statement failed
  }
  EXPECT_EQ(testing::StartChild("cscript.exe", {"//nologo", script})->Wait(), 7);
  const DWORD attributes = GetFileAttributesW(folder.c_str());
  EXPECT_TRUE(attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
      << "the module's creation makes the per-user folder";
}

// Quit shuts the add-in down, and once nothing holds it the library unloads.
TEST_F(OfficeLoadsTrelvo, QuitShutsTheAddInDownAndTheLibraryUnloads) {
  {
    Microsoft::WRL::ComPtr<IDispatch> excel;
    ASSERT_EQ(CoCreateInstance(kExcelClassId, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&excel)), S_OK);
    const DispatchObject host(excel);
    const DispatchObject entry = host.GetObject("COMAddIns").GetObject("Item", {Variant::Text("Trelvo.TrelvoCoClass")});
    EXPECT_TRUE(entry.Get("Connect").ToBool());
    EXPECT_NE(GetModuleHandleW(L"Trelvo.dll"), nullptr);
    host.Call("Quit");
    EXPECT_FALSE(entry.Get("Connect").ToBool());
  }
  CoFreeUnusedLibrariesEx(0, 0);
  EXPECT_EQ(GetModuleHandleW(L"Trelvo.dll"), nullptr) << "DllCanUnloadNow did not allow the unload";
}

// The user unloads the add-in while the host runs on: once nothing of the
// library is left, it lets go of the host's Application before it allows the
// unload (not afterwards, under the loader lock), and the host goes on.
TEST_F(OfficeLoadsTrelvo, AfterTheUserUnloadsTheAddInTheLibraryLetsGoOfTheHostBeforeItUnloads) {
  Microsoft::WRL::ComPtr<IDispatch> excel;
  ASSERT_EQ(CoCreateInstance(kExcelClassId, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&excel)), S_OK);
  const auto references = [&] {
    excel->AddRef();
    return excel->Release();
  };
  const DispatchObject host(excel);
  host.GetObject("COMAddIns").GetObject("Item", {Variant::Text("Trelvo.TrelvoCoClass")}).Put("Connect",
                                                                                             Variant::Bool(false));
  const HMODULE library = GetModuleHandleW(L"Trelvo.dll");
  ASSERT_NE(library, nullptr);
  using CanUnloadNow = HRESULT(STDAPICALLTYPE*)();
  const auto can_unload =
      reinterpret_cast<CanUnloadNow>(reinterpret_cast<void*>(GetProcAddress(library, "DllCanUnloadNow")));
  ASSERT_NE(can_unload, nullptr);
  const ULONG held = references();
  ASSERT_EQ(can_unload(), S_OK);
  EXPECT_LT(references(), held) << "the library still holds the host's Application";
  CoFreeUnusedLibrariesEx(0, 0);
  EXPECT_EQ(GetModuleHandleW(L"Trelvo.dll"), nullptr);
  EXPECT_NO_THROW(host.GetObject("Workbooks").Call("Add"));
  host.Call("Quit");
}

// Excel takes what is put into a cell as typed input ("0042" would become 42,
// "3/26" a date): every shape of number lands as the text that was logged,
// and the cell's number format stays as the user set it.
TEST_F(OfficeLoadsTrelvo, EveryShapeOfNumberLandsInTheCellAsTheLoggedText) {
  const UserSettings settings;
  const std::string year = [] {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return std::to_string(now.wYear);
  }();
  const std::pair<std::string, std::string> shapes[] = {
      {"", "0042"},                                                   // digits only
      {"[Optionen]\r\nPrefix=1\r\n", year + "0042"},                 // digits with a date
      {"[Optionen]\r\nPrefix=2\r\nPadding=0\r\nLeadingText=1\r\nTextBefore=\"/\"\r\n",
       "2/" + year.substr(2)},                                         // reads as a date
      {"[Optionen]\r\nTextBefore=\"RE-\"\r\nTextCounter=\"-A\"\r\n", "RE-0042-A"},  // texts before and after
  };
  const DispatchObject excel = StartHost(kExcelClassId);
  excel.GetObject("Workbooks").Call("Add");
  const DispatchObject cell = excel.GetObject("ActiveCell");
  cell.Put("NumberFormat", Variant::Text("0.00"));  // the user's own format
  for (const auto& [options, number] : shapes) {
    const std::string counter = number.find('/') != std::string::npos ? "Counter=1" : "Counter=41";
    std::ofstream(settings.counter, std::ios::binary) << "[Zaehler]\r\n" << counter << "\r\n" << options;
    InsertButton(excel).Call("Execute");
    excel.Call("SimPump", {Variant::Int(1100)});
    const Variant value = cell.Get("Value");
    EXPECT_EQ(value.type(), VT_BSTR) << number;
    EXPECT_EQ(value.ToText(), number);
    EXPECT_EQ(cell.Get("Text").ToText(), number);
    EXPECT_NE(settings.Read(settings.log).find("\"" + number + "\"; "), std::string::npos) << number;
  }
  EXPECT_EQ(cell.Get("NumberFormat").ToText(), "0.00");
  excel.Call("Quit");
}

// As a macro sees it: the cell's Text and Value are "0042", and the value a string.
TEST_F(OfficeLoadsTrelvo, AVbscriptReadsTheInsertedNumberAsText) {
  const UserSettings settings;
  const std::string script = settings.folder + "zelle.vbs";
  std::ofstream(script, std::ios::binary)
      << "Set xl = CreateObject(\"Excel.Application\")\r\n"
         "xl.Workbooks.Add\r\n"
         "xl.CommandBars.FindControl(1, , \""
      << kInsertTag
      << "\").Execute\r\n"
         "Set c = xl.ActiveCell\r\n"
         "If c.Text <> \"0042\" Or c.Value <> \"0042\" Or TypeName(c.Value) <> \"String\" Then WScript.Quit 3\r\n"
         "xl.Quit\r\n"
         "WScript.Quit 7\r\n";
  EXPECT_EQ(testing::StartChild("cscript.exe", {"//nologo", script})->Wait(), 7);
}

// Word keeps lasting toolbars in Normal.dot and asks at exit whether to save
// it; after "Nein" they are gone. The add-in's toolbar is whole and visible at
// every start, and the user is never asked about Normal.dot for it.
TEST_F(OfficeLoadsTrelvo, WordShowsAWholeToolbarAtEveryStartWithoutAskingToSaveNormalDot) {
  const UserSettings settings;
  for (int start = 1; start <= 2; ++start) {
    const DispatchObject word = StartHost(kWordClassId);
    const DispatchObject bar = word.GetObject("CommandBars").GetObject("Item", {Variant::Text("Trelvo")});
    EXPECT_EQ(bar.GetObject("Controls").Get("Count").ToInt(), 6) << "start " << start;
    EXPECT_TRUE(bar.Get("Visible").ToBool());
    EXPECT_TRUE(word.GetObject("NormalTemplate").Get("Saved").ToBool()) << "Normal.dot is left as it was";
    word.GetObject("SimUser").Put("Answer", Variant::Text("Nein"));
    word.Call("Quit");
    EXPECT_EQ(word.GetObject("SimUser").Get("Messages").ToText(), "") << "no question at exit";
  }
}

// The toolbar lasts only while Excel runs: a start after the user deleted the
// whole bar "Trelvo", or one of its controls, builds it again with every control.
TEST_F(OfficeLoadsTrelvo, EveryStartBuildsTheWholeToolbarWhateverTheUserDeletedBefore) {
  const UserSettings settings;
  const auto bar_of = [](const DispatchObject& host) {
    return host.GetObject("CommandBars").GetObject("Item", {Variant::Text("Trelvo")});
  };
  {
    const DispatchObject excel = StartHost(kExcelClassId);
    bar_of(excel).Call("Delete");
    excel.Call("Quit");
  }
  {
    const DispatchObject excel = StartHost(kExcelClassId);
    const DispatchObject bar = bar_of(excel);
    EXPECT_EQ(bar.GetObject("Controls").Get("Count").ToInt(), 6);
    EXPECT_TRUE(bar.Get("Visible").ToBool());
    excel.GetObject("Workbooks").Call("Add");
    InsertButton(excel).Call("Execute");
    EXPECT_EQ(excel.GetObject("ActiveCell").Get("FormulaR1C1").ToText(), "0042");
    bar.GetObject("Controls").GetObject("Item", {Variant::Int(5)}).Call("Delete");
    excel.Call("Quit");
  }
  const DispatchObject excel = StartHost(kExcelClassId);
  EXPECT_EQ(bar_of(excel).GetObject("Controls").Get("Count").ToInt(), 6);
  excel.Call("Quit");
}

// A locked counter file refuses the Insert with its message; the Insert
// button is not greyed for it: the guard's second follows only a draw.
TEST_F(OfficeLoadsTrelvo, ARefusedInsertLeavesTheInsertButtonAsItWas) {
  const UserSettings settings;
  std::ofstream(settings.counter, std::ios::binary)
      << "[Zaehler]\r\nCounter=41\r\n[Locking]\r\nIsLocked=1\r\nLockedBy=\"akoch\"\r\n";
  const DispatchObject excel = StartHost(kExcelClassId);
  excel.GetObject("Workbooks").Call("Add");
  const DispatchObject insert = InsertButton(excel);
  insert.Call("Execute");
  EXPECT_NE(excel.GetObject("SimUser").Get("Messages").ToText().find("'akoch'"), std::string::npos);
  EXPECT_TRUE(insert.Get("Enabled").ToBool());
  std::ofstream(settings.counter, std::ios::binary) << "[Zaehler]\r\nCounter=41\r\n";
  insert.Call("Execute");
  EXPECT_EQ(excel.GetObject("ActiveCell").Get("FormulaR1C1").ToText(), "0042") << "at once, without a second's wait";
  EXPECT_FALSE(insert.Get("Enabled").ToBool()) << "a draw is guarded";
  excel.Call("Quit");
}

// Another workstation holds the counter file beyond the wait: the user sees
// the wait (its text in the status bar, under the wait cursor) and then the
// message; nothing is drawn, and the bar is Excel's again.
TEST_F(OfficeLoadsTrelvo, AnInsertThatWaitsForAnotherWorkstationShowsItAndGivesUpWithAMessage) {
  const UserSettings settings;
  const win32::UniqueHandle held(CreateFileW(win32::Widen(settings.counter).c_str(), GENERIC_READ | GENERIC_WRITE,
                                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  OVERLAPPED range{};
  range.Offset = static_cast<DWORD>(platform::kLockRangeOffset);
  range.OffsetHigh = static_cast<DWORD>(platform::kLockRangeOffset >> 32);
  ASSERT_TRUE(LockFileEx(held.get(), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0,
                         platform::kLockRangeLength, 0, &range));
  const DispatchObject excel = StartHost(kExcelClassId);
  excel.GetObject("Workbooks").Call("Add");
  InsertButton(excel).Call("Execute");
  EXPECT_EQ(excel.Get("SimStatusBar").ToText(),
            "Trelvo wartet auf 'counter.ini': eine andere Arbeitsstation benutzt die Datei gerade (höchstens 5 "
            "Sekunden). [Sanduhr]\n(leer)\n");
  EXPECT_EQ(excel.Get("StatusBar").type(), VT_BOOL) << "False: the bar is Excel's";
  EXPECT_NE(excel.GetObject("SimUser").Get("Messages").ToText().find("'counter.ini'"), std::string::npos);
  EXPECT_EQ(excel.GetObject("ActiveCell").Get("FormulaR1C1").ToText(), "");
  EXPECT_NE(settings.Read(settings.counter).find("Counter=41"), std::string::npos);
  excel.Call("Quit");
}

// Registered machine-wide only: the add-in's own records under the user's key
// (start mode, toolbar bookkeeping) do not hide the registration, as Office
// reads the user's key over the machine's value by value.
TEST_F(OfficeLoadsTrelvo, AMachineWideRegistrationLoadsAtEveryStart) {
  const UserSettings settings;
  win32::DeleteRegistryTree(HKEY_CURRENT_USER, kAddInKeys[0]);
  {
    const auto machine = RegistryKey::Create(HKEY_LOCAL_MACHINE, kAddInKeys[0]);
    ASSERT_TRUE(machine);
    machine.SetDword(L"LoadBehavior", 3);
  }
  for (int start = 1; start <= 2; ++start) {
    const DispatchObject excel = StartHost(kExcelClassId);
    EXPECT_TRUE(excel.GetObject("COMAddIns")
                    .GetObject("Item", {Variant::Text("Trelvo.TrelvoCoClass")})
                    .Get("Connect")
                    .ToBool())
        << "start " << start;
    excel.Call("Quit");
    EXPECT_TRUE(RegistryKey::Open(HKEY_CURRENT_USER, kAddInKeys[0])) << "the add-in's records under the user's key";
  }
  win32::DeleteRegistryTree(HKEY_LOCAL_MACHINE, kAddInKeys[0]);
  win32::DeleteRegistryTree(HKEY_CURRENT_USER, kAddInKeys[0]);
  AnnounceAddIn(kAddInKeys[0]);
}

// An add-in whose connection fails is not loaded; the host stops loading it at start.
TEST_F(OfficeLoadsTrelvo, AnAddInThatCannotConnectIsSetToLoadOnDemand) {
  AnnounceAddIn(kBrokenKey);
  {
    Microsoft::WRL::ComPtr<IDispatch> excel;
    ASSERT_EQ(CoCreateInstance(kExcelClassId, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&excel)), S_OK);
    const DispatchObject add_ins = DispatchObject(excel).GetObject("COMAddIns");
    EXPECT_FALSE(add_ins.GetObject("Item", {Variant::Text("Gibt.Es.Nicht")}).Get("Connect").ToBool());
    EXPECT_TRUE(add_ins.GetObject("Item", {Variant::Text("Trelvo.TrelvoCoClass")}).Get("Connect").ToBool());
    DispatchObject(excel).Call("Quit");
  }
  EXPECT_EQ(RegistryKey::Open(HKEY_CURRENT_USER, kBrokenKey).GetDword(L"LoadBehavior"), 2u);
  win32::DeleteRegistryTree(HKEY_CURRENT_USER, kBrokenKey);
}

// The typical request: a click on "Sabu einfügen" puts the next number into
// the active cell, with one log record and the property; a second click within
// the guard's second is dropped, one after it inserts again.
TEST_F(OfficeLoadsTrelvo, SabuEinfuegenPutsTheNextNumberIntoTheActiveCell) {
  const UserSettings settings;
  const DispatchObject excel = StartHost(kExcelClassId);
  const DispatchObject bar = excel.GetObject("CommandBars").GetObject("Item", {Variant::Text("Trelvo")});
  EXPECT_EQ(bar.GetObject("Controls").Get("Count").ToInt(), 6);
  const DispatchObject workbook = excel.GetObject("Workbooks").GetObject("Add");
  const DispatchObject insert = InsertButton(excel);

  insert.Call("Execute");
  EXPECT_EQ(excel.GetObject("ActiveCell").Get("FormulaR1C1").ToText(), "0042");
  EXPECT_EQ(workbook.GetObject("CustomDocumentProperties")
                .GetObject("Item", {Variant::Text("SabuCounter")})
                .Get("Value")
                .ToText(),
            "0042");
  insert.Call("Execute");  // within the second: dropped
  EXPECT_FALSE(insert.Get("Enabled").ToBool());
  excel.Call("SimPump", {Variant::Int(1200)});
  EXPECT_TRUE(insert.Get("Enabled").ToBool());
  insert.Call("Execute");
  EXPECT_EQ(excel.GetObject("ActiveCell").Get("FormulaR1C1").ToText(), "0043");

  const std::string log = settings.Read(settings.log);
  EXPECT_NE(log.find("\"0042\"; "), std::string::npos) << log;
  EXPECT_NE(log.find("; \"Excel 11.0\"; "), std::string::npos) << log;
  EXPECT_EQ(log.find("0044"), std::string::npos);
  EXPECT_NE(settings.Read(settings.counter).find("Counter=43"), std::string::npos);
  excel.Call("Quit");
}

// A host that ended within an insert's second kept the button disabled: the
// next start enables it again.
TEST_F(OfficeLoadsTrelvo, TheInsertButtonWorksAfterAHostEndedWithinTheGuardsSecond) {
  const UserSettings settings;
  {
    const DispatchObject excel = StartHost(kExcelClassId);
    excel.GetObject("Workbooks").Call("Add");
    InsertButton(excel).Call("Execute");
    EXPECT_FALSE(InsertButton(excel).Get("Enabled").ToBool());
    excel.Call("Quit");  // keeps its toolbars, the button as it was
  }
  const DispatchObject excel = StartHost(kExcelClassId);
  excel.GetObject("Workbooks").Call("Add");
  EXPECT_TRUE(InsertButton(excel).Get("Enabled").ToBool());
  InsertButton(excel).Call("Execute");
  EXPECT_EQ(excel.GetObject("ActiveCell").Get("FormulaR1C1").ToText(), "0043");
  excel.Call("Quit");
}

// A range picked in the toolbar becomes the current counter file; one whose
// name the range list no longer holds gives the not-found message.
TEST_F(OfficeLoadsTrelvo, TheToolbarsRangeSelectionSetsTheCounterFileOrSaysItIsMissing) {
  const UserSettings settings;
  const std::string other = settings.folder + "firma_b.ini";
  std::ofstream(other, std::ios::binary) << "[Zaehler]\r\nCounter=7\r\n";
  std::ofstream((UserFolder() + L"\\nummernkreise.txt").c_str(), std::ios::binary) << "Firma B|" << other << "\r\n";
  const DispatchObject excel = StartHost(kExcelClassId);
  const DispatchObject ranges =
      excel.GetObject("CommandBars")
          .GetObject("FindControl",
                     {Variant::Int(3), Variant::Omitted(), Variant::Text("{D4A2F76B-E798-48C6-8BEC-4A91BA12B835}")});
  ranges.Call("AddItem", {Variant::Text("Firma B")});
  ranges.Call("AddItem", {Variant::Text("Firma C")});
  ranges.Call("SimSelect", {Variant::Int(2)});
  excel.GetObject("Workbooks").Call("Add");
  InsertButton(excel).Call("Execute");
  EXPECT_EQ(excel.GetObject("ActiveCell").Get("FormulaR1C1").ToText(), "0008") << "drawn from Firma B";
  ranges.Call("SimSelect", {Variant::Int(3)});
  EXPECT_EQ(excel.GetObject("SimUser").Get("Messages").ToText(), "Fehler|Die Datei '' existiert nicht!\r\n");
  excel.Call("Quit");
  DeleteFileW((UserFolder() + L"\\nummernkreise.txt").c_str());
}

TEST_F(OfficeLoadsTrelvo, InWordTheNumberGoesToTheFormFieldAndWithoutADocumentNothingIsDrawn) {
  const UserSettings settings;
  const DispatchObject word = StartHost(kWordClassId);
  InsertButton(word).Call("Execute");
  EXPECT_EQ(word.GetObject("SimUser").Get("Messages").ToText(),
            "Trelvo|Kein aktives Dokument geöffnet.\\nBitte öffnen Sie erst ein Dokument.\r\n");
  EXPECT_NE(settings.Read(settings.counter).find("Counter=41"), std::string::npos) << "no number burnt";

  word.Call("SimPump", {Variant::Int(1200)});
  const DispatchObject document = word.GetObject("Documents").GetObject("Add");
  document.GetObject("FormFields")
      .GetObject("Add", {Variant::Omitted(), Variant::Int(70)})
      .Put("Name", Variant::Text("Sabu"));
  document.Call("Protect", {Variant::Int(2)});
  InsertButton(word).Call("Execute");
  EXPECT_EQ(document.GetObject("FormFields").GetObject("Item", {Variant::Text("Sabu")}).Get("Result").ToText(), "0042");
  EXPECT_NE(settings.Read(settings.log).find("; \"Word Formular 11.0\"; "), std::string::npos);
  word.Call("Quit");
}

// What a user does, as a macro: Excel 11.0, a workbook, two inserts a second
// apart; Word with a form field "Sabu". The script checks cells, field and log.
TEST_F(OfficeLoadsTrelvo, AVbscriptInsertsAsAUserDoesInExcelAndWord) {
  const UserSettings settings;
  const std::string script = settings.folder + "einfuegen.vbs";
  {
    std::ofstream out(script, std::ios::binary);
    out << "Const Tag = \"" << kInsertTag << "\"\r\n"
        << "Set xl = CreateObject(\"Excel.Application\")\r\n"
           "xl.Workbooks.Add\r\n"
           "Set button = xl.CommandBars(\"Trelvo\").FindControl(1, , Tag)\r\n"
           // Scripts are ANSI text: the ü is the Windows-1252 byte.
           "If button.Caption <> \"Sabu einf\xFCgen\" Then WScript.Quit 2\r\n"
           "button.Execute\r\n"
           "If xl.ActiveCell.FormulaR1C1 <> \"0042\" Then WScript.Quit 3\r\n"
           "xl.SimPump 1100\r\n"
           "button.Execute\r\n"
           "If xl.ActiveCell.FormulaR1C1 <> \"0043\" Then WScript.Quit 4\r\n"
           "xl.Quit\r\n"
           "Set wd = CreateObject(\"Word.Application\")\r\n"
           "Set doc = wd.Documents.Add\r\n"
           "doc.FormFields.Add(, 70).Name = \"Sabu\"\r\n"
           "doc.Protect 2\r\n"
           "wd.CommandBars.FindControl(1, , Tag).Execute\r\n"
           "If doc.FormFields(\"Sabu\").Result <> \"0044\" Then WScript.Quit 5\r\n"
           "If wd.SimUser.Messages <> \"\" Then WScript.Quit 6\r\n"
           "wd.Quit\r\n"
           "WScript.Quit 7\r\n";
  }
  EXPECT_EQ(testing::StartChild("cscript.exe", {"//nologo", script})->Wait(), 7);
  const std::string log = settings.Read(settings.log);
  for (const char* record : {"\"0042\"; ", "\"0043\"; ", "\"0044\"; ", "\"Excel 11.0\"", "\"Word Formular 11.0\""})
    EXPECT_NE(log.find(record), std::string::npos) << record << "\n" << log;
}

// No exception reaches the host: a connection that fails answers with its
// HRESULT and error information naming the add-in by its ProgID.
TEST_F(OfficeLoadsTrelvo, AFailingConnectionReportsItsErrorWithTheProgIdAsSource) {
  CLSID class_id{};
  ASSERT_EQ(CLSIDFromProgID(L"Trelvo.TrelvoCoClass", &class_id), S_OK);
  Microsoft::WRL::ComPtr<IDTExtensibility2> add_in;
  ASSERT_EQ(CoCreateInstance(class_id, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&add_in)), S_OK);
  Microsoft::WRL::ComPtr<ISupportErrorInfo> supports;
  ASSERT_EQ(add_in.As(&supports), S_OK);
  EXPECT_EQ(supports->InterfaceSupportsErrorInfo(__uuidof(IDTExtensibility2)), S_OK);

  // An application that is neither Excel nor Word: the add-in object itself.
  SAFEARRAY* custom = SafeArrayCreateVector(VT_VARIANT, 0, 0);
  EXPECT_EQ(add_in->OnConnection(add_in.Get(), ext_cm_AfterStartup, nullptr, &custom), E_UNEXPECTED);
  SafeArrayDestroy(custom);
  Microsoft::WRL::ComPtr<IErrorInfo> info;
  ASSERT_EQ(GetErrorInfo(0, &info), S_OK);
  win32::Bstr source;
  win32::Bstr description;
  info->GetSource(source.out());
  info->GetDescription(description.out());
  EXPECT_EQ(source.str(), L"Trelvo.TrelvoCoClass");
  EXPECT_EQ(win32::Narrow(description.str()), "Die Anwendung ist weder Excel noch Word.");
}

}  // namespace
}  // namespace trelvo
