// The Insert command against an in-memory host: where the number goes in each
// host and protection, the log record and property with it, and every refusal
// without a number burnt.
#include "commands/insert_command.h"

#include <gtest/gtest.h>

#include "commands/fake/in_memory_office_host.h"
#include "engine/ini/ini_document.h"
#include "engine/usage_log.h"
#include "platform/fake/fake_system.h"

namespace trelvo::commands {
namespace {

constexpr char kRecordTime[] = "2024-03-05 14:07:09";

class InsertCommand : public ::testing::Test {
 protected:
  platform::FakeEnvironment fake;
  InMemoryOfficeHost excel{HostKind::Excel};
  InMemoryOfficeHost word{HostKind::Word};

  void SetUp() override { WriteCounter("[Zaehler]\r\nCounter=41\r\n"); }
  std::string CounterPath() const { return fake.UserFolder() + "sabu_counter.ini"; }
  void WriteCounter(const std::string& content) { fake.files.SetFile(CounterPath(), content); }
  int32_t Counter() const {
    return engine::IniDocument(*fake.files.Content(CounterPath())).ReadInteger("Zaehler", "Counter", -1);
  }
  std::string Log() const { return fake.files.Content(fake.UserFolder() + "sabulog.csv").value_or(""); }
  std::string Record(const std::string& number, const std::string& application) const {
    return "\"" + number + "\"; " + kRecordTime + "; \"" + application + "\"; \"mmuster\"; \r\n";
  }
  void Insert(InMemoryOfficeHost& host) { ExecuteInsert(fake.env, host, host.kind); }
};

TEST_F(InsertCommand, TheNumberGoesIntoTheCellTheDocumentOrTheFormField) {
  Insert(excel);
  EXPECT_EQ(excel.active_cell, "0042");
  EXPECT_EQ(excel.properties["SabuCounter"], "0042");

  Insert(word);
  EXPECT_EQ(word.typed_text, "0043");
  EXPECT_EQ(word.properties["SabuCounter"], "0043");

  word.protection = ProtectionType::FormFields;
  word.form_fields = {{"Kunde", true, ""}, {"Sabu", true, ""}};
  word.version = "12.0";
  Insert(word);
  EXPECT_EQ(word.form_fields[1].result, "0044");
  EXPECT_EQ(word.properties["SabuCounter"], "0044");

  EXPECT_EQ(Counter(), 44);
  EXPECT_EQ(Log(), "SABU:$255;DATUM:@;ANWENDUNG:$255;BENUTZER:$255\r\n" + Record("0042", "Excel 11.0") +
                       Record("0043", "Word 11.0") + Record("0044", "Word Formular 12.0"));
  EXPECT_TRUE(fake.ui.shown.empty());
}

// The target is checked first: a click that cannot insert draws nothing.
TEST_F(InsertCommand, WithoutATargetTheMessageComesAndNoNumberIsDrawn) {
  const struct {
    const char* name;
    std::function<void(InMemoryOfficeHost&, InMemoryOfficeHost&)> setup;
    bool in_excel;
    const char* message;
  } cases[] = {
      {"no workbook", [](auto& excel, auto&) { excel.open_files = 0; }, true,
       "Kein aktives Arbeitsblatt geöffnet.\r\nBitte öffnen Sie erst eine Arbeitsmappe."},
      {"no document", [](auto&, auto& word) { word.open_files = 0; }, false,
       "Kein aktives Dokument geöffnet.\r\nBitte öffnen Sie erst ein Dokument."},
      {"protected for comments", [](auto&, auto& word) { word.protection = ProtectionType::Comments; }, false,
       "Dieses Dokument ist geschützt.\r\nGeschützte Dokumente werden von diesem Add-In nicht unterstützt."},
      {"read only", [](auto&, auto& word) { word.protection = ProtectionType::ReadOnly; }, false,
       "Dieses Dokument ist geschützt.\r\nGeschützte Dokumente werden von diesem Add-In nicht unterstützt."},
      {"form without Sabu",
       [](auto&, auto& word) {
         word.protection = ProtectionType::FormFields;
         word.form_fields = {{"sabu", true, ""}};
       },
       false,
       "In diesem geschützten Dokument wurde kein Textformularfeld mit dem Namen \"Sabu\" gefunden.\r\n"
       "Heben Sie den Dokumentschutz auf und fügen Sie ein entsprechendes Formularfeld ein."},
      {"Sabu is a check box",
       [](auto&, auto& word) {
         word.protection = ProtectionType::FormFields;
         word.form_fields = {{"Sabu", false, ""}};
       },
       false,
       "In diesem geschützten Dokument wurde kein Textformularfeld mit dem Namen \"Sabu\" gefunden.\r\n"
       "Heben Sie den Dokumentschutz auf und fügen Sie ein entsprechendes Formularfeld ein."},
  };
  for (const auto& c : cases) {
    InMemoryOfficeHost excel_host(HostKind::Excel);
    InMemoryOfficeHost word_host(HostKind::Word);
    c.setup(excel_host, word_host);
    fake.ui.shown.clear();
    Insert(c.in_excel ? excel_host : word_host);
    ASSERT_EQ(fake.ui.shown.size(), 1u) << c.name;
    EXPECT_EQ(fake.ui.shown[0].kind, platform::MessageKind::Plain) << c.name;
    EXPECT_EQ(fake.ui.shown[0].text, c.message) << c.name;
    EXPECT_EQ(Counter(), 41) << c.name;
    EXPECT_EQ(Log(), "") << c.name;
  }
}

TEST_F(InsertCommand, ALockedCounterFileIsRefusedWithOneRecordAndTheCounterStays) {
  WriteCounter("[Zaehler]\r\nCounter=41\r\n[Locking]\r\nIsLocked=1\r\nLockedBy=\"o'brien\"\r\n");
  word.protection = ProtectionType::FormFields;
  word.form_fields = {{"Sabu", true, ""}};
  Insert(word);
  EXPECT_EQ(Counter(), 41);
  EXPECT_EQ(word.form_fields[0].result, "");
  EXPECT_EQ(Log(), "SABU:$255;DATUM:@;ANWENDUNG:$255;BENUTZER:$255\r\n" + Record("#ini gesperrt#", "Word 11.0"));
  ASSERT_EQ(fake.ui.shown.size(), 1u);
  EXPECT_EQ(fake.ui.shown[0].kind, platform::MessageKind::Error);
  EXPECT_EQ(fake.ui.shown[0].text,
            "Die Datei 'sabu_counter.ini' wird zur Zeit durch den Benutzer 'o''brien' bearbeitet \r\n"
            "und ist daher gesperrt. Bitten Sie den Benutzer, den Trelvo Dialog Optionen\r\n"
            "zu schließen oder probieren Sie es später erneut.");
}

// A refused counter file (here one that would re-issue numbers) writes no record.
TEST_F(InsertCommand, ACounterFileThatMustNotBeDrawnFromInsertsAndLogsNothing) {
  WriteCounter("[Zaehler]\r\nCounter=41\r\nIncrement=0\r\n");
  Insert(excel);
  EXPECT_EQ(excel.active_cell, "");
  EXPECT_EQ(Log(), std::string(engine::kUsageLogHeader) + "\r\n");
  ASSERT_EQ(fake.ui.shown.size(), 1u);
  EXPECT_EQ(fake.ui.shown[0].kind, platform::MessageKind::Error);
}

// The host refuses the cell: the drawn number is logged all the same, then
// the error goes on; the lock is free.
TEST_F(InsertCommand, AHostErrorAfterTheDrawStillLogsTheNumber) {
  excel.failing.insert("SetActiveCellText");
  EXPECT_THROW(Insert(excel), Error);
  EXPECT_EQ(Counter(), 42);
  EXPECT_EQ(Log(), std::string(engine::kUsageLogHeader) + "\r\n" + Record("0042", "Excel 11.0"));
  EXPECT_EQ(engine::IniDocument(*fake.files.Content(CounterPath())).ReadBool("Locking", "IsLocked", true), false);
}

// A log that cannot be written refuses before the draw: no number without its record.
TEST_F(InsertCommand, ALogThatCannotBeWrittenDrawsNothing) {
  fake.files.SetFile(fake.UserFolder() + "trelvo.ini", "[Pfade]\r\nLogPath=\"L:\\fehlt\\\"\r\n");
  try {
    Insert(excel);
    FAIL() << "refused";
  } catch (const Error& error) {
    EXPECT_EQ(std::string(error.what()),
              "In die Protokolldatei 'L:\\fehlt\\sabulog.csv' kann nicht geschrieben werden: Das System kann den "
              "angegebenen Pfad nicht finden.\r\nEs wurde keine Nummer vergeben.");
  }
  EXPECT_EQ(Counter(), 41);
  EXPECT_EQ(excel.active_cell, "");
}

}  // namespace
}  // namespace trelvo::commands
