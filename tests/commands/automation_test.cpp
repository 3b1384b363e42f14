// The automation members against an in-memory host: the next number, a draw
// with its log record and property, refusals, and the choice of a counter file.
#include "commands/automation.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "commands/fake/in_memory_office_host.h"
#include "engine/ini/ini_document.h"
#include "engine/settings.h"
#include "platform/fake/fake_system.h"

namespace trelvo::commands {
namespace {

class Automation : public ::testing::Test {
 protected:
  platform::FakeEnvironment fake;
  std::shared_ptr<InMemoryOfficeHost> excel = std::make_shared<InMemoryOfficeHost>(HostKind::Excel);
  SharedHost shared{HostKind::Excel, "12.0", excel};

  void SetUp() override { fake.files.SetFile(CounterPath(), "[Zaehler]\r\nCounter=41\r\n"); }
  std::string CounterPath() const { return fake.UserFolder() + "sabu_counter.ini"; }
  int32_t Counter() const {
    return engine::IniDocument(*fake.files.Content(CounterPath())).ReadInteger("Zaehler", "Counter", -1);
  }
  std::string Log() const { return fake.files.Content(fake.UserFolder() + "sabulog.csv").value_or(""); }
};

TEST_F(Automation, ReadCounterPreviewsWhatSetCounterThenDraws) {
  EXPECT_EQ(ReadCounter(fake.env), "0042");
  EXPECT_EQ(ReadCounter(fake.env), "0042");
  EXPECT_EQ(Counter(), 41);
  EXPECT_EQ(SetCounter(fake.env, shared), "0042");
  EXPECT_EQ(Counter(), 42);
  EXPECT_EQ(excel->properties["SabuCounter"], "0042");
  EXPECT_THAT(Log(), testing::HasSubstr("\"0042\"; 2024-03-05 14:07:09; \"Excel 12.0\"; \"mmuster\""));
  EXPECT_TRUE(fake.ui.shown.empty());
}

TEST_F(Automation, InWordThePropertyIsSetAndTheTextLeftAlone) {
  auto word = std::make_shared<InMemoryOfficeHost>(HostKind::Word);
  word->typed_text = "Rechnung";
  EXPECT_EQ(SetCounter(fake.env, SharedHost{HostKind::Word, "14.0", word}), "0042");
  EXPECT_EQ(word->properties["SabuCounter"], "0042");
  EXPECT_EQ(word->typed_text, "Rechnung");
  EXPECT_THAT(Log(), testing::HasSubstr("\"Word 14.0\""));
}

TEST_F(Automation, ALockedFileIsRefusedSilentlyAndLogged) {
  fake.files.SetFile(CounterPath(), "[Zaehler]\r\nCounter=41\r\n[Locking]\r\nIsLocked=1\r\nLockedBy=\"akoch\"\r\n");
  EXPECT_EQ(SetCounter(fake.env, shared), "#ini gesperrt#");
  EXPECT_EQ(Counter(), 41);
  EXPECT_TRUE(fake.ui.shown.empty());
  EXPECT_THAT(Log(), testing::HasSubstr("\"#ini gesperrt#\"; "));
  EXPECT_EQ(excel->properties.count("SabuCounter"), 0u);
}

// No number without its record: a log that cannot be written refuses the draw.
TEST_F(Automation, ALogThatCannotBeWrittenDrawsNothing) {
  fake.files.SetFile(fake.UserFolder() + "trelvo.ini", "[Pfade]\r\nLogPath=\"L:\\fehlt\\\"\r\n");
  EXPECT_THROW(SetCounter(fake.env, shared), Error);
  EXPECT_EQ(Counter(), 41);
  EXPECT_EQ(excel->properties.count("SabuCounter"), 0u);
}

TEST_F(Automation, WithoutATargetNothingIsDrawn) {
  excel->open_files = 0;
  EXPECT_THROW(
      {
        try {
          SetCounter(fake.env, shared);
        } catch (const std::exception& error) {
          EXPECT_THAT(error.what(), testing::HasSubstr("Es wurde keine Nummer vergeben."));
          throw;
        }
      },
      std::exception);
  EXPECT_THROW(SetCounter(fake.env, SharedHost{}), std::exception);
  EXPECT_EQ(Counter(), 41);
  EXPECT_EQ(Log(), "");
}

TEST_F(Automation, ANumberWhosePropertyFailsIsStillLogged) {
  excel->failing = {"AddDocumentProperty", "SetDocumentPropertyValue"};
  EXPECT_THROW(SetCounter(fake.env, shared), std::exception);
  EXPECT_EQ(Counter(), 42);
  EXPECT_THAT(Log(), testing::HasSubstr("\"0042\"; "));
}

TEST_F(Automation, SetIniFileTakesOnlyAnExistingFileByItsFullPath) {
  const std::string other = fake.UserFolder() + "firma_b.ini";
  fake.files.SetFile(other, "[Zaehler]\r\nCounter=7\r\n");
  fake.files.SetFile("firma_b.ini", "[Zaehler]\r\nCounter=500\r\n");  // as the fake finds a relative name
  fake.files.AddFolder("C:\\Ordner");
  int selected_default = 0;
  const auto select_default = [&] { ++selected_default; };
  EXPECT_FALSE(SetIniFile(fake.env, "C:\\Ordner", select_default).chosen);
  EXPECT_FALSE(SetIniFile(fake.env, fake.UserFolder() + "fehlt.ini", select_default).chosen);
  const IniFileChoice relative = SetIniFile(fake.env, "firma_b.ini", select_default);
  EXPECT_FALSE(relative.chosen);
  EXPECT_EQ(relative.refusal,
            "Die Zählerdatei muss mit vollständigem Pfad angegeben werden, mit Laufwerk (C:\\...) oder "
            "Netzwerkfreigabe (\\\\Server\\Freigabe\\...): 'firma_b.ini'");
  EXPECT_EQ(selected_default, 0);
  EXPECT_EQ(engine::GetCounterFilePath(fake.env), fake.UserFolder() + "sabu_counter.ini") << "nothing stored";
  EXPECT_TRUE(SetIniFile(fake.env, other, select_default).chosen);
  EXPECT_EQ(selected_default, 1);
  EXPECT_EQ(engine::GetCounterFilePath(fake.env), other);
  EXPECT_EQ(ReadCounter(fake.env), "0008");

  // A pointer whose server does not answer is not stored.
  const std::string pointer = fake.UserFolder() + "server.ini";
  fake.files.SetFile(pointer, "[Server]\r\nConnection=Driver={PostgreSQL Unicode};Server=127.0.0.1;Port=1;"
                              "Database=trelvo;Uid=x;Pwd=y;\r\nRange=\"Firma A\"\r\n");
  const IniFileChoice unreachable = SetIniFile(fake.env, pointer, select_default);
  EXPECT_FALSE(unreachable.chosen);
  EXPECT_THAT(unreachable.refusal, testing::HasSubstr("ist nicht erreichbar"));
  EXPECT_EQ(selected_default, 1);
  EXPECT_EQ(engine::GetCounterFilePath(fake.env), other) << "nothing stored";
}

}  // namespace
}  // namespace trelvo::commands
