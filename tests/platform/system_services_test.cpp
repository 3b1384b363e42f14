// The machine's own services as the engine sees them (Win32 under Wine, or POSIX).
#include <gtest/gtest.h>

#include "platform/system_platform.h"

namespace trelvo {
namespace {

TEST(SystemServices, AnswerFromTheMachine) {
  const auto real = platform::MakeSystemPlatform();
  const std::string app_data = real.system->GetSpecialFolderPath(platform::kCsidlAppData);
  ASSERT_FALSE(app_data.empty());
  EXPECT_NE(app_data.back(), '\\');
  EXPECT_FALSE(real.system->UserName().empty());
  EXPECT_NE(real.system->ModulePath().find("shared_counter_file_tests"), std::string::npos);
  EXPECT_EQ(real.system->GetSpecialFolderPath(-1), "");
  EXPECT_EQ(real.system->TimeSeparator().size(), 1u);
  const platform::LocalDateTime now = real.system->Now();
  EXPECT_GE(now.year, 2024);
  EXPECT_TRUE(now.month >= 1 && now.month <= 12 && now.day >= 1 && now.day <= 31);
}

}  // namespace
}  // namespace trelvo
