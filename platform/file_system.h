#pragma once
// Files as the engine needs them. Paths are Windows paths (backslashes); content
// is bytes (Windows-1252 text). Failures are thrown as FileError or FileBusy,
// after transient ones have been tried again (RetryTransient).
#include <atomic>
#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace trelvo::platform {

// The operating system refused an access; code is its error number. A
// transient failure may go away when the access is tried again a moment later
// (see RetryTransient).
class FileError : public std::runtime_error {
 public:
  FileError(int code, const std::string& reason, bool transient = false)
      : std::runtime_error(reason), code_(code), transient_(transient) {}
  int code() const { return code_; }
  bool transient() const { return transient_; }

 private:
  int code_;
  bool transient_;
};

// Another process holds the file or its lock (a sharing or lock violation);
// thrown on when it still does after the wait.
class FileBusy : public FileError {
 public:
  FileBusy(int code, const std::string& reason) : FileError(code, reason, true) {}
};

enum class LockMode { Shared, Exclusive };

// The calls a file system makes as a file server sees them: each is one
// request and its answer, a network round trip when the file lies on a share.
enum class FileCall {
  Open,    // opening (or creating) a file
  Read,    // one read of the content
  Write,   // one write of the content
  Resize,  // setting the end of a file or setting aside its space
  Flush,   // flushing a file to disk
  Lock,    // one attempt to take the operating-system lock
  Unlock,  // letting the lock go before the file is closed
  Query,   // asking for a file's attributes or size
  Lookup,  // looking a folder up (or creating it)
  Close,   // closing a file
};
inline constexpr std::size_t kFileCallKinds = 10;

// Told of every call a file system makes.
class FileCallObserver {
 public:
  virtual ~FileCallObserver() = default;
  // As the call is made; path: the file or folder as the caller named it.
  virtual void Calling(FileCall call, const std::string& path) = 0;
};

// Where a file system tells its calls: the one observer, if any.
class FileCallReport {
 public:
  void Tell(FileCall call, const std::string& path) const {
    if (FileCallObserver* observer = observer_.load()) observer->Calling(call, path);
  }
  FileCallObserver* Exchange(FileCallObserver* observer) { return observer_.exchange(observer); }

 private:
  std::atomic<FileCallObserver*> observer_{nullptr};
};

// An open file held under the operating-system lock of its fixed range far
// beyond the content, so plain reads and writes of the content are never
// blocked by it. The lock and the file are released when the object goes.
class LockedFile {
 public:
  virtual ~LockedFile() = default;
  // The content, in one read unless it is larger than a read takes (a read
  // that returns fewer bytes than asked for has met the end).
  virtual std::string ReadAll() = 0;
  // Writes the whole content in one write from the start, written through to
  // disk. When the content gets shorter, the end of the file is set behind it
  // and flushed. The file never disappears meanwhile. previous is the content
  // read under this lock: a failed write leaves the file holding it (see
  // ReplaceInPlace).
  virtual void ReplaceContent(std::string_view bytes, std::string_view previous) = 0;
};

// A file open for appending that other processes may only read until it is
// closed, when the object goes.
class AppendingFile {
 public:
  virtual ~AppendingFile() = default;
  // Appends bytes in one write at the end of the file.
  virtual void Append(std::string_view bytes) = 0;
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // True for an existing file (not a folder).
  virtual bool FileExists(const std::string& path) = 0;
  // The whole file; nullopt when it does not exist. Other failures throw.
  virtual std::optional<std::string> ReadFile(const std::string& path) = 0;
  // The file piece by piece, in order, for files too large to hold (the usage
  // log of years); false when it does not exist. Other failures throw.
  virtual bool ReadInPieces(const std::string& path, const std::function<void(std::string_view)>& take) = 0;
  // Opens the file with full sharing and takes its lock, waiting at most `wait`
  // for the lock. A missing file gives nullptr unless create is true, in which
  // case it is created empty (its folder must exist). Throws FileBusy after the
  // wait, or when another program keeps the file open without sharing it.
  // Exclusive opens the file to write through to disk; a file that refuses
  // to be opened for writing (a read-only file) is opened for reading under
  // the shared lock instead, and refuses every write.
  virtual std::unique_ptr<LockedFile> OpenLocked(const std::string& path, LockMode mode, bool create,
                                                 std::chrono::milliseconds wait) = 0;
  // Opens a file for appending that other processes may only read until it is
  // closed. A missing file gives nullptr unless create is true, in which case
  // it is created (its folder must exist). A file that this open creates gets
  // header_if_created first, so no other process ever sees it without (on
  // POSIX, where the open does not tell, a file found empty under the lock
  // counts as created). Another process's hold is waited for at most `wait`,
  // tried again every few milliseconds as a lock is; with no wait, a hold
  // counts as a passing failure and is tried again under the transient-failure
  // policy. Throws FileBusy when another process keeps holding the file.
  virtual std::unique_ptr<AppendingFile> OpenAppending(const std::string& path, std::string_view header_if_created,
                                                       bool create, std::chrono::milliseconds wait) = 0;
  // Opens the file as OpenAppending does (creating it, with no wait), appends
  // bytes (if any) and closes it.
  virtual void AppendShared(const std::string& path, std::string_view header_if_created, std::string_view bytes) {
    const auto file = OpenAppending(path, header_if_created, true, std::chrono::milliseconds(0));
    if (!bytes.empty()) file->Append(bytes);
  }
  // Creates a folder with every missing level.
  virtual void CreateDirectories(const std::string& path) = 0;
  // Whether a path names the same file whatever the working folder (Windows:
  // a drive with a separator, or a network share; POSIX: from the root).
  virtual bool IsFullPath(const std::string& path) const = 0;

  // Tells observer of every call the file system makes from now on (nullptr:
  // no one); answers the observer told so far.
  virtual FileCallObserver* ObserveCalls(FileCallObserver* observer) = 0;
};

}  // namespace trelvo::platform
