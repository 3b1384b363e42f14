#pragma once
// A file system that passes every call on and counts the accesses: opens,
// reads, writes (each write of the counter file is followed by its flush) and
// appends. Benchmarks use it to show what a draw costs.
#include <memory>

#include "platform/forwarding_file_system.h"

namespace trelvo::platform {

struct FileAccessCounts {
  long opens = 0;
  long reads = 0;
  long writes = 0;
  long flushes = 0;
  long appends = 0;
};

class CountingFileSystem : public ForwardingFileSystem {
 public:
  using ForwardingFileSystem::ForwardingFileSystem;
  const FileAccessCounts& counts() const { return counts_; }

  std::optional<std::string> ReadFile(const std::string& path) override;
  std::unique_ptr<LockedFile> OpenLocked(const std::string& path, LockMode mode, bool create,
                                         std::chrono::milliseconds wait) override;
  void AppendShared(const std::string& path, std::string_view header_if_created, std::string_view bytes) override;

 private:
  FileAccessCounts counts_;
};

}  // namespace trelvo::platform
