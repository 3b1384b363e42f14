// The ribbon tab of the real Trelvo.dll in the simulated Excel 12.0 and Word
// 14.0: its texts, sizes, key tips and images as the host reads them through
// the callbacks, Insert and the range selection from the tab, and the
// callbacks' edge cases through the add-in object's IDispatch; and the owner
// window of the add-in's boxes from Office 2003 to 16.0.
#include "tests/frame/office_fixture.h"

#include <cstring>
#include <functional>
#include <oleauto.h>

#include "simoffice/sim_office_addin.h"

namespace trelvo {
namespace {

constexpr char kTab[] = "oaxRibbonTabA48D29DA270E4F32A05C6C7014E3EBD2";
constexpr char kInsert[] = "oaxRibbonButtonCEE2D128D81940E9B970ABAB598A8918";
constexpr char kRanges[] = "oaxRibbonDropDown7CEA2879B244448598BE252E620F105A";

void SetHostVersion(const wchar_t* host, const wchar_t* version) {
  win32::WriteRegistryText(HKEY_CURRENT_USER, std::wstring(L"Software\\SimOffice\\") + host, L"Version", version);
}

class RibbonInOffice : public OfficeLoadsTrelvo {
 protected:
  // Every host started quits at the end, also when the test failed; a range
  // list the test wrote goes.
  void TearDown() override {
    for (const DispatchObject& host : started_) try {
        host.Call("Quit");
      } catch (const std::exception&) {
      }
    started_.clear();
    DeleteFileW(RangeList().c_str());
    OfficeLoadsTrelvo::TearDown();
  }
  static std::wstring RangeList() { return UserFolder() + L"\\nummernkreise.txt"; }
  // The range list with the one range "Firma B", whose counter file stands at 7.
  static void WriteRangeFirmaB(const UserSettings& settings) {
    const std::string other = settings.folder + "firma_b.ini";
    std::ofstream(other, std::ios::binary) << "[Zaehler]\r\nCounter=7\r\n";
    std::ofstream(RangeList().c_str(), std::ios::binary) << "Firma B|" << other << "\r\n";
  }
  DispatchObject Start(const wchar_t* host, const wchar_t* version) {
    SetHostVersion(host, version);
    started_.push_back(StartHost(std::wstring(host) == L"Excel" ? kExcelClassId : kWordClassId));
    return started_.back();
  }
  DispatchObject StartExcel12() { return Start(L"Excel", L"12.0"); }
  static std::string Text(const DispatchObject& ribbon, const char* member, const char* id) {
    return ribbon.Call(member, {Variant::Text(id)}).ToText();
  }
  static std::string Messages(const DispatchObject& host) { return host.GetObject("SimUser").Get("Messages").ToText(); }

 private:
  std::vector<DispatchObject> started_;
};

struct ShownControl {
  const char* id;
  const char* label;
  const char* key_tip;
  long size;
};

TEST_F(RibbonInOffice, Excel12ShowsTheTabWithItsTextsSizesAndKeyTipsAndNoToolbar) {
  const UserSettings settings;
  const DispatchObject excel = StartExcel12();
  const DispatchObject ribbon = excel.GetObject("SimRibbon");
  const ShownControl shown[] = {
      {kTab, "Trelvo", "", 0},
      {"oaxRibbonGroup956286B942D84877B8F8FEBCA283CDFE", "Speichern", "", 0},
      {"oaxRibbonGroupA9562C67B34747559596C46FE68F385A", "Rechnungsnummer", "R", 0},
      {"oaxRibbonButton8C5B153EB84E4FAEBFBB83923A01C3FA", "Speichern", "S", 1},
      {kInsert, "Einfügen", "E", 1},
      {kRanges, "Nummernkreis", "N", 0},
      {"oaxRibbonButton5739DE94ECA44E339E3B52E1828F22BA", "Einstellungen", "O", 0},
      {"oaxRibbonButton6297E57CD0EF4C09B0ABB23A3F1F5468", "Kunde", "K", 0},
      {"oaxRibbonButton1C70D627216B485AAEB9CD77099F8D1E", "Über Sabu", "I", 0},
  };
  for (const ShownControl& control : shown) {
    EXPECT_EQ(Text(ribbon, "Label", control.id), control.label) << control.id;
    EXPECT_EQ(Text(ribbon, "KeyTip", control.id), control.key_tip) << control.id;
    EXPECT_EQ(ribbon.Call("Size", {Variant::Text(control.id)}).ToInt(), control.size) << control.id;
    EXPECT_TRUE(ribbon.Call("Visible", {Variant::Text(control.id)}).ToBool()) << control.id;
  }
  EXPECT_FALSE(ribbon.Call("Answer", {Variant::Text(kRanges), Variant::Text("getShowLabel")}).ToBool());
  EXPECT_EQ(ribbon.Call("Answer", {Variant::Text(kRanges), Variant::Text("getScreentip")}).ToText(),
            "Nummerkreis wählen");
  EXPECT_NE(ribbon.Get("Markup").ToText().find("sizeString=\"(Standard Zähler)\""), std::string::npos);
  EXPECT_THROW(excel.GetObject("CommandBars").GetObject("Item", {Variant::Text("Trelvo")}), std::exception)
      << "Excel 12 shows the tab instead of the toolbar";
  EXPECT_EQ(Messages(excel), "");
}

// The five images: 32 x 32 for the large buttons, 16 x 16 for the small ones,
// 32-bit and wholly zero (colour and alpha) where the glyph is transparent, so
// that they look right whether the host blends straight or premultiplied.
TEST_F(RibbonInOffice, SavePictureWritesTheFiveImagesWithTransparentCorners) {
  const UserSettings settings;
  const DispatchObject excel = StartExcel12();
  const DispatchObject ribbon = excel.GetObject("SimRibbon");
  const std::pair<const char*, LONG> images[] = {
      {"Speichern", 32}, {"Einfügen", 32}, {"Einstellungen", 16}, {"Kunde", 16}, {"Über Sabu", 16}};
  for (const auto& [label, size] : images) {
    const std::string path = settings.folder + "bild.bmp";
    ribbon.Call("SavePicture", {Variant::Text(label), Variant::Text(path)});
    const std::string bytes = settings.Read(path);
    ASSERT_GT(bytes.size(), sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER)) << label;
    BITMAPINFOHEADER info{};
    std::memcpy(&info, bytes.data() + sizeof(BITMAPFILEHEADER), sizeof info);
    EXPECT_EQ(info.biWidth, size) << label;
    EXPECT_EQ(info.biHeight, size) << label;
    EXPECT_EQ(info.biBitCount, 32) << label;
    const size_t pixels = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    const auto alpha = [&](size_t index) { return static_cast<unsigned char>(bytes[pixels + index * 4 + 3]); };
    EXPECT_EQ(alpha(0), 0) << label << ": the bottom-left pixel is transparent";
    size_t opaque = 0, coloured_transparent = 0;
    for (size_t i = 0; i < static_cast<size_t>(size * size); ++i) {
      opaque += alpha(i) == 255;
      coloured_transparent +=
          alpha(i) == 0 && (bytes[pixels + i * 4] || bytes[pixels + i * 4 + 1] || bytes[pixels + i * 4 + 2]);
    }
    EXPECT_EQ(coloured_transparent, 0u) << label << ": transparent pixels keep a colour";
    EXPECT_GT(opaque, static_cast<size_t>(size * size / 8)) << label << ": the glyph itself is opaque";
  }
  EXPECT_THROW(ribbon.Call("SavePicture", {Variant::Text(kRanges), Variant::Text(settings.folder + "x.bmp")}),
               std::exception)
      << "the drop-down has no image";
}

TEST_F(RibbonInOffice, EinfuegenInsertsAndIsDisabledForASecondAfterwards) {
  const UserSettings settings;
  const DispatchObject excel = StartExcel12();
  const DispatchObject ribbon = excel.GetObject("SimRibbon");
  excel.GetObject("Workbooks").Call("Add");
  ribbon.Call("Click", {Variant::Text("Einfügen")});
  EXPECT_EQ(excel.GetObject("ActiveCell").Get("FormulaR1C1").ToText(), "0042");
  EXPECT_FALSE(ribbon.Call("Enabled", {Variant::Text(kInsert)}).ToBool());
  ribbon.Call("Click", {Variant::Text(kInsert)});  // disabled: nothing happens
  excel.Call("SimPump", {Variant::Int(1200)});
  EXPECT_TRUE(ribbon.Call("Enabled", {Variant::Text(kInsert)}).ToBool());
  EXPECT_NE(settings.Read(settings.log).find("; \"Excel 12.0\"; "), std::string::npos);
  EXPECT_NE(settings.Read(settings.counter).find("Counter=42"), std::string::npos);
}

// Word 14.0 has the tab beside the toolbar: an Insert from the tab disables both buttons.
TEST_F(RibbonInOffice, InWord14TheTabInsertsAtTheCursor) {
  const UserSettings settings;
  const DispatchObject word = Start(L"Word", L"14.0");
  const DispatchObject ribbon = word.GetObject("SimRibbon");
  const DispatchObject document = word.GetObject("Documents").GetObject("Add");
  ribbon.Call("Click", {Variant::Text("Einfügen")});
  EXPECT_EQ(document.Get("SimText").ToText(), "0042");
  EXPECT_FALSE(ribbon.Call("Enabled", {Variant::Text(kInsert)}).ToBool());
  word.Call("SimPump", {Variant::Int(1200)});
  EXPECT_TRUE(ribbon.Call("Enabled", {Variant::Text(kInsert)}).ToBool());
  EXPECT_EQ(Messages(word), "");
}

TEST_F(RibbonInOffice, TheDropDownHoldsTheRangesAndAPickSwitchesTheCounterFile) {
  const UserSettings settings;
  const std::wstring range_list = UserFolder() + L"\\nummernkreise.txt";
  DeleteFileW(range_list.c_str());
  {
    const DispatchObject excel = StartExcel12();
    const DispatchObject ribbon = excel.GetObject("SimRibbon");
    EXPECT_EQ(ribbon.Call("ItemCount", {Variant::Text(kRanges)}).ToInt(), 1);
    EXPECT_EQ(ribbon.Call("ItemLabel", {Variant::Text(kRanges), Variant::Int(0)}).ToText(), "(Standard Zähler)");
    EXPECT_EQ(GetFileAttributesW(range_list.c_str()) != INVALID_FILE_ATTRIBUTES, true) << "created empty";
    excel.Call("Quit");
  }
  const std::string other = settings.folder + "firma_b.ini";
  std::ofstream(other, std::ios::binary) << "[Zaehler]\r\nCounter=7\r\n";
  std::ofstream(range_list.c_str(), std::ios::binary)
      << "Firma A|" << settings.counter << "\r\nFirma B|" << other << "\r\n";
  const DispatchObject excel = StartExcel12();
  const DispatchObject ribbon = excel.GetObject("SimRibbon");
  ASSERT_EQ(ribbon.Call("ItemCount", {Variant::Text(kRanges)}).ToInt(), 3);
  EXPECT_EQ(ribbon.Call("ItemLabel", {Variant::Text(kRanges), Variant::Int(2)}).ToText(), "Firma B");
  EXPECT_EQ(ribbon.Call("SelectedIndex", {Variant::Text(kRanges)}).ToInt(), 0);

  const std::string settings_file = settings.Read(win32::Narrow(UserFolder()) + "\\trelvo.ini");
  ribbon.Call("Select", {Variant::Text(kRanges), Variant::Int(0)});
  EXPECT_EQ(settings.Read(win32::Narrow(UserFolder()) + "\\trelvo.ini"), settings_file) << "the default writes nothing";
  ribbon.Call("Select", {Variant::Text(kRanges), Variant::Int(2)});
  EXPECT_EQ(ribbon.Call("SelectedIndex", {Variant::Text(kRanges)}).ToInt(), 2);
  excel.GetObject("Workbooks").Call("Add");
  ribbon.Call("Click", {Variant::Text(kInsert)});
  EXPECT_EQ(excel.GetObject("ActiveCell").Get("FormulaR1C1").ToText(), "0008") << "drawn from Firma B";
  EXPECT_EQ(Messages(excel), "");
  DeleteFileW(range_list.c_str());
}

// Hosts from version 12 on show the ribbon and no toolbar, whether the add-in
// is connected at the start or later from the COM Add-ins dialog.
TEST_F(RibbonInOffice, HostsWithTheRibbonGetNoToolbarInEitherOrder) {
  const UserSettings settings;
  const auto has_toolbar = [](const DispatchObject& host) {
    const long count = host.GetObject("CommandBars").Get("Count").ToInt();
    for (long i = 1; i <= count; ++i)
      if (host.GetObject("CommandBars").GetObject("Item", {Variant::Int(i)}).Get("Name").ToText() == "Trelvo")
        return true;
    return false;
  };
  for (const auto& [host, version] :
       {std::pair{L"Excel", L"14.0"}, std::pair{L"Word", L"14.0"}, std::pair{L"Excel", L"12.0"}}) {
    const DispatchObject application = Start(host, version);
    EXPECT_FALSE(has_toolbar(application)) << win32::Narrow(host) << " " << win32::Narrow(version);
    EXPECT_EQ(application.GetObject("SimRibbon").Call("Label", {Variant::Text(kTab)}).ToText(), "Trelvo");
    const DispatchObject entry =
        application.GetObject("COMAddIns").GetObject("Item", {Variant::Text("Trelvo.TrelvoCoClass")});
    entry.Put("Connect", Variant::Bool(false));
    entry.Put("Connect", Variant::Bool(true));
    EXPECT_FALSE(has_toolbar(application))
        << "connected later: " << win32::Narrow(host) << " " << win32::Narrow(version);
  }
}

// Office may read the ribbon when it gets the markup, before start-up is
// complete, and keeps the answers until they are invalidated: the range list
// that the add-in's initialisation reads reaches the drop-down in both orders.
TEST_F(RibbonInOffice, TheDropDownIsFilledWhetherTheRibbonIsReadEarlyOrLate) {
  const UserSettings settings;
  WriteRangeFirmaB(settings);
  for (const DWORD early : {1, 0}) {
    win32::RegistryKey::Create(HKEY_CURRENT_USER, L"Software\\SimOffice\\Excel").SetDword(L"RibbonAtCustomUI", early);
    const DispatchObject excel = StartExcel12();
    const DispatchObject ribbon = excel.GetObject("SimRibbon");
    ASSERT_EQ(ribbon.Call("ItemCount", {Variant::Text(kRanges)}).ToInt(), 2) << "early " << early;
    EXPECT_EQ(ribbon.Call("ItemLabel", {Variant::Text(kRanges), Variant::Int(1)}).ToText(), "Firma B");
    excel.Call("Quit");
  }
}

// A macro's SetIniFile puts the ribbon's range selector back on "(Standard
// Zähler)", as the toolbar's: the host is asked to read the selection again.
TEST_F(RibbonInOffice, SetIniFileShowsTheDefaultRangeInTheRibbon) {
  const UserSettings settings;
  WriteRangeFirmaB(settings);
  const DispatchObject excel = StartExcel12();
  const DispatchObject ribbon = excel.GetObject("SimRibbon");
  ribbon.Call("Select", {Variant::Text(kRanges), Variant::Int(1)});
  const DispatchObject trelvo(
      excel.GetObject("COMAddIns").GetObject("Item", {Variant::Text("Trelvo.TrelvoCoClass")}).Get("Object").ToObject());
  EXPECT_TRUE(trelvo.Get("SetIniFile", {Variant::Text(settings.counter)}).ToBool());
  EXPECT_EQ(ribbon.Call("SelectedIndex", {Variant::Text(kRanges)}).ToInt(), 0);
  EXPECT_EQ(trelvo.Get("ReadCounter").ToText(), "0042");
}

// A locked counter file: the ribbon's Insert is not greyed for the refusal.
TEST_F(RibbonInOffice, ARefusedInsertLeavesTheRibbonsInsertAsItWas) {
  const UserSettings settings;
  std::ofstream(settings.counter, std::ios::binary)
      << "[Zaehler]\r\nCounter=41\r\n[Locking]\r\nIsLocked=1\r\nLockedBy=\"akoch\"\r\n";
  const DispatchObject excel = StartExcel12();
  excel.GetObject("Workbooks").Call("Add");
  const DispatchObject ribbon = excel.GetObject("SimRibbon");
  ribbon.Call("Click", {Variant::Text(kInsert)});
  EXPECT_NE(Messages(excel).find("'akoch'"), std::string::npos);
  EXPECT_TRUE(ribbon.Call("Enabled", {Variant::Text(kInsert)}).ToBool());
}

// Every box of the add-in belongs to the window of the workbook or document
// that is active as the box appears, whether a click or a macro raises it:
// from version 15 on each has its own window (Excel's Application.Hwnd, Word's
// ActiveWindow.Hwnd); Excel 11.0 has its one main window, Word 11.0 gives the
// add-in none. The locked counter file makes every Insert and every
// ReadCounter raise one box.
TEST_F(RibbonInOffice, EveryBoxBelongsToTheWindowActiveAsItAppears) {
  const UserSettings settings;
  std::ofstream(settings.counter, std::ios::binary)
      << "[Zaehler]\r\nCounter=41\r\n[Locking]\r\nIsLocked=1\r\nLockedBy=\"akoch\"\r\n";
  const auto excel_window = [](const DispatchObject& excel) { return excel.Get("Hwnd").ToInt(); };
  const auto word_window = [](const DispatchObject& word) {
    return word.GetObject("ActiveWindow").Get("Hwnd").ToInt();
  };
  const struct {
    const wchar_t* host;
    const wchar_t* version;
    const char* files;
    std::function<long(const DispatchObject&)> window;  // none: no owner
    bool window_per_file;
  } cases[] = {
      {L"Excel", L"16.0", "Workbooks", excel_window, true},
      {L"Word", L"16.0", "Documents", word_window, true},
      {L"Excel", L"11.0", "Workbooks", excel_window, false},
      {L"Word", L"11.0", "Documents", {}, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(win32::Narrow(std::wstring(c.host) + L" " + c.version));
    const DispatchObject host = Start(c.host, c.version);
    const DispatchObject files = host.GetObject(c.files);
    const DispatchObject first = files.GetObject("Add");
    files.Call("Add");
    const long second_window = c.window ? c.window(host) : 0;
    if (c.window_per_file)  // and the ribbon
      host.GetObject("SimRibbon").Call("Click", {Variant::Text(kInsert)});
    else
      InsertButton(host).Call("Execute");
    first.Call("Activate");
    const long first_window = c.window ? c.window(host) : 0;
    host.GetObject("COMAddIns")
        .GetObject("Item", {Variant::Text("Trelvo.TrelvoCoClass")})
        .GetObject("Object")
        .Call("ReadCounter");
    EXPECT_EQ(host.GetObject("SimUser").Get("Owners").ToText(),
              std::to_string(second_window) + "\r\n" + std::to_string(first_window) + "\r\n")
        << Messages(host);
    EXPECT_EQ(first_window != second_window, c.window_per_file);
    host.Call("Quit");
  }
}

// An error in a command reaches the add-in's error box; the host's callback
// succeeds. (A log that cannot be written refuses the draw: no number without
// its record.)
TEST_F(RibbonInOffice, AFailingHandlerIsReportedAndTheCallbackSucceeds) {
  const UserSettings settings;
  std::ofstream((UserFolder() + L"\\trelvo.ini").c_str(), std::ios::binary)
      << "[Pfade]\r\nCounterFile=\"" << settings.counter << "\"\r\nLogPath=\"" << settings.folder
      << "gibt\\es\\nicht\\\"\r\n";
  const DispatchObject excel = StartExcel12();
  excel.GetObject("Workbooks").Call("Add");
  EXPECT_NO_THROW(excel.GetObject("SimRibbon").Call("Click", {Variant::Text(kInsert)}));
  EXPECT_EQ(excel.GetObject("ActiveCell").Get("FormulaR1C1").ToText(), "");
  EXPECT_EQ(settings.Read(settings.counter), "[Zaehler]\r\nCounter=41\r\n") << "nothing drawn";
  EXPECT_NE(Messages(excel).find("Es wurde keine Nummer vergeben."), std::string::npos) << Messages(excel);
  EXPECT_NE(Messages(excel).find("Orvant Sabu Netzwerk error: the add-in has fired an exception."), std::string::npos)
      << Messages(excel);
}

// What a user does in Word 14.0's tab, as a macro: the tab's texts, an Insert,
// the button disabled for a second, a range picked, the next Insert from it.
TEST_F(RibbonInOffice, AVbscriptDrivesTheTabInWord14) {
  const UserSettings settings;
  const std::string other = settings.folder + "firma_b.ini";
  std::ofstream(other, std::ios::binary) << "[Zaehler]\r\nCounter=7\r\n";
  const std::wstring range_list = UserFolder() + L"\\nummernkreise.txt";
  std::ofstream(range_list.c_str(), std::ios::binary) << "Firma B|" << other << "\r\n";
  SetHostVersion(L"Word", L"14.0");
  const std::string script = settings.folder + "menueband.vbs";
  {
    // Scripts are ANSI text: the ü is the Windows-1252 byte.
    std::ofstream out(script, std::ios::binary);
    out << "Set wd = CreateObject(\"Word.Application\")\r\n"
           "Set ribbon = wd.SimRibbon\r\n"
           "If ribbon.Label(\""
        << kTab
        << "\") <> \"Trelvo\" Then WScript.Quit 2\r\n"
           "If ribbon.KeyTip(\"Einf\xFCgen\") <> \"E\" Or ribbon.Size(\"Einf\xFCgen\") <> 1 Then WScript.Quit 3\r\n"
           "Set doc = wd.Documents.Add\r\n"
           "ribbon.Click \"Einf\xFCgen\"\r\n"
           "If doc.SimText <> \"0042\" Then WScript.Quit 4\r\n"
           "If ribbon.Enabled(\"Einf\xFCgen\") Then WScript.Quit 5\r\n"
           "wd.SimPump 1100\r\n"
           "If Not ribbon.Enabled(\"Einf\xFCgen\") Then WScript.Quit 6\r\n"
           "If ribbon.ItemCount(\"Nummernkreis\") <> 2 Then WScript.Quit 8\r\n"
           "If ribbon.ItemLabel(\"Nummernkreis\", 1) <> \"Firma B\" Then WScript.Quit 9\r\n"
           "ribbon.Select \"Nummernkreis\", 1\r\n"
           "ribbon.Click \"Einf\xFCgen\"\r\n"
           "If doc.SimText <> \"00420008\" Then WScript.Quit 10\r\n"
           "If wd.SimUser.Messages <> \"\" Or ribbon.Failures <> \"\" Then WScript.Quit 11\r\n"
           "wd.Quit\r\n"
           "WScript.Quit 7\r\n";  // reached only when no statement failed
  }
  EXPECT_EQ(testing::StartChild("cscript.exe", {"//nologo", script})->Wait(), 7);
  EXPECT_NE(settings.Read(settings.log).find("; \"Word 14.0\"; "), std::string::npos);
  DeleteFileW(range_list.c_str());
}

// The add-in object's IDispatch as the host calls it, with the edge cases of
// names, numbers, ids and item indexes.
class Callbacks : public RibbonInOffice {
 protected:
  void SetUp() override {
    RibbonInOffice::SetUp();
    const Variant object =
        StartExcel12().GetObject("COMAddIns").GetObject("Item", {Variant::Text("Trelvo.TrelvoCoClass")}).Get("Object");
    add_in = object.ToObject();
  }
  void TearDown() override {
    add_in.Reset();
    RibbonInOffice::TearDown();
  }
  HRESULT Resolve(const std::wstring& name, DISPID& id) {
    LPOLESTR names[] = {const_cast<LPOLESTR>(name.c_str())};
    return add_in->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
  }
  // Invokes with the arguments in call order (passed last to first).
  HRESULT Invoke(DISPID id, std::vector<Variant> arguments, Variant& result) {
    std::vector<VARIANT> reversed;
    for (auto a = arguments.rbegin(); a != arguments.rend(); ++a) reversed.push_back(a->get());
    DISPPARAMS parameters{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
    EXCEPINFO exception{};
    const HRESULT hr = add_in->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &parameters, result.out(),
                                      &exception, nullptr);
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrDescription);
    SysFreeString(exception.bstrHelpFile);
    return hr;
  }
  static Variant Control(const char* id);

  Microsoft::WRL::ComPtr<IDispatch> add_in;
};

// The host's IRibbonControl for an id, as the simulated ribbon makes it.
Variant Callbacks::Control(const char* id) {
  return Variant::Object(simoffice::Make<simoffice::SimRibbonControl>(id).Get());
}

TEST_F(Callbacks, NamesResolveWithCaseAndAnyUnknownNameFails) {
  DISPID id = 0;
  EXPECT_EQ(Resolve(L"GetLabel_Callback", id), S_OK);
  EXPECT_EQ(id, 14);
  EXPECT_EQ(Resolve(L"getlabel_callback", id), DISP_E_UNKNOWNNAME);
  EXPECT_EQ(id, DISPID_UNKNOWN);
  EXPECT_EQ(Resolve(L"ReadCounter", id), S_OK) << "the automation interface answers first";
  EXPECT_EQ(id, 201);
  // A character above 255 ends the 8-bit name.
  EXPECT_EQ(Resolve(L"GetLabel_Callback\x0100zu viel", id), S_OK);
  EXPECT_EQ(id, 14);
  // A further name would be a named parameter, which no callback takes.
  LPOLESTR with_parameter[] = {const_cast<LPOLESTR>(L"GetLabel_Callback"), const_cast<LPOLESTR>(L"control")};
  DISPID ids[2] = {0, 0};
  EXPECT_EQ(add_in->GetIDsOfNames(IID_NULL, with_parameter, 2, LOCALE_USER_DEFAULT, ids), DISP_E_UNKNOWNNAME);
  EXPECT_EQ(ids[0], 14);
  EXPECT_EQ(ids[1], DISPID_UNKNOWN);
}

TEST_F(Callbacks, AnswersComeFromTheControlOrAreTheDefaults) {
  Variant result;
  ASSERT_EQ(Invoke(14, {Control("OAXRIBBONDROPDOWN7CEA2879B244448598BE252E620F105A")}, result), S_OK);
  EXPECT_EQ(result.ToText(), "Nummernkreis") << "ids are found without case";
  ASSERT_EQ(Invoke(22, {Control(kRanges)}, result), S_OK);
  EXPECT_EQ(result.type(), VT_BOOL);
  EXPECT_FALSE(result.ToBool());
  ASSERT_EQ(Invoke(21, {Control(kInsert)}, result), S_OK);
  EXPECT_EQ(result.type(), VT_I4);
  EXPECT_EQ(result.ToInt(), 1);
  ASSERT_EQ(Invoke(29, {Control(kRanges), Variant::Int(0)}, result), S_OK);
  EXPECT_EQ(result.ToText(), "(Standard Zähler)");
  ASSERT_EQ(Invoke(17, {Control(kInsert)}, result), S_OK);
  EXPECT_EQ(result.type(), VT_DISPATCH);
  Microsoft::WRL::ComPtr<IPicture> picture;
  EXPECT_EQ(result.ToObject().As(&picture), S_OK);

  ASSERT_EQ(Invoke(12, {Control("unbekannt")}, result), S_OK);
  EXPECT_TRUE(result.ToBool());
  ASSERT_EQ(Invoke(14, {Control("unbekannt")}, result), S_OK);
  EXPECT_EQ(result.ToText(), "");
  ASSERT_EQ(Invoke(50, {Control("unbekannt")}, result), S_OK);
}

TEST_F(Callbacks, AnIndexOutsideTheItemsAndUnknownNumbersFail) {
  Variant result;
  EXPECT_EQ(Invoke(29, {Control(kRanges), Variant::Int(5)}, result), DISP_E_EXCEPTION);
  EXPECT_EQ(Invoke(18, {Control(kRanges)}, result), DISP_E_MEMBERNOTFOUND);
  EXPECT_EQ(Invoke(29, {Control(kRanges)}, result), DISP_E_BADPARAMCOUNT);
}

}  // namespace
}  // namespace trelvo
