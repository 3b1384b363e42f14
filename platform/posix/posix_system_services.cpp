// The machine's facts on POSIX systems for the native build. The per-user
// application-data folder is $XDG_DATA_HOME, or ~/.local/share.
#include <cstdlib>
#include <ctime>
#include <memory>
#include <pwd.h>
#include <thread>
#include <unistd.h>

#include "platform/posix/posix_file_system.h"
#include "platform/system_platform.h"

namespace trelvo::posix {
namespace {

class PosixSystemServices : public platform::SystemServices {
 public:
  std::string UserName() override {
    if (const passwd* entry = getpwuid(geteuid())) return entry->pw_name;
    const char* user = std::getenv("USER");
    return user ? user : "";
  }
  std::string ComputerName() override {
    char name[256] = {};
    return gethostname(name, sizeof name - 1) == 0 ? name : "";
  }
  std::string GetSpecialFolderPath(int csidl) override {
    if (csidl != platform::kCsidlAppData) return "";
    if (const char* data = std::getenv("XDG_DATA_HOME"); data && *data) return data;
    const char* home = std::getenv("HOME");
    if (!home || !*home) {
      const passwd* entry = getpwuid(geteuid());
      home = entry ? entry->pw_dir : nullptr;
    }
    return home && *home ? std::string(home) + "/.local/share" : "";
  }
  std::string ModulePath() override {
    char path[4096];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path);
    return length > 0 ? std::string(path, static_cast<size_t>(length)) : "";
  }
  platform::LocalDateTime Now() override {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec};
  }
  std::string TimeSeparator() override { return ":"; }
  void Sleep(std::chrono::milliseconds duration) override { std::this_thread::sleep_for(duration); }
};

}  // namespace
}  // namespace trelvo::posix

namespace trelvo::platform {

SystemPlatform MakeSystemPlatform(void*) {
  return {std::make_unique<posix::PosixFileSystem>(), std::make_unique<posix::PosixSystemServices>()};
}

}  // namespace trelvo::platform
