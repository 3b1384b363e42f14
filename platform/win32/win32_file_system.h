#pragma once
// Files through the wide Win32 API: full sharing for counter files, LockFileEx
// on the fixed far range, and appends that let others only read.
#include "platform/file_system.h"
#include "platform/folder_levels.h"

namespace trelvo::win32 {

class Win32FileSystem : public platform::FileSystem {
 public:
  bool FileExists(const std::string& path) override;
  std::optional<std::string> ReadFile(const std::string& path) override;
  std::unique_ptr<platform::LockedFile> OpenLocked(const std::string& path, platform::LockMode mode, bool create,
                                                   std::chrono::milliseconds wait) override;
  // Opened in one call where it is there (created with CREATE_NEW where not),
  // then written at the end of file, whatever its length.
  std::unique_ptr<platform::AppendingFile> OpenAppending(const std::string& path, std::string_view header_if_created,
                                                         bool create, std::chrono::milliseconds wait) override;
  void CreateDirectories(const std::string& path) override;
  bool ReadInPieces(const std::string& path, const std::function<void(std::string_view)>& take) override;
  bool IsFullPath(const std::string& path) const override { return platform::IsFullWindowsPath(path); }
  platform::FileCallObserver* ObserveCalls(platform::FileCallObserver* observer) override {
    return report_.Exchange(observer);
  }

 private:
  platform::FileCallReport report_;
};

}  // namespace trelvo::win32
