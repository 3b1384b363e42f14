// The folders that creating a Windows folder path makes, level by level.
#include "platform/folder_levels.h"

#include <gtest/gtest.h>

namespace trelvo::platform {
namespace {

TEST(FolderLevels, EveryLevelBelowTheDriveOrTheNetworkShare) {
  using Levels = std::vector<std::string>;
  const struct {
    const char* path;
    Levels levels;
  } cases[] = {
      {"C:\\Daten\\Trelvo\\", {"C:\\Daten", "C:\\Daten\\Trelvo"}},
      {"C:\\Daten\\Trelvo", {"C:\\Daten", "C:\\Daten\\Trelvo"}},
      {"C:\\", {}},
      {"\\\\server\\share\\", {}},
      {"\\\\server\\share\\Rechnungen\\2024\\",
       {"\\\\server\\share\\Rechnungen", "\\\\server\\share\\Rechnungen\\2024"}},
      {"\\\\?\\C:\\Daten\\", {"\\\\?\\C:\\Daten"}},
      {"\\\\?\\UNC\\server\\share\\Log\\", {"\\\\?\\UNC\\server\\share\\Log"}},
      {"C:\\Daten\\\\Doppelt\\", {"C:\\Daten", "C:\\Daten\\\\Doppelt"}},
      {"relativ\\Ordner", {"relativ", "relativ\\Ordner"}},
  };
  for (const auto& c : cases) EXPECT_EQ(FolderLevels(c.path), c.levels) << c.path;
}

TEST(FullWindowsPath, OnlyADriveWithASeparatorOrANetworkShareIsFull) {
  const std::pair<const char*, bool> cases[] = {
      {"C:\\Rechnungen\\a.ini", true}, {"c:/a.ini", true},          {"\\\\server\\share\\a.ini", true},
      {"\\\\server\\share", true},      {"//server/share/a.ini", true}, {"rel.ini", false},
      {"Rechnungen\\a.ini", false},      {"..\\a.ini", false},         {"C:a.ini", false},
      {"\\a.ini", false},                {"\\\\server", false},        {"\\\\server\\", false},
      {"\\\\\\share\\a.ini", false},     {"1:\\a.ini", false},         {"", false},
      {"\\\\?\\C:\\a.ini", true},
  };
  for (const auto& [path, full] : cases) EXPECT_EQ(IsFullWindowsPath(path), full) << path;
}

}  // namespace
}  // namespace trelvo::platform
