// The real file system of the platform (Win32 under Wine, or POSIX): files
// written in place, the operating-system lock between processes, and draws of
// several processes from one counter file.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <set>
#include <thread>

#include "bench/moved_home.h"
#include "engine/counter_lock.h"
#include "engine/number_drawing.h"
#include "engine/usage_log.h"
#include "platform/counting_file_system.h"
#include "platform/error.h"
#include "platform/fake/fake_system.h"
#include "platform/system_platform.h"
#include "tests/support/child_process.h"

namespace trelvo {
namespace {

using namespace std::chrono_literals;

std::vector<std::string> ReadLines(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

class SharedCounterFile : public ::testing::Test {
 protected:
  platform::SystemPlatform real = platform::MakeSystemPlatform();
  platform::RecordingUserInterface ui;
  std::string folder = testing::MakeTempFolder();
  // The per-user folder, with the usage log that draws write, in the test's folder.
  std::string home = folder + "home";
  bench::MovedHome system{*real.system, home};
  platform::Environment env{*real.files, system, ui};
  std::string counter_path = folder + "counter.ini";
  std::string worker = testing::SiblingProgram("draw_worker");

  SharedCounterFile() {
    const std::string s = testing::PathSeparator();
    real.files->CreateDirectories(home + s + "Orvant" + s + "Trelvo 2006");
  }

  // A process that holds the counter file's operating-system lock until it is killed.
  std::unique_ptr<testing::ChildProcess> StartHolder() {
    const std::string ready = folder + "ready";
    auto holder = testing::StartChild(worker, {"hold", counter_path, ready});
    for (int waited = 0; !real.files->FileExists(ready); ++waited) {
      if (waited == 300) throw std::runtime_error("the holder did not start");
      std::this_thread::sleep_for(100ms);
    }
    return holder;
  }

  ~SharedCounterFile() override {
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
  }
};

TEST_F(SharedCounterFile, ContentIsReplacedInPlaceAndTheEndOfFileFollowsIt) {
  EXPECT_EQ(real.files->OpenLocked(counter_path, platform::LockMode::Shared, false, 100ms), nullptr);
  EXPECT_FALSE(real.files->ReadFile(counter_path));
  {
    const auto file = real.files->OpenLocked(counter_path, platform::LockMode::Exclusive, true, 100ms);
    ASSERT_NE(file, nullptr);
    file->ReplaceContent("[Zaehler]\r\nCounter=1000000\r\n", "");
    file->ReplaceContent("[Zaehler]\r\nCounter=7\r\n", "[Zaehler]\r\nCounter=1000000\r\n");
    EXPECT_EQ(file->ReadAll(), "[Zaehler]\r\nCounter=7\r\n");
  }
  EXPECT_TRUE(real.files->FileExists(counter_path));
  EXPECT_FALSE(real.files->FileExists(folder));
  EXPECT_EQ(real.files->ReadFile(counter_path), "[Zaehler]\r\nCounter=7\r\n");
}

// A file that refuses to be written (read-only) and is opened to write is
// read under the shared lock, so other readers read along, and refuses the
// write: a pointer that workstations may only read is read at once.
TEST_F(SharedCounterFile, AReadOnlyFileOpenedToWriteIsReadUnderTheSharedLock) {
  namespace fs = std::filesystem;
  std::ofstream(counter_path, std::ios::binary) << "[Server]\r\n";
  fs::permissions(counter_path, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  struct Writable {
    std::string path;
    ~Writable() { fs::permissions(path, fs::perms::owner_write, fs::perm_options::add); }
  } writable_again{counter_path};
  if (std::ofstream(counter_path, std::ios::app)) GTEST_SKIP() << "this user writes to read-only files as well";

  const auto file = real.files->OpenLocked(counter_path, platform::LockMode::Exclusive, true, 100ms);
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(file->ReadAll(), "[Server]\r\n");
  EXPECT_NE(real.files->OpenLocked(counter_path, platform::LockMode::Shared, false, 100ms), nullptr);
  EXPECT_THROW(file->ReplaceContent("[Zaehler]\r\n", "[Server]\r\n"), platform::FileError);
  EXPECT_EQ(real.files->ReadFile(counter_path), "[Server]\r\n");
}

// One Insert as a file server sees it: on the counter file one open, one
// lock, one read that shows the end, one write through to disk and the
// close; the log opened and held before the draw, the record written after it.
TEST_F(SharedCounterFile, AnInsertMakesTheLeastCallsOnTheCounterFileAndTheLog) {
  const auto insert = [&](platform::Environment& on) {
    return engine::DrawUnderLock(on, *engine::OpenNumberStore(on, counter_path), "Excel 11.0");
  };
  insert(env);  // the counter file and the log exist from here on
  platform::CountingFileSystem counting(*real.files);
  platform::Environment counted{counting, system, ui};
  EXPECT_EQ(insert(counted).number, "0002");

  using platform::FileCall;
  const auto counter = counting.CountsFor(counter_path);
  const auto log = counting.CountsFor(engine::GetUsageLogPath(env));
  const struct {
    FileCall call;
    long counter, log;
  } expected[] = {
#ifdef _WIN32
      // The log's share mode holds it; a locked file lets go of its lock before it is closed.
      {FileCall::Lock, 1, 0},
      {FileCall::Unlock, 1, 0},
      {FileCall::Query, 0, 0},
#else
      // The log's far-range lock holds it, its size tells whether it needs its header;
      // closing a file drops its lock.
      {FileCall::Lock, 1, 1},
      {FileCall::Unlock, 0, 0},
      {FileCall::Query, 0, 1},
#endif
      {FileCall::Open, 1, 1},
      {FileCall::Read, 1, 0},
      {FileCall::Write, 1, 1},
      {FileCall::Resize, 0, 0},
      {FileCall::Flush, 0, 0},
      {FileCall::Lookup, 0, 0},
      {FileCall::Close, 1, 1},
  };
  for (const auto& e : expected) {
    EXPECT_EQ(counter[e.call], e.counter) << platform::FileCallName(e.call);
    EXPECT_EQ(log[e.call], e.log) << platform::FileCallName(e.call);
  }
  EXPECT_LE(counter.Total() + log.Total(), 10);
}

TEST_F(SharedCounterFile, TheLogIsCreatedOnceWithItsHeaderAndThenAppendedTo) {
  const std::string log = folder + "sabulog.csv";
  real.files->AppendShared(log, "KOPF\r\n", "eins\r\n");
  real.files->AppendShared(log, "KOPF\r\n", "zwei\r\n");
  EXPECT_EQ(real.files->ReadFile(log), "KOPF\r\neins\r\nzwei\r\n");
  // The header belongs to a file being created. Windows tells whether the
  // open created it, and a file that exists empty gets none; a POSIX open
  // does not tell, and a file found empty under the lock gets it.
  const std::string empty = folder + "leer.csv";
  std::ofstream(empty, std::ios::binary).close();
  real.files->AppendShared(empty, "KOPF\r\n", "eins\r\n");
#ifdef _WIN32
  EXPECT_EQ(real.files->ReadFile(empty), "eins\r\n");
#else
  EXPECT_EQ(real.files->ReadFile(empty), "KOPF\r\neins\r\n");
#endif
  EXPECT_THROW(real.files->AppendShared(folder + "fehlt/x/sabulog.csv", "", "x"), platform::FileError);
}

// Several writers meet a log that is absent: one creates it, and its header
// comes first, however the others' appends fall around the creation.
TEST_F(SharedCounterFile, WritersMeetingAnAbsentLogLeaveItsHeaderFirst) {
  constexpr int kWriters = 6;
  for (int round = 0; round < 40; ++round) {
    const std::string log = folder + "runde" + std::to_string(round) + ".csv";
    std::atomic<int> ready = 0;
    std::vector<std::thread> writers;
    for (int w = 0; w < kWriters; ++w)
      writers.emplace_back([&, w] {
        for (++ready; ready < kWriters;) std::this_thread::yield();
        real.files->AppendShared(log, "KOPF\r\n", std::to_string(w) + "\r\n");
      });
    for (auto& writer : writers) writer.join();
    const auto lines = ReadLines(log);
    ASSERT_EQ(lines.size(), kWriters + 1u) << "round " << round;
    EXPECT_EQ(lines[0], "KOPF\r") << "round " << round;
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "KOPF\r"), 1) << "round " << round;
  }
}

TEST_F(SharedCounterFile, TwoProcessesDrawingAtOnceNeverGetTheSameNumber) {
  constexpr int kDraws = 200;
  auto first =
      testing::StartChild(worker, {"draw", counter_path, std::to_string(kDraws), folder + "a.txt", "--home", home});
  auto second =
      testing::StartChild(worker, {"draw", counter_path, std::to_string(kDraws), folder + "b.txt", "--home", home});
  ASSERT_EQ(first->Wait(), 0);
  ASSERT_EQ(second->Wait(), 0);

  std::set<std::string> numbers;
  for (const char* name : {"a.txt", "b.txt"}) {
    const auto lines = ReadLines(folder + name);
    EXPECT_EQ(lines.size(), static_cast<size_t>(kDraws));
    numbers.insert(lines.begin(), lines.end());
  }
  EXPECT_EQ(numbers.size(), static_cast<size_t>(2 * kDraws)) << "a number was issued twice";
  EXPECT_EQ(*numbers.begin(), "0001");
  EXPECT_EQ(*numbers.rbegin(), "0400");
  const auto store = engine::OpenNumberStore(env, counter_path);
  EXPECT_EQ(engine::ReadCounterState(store->Read()).counter, 2 * kDraws);
  EXPECT_EQ(engine::QueryLockOwner(*store), engine::kNoUser);
}

TEST_F(SharedCounterFile, AProcessKilledWhileHoldingTheLockDoesNotBlockTheNextDraw) {
  auto holder = StartHolder();
  EXPECT_THROW(real.files->OpenLocked(counter_path, platform::LockMode::Shared, false, 200ms), platform::FileBusy);

  holder->Kill();
  holder->Wait();
  const engine::DrawResult result = engine::DrawUnderLock(env, *engine::OpenNumberStore(env, counter_path));
  EXPECT_TRUE(result.issued);
  EXPECT_EQ(result.number, "0001");
  EXPECT_TRUE(ui.shown.empty());
}

TEST_F(SharedCounterFile, AFileHeldBeyondTheWaitGivesTheBusyBoxAndDrawsNothing) {
  auto holder = StartHolder();
  EXPECT_THROW(engine::DrawUnderLock(env, *engine::OpenNumberStore(env, counter_path)), Aborted);
  ASSERT_EQ(ui.shown.size(), 1u);
  EXPECT_EQ(ui.shown[0].text,
            "Die Zählerdatei 'counter.ini' ist zur Zeit durch einen anderen Arbeitsplatz belegt.\r\n"
            "Bitte probieren Sie es in einigen Sekunden erneut.");
  holder->Kill();
  holder->Wait();
  EXPECT_EQ(real.files->ReadFile(counter_path), "");
}

}  // namespace
}  // namespace trelvo
