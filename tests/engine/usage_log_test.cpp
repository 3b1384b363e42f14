// The usage log: header, record format, appends, and collisions with other workstations.
#include "engine/usage_log.h"

#include "tests/engine/engine_fixture.h"

namespace trelvo::engine {
namespace {

using UsageLog = EngineTest;

constexpr char kHeader[] = "SABU:$255;DATUM:@;ANWENDUNG:$255;BENUTZER:$255\r\n";

TEST_F(UsageLog, FirstAppendWritesTheHeaderAndOneRecord) {
  AppendUsageLog(env, "RE2024-0042", "Excel 11.0", {2024, 3, 5, 9, 7, 3});
  EXPECT_EQ(fake.files.Content(fake.UserFolder() + "sabulog.csv"),
            std::string(kHeader) + "\"RE2024-0042\"; 2024-03-05 09:07:03; \"Excel 11.0\"; \"mmuster\"; \r\n");
}

TEST_F(UsageLog, RecordsAreAppendedBehindWhateverTheFileHolds) {
  fake.files.SetFile(fake.UserFolder() + "sabulog.csv", "alt ohne Zeilenende");
  fake.system.time_separator = ".";
  fake.system.user = "";
  AppendUsageLog(env, "#ini gesperrt#", "Makro 12.0", {2024, 12, 31, 23, 59, 58});
  AppendUsageLog(env, "Nr \"7\" ä", "Word Formular 11.0", {2025, 1, 1, 0, 0, 0});
  // A line break in a field would split the record.
  AppendUsageLog(env, "0043", "Stapel\r\n\"0044\"; 2025", {2025, 1, 1, 0, 0, 1});
  EXPECT_EQ(fake.files.Content(fake.UserFolder() + "sabulog.csv"),
            "alt ohne Zeilenende\"#ini gesperrt#\"; 2024-12-31 23.59.58; \"Makro 12.0\"; \"\"; \r\n"
            "\"Nr \"\"7\"\" \xE4\"; 2025-01-01 00.00.00; \"Word Formular 11.0\"; \"\"; \r\n"
            "\"0043\"; 2025-01-01 00.00.01; \"Stapel  \"\"0044\"\"; 2025\"; \"\"; \r\n");
}

TEST_F(UsageLog, TheLogFolderOfTheSettingsIsUsedAndNeverCreated) {
  fake.files.SetFile(fake.UserFolder() + "trelvo.ini", "[Pfade]\r\nLogPath=\"S:\\Zentral\"\r\n");
  try {
    AppendUsageLog(env, "0001", "Word 11.0", fake.system.now);
    FAIL() << "the log folder is missing";
  } catch (const Error& error) {
    EXPECT_EQ(std::string(error.what()),
              "E/A-Fehler 3 beim Schreiben der Protokolldatei 'S:\\Zentral\\sabulog.csv': "
              "Das System kann den angegebenen Pfad nicht finden.");
  }
  fake.files.AddFolder("S:\\Zentral");
  AppendUsageLog(env, "0001", "Word 11.0", fake.system.now);
  EXPECT_TRUE(fake.files.FileExists("S:\\Zentral\\sabulog.csv"));
}

TEST_F(UsageLog, AnAppendWaitsForAnotherWorkstationsAppend) {
  const std::string path = fake.UserFolder() + "sabulog.csv";
  fake.files.HoldFile(path, 3);
  AppendUsageLog(env, "0001", "Excel 11.0", fake.system.now);
  EXPECT_NE(fake.files.Content(path)->find("\"0001\""), std::string::npos);
  EXPECT_EQ(fake.files.waited(), std::chrono::milliseconds(25 + 50 + 75));
}

TEST_F(UsageLog, AFileHeldLongerThanTwoSecondsFailsWithoutLosingEarlierRecords) {
  const std::string path = fake.UserFolder() + "sabulog.csv";
  AppendUsageLog(env, "0001", "Excel 11.0", fake.system.now);
  const std::string before = *fake.files.Content(path);
  fake.files.HoldFileForGood(path);
  try {
    AppendUsageLog(env, "0002", "Excel 11.0", fake.system.now);
    ADD_FAILURE() << "the held file was written";
  } catch (const Error& error) {
    EXPECT_EQ(std::string(error.what()).rfind("E/A-Fehler 32 beim Schreiben der Protokolldatei '" + path + "': ", 0),
              0u)
        << error.what();
  }
  EXPECT_LE(fake.files.waited(), std::chrono::milliseconds(2000));
  EXPECT_GE(fake.files.waited(), std::chrono::milliseconds(1900));
  EXPECT_EQ(*fake.files.Content(path), before);
}

}  // namespace
}  // namespace trelvo::engine
