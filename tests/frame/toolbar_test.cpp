// The toolbar "Trelvo" in the simulated Excel and Word: built on a first
// start with its bookkeeping, found again on the next without a property
// written, the user's changes kept, stale controls removed, and its controls'
// events delivered to the module.
#include "frame/toolbar.h"

#include <gtest/gtest.h>

#include "frame/add_in_connection.h"
#include "frame/host_recognition.h"
#include "platform/error.h"
#include "platform/win32/registry_key.h"
#include "platform/win32/wide_text.h"
#include "simoffice/sim_excel.h"
#include "simoffice/sim_word.h"

namespace trelvo::frame {
namespace {

using Microsoft::WRL::ComPtr;
using simoffice::Make;
using win32::RegistryKey;

const std::wstring kExcelKey = AddInRegistryKey(commands::HostKind::Excel, commands::kTrelvoAddIn.prog_id);
const auto& kControls = commands::kTrelvoToolbar.controls;

class CommandModule : public commands::AddInModule {
 public:
  CommandModule(std::vector<commands::Command>& commands, std::function<void()> during, const bool& report_fails)
      : commands_(commands), during_(std::move(during)), report_fails_(report_fails) {}
  void OnToolbarCommand(commands::Command command, const commands::HostConnection&) override {
    commands_.push_back(command);
    if (during_) during_();
  }
  // A module whose own error handling fails: reporting throws in turn.
  bool OnError(const std::exception&) override {
    if (report_fails_) throw Error("Auch die Fehlermeldung ging schief.");
    return false;
  }

 private:
  std::vector<commands::Command>& commands_;
  std::function<void()> during_;
  const bool& report_fails_;
};

class ToolbarTest : public ::testing::Test {
 protected:
  ComPtr<simoffice::SimExcelApplication> excel = Make<simoffice::SimExcelApplication>();
  std::vector<commands::Command> commands;
  std::function<void()> during_command;
  bool report_fails = false;
  std::unique_ptr<AddInConnection> connection;

  void SetUp() override { win32::DeleteRegistryTree(HKEY_CURRENT_USER, kExcelKey); }
  void TearDown() override {
    connection.reset();
    win32::DeleteRegistryTree(HKEY_CURRENT_USER, kExcelKey);
  }

  void Start(simoffice::SimApplication& host) {
    const commands::ModuleFactory factory = [this](platform::UserInterface&) {
      return std::make_unique<CommandModule>(
          commands,
          [this] {
            if (during_command) during_command();
          },
          report_fails);
    };
    connection = std::make_unique<AddInConnection>(commands::kTrelvoAddIn, factory, host.dispatch(),
                                                   ext_cm_AfterStartup, nullptr, nullptr);
  }
  // A new run of the host: what is not temporary stays, event connections go.
  void Restart() {
    if (connection) connection->Disconnect(ext_dm_HostShutdown);
    connection.reset();
    excel->command_bars().Restart();
  }
  // The add-in's toolbar is temporary; versions before 1.1 built a lasting
  // one in Excel (and noted their first start), which a later start finds and
  // keeps up to date.
  void LeaveLastingToolbarOfAnEarlierVersion() {
    Toolbar(commands::kTrelvoToolbar, excel->command_bars().dispatch(), kExcelKey, excel->version, true, false,
            Toolbar::Callbacks{[](commands::Command, size_t) {}, [](const std::exception& error) { throw error; }})
        .Build();
    RegistryKey::Create(HKEY_CURRENT_USER, kExcelKey).SetString(L"OAXStartMode", L"NORMAL");
    Restart();
  }
  std::optional<DWORD> Recorded(const std::wstring& part, const std::string& name) const {
    return RegistryKey::Open(HKEY_CURRENT_USER, kExcelKey + part).GetDword(std::wstring(name.begin(), name.end()));
  }
  simoffice::SimCommandBarControl* Control(size_t index) const {
    const auto found = excel->command_bars().ControlsWithTag(kControls[index].tag);
    return found.empty() ? nullptr : found[0];
  }
  int HostWrites() const {
    int writes = 0;
    for (const auto& bar : excel->command_bars().bars()) {
      writes += bar->property_writes();
      for (const auto& control : bar->controls()) writes += control->property_writes();
    }
    return writes;
  }
};

TEST_F(ToolbarTest, AFirstStartBuildsTheToolbarAndRecordsItsDesign) {
  Start(*excel.Get());
  const simoffice::SimCommandBar* bar = excel->command_bars().Bar("Trelvo");
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(bar->position(), 4);
  EXPECT_EQ(bar->protection(), 1);
  ASSERT_EQ(bar->controls().size(), 6u);
  const char* captions[] = {"Speichern", "Sabu einfügen", "Nummernkreis", "Optionen", "Kunde setzen", "Info"};
  for (size_t i = 0; i < 6; ++i) {
    EXPECT_EQ(bar->controls()[i]->caption(), captions[i]);
    EXPECT_EQ(bar->controls()[i]->tag(), kControls[i].tag);
  }
  EXPECT_EQ(bar->controls()[2]->items(), std::vector<std::string>{"(Standard Zähler)"});
  EXPECT_EQ(bar->controls()[2]->list_index(), 1);
  EXPECT_EQ(Recorded(L"\\CommandBars", "Trelvo"), 5u);
  const DWORD revisions[] = {16, 18, 18, 15, 8, 16};
  for (size_t i = 0; i < 6; ++i) EXPECT_EQ(Recorded(L"\\Controls", kControls[i].tag), revisions[i]);
  Restart();
  EXPECT_EQ(excel->command_bars().Bar("Trelvo"), nullptr) << "temporary: nothing of it outlives the run";
}

TEST_F(ToolbarTest, ALaterStartFindsItWritesNothingAndKeepsTheUsersChanges) {
  LeaveLastingToolbarOfAnEarlierVersion();
  Control(3)->SetCaptionByUser("Meine Optionen");
  Control(4)->MarkDeleted();
  Control(4)->parent()->RemoveControl(Control(4));
  const int writes = HostWrites();
  Start(*excel.Get());
  EXPECT_EQ(HostWrites(), writes) << "a later start writes no property";
  EXPECT_EQ(Control(3)->caption(), "Meine Optionen");
  EXPECT_EQ(Control(4), nullptr) << "a control the user deleted stays deleted";
  EXPECT_EQ(excel->command_bars().Bar("Trelvo")->controls().size(), 5u);

  // After the user unloads the add-in, the bookkeeping is gone and a start builds all again.
  connection->Disconnect(ext_dm_UserClosed);
  connection.reset();
  EXPECT_EQ(excel->command_bars().Bar("Trelvo"), nullptr);
  Start(*excel.Get());
  EXPECT_EQ(excel->command_bars().Bar("Trelvo")->controls().size(), 6u);
}

TEST_F(ToolbarTest, AStaleTagIsRemovedAndABarInOtherLettersIsTaken) {
  // A control of an earlier design, recorded under "Controls".
  const auto stale = excel->command_bars().Bar("Standard")->AddControl(1, 1, std::nullopt, false);
  win32::DispatchObject(stale->dispatch()).Put("Tag", win32::Variant::Text("{ALT}"));
  RegistryKey::Create(HKEY_CURRENT_USER, kExcelKey + L"\\Controls").SetDword(L"{ALT}", 3);
  // A bar of the user's, named in other letters.
  win32::DispatchObject(excel->command_bars().dispatch())
      .Call("Add", {win32::Variant::Text("TRELVO"), win32::Variant::Int(4), win32::Variant::Omitted(),
                    win32::Variant::Bool(false)});
  Start(*excel.Get());
  EXPECT_TRUE(stale->deleted());
  EXPECT_FALSE(Recorded(L"\\Controls", "{ALT}"));
  EXPECT_EQ(excel->command_bars().Bar("TRELVO")->controls().size(), 6u);
}

TEST_F(ToolbarTest, ButtonsGetTheirFacesAsPicturesOrInVersion9FromTheClipboard) {
  Start(*excel.Get());
  for (size_t i : {0, 1, 3, 4, 5}) EXPECT_TRUE(Control(i)->has_picture()) << i;
  EXPECT_FALSE(Control(2)->has_picture());
  EXPECT_EQ(excel->user().MessagesText(), "");

  // Excel 2000 has no Picture: the faces come through the clipboard, which keeps its text.
  const auto old_excel = Make<simoffice::SimExcelApplication>();
  old_excel->version = "9.0";
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  const char text[] = "Notiz des Benutzers";
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, sizeof text);
  memcpy(GlobalLock(memory), text, sizeof text);
  GlobalUnlock(memory);
  SetClipboardData(CF_TEXT, memory);
  CloseClipboard();
  connection.reset();
  win32::DeleteRegistryTree(HKEY_CURRENT_USER, kExcelKey);
  Start(*old_excel.Get());
  for (size_t i : {0, 1, 3, 4, 5})
    EXPECT_EQ(old_excel->command_bars().ControlsWithTag(kControls[i].tag).at(0)->pastes(), 1) << i;
  ASSERT_TRUE(OpenClipboard(nullptr));
  const HANDLE kept = GetClipboardData(CF_TEXT);
  EXPECT_STREQ(kept ? static_cast<const char*>(GlobalLock(kept)) : "", text);
  if (kept) GlobalUnlock(kept);
  CloseClipboard();
  EXPECT_TRUE(old_excel->user().shown.empty());
}

// A start that had to add the bar anew builds every control; a control the
// user deletes afterwards is not built again when the toolbar is found anew
// (as Word does when another document becomes active).
TEST_F(ToolbarTest, AControlDeletedAfterTheBarWasAddedStaysDeletedWhenFoundAgain) {
  Start(*excel.Get());
  Control(4)->MarkDeleted();
  Control(4)->parent()->RemoveControl(Control(4));
  static_cast<Toolbar*>(connection->host().toolbar)->Reattach(excel->command_bars().dispatch());
  EXPECT_EQ(Control(4), nullptr);
  EXPECT_EQ(excel->command_bars().Bar("Trelvo")->controls().size(), 5u);
}

TEST_F(ToolbarTest, ItemsChangedAtRunTimeRefillTheListAndALostControlIsFoundAgain) {
  Start(*excel.Get());
  commands::HostToolbar& toolbar = *connection->host().toolbar;
  toolbar.SetItems(2, {"(Standard Zähler)", "Firma A"});
  EXPECT_EQ(Control(2)->items(), (std::vector<std::string>{"(Standard Zähler)", "Firma A"}));
  // The host lost the control; one with the same tag stands elsewhere now.
  simoffice::SimCommandBarControl* lost = Control(2);
  const auto replacement = excel->command_bars().Bar("Standard")->AddControl(3, 1, std::nullopt, false);
  win32::DispatchObject(replacement->dispatch()).Put("Tag", win32::Variant::Text(kControls[2].tag));
  lost->parent()->RemoveControl(lost);
  toolbar.SetItems(2, {"(Standard Zähler)", "Firma B"});
  EXPECT_EQ(replacement->items(), (std::vector<std::string>{"(Standard Zähler)", "Firma B"}));
  EXPECT_TRUE(excel->user().shown.empty());
}

TEST_F(ToolbarTest, ALaterStartMovesAControlBackIntoItsPlace) {
  LeaveLastingToolbarOfAnEarlierVersion();
  RegistryKey::Open(HKEY_CURRENT_USER, kExcelKey + L"\\Controls", KEY_READ | KEY_WRITE)
      .SetDword(win32::Widen(kControls[5].tag), 1);
  simoffice::SimCommandBar& bar = *excel->command_bars().Bar("Trelvo");
  bar.MoveControl(Control(5), bar, 1);  // the user moved "Info" to the front
  Start(*excel.Get());
  EXPECT_EQ(bar.controls()[5]->tag(), kControls[5].tag) << "a design change puts it back";
}

TEST_F(ToolbarTest, VersionTwelveBuildsNoToolbar) {
  excel->version = "12.0";
  Start(*excel.Get());
  EXPECT_EQ(excel->command_bars().Bar("Trelvo"), nullptr);
}

TEST_F(ToolbarTest, AClickReachesTheModuleOnceAndAReentryIsIgnored) {
  Start(*excel.Get());
  during_command = [this] {
    if (commands.size() == 1) Control(1)->Click();  // the host delivers a second click meanwhile
  };
  Control(1)->Click();
  EXPECT_EQ(commands, std::vector<commands::Command>{commands::Command::Insert});
  during_command = nullptr;
  Control(2)->Choose(1);
  Control(5)->Click();
  EXPECT_EQ(commands, (std::vector<commands::Command>{commands::Command::Insert, commands::Command::SelectRange,
                                                      commands::Command::Info}));
}

// Word: when another document becomes active, the toolbar's controls are
// linked anew, so that their events reach the add-in again.
TEST_F(ToolbarTest, WordReattachesTheToolbarWhenTheActiveDocumentChanges) {
  const auto word = Make<simoffice::SimWordApplication>();
  simoffice::SimDocument& document = word->OpenDocument("Brief");
  Start(*word.Get());
  const auto insert = [&] { return word->command_bars().ControlsWithTag(kControls[1].tag).at(0); };
  // Word's toolbar is temporary: the event connections go, the bar stays.
  const auto drop_event_connections = [&] {
    for (const auto& control : word->command_bars().Bar("Trelvo")->controls()) control->DisconnectAllSinks();
  };
  drop_event_connections();
  insert()->Click();
  EXPECT_TRUE(commands.empty());
  word->FireDocumentChange();
  insert()->Click();
  drop_event_connections();
  word->FireWindowActivate(&document);
  insert()->Click();
  EXPECT_EQ(commands, (std::vector<commands::Command>{commands::Command::Insert, commands::Command::Insert}));
  EXPECT_EQ(word->command_bars().Bar("Trelvo")->controls().size(), 6u) << "nothing was added twice";
  connection.reset();
  win32::DeleteRegistryTree(HKEY_CURRENT_USER, L"Software\\Microsoft\\Office\\Word\\AddIns\\Trelvo.TrelvoCoClass");
}

// The sink's IDispatch answers as the host expects it (a name list with any
// unknown name is DISP_E_UNKNOWNNAME), and a control's handler passes on only
// events whose control carries its tag.
TEST(ControlEventsTest, AnswersWithTheExactCodesAndPassesOnlyItsOwnTag) {
  int handled = 0;
  const ControlEventCallbacks callbacks{[] { return true; }, [](IDispatch*) {}, [&] { ++handled; },
                                        [](const std::exception&) {}};
  const auto button = win32::MakeComObject<win32::EventSink>(
      ControlEventInterface(1), ControlEventHandler("{MEIN}", callbacks), ControlEventNames(1));
  const auto list = win32::MakeComObject<win32::EventSink>(
      ControlEventInterface(3), ControlEventHandler("{LISTE}", callbacks), ControlEventNames(3));
  DISPID id = 0;
  LPOLESTR click = const_cast<LPOLESTR>(L"Click");
  LPOLESTR small_click = const_cast<LPOLESTR>(L"click");
  LPOLESTR change = const_cast<LPOLESTR>(L"Change");
  LPOLESTR ctrl = const_cast<LPOLESTR>(L"Ctrl");
  EXPECT_EQ(button->GetIDsOfNames(IID_NULL, &click, 1, 0, &id), S_OK);
  EXPECT_EQ(id, 1);
  EXPECT_EQ(button->GetIDsOfNames(IID_NULL, &small_click, 1, 0, &id), DISP_E_UNKNOWNNAME);
  EXPECT_EQ(id, DISPID_UNKNOWN);
  EXPECT_EQ(list->GetIDsOfNames(IID_NULL, &click, 1, 0, &id), DISP_E_UNKNOWNNAME);
  EXPECT_EQ(list->GetIDsOfNames(IID_NULL, &change, 1, 0, &id), S_OK);
  LPOLESTR event_and_parameter[] = {click, ctrl};
  DISPID two[2] = {0, 0};
  EXPECT_EQ(button->GetIDsOfNames(IID_NULL, event_and_parameter, 2, 0, two), DISP_E_UNKNOWNNAME);
  EXPECT_EQ(two[0], 1);
  EXPECT_EQ(two[1], DISPID_UNKNOWN);
  EXPECT_EQ(button->GetIDsOfNames(IID_NULL, nullptr, 1, 0, &id), E_POINTER);
  ITypeInfo* info = nullptr;
  EXPECT_EQ(button->GetTypeInfo(0, 0, &info), E_NOTIMPL);
  EXPECT_EQ(button->Invoke(2, IID_NULL, 0, DISPATCH_METHOD, nullptr, nullptr, nullptr, nullptr), DISP_E_MEMBERNOTFOUND);
  EXPECT_EQ(button->Invoke(1, IID_NULL, 0, DISPATCH_METHOD, nullptr, nullptr, nullptr, nullptr), E_POINTER);

  // Click(Ctrl, CancelDefault) with controls of another tag and of its own.
  const auto excel = Make<simoffice::SimExcelApplication>();
  const auto bar = excel->command_bars().Bar("Standard");
  for (const auto& [tag, calls] : {std::pair{"{FREMD}", 0}, std::pair{"{MEIN}", 1}}) {
    const auto control = bar->AddControl(1, 1, std::nullopt, true);
    win32::DispatchObject(control->dispatch()).Put("Tag", win32::Variant::Text(tag));
    VARIANT_BOOL cancel = VARIANT_FALSE;
    VARIANTARG arguments[2];
    arguments[0].vt = VT_BOOL | VT_BYREF;
    arguments[0].pboolVal = &cancel;
    arguments[1].vt = VT_DISPATCH;
    arguments[1].pdispVal = control->dispatch();
    DISPPARAMS parameters{arguments, nullptr, 2, 0};
    EXPECT_EQ(button->Invoke(1, IID_NULL, 0, DISPATCH_METHOD, &parameters, nullptr, nullptr, nullptr), S_OK);
    EXPECT_EQ(handled, calls) << tag;
    EXPECT_EQ(cancel, VARIANT_FALSE);
  }
}

TEST_F(ToolbarTest, AFailingHandlerGivesTheErrorBoxAndTheHostHearsSOk) {
  Start(*excel.Get());
  during_command = [] { throw Error("Der Befehl ging schief."); };
  Control(0)->Click();
  ASSERT_EQ(excel->user().shown.size(), 1u);
  EXPECT_EQ(excel->user().shown[0].text,
            "Orvant Sabu Netzwerk error: the add-in has fired an exception.\r\nDer Befehl ging schief.");
}

// On 32-bit Windows an exception that reaches the host's frames ends the
// host. When reporting an error fails in turn (the module's own handling
// throws), the event still ends in the add-in: the box tells the first error
// and the host goes on with the next click. The same for every error the
// frame reports, however it arrives.
TEST_F(ToolbarTest, AReportThatThrowsInTurnStaysInTheAddIn) {
  report_fails = true;
  Start(*excel.Get());
  during_command = [] { throw Error("Der Befehl ging schief."); };
  Control(0)->Click();
  Control(0)->Click();
  EXPECT_EQ(commands.size(), 2u) << "the host went on";
  ASSERT_EQ(excel->user().shown.size(), 2u);
  EXPECT_EQ(excel->user().shown[0].text,
            "Orvant Sabu Netzwerk error: the add-in has fired an exception.\r\nDer Befehl ging schief.");
  EXPECT_NO_THROW(connection->ribbon_events().handler_failed(Error("Ein Rückruf ging schief.")));
  EXPECT_NO_THROW(connection->HandleAddInError(Error("Noch ein Fehler.")));
  EXPECT_EQ(excel->user().shown.size(), 4u);
}

}  // namespace
}  // namespace trelvo::frame
