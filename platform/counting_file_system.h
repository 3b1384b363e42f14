#pragma once
// A file system that passes every call on and counts the accesses: opens,
// reads, writes (each write of the counter file is followed by its flush) and
// appends. Benchmarks use it to show what a draw costs.
#include <memory>

#include "platform/file_system.h"

namespace trelvo::platform {

struct FileAccessCounts {
  long opens = 0;
  long reads = 0;
  long writes = 0;
  long flushes = 0;
  long appends = 0;
};

class CountingFileSystem : public FileSystem {
 public:
  explicit CountingFileSystem(FileSystem& inner) : inner_(inner) {}
  const FileAccessCounts& counts() const { return counts_; }

  bool FileExists(const std::string& path) override { return inner_.FileExists(path); }
  std::optional<std::string> ReadFile(const std::string& path) override;
  std::unique_ptr<LockedFile> OpenLocked(const std::string& path, LockMode mode, bool create,
                                         std::chrono::milliseconds wait) override;
  void AppendShared(const std::string& path, std::string_view header_if_created, std::string_view bytes) override;
  void CreateDirectories(const std::string& path) override { inner_.CreateDirectories(path); }
  bool ReadInPieces(const std::string& path, const std::function<void(std::string_view)>& take) override {
    return inner_.ReadInPieces(path, take);
  }
  bool IsFullPath(const std::string& path) const override { return inner_.IsFullPath(path); }

 private:
  FileSystem& inner_;
  FileAccessCounts counts_;
};

}  // namespace trelvo::platform
