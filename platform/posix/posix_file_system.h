#pragma once
// Files on POSIX systems for the native build: a backslash in a path is a
// folder separator; the operating-system lock is an open-file-description
// fcntl lock on the fixed far range, dropped by the kernel when a process dies.
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
  // POSIX has no share modes: appenders serialise through the same far-range
  // lock, and an empty log gets the header.
  void AppendShared(const std::string& path, std::string_view header_if_created, std::string_view bytes) override;
  void CreateDirectories(const std::string& path) override;
  bool ReadInPieces(const std::string& path, const std::function<void(std::string_view)>& take) override;
  bool IsFullPath(const std::string& path) const override { return !path.empty() && path[0] == '/'; }
};

}  // namespace trelvo::posix
