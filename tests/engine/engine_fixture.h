#pragma once
// A fake environment with the current counter file in the per-user folder.
#include <gtest/gtest.h>

#include "platform/error.h"
#include "platform/fake/fake_system.h"

namespace trelvo::engine {

class EngineTest : public ::testing::Test {
 protected:
  platform::FakeEnvironment fake;
  platform::Environment& env = fake.env;

  std::string CounterPath() const { return fake.UserFolder() + "sabu_counter.ini"; }
  void WriteCounterFile(const std::string& content) { fake.files.SetFile(CounterPath(), content); }
  std::string CounterFileContent() const { return fake.files.Content(CounterPath()).value_or("<missing>"); }
  std::vector<std::string> ShownTexts() const {
    std::vector<std::string> texts;
    for (const auto& message : fake.ui.shown) texts.push_back(message.text);
    return texts;
  }
  void ExpectOneErrorBox(const std::string& text) const {
    ASSERT_EQ(fake.ui.shown.size(), 1u);
    EXPECT_EQ(fake.ui.shown[0].kind, platform::MessageKind::Error);
    EXPECT_EQ(fake.ui.shown[0].caption, "Fehler");
    EXPECT_EQ(fake.ui.shown[0].buttons, platform::MessageButtons::Ok);
    EXPECT_EQ(fake.ui.shown[0].text, text);
  }
};

}  // namespace trelvo::engine
