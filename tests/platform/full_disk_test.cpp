// A draw on a full disk, natively on a small file system of its own: the
// counter file stays byte for byte as it was.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <sys/mount.h>
#include <unistd.h>

#include "bench/moved_home.h"
#include "engine/number_drawing.h"
#include "platform/fake/fake_system.h"
#include "platform/system_platform.h"
#include "tests/support/child_process.h"

namespace trelvo {
namespace {

// A tmpfs of 64 KiB mounted on a new folder for the test (needs root).
class SmallFileSystem {
 public:
  SmallFileSystem() : folder_(testing::MakeTempFolder()) {
    mounted_ = mount("trelvo-test", folder_.c_str(), "tmpfs", 0, "size=64k") == 0;
  }
  ~SmallFileSystem() {
    if (mounted_) umount2(folder_.c_str(), MNT_DETACH);
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }
  bool mounted() const { return mounted_; }
  const std::string& folder() const { return folder_; }  // ends in a separator

  // Takes every free block.
  void Fill() const {
    const int fd = open((folder_ + "filler").c_str(), O_WRONLY | O_CREAT, 0600);
    const std::string block(4096, 'x');
    while (write(fd, block.data(), block.size()) > 0) {
    }
    while (write(fd, "x", 1) > 0) {
    }
    close(fd);
  }

 private:
  std::string folder_;
  bool mounted_ = false;
};

std::string ReadWhole(const std::string& path) {
  return platform::MakeSystemPlatform().files->ReadFile(path).value_or("<missing>");
}

TEST(FullDisk, ADrawThatCannotGrowTheCounterFileLeavesItByteForByte) {
  const SmallFileSystem disk;
  if (!disk.mounted()) GTEST_SKIP() << "mounting a tmpfs needs root";

  // Exactly one page long, so that the one more digit needs a new block.
  std::string content = "[Zaehler]\r\nCounter=999\r\nIncrement=10\r\n[Hinweis]\r\nConfigDesc=\"\"\r\n";
  content.insert(content.size() - 3, 4096 - content.size(), 'n');
  const std::string path = disk.folder() + "counter.ini";
  {
    platform::SystemPlatform real = platform::MakeSystemPlatform();
    real.files->OpenLocked(path, platform::LockMode::Exclusive, true, std::chrono::milliseconds(100))
        ->ReplaceContent(content, "");
  }
  disk.Fill();

  platform::SystemPlatform real = platform::MakeSystemPlatform();
  platform::RecordingUserInterface ui;
  // The usage log on a disk with room: the counter file's write is what fails.
  const std::string home = testing::MakeTempFolder();
  real.files->CreateDirectories(home + "Orvant/Trelvo 2006");
  bench::MovedHome system(*real.system, home);
  platform::Environment env{*real.files, system, ui};
  EXPECT_THROW(engine::DrawUnderLock(env, *engine::OpenNumberStore(env, path)), Error);
  EXPECT_TRUE(std::filesystem::exists(home + "Orvant/Trelvo 2006/sabulog.csv")) << "the log was not what failed";
  std::error_code ignored;
  std::filesystem::remove_all(home, ignored);
  const std::string after = ReadWhole(path);
  EXPECT_EQ(after.size(), content.size());
  EXPECT_TRUE(after == content) << "the counter file changed: " << after.substr(0, 40);
}

}  // namespace
}  // namespace trelvo
