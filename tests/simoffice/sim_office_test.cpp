// The simulated Office as the frame will use it: command bars built late-bound,
// control events delivered to advised sinks, persistence between runs, Word's
// application events, the COM add-in entry and the ribbon doubles.
#include <gtest/gtest.h>

#include <functional>

#include "platform/win32/dispatch_object.h"
#include "platform/win32/registry_key.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/window_handle.h"
#include "simoffice/sim_excel.h"
#include "simoffice/sim_office_addin.h"
#include "simoffice/sim_word.h"

namespace trelvo::simoffice {
namespace {

using Microsoft::WRL::ComPtr;
using win32::DispatchObject;

// An event sink that records each call: its DISPID and its arguments in call order.
class RecordingSink : public win32::ComObject<IDispatch> {
 public:
  struct Call {
    DISPID id;
    std::vector<Variant> arguments;
  };
  std::vector<Call> calls;

  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return DISP_E_UNKNOWNNAME;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* parameters, VARIANT*, EXCEPINFO*,
                                   UINT*) override {
    Call call{id, {}};
    // By-reference arguments are copied by value: they live only during the call.
    for (UINT i = parameters->cArgs; i > 0; --i) {
      Variant argument;
      VariantCopyInd(argument.out(), &parameters->rgvarg[i - 1]);
      call.arguments.push_back(std::move(argument));
    }
    calls.push_back(std::move(call));
    return S_OK;
  }
};

DWORD Advise(IDispatch* source, const IID& events, RecordingSink* sink) {
  ComPtr<IConnectionPointContainer> container;
  EXPECT_EQ(source->QueryInterface(IID_PPV_ARGS(&container)), S_OK);
  ComPtr<IConnectionPoint> point;
  EXPECT_EQ(container->FindConnectionPoint(events, &point), S_OK);
  DWORD cookie = 0;
  EXPECT_EQ(point->Advise(sink, &cookie), S_OK);
  return cookie;
}

std::string TagOf(const Variant& control) { return DispatchObject(control.ToObject()).Get("Tag").ToText(); }

class SimCommandBarsTest : public ::testing::Test {
 protected:
  ComPtr<SimExcelApplication> excel = Make<SimExcelApplication>();
  DispatchObject bars = DispatchObject(excel->dispatch()).GetObject("CommandBars");

  DispatchObject AddToolbar(const std::string& name, bool temporary = false) {
    return bars.GetObject("Add", {Variant::Text(name), Variant::Int(4), Variant::Omitted(), Variant::Bool(temporary)});
  }
  DispatchObject AddControl(const DispatchObject& bar, long type, const std::string& tag, bool temporary = false) {
    const DispatchObject control = bar.GetObject("Controls")
                                       .GetObject("Add", {Variant::Int(type), Variant::Int(1), Variant::Omitted(),
                                                          Variant::Omitted(), Variant::Bool(temporary)});
    control.Put("Tag", Variant::Text(tag));
    return control;
  }
  SimCommandBarControl& Control(const std::string& tag) { return *excel->command_bars().ControlsWithTag(tag).at(0); }
};

TEST_F(SimCommandBarsTest, ToolbarsAndControlsAreBuiltAndFoundLateBound) {
  const long built_in = bars.Get("Count").ToInt();
  const DispatchObject bar = AddToolbar("Trelvo");
  EXPECT_EQ(bars.Get("Count").ToInt(), built_in + 1);
  EXPECT_FALSE(bar.Get("BuiltIn").ToBool());
  EXPECT_THROW(AddToolbar("TRELVO"), Error);  // names are unique without regard to case

  const DispatchObject save = AddControl(bar, 1, "{SAVE}");
  const DispatchObject ranges = AddControl(bar, 3, "{RANGES}");
  save.Put("Caption", Variant::Text("Speichern"));
  save.Put("Style", Variant::Int(3));
  ranges.Call("AddItem", {Variant::Text("(Standard Zähler)")});
  ranges.Call("AddItem", {Variant::Text("Firma A")});
  ranges.Put("ListIndex", Variant::Int(1));
  EXPECT_EQ(ranges.Get("Text").ToText(), "(Standard Zähler)");
  EXPECT_THROW(ranges.Put("Text", Variant::Text("nicht in der Liste")), Error);

  EXPECT_EQ(bar.GetObject("Controls").Get("Count").ToInt(), 2);
  EXPECT_EQ(TagOf(bars.Get("FindControl", {Variant::Int(3), Variant::Omitted(), Variant::Text("{RANGES}")})),
            "{RANGES}");
  EXPECT_TRUE(bars.Get("FindControl", {Variant::Int(1), Variant::Omitted(), Variant::Text("{RANGES}")}).IsNothing());
  EXPECT_EQ(ranges.Get("Index").ToInt(), 2);
  ranges.Call("Move", {Variant::Omitted(), Variant::Int(1)});
  EXPECT_EQ(ranges.Get("Index").ToInt(), 1);
  const DispatchObject standard = bars.GetObject("Item", {Variant::Text("Standard")});
  save.Call("Move", {Variant::Object(standard.get())});
  EXPECT_EQ(save.GetObject("Parent").Get("Name").ToText(), "Standard");
  EXPECT_EQ(save.Get("Index").ToInt(), 1);
  save.Call("Move", {Variant::Object(bar.get()), Variant::Int(2)});
  EXPECT_EQ(save.Get("Index").ToInt(), 2);

  save.Call("Delete", {Variant::Bool(false)});
  EXPECT_THROW(save.Get("HelpFile"), Error);  // a deleted control fails as in Office
  bar.Call("Delete");
  EXPECT_EQ(excel->command_bars().Bar("Trelvo"), nullptr);
}

TEST_F(SimCommandBarsTest, AClickReachesTheSinksOfEveryControlWithItsTag) {
  const DispatchObject bar = AddToolbar("Trelvo");
  const DispatchObject insert = AddControl(bar, 1, "{INSERT}");
  const DispatchObject twin = AddControl(bar, 1, "{INSERT}");
  const DispatchObject other = AddControl(bar, 1, "{OTHER}");
  auto first = win32::MakeComObject<RecordingSink>();
  auto second = win32::MakeComObject<RecordingSink>();
  auto third = win32::MakeComObject<RecordingSink>();
  Advise(insert.get(), office::kCommandBarButtonEvents, first.Get());
  Advise(twin.get(), office::kCommandBarButtonEvents, second.Get());
  Advise(other.get(), office::kCommandBarButtonEvents, third.Get());

  Control("{INSERT}").Click();
  ASSERT_EQ(first->calls.size(), 1u);
  ASSERT_EQ(second->calls.size(), 1u);
  EXPECT_TRUE(third->calls.empty());
  EXPECT_EQ(first->calls[0].id, 1);
  ASSERT_EQ(first->calls[0].arguments.size(), 2u);  // Ctrl, CancelDefault
  EXPECT_EQ(TagOf(first->calls[0].arguments[0]), "{INSERT}");
  EXPECT_FALSE(first->calls[0].arguments[1].ToBool());

  insert.Put("Enabled", Variant::Bool(false));
  Control("{INSERT}").Click();  // a disabled button cannot be clicked
  EXPECT_EQ(first->calls.size(), 1u);
}

TEST_F(SimCommandBarsTest, AChoiceInADropDownRaisesChange) {
  const DispatchObject ranges = AddControl(AddToolbar("Trelvo"), 3, "{RANGES}");
  ranges.Call("AddItem", {Variant::Text("(Standard Zähler)")});
  ranges.Call("AddItem", {Variant::Text("Firma A")});
  auto sink = win32::MakeComObject<RecordingSink>();
  Advise(ranges.get(), office::kCommandBarComboBoxEvents, sink.Get());
  ComPtr<IConnectionPointContainer> container;
  ranges.get()->QueryInterface(IID_PPV_ARGS(&container));
  ComPtr<IConnectionPoint> point;
  EXPECT_EQ(container->FindConnectionPoint(office::kCommandBarButtonEvents, &point), CONNECT_E_NOCONNECTION);

  Control("{RANGES}").Choose(2);
  ASSERT_EQ(sink->calls.size(), 1u);
  EXPECT_EQ(sink->calls[0].id, 1);
  EXPECT_EQ(ranges.Get("ListIndex").ToInt(), 2);
  EXPECT_EQ(ranges.Get("Text").ToText(), "Firma A");
}

TEST_F(SimCommandBarsTest, ARestartKeepsWhatIsNotTemporaryAndDropsTheEventConnections) {
  const DispatchObject kept = AddToolbar("Trelvo");
  AddControl(kept, 1, "{KEPT}");
  AddControl(kept, 1, "{GONE}", true);
  AddToolbar("Vorübergehend", true);
  auto sink = win32::MakeComObject<RecordingSink>();
  Advise(kept.GetObject("Controls").GetObject("Item", {Variant::Int(1)}).get(), office::kCommandBarButtonEvents,
         sink.Get());

  excel->command_bars().Restart();
  EXPECT_NE(excel->command_bars().Bar("Trelvo"), nullptr);
  EXPECT_EQ(excel->command_bars().Bar("Vorübergehend"), nullptr);
  EXPECT_EQ(excel->command_bars().ControlsWithTag("{KEPT}").size(), 1u);
  EXPECT_TRUE(excel->command_bars().ControlsWithTag("{GONE}").empty());
  Control("{KEPT}").Click();
  EXPECT_TRUE(sink->calls.empty());
}

// Office takes a property's new value only from a property write: the value
// named DISPID_PROPERTYPUT without DISPATCH_PROPERTYPUT, or a write without that
// value, is refused and changes nothing.
TEST(SimObject, PropertyWritesNeedThePutFlagAndTheNamedValue) {
  const auto excel = Make<SimExcelApplication>();
  SimWorkbook& book = excel->OpenWorkbook("Mappe1");
  excel->active_cell = "R1C1";
  const ComPtr<IDispatch> cell = DispatchObject(excel->dispatch()).Get("ActiveCell").ToObject();
  LPOLESTR name = const_cast<LPOLESTR>(L"FormulaR1C1");
  DISPID id = 0;
  ASSERT_EQ(cell->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id), S_OK);

  Variant value = Variant::Text("0042");
  VARIANTARG argument = value.get();
  DISPID put_id = DISPID_PROPERTYPUT;
  DISPPARAMS named{&argument, &put_id, 1, 1};
  DISPPARAMS unnamed{&argument, nullptr, 1, 0};
  const struct {
    WORD flags;
    DISPPARAMS* parameters;
    HRESULT expected;
  } cases[] = {
      {DISPATCH_METHOD, &named, DISP_E_PARAMNOTFOUND},
      {DISPATCH_PROPERTYGET | DISPATCH_METHOD, &named, DISP_E_PARAMNOTFOUND},
      {DISPATCH_PROPERTYPUT, &unnamed, DISP_E_PARAMNOTFOUND},
      {DISPATCH_PROPERTYPUT, &named, S_OK},
  };
  for (const auto& c : cases) {
    book.cells["R1C1"] = simoffice::SimCell();
    EXPECT_EQ(cell->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, c.flags, c.parameters, nullptr, nullptr, nullptr),
              c.expected)
        << "flags " << c.flags;
    EXPECT_EQ(book.cells["R1C1"].formula(), c.expected == S_OK ? "0042" : "");
  }
}

// A cell takes text as Excel takes typed input in German settings.
TEST(SimCellTest, TextBecomesNumbersAndDatesUnlessAnApostropheOrTheTextFormatKeepsIt) {
  const struct {
    const char* input;
    const char* format;
    SimCell::Kind kind;
    const char* text;
  } cases[] = {
      {"0042", "General", SimCell::Kind::Number, "42"},
      {"20260042", "General", SimCell::Kind::Number, "20260042"},
      {"-3,5", "General", SimCell::Kind::Number, "-3,5"},
      {"05.03.2024", "General", SimCell::Kind::Date, "05.03.2024"},
      {"3/24", "General", SimCell::Kind::Date, "01.03.2024"},
      {"2024-12-31", "General", SimCell::Kind::Date, "31.12.2024"},
      {"31.02.2024", "General", SimCell::Kind::Text, "31.02.2024"},
      {"RE-0042", "General", SimCell::Kind::Text, "RE-0042"},
      {"'0042", "General", SimCell::Kind::Text, "0042"},
      {"0042", "@", SimCell::Kind::Text, "0042"},
      {"", "General", SimCell::Kind::Empty, ""},
  };
  for (const auto& c : cases) {
    SimCell cell;
    cell.set_number_format(c.format);
    cell.Enter(c.input);
    EXPECT_EQ(cell.kind(), c.kind) << c.input;
    EXPECT_EQ(cell.Text(), c.text) << c.input;
  }
  SimCell date;
  date.Enter("05.03.2024");
  EXPECT_EQ(date.Value().type(), VT_DATE);
  EXPECT_EQ(date.Value().get().date, 45356.0) << "days since 30.12.1899";
  EXPECT_EQ(date.number_format(), "m/d/yyyy");
}

// Office keeps its toolbars from one run to the next; a new simulated host
// finds what the one before it built, but nothing temporary.
TEST(SimCommandBarsPersistence, WhatIsNotTemporaryIsThereAtTheNextStart) {
  win32::DeleteRegistryTree(HKEY_CURRENT_USER, L"Software\\SimOffice\\Excel");
  {
    const auto excel = Make<SimExcelApplication>();
    excel->Start();
    const DispatchObject bars = DispatchObject(excel->dispatch()).GetObject("CommandBars");
    const DispatchObject bar =
        bars.GetObject("Add", {Variant::Text("Trelvo"), Variant::Int(4), Variant::Omitted(), Variant::Bool(false)});
    bars.Call("Add", {Variant::Text("Weg"), Variant::Int(4), Variant::Omitted(), Variant::Bool(true)});
    const DispatchObject list = bar.GetObject("Controls")
                                    .GetObject("Add", {Variant::Int(3), Variant::Int(1), Variant::Omitted(),
                                                       Variant::Omitted(), Variant::Bool(false)});
    list.Put("Tag", Variant::Text("{LISTE}"));
    list.Put("Caption", Variant::Text("Nummernkreis"));
    list.Call("AddItem", {Variant::Text("(Standard Zähler)")});
    list.Call("AddItem", {Variant::Text("Firma A")});
    bar.GetObject("Controls")
        .Call("Add", {Variant::Int(1), Variant::Int(1), Variant::Omitted(), Variant::Omitted(), Variant::Bool(true)});
    DispatchObject(excel->dispatch()).Call("Quit");
  }
  const auto excel = Make<SimExcelApplication>();
  excel->Start();
  const SimCommandBar* bar = excel->command_bars().Bar("Trelvo");
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(excel->command_bars().Bar("Weg"), nullptr);
  ASSERT_EQ(bar->controls().size(), 1u);
  EXPECT_EQ(bar->controls()[0]->tag(), "{LISTE}");
  EXPECT_EQ(bar->controls()[0]->caption(), "Nummernkreis");
  EXPECT_EQ(bar->controls()[0]->items(), (std::vector<std::string>{"(Standard Zähler)", "Firma A"}));
  EXPECT_EQ(bar->property_writes() + bar->controls()[0]->property_writes(), 0) << "loading is no caller's write";
  win32::DeleteRegistryTree(HKEY_CURRENT_USER, L"Software\\SimOffice\\Excel");
}

TEST(SimWord, ApplicationEventsReachAnAdvisedSink) {
  const auto word = Make<SimWordApplication>();
  auto sink = win32::MakeComObject<RecordingSink>();
  Advise(word->dispatch(), office::kWordApplicationEvents4, sink.Get());
  SimDocument& document = word->OpenDocument("Brief.doc");
  word->FireNewDocument(document);
  word->FireDocumentOpen(document);
  word->FireDocumentChange();
  word->FireWindowActivate(&document);
  ASSERT_EQ(sink->calls.size(), 4u);
  EXPECT_EQ(sink->calls[0].id, 9);
  EXPECT_EQ(sink->calls[1].id, 4);
  EXPECT_EQ(sink->calls[2].id, 3);
  EXPECT_EQ(sink->calls[3].id, 10);
  EXPECT_EQ(DispatchObject(sink->calls[3].arguments[0].ToObject()).Get("Name").ToText(), "Brief.doc");
}

TEST(SimWord, TemplatesAndOrganizerDelete) {
  const auto word = Make<SimWordApplication>();
  const DispatchObject application(word->dispatch());
  const std::string normal = application.GetObject("NormalTemplate").Get("FullName").ToText();
  application.Call("OrganizerDelete", {},
                   {{"Source", Variant::Text(normal)}, {"Name", Variant::Text("Trelvo")}, {"Object", Variant::Int(2)}});
  ASSERT_EQ(word->organizer_deletes.size(), 1u);
  EXPECT_EQ(word->organizer_deletes[0].source, normal);
  EXPECT_EQ(word->organizer_deletes[0].name, "Trelvo");
  EXPECT_EQ(word->organizer_deletes[0].object, 2);

  word->normal_template().saved = false;
  const DispatchObject templates = application.GetObject("Templates");
  ASSERT_EQ(templates.Get("Count").ToInt(), 1);
  const DispatchObject first = templates.GetObject("Item", {Variant::Int(1)});
  EXPECT_FALSE(first.Get("Saved").ToBool());
  first.Call("Save");
  EXPECT_EQ(word->normal_template().saves, 1);
  EXPECT_TRUE(word->normal_template().saved);
}

TEST(SimHosts, AnswerForTheirApplicationInterfaces) {
  const auto word = Make<SimWordApplication>();
  const auto excel = Make<SimExcelApplication>();
  ComPtr<IUnknown> answer;
  EXPECT_EQ(word->QueryInterface(office::kWordApplication, reinterpret_cast<void**>(answer.GetAddressOf())), S_OK);
  answer.Reset();
  EXPECT_EQ(word->QueryInterface(office::kExcelApplication, reinterpret_cast<void**>(answer.GetAddressOf())),
            E_NOINTERFACE);
  EXPECT_EQ(excel->QueryInterface(office::kExcelApplication, reinterpret_cast<void**>(answer.GetAddressOf())), S_OK);
}

std::wstring ClassOf(HWND window) {
  wchar_t name[32] = {};
  GetClassNameW(window, name, 32);
  return name;
}

// Before version 15 Excel has one main window, which Hwnd answers whichever
// workbook is active; the workbooks have none of their own.
TEST(SimExcel, Before15HwndIsTheOneMainWindowOfTheClassXlmainOnTheCallingThread) {
  const auto excel = Make<SimExcelApplication>();
  const HWND window = excel->main_window();
  EXPECT_EQ(ClassOf(window), L"XLMAIN");
  EXPECT_EQ(GetWindowThreadProcessId(window, nullptr), GetCurrentThreadId());
  const DispatchObject application(excel->dispatch());
  for (const char* name : {"Mappe1", "Mappe2"}) {
    EXPECT_EQ(excel->OpenWorkbook(name).window(), nullptr);
    EXPECT_EQ(win32::HandleFromLong(application.Get("Hwnd").ToInt()), window) << name;
  }
}

// From version 15 on (read from the registry before the host starts) every
// workbook and document has its own hidden top-level window on the
// application's thread; Excel's Application.Hwnd and Word's ActiveWindow.Hwnd
// answer the active one's as a Long. A new one becomes active, Activate
// brings another back, and closing them destroys their windows.
TEST(SimHosts, From15EveryWorkbookAndDocumentHasItsOwnWindow) {
  const auto excel_hwnd = [](const DispatchObject& excel) { return excel.Get("Hwnd"); };
  const auto word_hwnd = [](const DispatchObject& word) { return word.GetObject("ActiveWindow").Get("Hwnd"); };
  const struct {
    const wchar_t* host;
    const wchar_t* version;
    const wchar_t* window_class;
    const char* files;
    std::function<Variant(const DispatchObject&)> hwnd;
  } cases[] = {
      {L"Excel", L"15.0", L"XLMAIN", "Workbooks", excel_hwnd},
      {L"Excel", L"16.0", L"XLMAIN", "Workbooks", excel_hwnd},
      {L"Word", L"16.0", L"OpusApp", "Documents", word_hwnd},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(win32::Narrow(std::wstring(c.host) + L" " + c.version));
    win32::WriteRegistryText(HKEY_CURRENT_USER, std::wstring(L"Software\\SimOffice\\") + c.host, L"Version", c.version);
    ComPtr<SimExcelApplication> excel;
    ComPtr<SimWordApplication> word;
    if (std::wstring(c.host) == L"Excel")
      excel = Make<SimExcelApplication>();
    else
      word = Make<SimWordApplication>();
    const DispatchObject application(excel ? excel->dispatch() : word->dispatch());
    const DispatchObject files = application.GetObject(c.files);
    const DispatchObject first = files.GetObject("Add");
    const HWND first_window = win32::HandleFromLong(c.hwnd(application).ToInt());
    files.Call("Add");
    const HWND second_window = win32::HandleFromLong(c.hwnd(application).ToInt());
    EXPECT_EQ(c.hwnd(application).type(), VT_I4);
    EXPECT_NE(first_window, second_window);
    for (const HWND window : {first_window, second_window}) {
      EXPECT_EQ(ClassOf(window), c.window_class);
      EXPECT_FALSE(IsWindowVisible(window));
      EXPECT_EQ(GetWindowThreadProcessId(window, nullptr), GetCurrentThreadId());
      EXPECT_EQ(GetAncestor(window, GA_ROOT), window) << "top-level";
    }
    first.Call("Activate");
    EXPECT_EQ(win32::HandleFromLong(c.hwnd(application).ToInt()), first_window);
    if (excel)
      excel->CloseAllWorkbooks();
    else
      word->CloseAllDocuments();
    EXPECT_FALSE(IsWindow(first_window));
    EXPECT_FALSE(IsWindow(second_window));
    EXPECT_THROW(first.Call("Activate"), std::exception) << "no longer open";
  }
  win32::DeleteRegistryTree(HKEY_CURRENT_USER, L"Software\\SimOffice");
}

// No test waits on a modal box: the scripted user answers it and records it,
// once, also with an older host on the thread: the newest host's user answers.
TEST(SimUser, AnswersEveryMessageBoxOnTheHostsThreadAndRecordsIt) {
  const auto older = Make<SimWordApplication>();
  const auto excel = Make<SimExcelApplication>();
  const DispatchObject user = DispatchObject(excel->dispatch()).GetObject("SimUser");
  EXPECT_EQ(MessageBoxW(excel->main_window(), L"Die Datei fehlt.\r\nBitte prüfen.", L"Fehler", MB_OK | MB_ICONERROR),
            IDOK);
  user.Put("Answer", Variant::Text("Nein"));
  EXPECT_EQ(MessageBoxW(nullptr, L"Löschen?", L"Bestätigen", MB_YESNOCANCEL), IDNO);
  user.Put("Answer", Variant::Text("Abbrechen"));
  EXPECT_EQ(MessageBoxW(nullptr, L"Löschen?", L"Bestätigen", MB_YESNOCANCEL), IDCANCEL);

  EXPECT_EQ(user.Get("Messages").ToText(),
            "Fehler|Die Datei fehlt.\\nBitte prüfen.\r\nBestätigen|Löschen?\r\nBestätigen|Löschen?\r\n");
  EXPECT_EQ(user.Get("Owners").ToText(), std::to_string(win32::HandleAsLong(excel->main_window())) + "\r\n0\r\n0\r\n");
  ASSERT_EQ(excel->user().shown.size(), 3u);
  EXPECT_EQ(excel->user().shown[0].owner, excel->main_window());
  EXPECT_EQ(excel->user().shown[1].buttons.size(), 3u);
  EXPECT_TRUE(older->user().shown.empty());
  user.Call("Clear");
  EXPECT_EQ(user.Get("Messages").ToText(), "");
  EXPECT_EQ(user.Get("Owners").ToText(), "");
}

TEST(SimApplication, TheVersionComesFromTheRegistryBeforeTheHostStarts) {
  EXPECT_EQ(Make<SimExcelApplication>()->version, "11.0");
  win32::WriteRegistryText(HKEY_CURRENT_USER, L"Software\\SimOffice\\Excel", L"Version", L"12.0");
  EXPECT_EQ(DispatchObject(Make<SimExcelApplication>()->dispatch()).Get("Version").ToText(), "12.0");
  EXPECT_EQ(Make<SimWordApplication>()->version, "11.0");
  win32::DeleteRegistryTree(HKEY_CURRENT_USER, L"Software\\SimOffice");
}

int timer_calls = 0;
void CALLBACK CountTimer(HWND, UINT, UINT_PTR, DWORD) { ++timer_calls; }

TEST(SimApplication, SimPumpRunsTheMessageLoopSoTimersFire) {
  const auto word = Make<SimWordApplication>();
  const UINT_PTR timer = SetTimer(nullptr, 0, 50, CountTimer);
  DispatchObject(word->dispatch()).Call("SimPump", {Variant::Int(300)});
  KillTimer(nullptr, timer);
  EXPECT_GE(timer_calls, 2);
}

TEST(SimAddIn, TheComAddInKeepsItsObjectAndTheRibbonRecordsRefreshes) {
  const auto addin = Make<SimComAddIn>("Microsoft Excel", "Trelvo.TrelvoCoClass");
  const auto other = Make<SimComAddIn>("Microsoft Excel", "Anderes.AddIn");
  ComPtr<IUnknown> com_addin;
  EXPECT_EQ(addin->QueryInterface(office::kComAddIn, reinterpret_cast<void**>(com_addin.GetAddressOf())), S_OK);
  DispatchObject(addin->dispatch()).Put("Object", Variant::Object(other->dispatch()));
  EXPECT_EQ(addin->object(), other->dispatch());
  EXPECT_EQ(DispatchObject(addin->dispatch()).Get("ProgId").ToText(), "Trelvo.TrelvoCoClass");

  const auto ribbon = win32::MakeComObject<SimRibbonUI>();
  ComPtr<IRibbonUI> ui;
  ASSERT_EQ(ribbon.As(&ui), S_OK);
  EXPECT_EQ(ui->InvalidateControl(const_cast<BSTR>(L"ddRanges")), S_OK);
  EXPECT_EQ(ui->Invalidate(), S_OK);
  EXPECT_EQ(ribbon->invalidated_controls, std::vector<std::string>{"ddRanges"});
  EXPECT_EQ(ribbon->invalidations, 1);
  ribbon->fail = true;
  EXPECT_EQ(ui->InvalidateControl(const_cast<BSTR>(L"ddRanges")), E_FAIL);

  const auto control = win32::MakeComObject<SimRibbonControl>("btnInsert");
  ComPtr<IRibbonControl> ribbon_control;
  ASSERT_EQ(control.As(&ribbon_control), S_OK);
  BSTR id = nullptr;
  EXPECT_EQ(ribbon_control->get_Id(&id), S_OK);
  EXPECT_EQ(std::wstring(id), L"btnInsert");
  SysFreeString(id);
}

}  // namespace
}  // namespace trelvo::simoffice
