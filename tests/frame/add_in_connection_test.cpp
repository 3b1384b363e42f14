// One connection of the add-in to the simulated Excel and Word, driven as the
// host drives it: the module's events and their order, start modes, the
// COMAddIn entry, the end of a connection, and errors of the module.
#include "frame/add_in_connection.h"

#include <gtest/gtest.h>

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

// A module that records its events; a handler can be made to fail.
class RecordingModule : public commands::AddInModule {
 public:
  RecordingModule(std::vector<std::string>& events, commands::HostConnection& seen, std::string failing,
                  bool handles_errors)
      : events_(events), seen_(seen), failing_(std::move(failing)), handles_errors_(handles_errors) {}

  void OnCreate() override { Record("Create"); }
  void OnAddInInitialize(const commands::HostConnection& host) override {
    seen_ = host;
    Record("Initialize");
  }
  void OnAddInStartupComplete(const commands::HostConnection&) override { Record("StartupComplete"); }
  void OnAddInBeginShutdown() override { Record("BeginShutdown"); }
  void OnAddInFinalize(bool host_shutting_down) override {
    Record(host_shutting_down ? "Finalize(host)" : "Finalize(user)");
  }
  bool OnError(const std::exception& error) override {
    events_.push_back(std::string("Error: ") + error.what());
    return handles_errors_;
  }

 private:
  void Record(const std::string& event) {
    events_.push_back(event);
    if (event == failing_) throw Error(event + " ging schief");
  }
  std::vector<std::string>& events_;
  commands::HostConnection& seen_;
  std::string failing_;
  bool handles_errors_;
};

class Connection : public ::testing::Test {
 protected:
  ComPtr<simoffice::SimExcelApplication> excel = Make<simoffice::SimExcelApplication>();
  ComPtr<simoffice::SimComAddIn> entry = Make<simoffice::SimComAddIn>("Microsoft Excel", "Trelvo.TrelvoCoClass");
  ComPtr<simoffice::SimComAddIn> add_in_object = Make<simoffice::SimComAddIn>("Trelvo", "Objekt");
  std::vector<std::string> events;
  commands::HostConnection seen;
  std::string failing;
  bool handles_errors = false;

  void SetUp() override { win32::DeleteRegistryTree(HKEY_CURRENT_USER, kExcelKey); }
  void TearDown() override { win32::DeleteRegistryTree(HKEY_CURRENT_USER, kExcelKey); }

  std::unique_ptr<AddInConnection> Connect(IDispatch* application, ext_ConnectMode mode, IDispatch* add_in) {
    const commands::ModuleFactory factory = [this](platform::UserInterface&) {
      return std::make_unique<RecordingModule>(events, seen, failing, handles_errors);
    };
    return std::make_unique<AddInConnection>(commands::kTrelvoAddIn, factory, application, mode, add_in,
                                             add_in_object->dispatch());
  }
  std::optional<std::wstring> StartModeValue() const {
    return RegistryKey::Open(HKEY_CURRENT_USER, kExcelKey).GetString(L"OAXStartMode");
  }
};

TEST_F(Connection, AtHostStartTheEventsComeInOrderAndStartUpRunsOnce) {
  auto connection = Connect(excel->dispatch(), ext_cm_Startup, entry->dispatch());
  EXPECT_EQ(events, std::vector<std::string>{"Create"});
  EXPECT_EQ(entry->object(), add_in_object->dispatch()) << "macros reach the add-in through COMAddIns";
  connection->StartupComplete();
  connection->StartupComplete();
  EXPECT_EQ(seen.owner_window(), excel->main_window());
  connection->BeginShutdown();
  EXPECT_EQ(seen.owner_window(), nullptr) << "from shutdown on the host's windows may be going";
  connection->Disconnect(ext_dm_HostShutdown);
  EXPECT_EQ(events,
            (std::vector<std::string>{"Create", "Initialize", "StartupComplete", "BeginShutdown", "Finalize(host)"}));
  EXPECT_EQ(seen.kind, commands::HostKind::Excel);
  EXPECT_EQ(seen.version, "11.0");
  EXPECT_FALSE(seen.is_version12);
  EXPECT_NE(seen.command_bars, nullptr);
  EXPECT_EQ(seen.start_mode, commands::StartMode::FirstStart);
  EXPECT_EQ(StartModeValue(), L"NORMAL");
}

TEST_F(Connection, ConnectedAfterStartUpTheStartUpRunsInsideTheConnection) {
  const auto word = Make<simoffice::SimWordApplication>();
  word->version = "12.0";
  auto connection = Connect(word->dispatch(), ext_cm_AfterStartup, nullptr);
  EXPECT_EQ(events, (std::vector<std::string>{"Create", "Initialize", "StartupComplete"}));
  connection->StartupComplete();
  EXPECT_EQ(events.size(), 3u);
  EXPECT_EQ(seen.kind, commands::HostKind::Word);
  EXPECT_TRUE(seen.is_version12);
  EXPECT_EQ(seen.owner_window(), nullptr) << "Word before 15 has no window for the add-in";
  // Word's application events reach the add-in while it is connected, and no longer afterwards.
  word->FireDocumentChange();
  connection->Disconnect(ext_dm_HostShutdown);
  connection.reset();
  word->FireDocumentChange();
}

TEST_F(Connection, TheStartModeComesFromTheRegistryAndOnlyAFirstStartWritesNormal) {
  const struct {
    const wchar_t* value;
    commands::StartMode mode;
    const wchar_t* afterwards;
  } cases[] = {
      {nullptr, commands::StartMode::FirstStart, L"NORMAL"},
      {L"normal", commands::StartMode::Normal, L"normal"},
      {L"UNINSTALL", commands::StartMode::Uninstalled, L"UNINSTALL"},
      {L"FirstStart", commands::StartMode::FirstStart, L"NORMAL"},
      {L"irgendwas", commands::StartMode::Unrecognised, L"irgendwas"},
  };
  for (const auto& c : cases) {
    win32::DeleteRegistryTree(HKEY_CURRENT_USER, kExcelKey);
    if (c.value) win32::WriteRegistryText(HKEY_CURRENT_USER, kExcelKey, L"OAXStartMode", c.value);
    auto connection = Connect(excel->dispatch(), ext_cm_Startup, nullptr);
    connection->StartupComplete();
    EXPECT_EQ(seen.start_mode, c.mode) << (c.value ? win32::Narrow(c.value) : "none");
    EXPECT_EQ(StartModeValue(), c.afterwards);
    connection->Disconnect(ext_dm_HostShutdown);
  }
}

TEST_F(Connection, UnloadingByTheUserRemovesTheBookkeepingAndHostShutdownKeepsIt) {
  for (const ext_DisconnectMode mode : {ext_dm_HostShutdown, ext_dm_UserClosed}) {
    events.clear();
    auto connection = Connect(excel->dispatch(), ext_cm_Startup, nullptr);
    connection->StartupComplete();
    win32::WriteRegistryText(HKEY_CURRENT_USER, kExcelKey + L"\\CommandBars", L"Trelvo", L"1");
    win32::WriteRegistryText(HKEY_CURRENT_USER, kExcelKey + L"\\Controls", L"{TAG}", L"1");
    connection->Disconnect(mode);
    const bool kept = mode == ext_dm_HostShutdown;
    EXPECT_EQ(static_cast<bool>(RegistryKey::Open(HKEY_CURRENT_USER, kExcelKey + L"\\CommandBars")), kept);
    EXPECT_EQ(static_cast<bool>(RegistryKey::Open(HKEY_CURRENT_USER, kExcelKey + L"\\Controls")), kept);
    EXPECT_EQ(events.back(), kept ? "Finalize(host)" : "Finalize(user)");
    if (!kept) {
      EXPECT_EQ(events[events.size() - 2], "BeginShutdown");
    }
  }
}

TEST_F(Connection, AnAddInObjectThatIsNoComAddInIsPassedOver) {
  const auto workbook = Make<simoffice::SimDialogs>("Microsoft Excel");
  auto connection = Connect(excel->dispatch(), ext_cm_Startup, workbook->dispatch());
  EXPECT_EQ(events, std::vector<std::string>{"Create"});
  EXPECT_TRUE(excel->user().shown.empty());
}

// A failing handler is told in the error box (answered by the scripted user),
// and start-up goes on with its next step.
TEST_F(Connection, AFailingModuleHandlerGivesTheErrorBoxAndStartUpGoesOn) {
  failing = "Initialize";
  auto connection = Connect(excel->dispatch(), ext_cm_Startup, nullptr);
  connection->StartupComplete();
  EXPECT_EQ(events,
            (std::vector<std::string>{"Create", "Initialize", "Error: Initialize ging schief", "StartupComplete"}));
  ASSERT_EQ(excel->user().shown.size(), 1u);
  EXPECT_EQ(excel->user().shown[0].owner, excel->main_window());
  EXPECT_EQ(excel->user().shown[0].caption, "Fehler");
  EXPECT_EQ(excel->user().shown[0].text,
            "Orvant Sabu Netzwerk error: the add-in has fired an exception.\r\nInitialize ging schief");
  EXPECT_EQ(StartModeValue(), L"NORMAL");

  // A module that handles its errors itself gets no box.
  handles_errors = true;
  failing = "StartupComplete";
  excel->user().shown.clear();
  auto handled = Connect(excel->dispatch(), ext_cm_AfterStartup, nullptr);
  EXPECT_TRUE(excel->user().shown.empty());
}

TEST_F(Connection, AFailingCreationIsToldAndTheModuleIsUsedAllTheSame) {
  failing = "Create";
  auto connection = Connect(excel->dispatch(), ext_cm_AfterStartup, nullptr);
  EXPECT_EQ(events, (std::vector<std::string>{"Create", "Initialize", "StartupComplete"}));
  ASSERT_EQ(excel->user().shown.size(), 1u);
  EXPECT_EQ(excel->user().shown[0].text, "Create ging schief");
  EXPECT_EQ(excel->user().shown[0].owner, nullptr) << "the host is not known yet";
}

// The owner of what the add-in shows is asked for as it appears: the window
// that the host names for the active workbook or document at that moment.
TEST_F(Connection, TheOwnerIsTheWindowOfTheWorkbookOrDocumentActiveAtThatMoment) {
  const auto excel16 = Make<simoffice::SimExcelApplication>();
  excel16->version = "16.0";
  simoffice::SimWorkbook& first_book = excel16->OpenWorkbook("Mappe1");
  simoffice::SimWorkbook& second_book = excel16->OpenWorkbook("Mappe2");
  const auto word16 = Make<simoffice::SimWordApplication>();
  word16->version = "16.0";
  simoffice::SimDocument& first_document = word16->OpenDocument("Dokument1");
  simoffice::SimDocument& second_document = word16->OpenDocument("Dokument2");
  const auto word16_without_document = Make<simoffice::SimWordApplication>();
  word16_without_document->version = "16.0";
  const auto word11 = Make<simoffice::SimWordApplication>();
  word11->OpenDocument("Dokument1");
  const struct {
    const char* what;
    IDispatch* host;
    std::function<void()> meanwhile;
    HWND owner;
  } cases[] = {
      {"Excel 11.0: its main window", excel->dispatch(), {}, excel->main_window()},
      {"Excel 16.0: the new workbook's window", excel16->dispatch(), {}, second_book.window()},
      {"Excel 16.0: the workbook activated since", excel16->dispatch(), [&] { excel16->Activate(first_book); },
       first_book.window()},
      {"Word 16.0: the new document's window", word16->dispatch(), {}, second_document.window()},
      {"Word 16.0: the document activated since", word16->dispatch(), [&] { word16->Activate(first_document); },
       first_document.window()},
      {"Word 16.0 without a document: its question fails", word16_without_document->dispatch(), {}, nullptr},
      {"Word 11.0: none", word11->dispatch(), {}, nullptr},
  };
  for (const auto& c : cases) {
    auto connection = Connect(c.host, ext_cm_AfterStartup, nullptr);
    if (c.meanwhile) c.meanwhile();
    EXPECT_EQ(seen.owner_window(), c.owner) << c.what;
    connection->Disconnect(ext_dm_HostShutdown);
  }
  EXPECT_NE(first_book.window(), second_book.window());
  EXPECT_NE(first_document.window(), second_document.window());
}

// An Excel that has no Hwnd: the owner is the thread's XLMAIN window.
TEST_F(Connection, AnExcelWithoutHwndGivesItsXlmainWindow) {
  class ExcelWithoutHwnd : public simoffice::SimObject {
   public:
    ExcelWithoutHwnd() : SimObject("Microsoft Excel") {
      AnswerAs(office::kExcelApplication);
      AddProperty("Version", {}, [](const simoffice::CallArguments&) { return win32::Variant::Text("11.0"); });
    }
  };
  const auto host = Make<ExcelWithoutHwnd>();
  auto connection = Connect(host->dispatch(), ext_cm_AfterStartup, nullptr);
  EXPECT_EQ(seen.owner_window(), excel->main_window());
  connection->Disconnect(ext_dm_HostShutdown);
}

// Excel's list of automation add-ins is kept per version, which only the
// running Excel tells: the add-in lists itself there when it connects, once,
// after the entries of other add-ins; Excel 2000 and Word have no such list.
TEST_F(Connection, ExcelListsTheAddInAmongItsAutomationAddInsOfItsOwnVersion) {
  const auto options = [](const char* version) {
    return L"Software\\Microsoft\\Office\\" + win32::Widen(version) + L".0\\Excel\\Options";
  };
  for (const char* version : {"9", "16"}) win32::DeleteRegistryTree(HKEY_CURRENT_USER, options(version));
  RegistryKey::Create(HKEY_CURRENT_USER, options("16")).SetString(L"OPEN", L"/R \"andere.xlam\"");
  for (const char* version : {"16.0", "16.0", "9.0"}) {
    excel->version = version;
    Connect(excel->dispatch(), ext_cm_AfterStartup, nullptr)->Disconnect(ext_dm_HostShutdown);
  }
  const RegistryKey listed = RegistryKey::Open(HKEY_CURRENT_USER, options("16"));
  EXPECT_EQ(listed.GetString(L"OPEN1"), L"/A \"Trelvo.TrelvoCoClass\"");
  EXPECT_FALSE(listed.GetString(L"OPEN2")) << "listed once";
  EXPECT_FALSE(RegistryKey::Open(HKEY_CURRENT_USER, options("9")));
  const auto word = Make<simoffice::SimWordApplication>();
  word->version = "16.0";
  win32::DeleteRegistryTree(HKEY_CURRENT_USER, options("16"));
  Connect(word->dispatch(), ext_cm_AfterStartup, nullptr)->Disconnect(ext_dm_HostShutdown);
  EXPECT_FALSE(RegistryKey::Open(HKEY_CURRENT_USER, options("16")));
}

}  // namespace
}  // namespace trelvo::frame
