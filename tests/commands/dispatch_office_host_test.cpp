// The host operations, late-bound through IDispatch, against the simulated
// Excel and Word: every operation, and the host's failures as errors that
// carry the host's own message.
#include <gtest/gtest.h>

#include "commands/win32/dispatch_office_host.h"
#include "simoffice/sim_excel.h"
#include "simoffice/sim_word.h"

namespace trelvo::commands {
namespace {

using simoffice::Make;
using simoffice::SimExcelApplication;
using simoffice::SimWordApplication;

void ExpectHostError(const std::function<void()>& operation, const std::string& message) {
  try {
    operation();
    ADD_FAILURE() << "no error, expected: " << message;
  } catch (const Error& error) {
    EXPECT_EQ(std::string(error.what()), message);
  }
}

class ExcelHost : public ::testing::Test {
 protected:
  Microsoft::WRL::ComPtr<SimExcelApplication> excel = Make<SimExcelApplication>();
  DispatchOfficeHost host{excel->dispatch(), HostKind::Excel};
};

TEST_F(ExcelHost, VersionWorkbooksAndTheActiveCell) {
  EXPECT_EQ(host.Version(), "11.0");
  excel->version = "12.0";
  EXPECT_EQ(host.Version(), "12.0");
  EXPECT_EQ(host.WorkbookCount(), 0);

  simoffice::SimWorkbook& book = excel->OpenWorkbook("Rechnung.xls");
  EXPECT_EQ(host.WorkbookCount(), 1);
  excel->active_cell = "R3C2";
  // Kept as text, whatever Excel would make of it.
  for (const char* number : {"RE2024-0042", "0042", "3/26", "'zitiert"}) {
    host.SetActiveCellText(number);
    const simoffice::SimCell& cell = book.cells["R3C2"];
    EXPECT_EQ(cell.kind(), simoffice::SimCell::Kind::Text) << number;
    EXPECT_EQ(cell.Text(), number);
    EXPECT_EQ(cell.Value().ToText(), number);
    EXPECT_EQ(cell.number_format(), "General") << "the cell's format stays";
  }
}

TEST_F(ExcelHost, SaveAsDialogGetsTheNameAndTheFormatWhenGiven) {
  excel->OpenWorkbook("Mappe1");
  excel->default_save_format = 51;
  EXPECT_EQ(host.DefaultSaveFormat(), 51);
  host.ShowExcelSaveAs("Meier 0042", std::nullopt);
  host.ShowExcelSaveAs("Meier 0042", host.DefaultSaveFormat());
  const std::vector<std::vector<std::string>> expected = {{"Meier 0042"}, {"Meier 0042", "51"}};
  EXPECT_EQ(excel->dialog(5).shows, expected);
}

TEST_F(ExcelHost, CustomPropertiesOfTheActiveWorkbook) {
  simoffice::SimWorkbook& book = excel->OpenWorkbook("Mappe1");
  host.AddDocumentProperty("SabuCounter", "0042");
  ASSERT_EQ(book.properties().properties().size(), 1u);
  EXPECT_EQ(book.properties().properties()[0]->type(), 4);  // text
  EXPECT_EQ(host.DocumentPropertyValue("SabuCounter"), "0042");
  host.SetDocumentPropertyValue("sabucounter", "0043");
  EXPECT_EQ(book.properties().ValueOf("SabuCounter"), "0043");

  ExpectHostError([&] { host.AddDocumentProperty("SabuCounter", "0044"); },
                  "Ungültiger Prozeduraufruf oder ungültiges Argument");
  ExpectHostError([&] { host.DocumentPropertyValue("SabuKunde"); },
                  "Ungültiger Prozeduraufruf oder ungültiges Argument");
}

TEST_F(ExcelHost, WithoutAWorkbookTheOperationsOnItFail) {
  EXPECT_THROW(host.SetActiveCellText("0001"), Error);
  EXPECT_THROW(host.AddDocumentProperty("SabuCounter", "0001"), Error);
  EXPECT_THROW(host.DocumentPropertyValue("SabuCounter"), Error);
}

class WordHost : public ::testing::Test {
 protected:
  Microsoft::WRL::ComPtr<SimWordApplication> word = Make<SimWordApplication>();
  DispatchOfficeHost host{word->dispatch(), HostKind::Word};
};

TEST_F(WordHost, TextIsTypedAtTheCursorOfAnUnprotectedDocument) {
  EXPECT_EQ(host.DocumentCount(), 0);
  simoffice::SimDocument& document = word->OpenDocument("Rechnung.doc");
  EXPECT_EQ(host.DocumentCount(), 1);
  EXPECT_EQ(host.ActiveDocumentProtection(), ProtectionType::None);
  host.TypeText("Nr. ");
  host.TypeText("RE-0042");
  EXPECT_EQ(document.content, "Nr. RE-0042");

  document.protection_type = 2;
  EXPECT_EQ(host.ActiveDocumentProtection(), ProtectionType::FormFields);
  ExpectHostError([&] { host.TypeText("x"); },
                  "Diese Methode oder Eigenschaft ist nicht verfügbar, weil das Dokument geschützt ist.");
  EXPECT_EQ(document.content, "Nr. RE-0042");
}

TEST_F(WordHost, FormFieldsByIndexAndByName) {
  simoffice::SimDocument& document = word->OpenDocument("Formular.doc");
  document.AddFormField("Kunde");
  document.AddFormField("Bezahlt", simoffice::kFieldFormCheckBox);
  document.AddFormField("Sabu");
  ASSERT_EQ(host.FormFieldCount(), 3);
  EXPECT_EQ(host.FormFieldName(1), "Kunde");
  EXPECT_EQ(host.FormFieldName(3), "Sabu");
  EXPECT_TRUE(host.FormFieldIsTextInput("Sabu"));
  EXPECT_FALSE(host.FormFieldIsTextInput("Bezahlt"));
  host.SetFormFieldResult("Sabu", "RE-0042");
  EXPECT_EQ(document.FormField("Sabu")->result, "RE-0042");

  ExpectHostError([&] { host.FormFieldName(4); }, "Der angeforderte Member der Auflistung ist nicht vorhanden.");
  ExpectHostError([&] { host.FormFieldIsTextInput("Fehlt"); },
                  "Der angeforderte Member der Auflistung ist nicht vorhanden.");
}

TEST_F(WordHost, SaveAsDialogAndCustomPropertiesOfTheActiveDocument) {
  simoffice::SimDocument& document = word->OpenDocument("Rechnung.doc");
  host.ShowWordSaveAs("Meier 0042");
  EXPECT_EQ(word->dialog(84).name, "Meier 0042");
  EXPECT_EQ(word->dialog(84).shows.size(), 1u);

  host.AddDocumentProperty("SabuKunde", "Meier");
  EXPECT_EQ(document.properties().ValueOf("SabuKunde"), "Meier");
  EXPECT_EQ(host.DocumentPropertyValue("SabuKunde"), "Meier");
}

TEST_F(WordHost, WithoutADocumentWordsMessageComesBack) {
  EXPECT_EQ(host.Version(), "11.0");
  const std::string no_document = "Dieser Befehl ist nicht verfügbar, weil kein Dokument geöffnet ist.";
  ExpectHostError([&] { host.TypeText("x"); }, no_document);
  ExpectHostError([&] { host.ActiveDocumentProtection(); }, no_document);
  ExpectHostError([&] { host.AddDocumentProperty("SabuCounter", "1"); }, no_document);
}

TEST(DispatchObject, UnknownMembersAndRefusedWritesFail) {
  const auto excel = Make<SimExcelApplication>();
  const win32::DispatchObject application(excel->dispatch());
  EXPECT_THROW(application.Get("GibtEsNicht"), Error);
  // Name is read-only in Excel's Application.
  EXPECT_THROW(application.Put("Name", win32::Variant::Text("x")), Error);
  // Names are found without regard to case.
  EXPECT_EQ(application.Get("vErSiOn").ToText(), "11.0");
}

}  // namespace
}  // namespace trelvo::commands
