#pragma once
// A file system that passes every call on to another: the base of the
// decorators that count, pause or fail one kind of access and leave the rest
// as it is. An AppendShared passed on opens its file through the inner file
// system, not through a decorator's OpenAppending.
#include <memory>

#include "platform/file_system.h"

namespace trelvo::platform {

class ForwardingFileSystem : public FileSystem {
 public:
  explicit ForwardingFileSystem(FileSystem& inner) : inner_(inner) {}

  bool FileExists(const std::string& path) override { return inner_.FileExists(path); }
  std::optional<std::string> ReadFile(const std::string& path) override { return inner_.ReadFile(path); }
  bool ReadInPieces(const std::string& path, const std::function<void(std::string_view)>& take) override {
    return inner_.ReadInPieces(path, take);
  }
  std::unique_ptr<LockedFile> OpenLocked(const std::string& path, LockMode mode, bool create,
                                         std::chrono::milliseconds wait) override {
    return inner_.OpenLocked(path, mode, create, wait);
  }
  std::unique_ptr<AppendingFile> OpenAppending(const std::string& path, std::string_view header_if_created,
                                               bool create, std::chrono::milliseconds wait) override {
    return inner_.OpenAppending(path, header_if_created, create, wait);
  }
  void AppendShared(const std::string& path, std::string_view header_if_created, std::string_view bytes) override {
    inner_.AppendShared(path, header_if_created, bytes);
  }
  void CreateDirectories(const std::string& path) override { inner_.CreateDirectories(path); }
  bool IsFullPath(const std::string& path) const override { return inner_.IsFullPath(path); }
  // The calls are the inner file system's: it tells them.
  FileCallObserver* ObserveCalls(FileCallObserver* observer) override { return inner_.ObserveCalls(observer); }

 protected:
  FileSystem& inner() const { return inner_; }

 private:
  FileSystem& inner_;
};

}  // namespace trelvo::platform
