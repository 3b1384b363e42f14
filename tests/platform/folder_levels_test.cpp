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

}  // namespace
}  // namespace trelvo::platform
