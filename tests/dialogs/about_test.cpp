// The About dialog's version text from the library's version information.
#include "dialogs/about.h"

#include <gtest/gtest.h>

namespace trelvo::dialogs {
namespace {

TEST(AboutVersionText, StringTableThenFixedVersionThenZeros) {
  const std::array<uint16_t, 4> fixed = {2, 0, 3, 0};
  EXPECT_EQ(VersionText(VersionInfo{"2.0.3.0", std::nullopt}), "2.0.3.0");
  EXPECT_EQ(VersionText(VersionInfo{"2.0.3.0 beta", fixed}), "2.0.3.0 beta");
  EXPECT_EQ(VersionText(VersionInfo{std::nullopt, fixed}), "2.0.3.0");
  EXPECT_EQ(VersionText(VersionInfo{"", std::array<uint16_t, 4>{1, 65535, 0, 12}}), "1.65535.0.12");
  EXPECT_EQ(VersionText(VersionInfo{}), "0.0.0.0");
  EXPECT_EQ(VersionText(std::nullopt), "0.0.0.0");
}

}  // namespace
}  // namespace trelvo::dialogs
