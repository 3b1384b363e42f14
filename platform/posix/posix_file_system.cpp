#include "platform/posix/posix_file_system.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "platform/file_lock_range.h"
#include "platform/in_place_write.h"
#include "platform/transient_retry.h"

namespace trelvo::posix {
namespace {

using platform::FileBusy;
using platform::FileCall;
using platform::FileCallReport;
using platform::FileError;
using Clock = std::chrono::steady_clock;

// Failures that go away when the access is tried again a moment later.
[[noreturn]] void ThrowErrno(int code = errno) {
  throw FileError(code, std::strerror(code), code == EBUSY || code == ETXTBSY || code == ESTALE || code == EAGAIN);
}

void Pause(std::chrono::milliseconds duration) { std::this_thread::sleep_for(duration); }

// A descriptor that tells its calls under the caller's name of the file, and
// closes itself (closing drops the lock it holds).
class OpenFd {
 public:
  OpenFd(int fd, std::string path, const FileCallReport& report) : fd_(fd), path_(std::move(path)), report_(report) {}
  OpenFd(const OpenFd&) = delete;
  OpenFd& operator=(const OpenFd&) = delete;
  ~OpenFd() {
    if (fd_ < 0) return;
    Tell(FileCall::Close);
    close(fd_);
  }
  int get() const { return fd_; }
  void Tell(FileCall call) const { report_.Tell(call, path_); }

 private:
  int fd_;
  std::string path_;
  const FileCallReport& report_;
};

// An open() that failed with one of the codes the caller accepts: fd is -1.
struct Opened {
  int fd = -1;
  int error = 0;
};

// open() under the transient-failure policy; each attempt is told.
Opened OpenFile(const FileCallReport& report, const std::string& path, int flags,
                const std::vector<int>& accepted = {}) {
  const std::string native = NativePath(path);
  return platform::RetryTransient(
      [&] {
        report.Tell(FileCall::Open, path);
        const int fd = open(native.c_str(), flags | O_CLOEXEC, 0666);
        if (fd < 0) {
          const int code = errno;
          for (int allowed : accepted)
            if (code == allowed) return Opened{-1, code};
          ThrowErrno(code);
        }
        return Opened{fd, 0};
      },
      Pause);
}

struct flock LockRange(short type) {
  struct flock range {};
  range.l_type = type;
  range.l_whence = SEEK_SET;
  range.l_start = static_cast<off_t>(platform::kLockRangeOffset);
  range.l_len = static_cast<off_t>(platform::kLockRangeLength);
  return range;
}

// Takes the far-range lock, waiting at most until deadline; each attempt is told.
void TakeLock(const OpenFd& fd, bool exclusive, Clock::time_point deadline) {
  for (struct flock range = LockRange(exclusive ? F_WRLCK : F_RDLCK);;) {
    fd.Tell(FileCall::Lock);
    if (fcntl(fd.get(), F_OFD_SETLK, &range) == 0) return;
    if (errno != EAGAIN && errno != EACCES && errno != EINTR) ThrowErrno();
    if (Clock::now() >= deadline) throw FileBusy(EAGAIN, "Die Datei ist durch einen anderen Prozess gesperrt.");
    std::this_thread::sleep_for(platform::kLockRetryPause);
  }
}

// The content from the start, piece by piece. A read on a regular file
// returns fewer bytes than asked for only at the end (no signal handler
// interrupts reads in this program), so a short read ends it without another.
void ReadPieces(const OpenFd& fd, const std::function<void(std::string_view)>& take) {
  char buffer[65536];
  for (off_t offset = 0;;) {
    fd.Tell(FileCall::Read);
    const ssize_t read = pread(fd.get(), buffer, sizeof buffer, offset);
    if (read < 0) {
      if (errno == EINTR) continue;
      ThrowErrno();
    }
    if (read > 0) take(std::string_view(buffer, static_cast<size_t>(read)));
    if (static_cast<size_t>(read) < sizeof buffer) return;
    offset += read;
  }
}

std::string ReadFrom(const OpenFd& fd) {
  std::string content;
  ReadPieces(fd, [&](std::string_view piece) { content.append(piece); });
  return content;
}

void WriteBytesAt(const OpenFd& fd, std::string_view bytes, off_t offset) {
  while (!bytes.empty()) {
    fd.Tell(FileCall::Write);
    const ssize_t written = pwrite(fd.get(), bytes.data(), bytes.size(), offset);
    if (written < 0) {
      if (errno == EINTR) continue;
      ThrowErrno();
    }
    bytes.remove_prefix(static_cast<size_t>(written));
    offset += written;
  }
}

// Opened to write with O_DSYNC: each write returns once its bytes, and a length
// it extends, are on disk, as if fdatasync followed it.
class PosixLockedFile : public platform::LockedFile, private platform::InPlaceFile {
 public:
  PosixLockedFile(int fd, const std::string& path, const FileCallReport& report, bool writable)
      : fd_(fd, path, report), writable_(writable) {}
  const OpenFd& fd() const { return fd_; }
  std::string ReadAll() override { return ReadFrom(fd_); }
  void ReplaceContent(std::string_view bytes, std::string_view previous) override {
    if (!writable_) ThrowErrno(EACCES);
    platform::ReplaceInPlace(*this, previous, bytes);
  }

 private:
  void Reserve(uint64_t size) override {
    // Blocks only, the length stays: a process that dies now leaves no zero bytes behind.
    fd_.Tell(FileCall::Resize);
    if (fallocate(fd_.get(), FALLOC_FL_KEEP_SIZE, 0, static_cast<off_t>(size)) != 0 && errno != EOPNOTSUPP)
      ThrowErrno();
  }
  void WriteAt(uint64_t offset, std::string_view bytes) override {
    WriteBytesAt(fd_, bytes, static_cast<off_t>(offset));
  }
  void Truncate(uint64_t size) override {
    fd_.Tell(FileCall::Resize);
    if (ftruncate(fd_.get(), static_cast<off_t>(size)) != 0) ThrowErrno();
  }
  void Flush() override {
    fd_.Tell(FileCall::Flush);
    if (fsync(fd_.get()) != 0) ThrowErrno();
  }

  OpenFd fd_;
  bool writable_;
};

class PosixAppendingFile : public platform::AppendingFile {
 public:
  PosixAppendingFile(int fd, const std::string& path, const FileCallReport& report) : fd_(fd, path, report) {}
  const OpenFd& fd() const { return fd_; }
  void SetEnd(off_t end) { end_ = end; }
  // Under the lock no one else appends: the end stays where this file put it.
  void Append(std::string_view bytes) override {
    WriteBytesAt(fd_, bytes, end_);
    end_ += static_cast<off_t>(bytes.size());
  }

 private:
  OpenFd fd_;
  off_t end_ = 0;
};

}  // namespace

std::string NativePath(const std::string& path) {
  std::string native = path;
  for (char& c : native)
    if (c == '\\') c = '/';
  return native;
}

bool PosixFileSystem::FileExists(const std::string& path) {
  report_.Tell(FileCall::Query, path);
  struct stat info {};
  return stat(NativePath(path).c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

std::optional<std::string> PosixFileSystem::ReadFile(const std::string& path) {
  const Opened opened = OpenFile(report_, path, O_RDONLY, {ENOENT});
  if (opened.fd < 0) return std::nullopt;
  return ReadFrom(OpenFd(opened.fd, path, report_));
}

bool PosixFileSystem::ReadInPieces(const std::string& path, const std::function<void(std::string_view)>& take) {
  const Opened opened = OpenFile(report_, path, O_RDONLY, {ENOENT});
  if (opened.fd < 0) return false;
  ReadPieces(OpenFd(opened.fd, path, report_), take);
  return true;
}

std::unique_ptr<platform::LockedFile> PosixFileSystem::OpenLocked(const std::string& path, platform::LockMode mode,
                                                                  bool create, std::chrono::milliseconds wait) {
  bool exclusive = mode == platform::LockMode::Exclusive;
  const int flags = (exclusive ? O_RDWR | O_DSYNC : O_RDONLY) | (create ? O_CREAT : 0);
  std::vector<int> accepted;
  if (exclusive)
    accepted = {ENOENT, EACCES, EROFS};
  else if (!create)
    accepted = {ENOENT};
  Opened opened = OpenFile(report_, path, flags, accepted);
  if (opened.fd < 0 && exclusive && opened.error != ENOENT) {
    // Refused for writing: readable, it is read under the shared lock.
    const int refusal = opened.error;
    opened = OpenFile(report_, path, O_RDONLY, {ENOENT, EACCES});
    if (opened.fd < 0) ThrowErrno(refusal);
    exclusive = false;
  }
  if (opened.fd < 0) {
    if (!create) return nullptr;
    ThrowErrno(opened.error);
  }
  auto file = std::make_unique<PosixLockedFile>(opened.fd, path, report_, exclusive);
  TakeLock(file->fd(), exclusive, Clock::now() + wait);
  return file;
}

std::unique_ptr<platform::AppendingFile> PosixFileSystem::OpenAppending(const std::string& path,
                                                                       std::string_view header_if_created,
                                                                       bool create, std::chrono::milliseconds wait) {
  const Opened opened = create ? OpenFile(report_, path, O_RDWR | O_CREAT) : OpenFile(report_, path, O_RDWR, {ENOENT});
  if (opened.fd < 0) return nullptr;
  auto file = std::make_unique<PosixAppendingFile>(opened.fd, path, report_);
  // Another workstation holds the lock for a moment (an append, or a draw
  // from its start to its record).
  if (wait.count() > 0)
    TakeLock(file->fd(), true, Clock::now() + wait);
  else
    platform::RetryTransient([&] { TakeLock(file->fd(), true, Clock::now()); }, Pause);
  file->fd().Tell(FileCall::Query);
  struct stat info {};
  if (fstat(file->fd().get(), &info) != 0) ThrowErrno();
  file->SetEnd(info.st_size);
  // Whoever finds the file empty under the lock writes the header: its creator,
  // or the first appender to take the lock before it.
  if (info.st_size == 0 && !header_if_created.empty()) file->Append(header_if_created);
  return file;
}

void PosixFileSystem::CreateDirectories(const std::string& path) {
  const std::string native = NativePath(path);
  const auto make = [&](const std::string& folder) {
    report_.Tell(FileCall::Lookup, folder);
    if (mkdir(folder.c_str(), 0777) != 0 && errno != EEXIST) ThrowErrno();
  };
  for (size_t at = native.find('/', 1); at != std::string::npos; at = native.find('/', at + 1))
    make(native.substr(0, at));
  if (!native.empty() && native.back() != '/') make(native);
}

}  // namespace trelvo::posix
