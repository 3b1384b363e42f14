#pragma once
// Files as the engine needs them. Paths are Windows paths (backslashes); content
// is bytes (Windows-1252 text). Failures are thrown as FileError or FileBusy,
// after transient ones have been tried again (RetryTransient).
#include <chrono>
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

// An open file held under the operating-system lock of its fixed range far
// beyond the content, so plain reads and writes of the content are never
// blocked by it. The lock and the file are released when the object goes.
class LockedFile {
 public:
  virtual ~LockedFile() = default;
  virtual std::string ReadAll() = 0;
  // Writes the whole content in one write from the start, sets the end of the
  // file behind it and flushes it to disk. The file never disappears meanwhile.
  // previous is the content read under this lock: a failed write leaves the
  // file holding it (see ReplaceInPlace).
  virtual void ReplaceContent(std::string_view bytes, std::string_view previous) = 0;
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
  virtual std::unique_ptr<LockedFile> OpenLocked(const std::string& path, LockMode mode, bool create,
                                                 std::chrono::milliseconds wait) = 0;
  // Appends bytes to a file that other processes may only read meanwhile. A
  // missing file is created (only if it is still absent) and gets
  // header_if_created first. Throws FileBusy when another process keeps holding the file.
  virtual void AppendShared(const std::string& path, std::string_view header_if_created, std::string_view bytes) = 0;
  // Creates a folder with every missing level.
  virtual void CreateDirectories(const std::string& path) = 0;
  // Whether a path names the same file whatever the working folder (Windows:
  // a drive with a separator, or a network share; POSIX: from the root).
  virtual bool IsFullPath(const std::string& path) const = 0;
};

}  // namespace trelvo::platform
