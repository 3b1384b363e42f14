#pragma once
// Files on POSIX systems for the native build: a backslash in a path is a
// folder separator; the operating-system lock is an open-file-description
// fcntl lock on the fixed far range, dropped by the kernel when the file is
// closed or its process dies.
#include "platform/file_system.h"

namespace trelvo::posix {

// The Windows path as a POSIX path ("\" becomes "/").
std::string NativePath(const std::string& path);

class PosixFileSystem : public platform::FileSystem {
 public:
  bool FileExists(const std::string& path) override;
  std::optional<std::string> ReadFile(const std::string& path) override;
  std::unique_ptr<platform::LockedFile> OpenLocked(const std::string& path, platform::LockMode mode, bool create,
                                                   std::chrono::milliseconds wait) override;
  // POSIX has no share modes: appenders hold the same far-range lock, and an
  // open does not tell whether it created the file, so a file found empty
  // under the lock gets the header.
  std::unique_ptr<platform::AppendingFile> OpenAppending(const std::string& path, std::string_view header_if_created,
                                                         bool create, std::chrono::milliseconds wait) override;
  void CreateDirectories(const std::string& path) override;
  bool ReadInPieces(const std::string& path, const std::function<void(std::string_view)>& take) override;
  bool IsFullPath(const std::string& path) const override { return !path.empty() && path[0] == '/'; }
  platform::FileCallObserver* ObserveCalls(platform::FileCallObserver* observer) override {
    return report_.Exchange(observer);
  }

 private:
  platform::FileCallReport report_;
};

}  // namespace trelvo::posix
