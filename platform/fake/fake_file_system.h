#pragma once
// An in-memory file system for tests: folders must exist before files go into
// them; files can be made read-only or held by "another process". It tells
// the calls that the Windows file system makes for the same accesses.
#include <map>
#include <set>
#include <string>

#include "platform/file_system.h"
#include "platform/folder_levels.h"

namespace trelvo::platform {

class FakeFileSystem : public FileSystem {
 public:
  // Folders are given with or without trailing backslash.
  void AddFolder(const std::string& folder);
  void SetFile(const std::string& path, const std::string& bytes);
  void RemoveFile(const std::string& path) { files_.erase(path); }
  std::optional<std::string> Content(const std::string& path) const;
  // A read-only file: opened to write, it is read under the shared lock, and
  // refuses every write.
  void SetReadOnly(const std::string& path) { read_only_.insert(path); }
  // The next `attempts` opens of the file find it held by another process
  // (each open tries again as the real ones do: every few milliseconds up to
  // its wait, or under the transient-failure policy when it has none).
  void HoldFile(const std::string& path, int attempts) { held_[path] = attempts; }
  // A file held for good: every open gives up after the policy's attempts.
  void HoldFileForGood(const std::string& path) { held_[path] = 1 << 30; }
  // The pauses the policy made while files were held.
  std::chrono::milliseconds waited() const { return waited_; }
  // A full disk: no file may grow (a write that would grow one is refused whole).
  void SetDiskFull(bool full) { full_ = full; }

  struct Counts {
    int opens = 0;
    int writes = 0;  // contents replaced, and appends
  };
  Counts CountsFor(const std::string& path) const;
  // Files open (and so held under their lock, or for appending) at this moment.
  int open_now() const { return open_now_; }

  bool FileExists(const std::string& path) override;
  std::optional<std::string> ReadFile(const std::string& path) override;
  std::unique_ptr<LockedFile> OpenLocked(const std::string& path, LockMode mode, bool create,
                                         std::chrono::milliseconds wait) override;
  std::unique_ptr<AppendingFile> OpenAppending(const std::string& path, std::string_view header_if_created,
                                               bool create, std::chrono::milliseconds wait) override;
  void CreateDirectories(const std::string& path) override;
  // In pieces of a few bytes, so that a reader meets lines split across them.
  bool ReadInPieces(const std::string& path, const std::function<void(std::string_view)>& take) override;
  bool IsFullPath(const std::string& path) const override { return IsFullWindowsPath(path); }
  FileCallObserver* ObserveCalls(FileCallObserver* observer) override { return report_.Exchange(observer); }

 private:
  class OpenFile;
  class AppendFile;
  bool FolderExists(const std::string& path) const;
  // An open of path, tried again while the file is held: under the policy, or
  // (with a wait) every few milliseconds up to the wait.
  void Open(const std::string& path, std::chrono::milliseconds wait = {});
  void TellReads(const std::string& path, size_t size) const;

  std::map<std::string, std::string> files_;
  std::set<std::string> folders_;
  std::set<std::string> read_only_;
  std::map<std::string, int> held_;
  std::map<std::string, Counts> counts_;
  int open_now_ = 0;
  bool full_ = false;
  std::chrono::milliseconds waited_{0};
  FileCallReport report_;
};

}  // namespace trelvo::platform
