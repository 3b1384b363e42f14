// The per-user folder and the settings file.
#include <functional>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "engine/settings.h"
#include "tests/engine/engine_fixture.h"

namespace trelvo::engine {
namespace {

class Settings : public EngineTest {
 protected:
  std::string SettingsPath() const { return fake.UserFolder() + "trelvo.ini"; }
  void WriteSettings(const std::string& content) { fake.files.SetFile(SettingsPath(), content); }
};

TEST_F(Settings, WithoutSettingsFileEverythingLiesInThePerUserFolder) {
  EXPECT_EQ(GetSettingsFolder(env), "C:\\Users\\mmuster\\AppData\\Roaming\\Orvant\\Trelvo 2006\\");
  EXPECT_EQ(GetCounterFilePath(env), fake.UserFolder() + "sabu_counter.ini");
  EXPECT_EQ(GetLogFolder(env), fake.UserFolder());
  EXPECT_FALSE(IsAdminMode(env));
  EXPECT_EQ(GetCurrentUserName(env), "mmuster");
  EXPECT_EQ(GetModulePath(env), "C:\\Programme\\Trelvo\\Trelvo.dll");
}

TEST_F(Settings, WithoutAppDataFolderThePerUserFolderLiesInTheRootOfTheDrive) {
  fake.system.app_data = "";
  EXPECT_EQ(GetSettingsFolder(env), "\\Orvant\\Trelvo 2006\\");
}

TEST_F(Settings, LogFolderAlwaysEndsInOneBackslash) {
  const std::pair<const char*, const char*> cases[] = {
      {"LogPath=\"\"", "\\"},
      {"LogPath=\"S:\\Logs\"", "S:\\Logs\\"},
      {"LogPath=\"S:\\Logs\\\"", "S:\\Logs\\"},
  };
  for (const auto& [line, expected] : cases) {
    WriteSettings(std::string("[Pfade]\r\n") + line + "\r\n");
    EXPECT_EQ(GetLogFolder(env), expected) << line;
  }
}

TEST_F(Settings, HandEditedValuesAreUsedAsTheyStand) {
  WriteSettings("[pfade]\r\nCounterFile =  S:\\Z\xE4hler\\re.ini  \r\n[Mode]\r\nAdminMode=5\r\n");
  EXPECT_EQ(GetCounterFilePath(env), "S:\\Zähler\\re.ini");
  EXPECT_TRUE(IsAdminMode(env));
  WriteSettings("[Mode]\r\nAdminMode=0\r\n");
  EXPECT_FALSE(IsAdminMode(env));
}

TEST_F(Settings, SetCounterFilePathRoundTripsAnyPathAndKeepsTheOtherKeys) {
  WriteSettings("[Pfade]\r\nLogPath=\"S:\\Logs\"\r\n[Mode]\r\nAdminMode=1\r\n");
  SetCounterFilePath(env, "S:\\Ein \"besonderer\" Ordner\\re.ini");
  EXPECT_EQ(GetCounterFilePath(env), "S:\\Ein \"besonderer\" Ordner\\re.ini");
  EXPECT_EQ(*fake.files.Content(SettingsPath()),
            "[Pfade]\r\nLogPath=\"S:\\Logs\"\r\nCounterFile=\"S:\\Ein \"\"besonderer\"\" Ordner\\re.ini\"\r\n"
            "[Mode]\r\nAdminMode=1\r\n");
}

TEST_F(Settings, RefusedWriteNamesTheSettingsFile) {
  WriteSettings("");
  fake.files.SetReadOnly(SettingsPath());
  try {
    SetCounterFilePath(env, "S:\\x.ini");
    FAIL() << "the write was refused";
  } catch (const Error& error) {
    EXPECT_EQ(std::string(error.what()), "In '" + SettingsPath() + "' kann nicht geschrieben werden");
  }
}

TEST_F(Settings, TheEngineNeverCreatesThePerUserFolder) {
  platform::FakeFileSystem files;  // no folders at all
  platform::Environment bare{files, fake.system, fake.ui};
  EXPECT_THROW(SetCounterFilePath(bare, "S:\\x.ini"), Error);
  EXPECT_FALSE(files.FileExists(SettingsPath()));
  CreateSettingsFolder(bare);
  SetCounterFilePath(bare, "S:\\x.ini");
  EXPECT_EQ(GetCounterFilePath(bare), "S:\\x.ini");
}

// A relative path stored in the settings (by hand, or by an older version) is
// shown as it stands but never drawn from or logged to: it would name another
// file in every folder a host runs in. A new one is not stored at all.
TEST_F(Settings, APathThatIsNotFullIsRefusedForUseAndNotStored) {
  const std::string settings = "[Pfade]\r\nCounterFile=\"rel.ini\"\r\nLogPath=\"Logs\"\r\n";
  WriteSettings(settings);
  EXPECT_EQ(GetCounterFilePath(env), "rel.ini");
  EXPECT_EQ(GetLogFolder(env), "Logs\\");
  const std::pair<std::function<std::string()>, std::string> uses[] = {
      {[&] { return UsableCounterFilePath(env); }, "CounterFile"}, {[&] { return UsableLogFolder(env); }, "LogPath"}};
  for (const auto& [use, key] : uses) {
    try {
      use();
      FAIL() << key;
    } catch (const Error& error) {
      EXPECT_THAT(error.what(), ::testing::StartsWith("Die Einstellung " + key + " in '" + SettingsPath() +
                                                      "' ist kein vollständiger Pfad: '" +
                                                      (key == "LogPath" ? "Logs\\" : "rel.ini") + "'."));
    }
  }
  EXPECT_THROW(SetCounterFilePath(env, "anderes.ini"), Error);
  EXPECT_THROW(SetPaths(env, "S:\\a.ini", "Logs"), Error);
  EXPECT_EQ(*fake.files.Content(SettingsPath()), settings);
}

}  // namespace
}  // namespace trelvo::engine
