// An open that finds its file held by another workstation shows the wait
// while it waits, and takes the sign away however the wait ends; a file that
// nobody holds shows nothing.
#include "platform/wait_showing_file_system.h"

#include <gtest/gtest.h>

#include "platform/fake/fake_system.h"

namespace trelvo::platform {
namespace {

constexpr char kCounterFile[] = "S:\\Nummern\\re.ini";
constexpr std::chrono::milliseconds kWait{5000};

TEST(WaitShowingFileSystem, ShowsTheWaitOnlyWhileAnotherWorkstationHoldsTheFile) {
  const struct {
    const char* name;
    int held_attempts;  // -1: held for good
    bool opens;
    bool sign;
  } cases[] = {
      {"nobody holds the file", 0, true, false},
      {"let go during the wait", 30, true, true},  // beyond the attempts of an open that does not wait
      {"held beyond the wait", -1, false, true},
  };
  using Open = std::function<void(FileSystem&)>;
  const struct {
    const char* name;
    Open open;
  } opens[] = {
      {"locked", [](FileSystem& files) { files.OpenLocked(kCounterFile, LockMode::Exclusive, true, kWait); }},
      {"appending", [](FileSystem& files) { files.OpenAppending(kCounterFile, "", true, kWait); }},
  };
  for (const auto& open : opens) {
    for (const auto& c : cases) {
      SCOPED_TRACE(std::string(open.name) + ": " + c.name);
      FakeEnvironment fake;
      fake.files.AddFolder("S:\\Nummern");
      if (c.held_attempts < 0) fake.files.HoldFileForGood(kCounterFile);
      if (c.held_attempts > 0) fake.files.HoldFile(kCounterFile, c.held_attempts);
      WaitShowingFileSystem files(fake.files, fake.ui);
      if (c.opens) {
        EXPECT_NO_THROW(open.open(files));
      } else {
        EXPECT_THROW(open.open(files), FileBusy);
      }
      ASSERT_EQ(fake.ui.waits.size(), c.sign ? 1u : 0u);
      if (c.sign) {
        EXPECT_EQ(fake.ui.waits.front(),
                  "Trelvo wartet auf 're.ini': eine andere Arbeitsstation benutzt die Datei gerade (höchstens 5 "
                  "Sekunden).");
      }
      EXPECT_FALSE(fake.ui.waiting) << "the sign goes with the wait";
      EXPECT_EQ(fake.files.open_now(), 0) << "nothing left open";
    }
  }
}

TEST(WaitShowingFileSystem, AnOpenThatMustNotWaitShowsNothing) {
  FakeEnvironment fake;
  fake.files.AddFolder("S:\\Nummern");
  fake.files.HoldFileForGood(kCounterFile);
  WaitShowingFileSystem files(fake.files, fake.ui);
  EXPECT_THROW(files.OpenLocked(kCounterFile, LockMode::Shared, true, std::chrono::milliseconds(0)), FileBusy);
  EXPECT_TRUE(fake.ui.waits.empty());
}

}  // namespace
}  // namespace trelvo::platform
