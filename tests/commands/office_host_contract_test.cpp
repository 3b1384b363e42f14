// The in-memory host that the command tests use must behave as the real
// adapter does against the simulated Excel and Word: the same scenarios run
// against both, and only the wording of the hosts' messages may differ.
#include <gtest/gtest.h>

#include "commands/fake/in_memory_office_host.h"
#include "commands/win32/dispatch_office_host.h"
#include "simoffice/sim_excel.h"
#include "simoffice/sim_word.h"

namespace trelvo::commands {
namespace {

// A host with the means to set it up and look into it.
class HostWorld {
 public:
  virtual ~HostWorld() = default;
  virtual OfficeHost& host() = 0;
  virtual void OpenFile() = 0;
  virtual std::string ActiveCell() = 0;
  virtual std::string TypedText() = 0;
  virtual void Protect(ProtectionType type) = 0;
  virtual void AddFormField(const std::string& name, bool text_input) = 0;
  virtual std::string FieldResult(const std::string& name) = 0;
  virtual std::vector<std::string> LastSaveAs() = 0;
};

class InMemoryWorld : public HostWorld {
 public:
  explicit InMemoryWorld(HostKind kind) : host_(kind) { host_.open_files = 0; }
  OfficeHost& host() override { return host_; }
  void OpenFile() override { ++host_.open_files; }
  std::string ActiveCell() override { return host_.active_cell; }
  std::string TypedText() override { return host_.typed_text; }
  void Protect(ProtectionType type) override { host_.protection = type; }
  void AddFormField(const std::string& name, bool text_input) override {
    host_.form_fields.push_back({name, text_input, ""});
  }
  std::string FieldResult(const std::string& name) override {
    for (const auto& field : host_.form_fields)
      if (field.name == name) return field.result;
    return "<fehlt>";
  }
  std::vector<std::string> LastSaveAs() override {
    const auto& call = host_.save_as_calls.back();
    std::vector<std::string> shown = {call.name};
    if (call.format) shown.push_back(std::to_string(*call.format));
    return shown;
  }

 private:
  InMemoryOfficeHost host_;
};

class SimulatedExcelWorld : public HostWorld {
 public:
  OfficeHost& host() override { return host_; }
  void OpenFile() override { excel_->OpenWorkbook("Mappe"); }
  std::string ActiveCell() override { return excel_->active_workbook()->cells[excel_->active_cell].Text(); }
  std::string TypedText() override { return ""; }
  void Protect(ProtectionType) override {}
  void AddFormField(const std::string&, bool) override {}
  std::string FieldResult(const std::string&) override { return ""; }
  std::vector<std::string> LastSaveAs() override { return excel_->dialog(5).shows.back(); }

 private:
  Microsoft::WRL::ComPtr<simoffice::SimExcelApplication> excel_ = simoffice::Make<simoffice::SimExcelApplication>();
  DispatchOfficeHost host_{excel_->dispatch(), HostKind::Excel};
};

class SimulatedWordWorld : public HostWorld {
 public:
  OfficeHost& host() override { return host_; }
  void OpenFile() override { word_->OpenDocument("Dokument"); }
  std::string ActiveCell() override { return ""; }
  std::string TypedText() override { return word_->active_document()->content; }
  void Protect(ProtectionType type) override { word_->active_document()->protection_type = static_cast<long>(type); }
  void AddFormField(const std::string& name, bool text_input) override {
    word_->active_document()->AddFormField(name,
                                           text_input ? simoffice::kFieldFormTextInput : simoffice::kFieldFormCheckBox);
  }
  std::string FieldResult(const std::string& name) override {
    return word_->active_document()->FormField(name)->result;
  }
  std::vector<std::string> LastSaveAs() override { return word_->dialog(84).shows.back(); }

 private:
  Microsoft::WRL::ComPtr<simoffice::SimWordApplication> word_ = simoffice::Make<simoffice::SimWordApplication>();
  DispatchOfficeHost host_{word_->dispatch(), HostKind::Word};
};

using WorldFactory = std::function<std::unique_ptr<HostWorld>()>;

class ExcelContract : public ::testing::TestWithParam<WorldFactory> {};
class WordContract : public ::testing::TestWithParam<WorldFactory> {};

TEST_P(ExcelContract, WorkbookCellPropertiesAndSaveAs) {
  const auto world = GetParam()();
  OfficeHost& host = world->host();
  EXPECT_EQ(host.WorkbookCount(), 0);
  EXPECT_THROW(host.SetActiveCellText("0001"), Error);
  EXPECT_THROW(host.AddDocumentProperty("SabuCounter", "0001"), Error);

  world->OpenFile();
  EXPECT_EQ(host.WorkbookCount(), 1);
  host.SetActiveCellText("RE-0042");
  EXPECT_EQ(world->ActiveCell(), "RE-0042");

  EXPECT_THROW(host.DocumentPropertyValue("SabuCounter"), Error);
  host.AddDocumentProperty("SabuCounter", "RE-0042");
  EXPECT_THROW(host.AddDocumentProperty("SABUCOUNTER", "RE-0043"), Error);
  host.SetDocumentPropertyValue("sabucounter", "RE-0043");
  EXPECT_EQ(host.DocumentPropertyValue("SabuCounter"), "RE-0043");

  host.ShowExcelSaveAs("Meier RE-0043", 51);
  EXPECT_EQ(world->LastSaveAs(), (std::vector<std::string>{"Meier RE-0043", "51"}));
}

TEST_P(WordContract, TypingFormFieldsProtectionAndSaveAs) {
  const auto world = GetParam()();
  OfficeHost& host = world->host();
  EXPECT_EQ(host.DocumentCount(), 0);
  EXPECT_THROW(host.TypeText("x"), Error);

  world->OpenFile();
  EXPECT_EQ(host.DocumentCount(), 1);
  host.TypeText("RE-0042");
  EXPECT_EQ(world->TypedText(), "RE-0042");

  world->AddFormField("Kunde", true);
  world->AddFormField("Sabu", false);
  world->Protect(ProtectionType::FormFields);
  EXPECT_EQ(host.ActiveDocumentProtection(), ProtectionType::FormFields);
  EXPECT_THROW(host.TypeText("x"), Error);
  EXPECT_EQ(world->TypedText(), "RE-0042");
  ASSERT_EQ(host.FormFieldCount(), 2);
  EXPECT_EQ(host.FormFieldName(2), "Sabu");
  EXPECT_THROW(host.FormFieldName(3), Error);
  EXPECT_FALSE(host.FormFieldIsTextInput("Sabu"));
  EXPECT_TRUE(host.FormFieldIsTextInput("Kunde"));
  EXPECT_THROW(host.FormFieldIsTextInput("Fehlt"), Error);
  host.SetFormFieldResult("Kunde", "Meier");
  EXPECT_EQ(world->FieldResult("Kunde"), "Meier");

  host.AddDocumentProperty("SabuKunde", "Meier");
  EXPECT_EQ(host.DocumentPropertyValue("SabuKunde"), "Meier");
  host.ShowWordSaveAs("Meier RE-0042");
  EXPECT_EQ(world->LastSaveAs(), (std::vector<std::string>{"Meier RE-0042"}));
}

INSTANTIATE_TEST_SUITE_P(
    Hosts, ExcelContract,
    ::testing::Values(WorldFactory([] { return std::make_unique<InMemoryWorld>(HostKind::Excel); }),
                      WorldFactory([] { return std::make_unique<SimulatedExcelWorld>(); })),
    [](const auto& info) { return info.index == 0 ? std::string("InMemory") : std::string("SimulatedExcel"); });

INSTANTIATE_TEST_SUITE_P(Hosts, WordContract,
                         ::testing::Values(WorldFactory([] { return std::make_unique<InMemoryWorld>(HostKind::Word); }),
                                           WorldFactory([] { return std::make_unique<SimulatedWordWorld>(); })),
                         [](const auto& info) {
                           return info.index == 0 ? std::string("InMemory") : std::string("SimulatedWord");
                         });

}  // namespace
}  // namespace trelvo::commands
