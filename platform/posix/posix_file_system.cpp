#include "platform/posix/posix_file_system.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

#include "platform/file_lock_range.h"
#include "platform/in_place_write.h"
#include "platform/transient_retry.h"

namespace trelvo::posix {
namespace {

using platform::FileBusy;
using platform::FileError;
using Clock = std::chrono::steady_clock;

// Failures that go away when the access is tried again a moment later.
[[noreturn]] void ThrowErrno() {
  const int code = errno;
  throw FileError(code, std::strerror(code), code == EBUSY || code == ETXTBSY || code == ESTALE || code == EAGAIN);
}

void Pause(std::chrono::milliseconds duration) { std::this_thread::sleep_for(duration); }

// open() under the transient-failure policy; -1 only for a code in accepted.
int OpenFile(const std::string& path, int flags, std::initializer_list<int> accepted = {}) {
  return platform::RetryTransient(
      [&] {
        const int fd = open(path.c_str(), flags | O_CLOEXEC, 0666);
        if (fd < 0) {
          for (int allowed : accepted)
            if (errno == allowed) return -1;
          ThrowErrno();
        }
        return fd;
      },
      Pause);
}

class UniqueFd {
 public:
  explicit UniqueFd(int fd) : fd_(fd) {}
  UniqueFd(const UniqueFd&) = delete;
  UniqueFd& operator=(const UniqueFd&) = delete;
  ~UniqueFd() {
    if (fd_ >= 0) close(fd_);
  }
  int get() const { return fd_; }

 private:
  int fd_;
};

// Takes the far-range lock, waiting at most until deadline.
void TakeLock(int fd, bool exclusive, Clock::time_point deadline) {
  struct flock range {};
  range.l_type = exclusive ? F_WRLCK : F_RDLCK;
  range.l_whence = SEEK_SET;
  range.l_start = static_cast<off_t>(platform::kLockRangeOffset);
  range.l_len = static_cast<off_t>(platform::kLockRangeLength);
  while (fcntl(fd, F_OFD_SETLK, &range) != 0) {
    if (errno != EAGAIN && errno != EACCES && errno != EINTR) ThrowErrno();
    if (Clock::now() >= deadline) throw FileBusy(EAGAIN, "Die Datei ist durch einen anderen Prozess gesperrt.");
    std::this_thread::sleep_for(platform::kLockRetryPause);
  }
}

void ReleaseLock(int fd) {
  struct flock range {};
  range.l_type = F_UNLCK;
  range.l_whence = SEEK_SET;
  range.l_start = static_cast<off_t>(platform::kLockRangeOffset);
  range.l_len = static_cast<off_t>(platform::kLockRangeLength);
  if (fcntl(fd, F_OFD_SETLK, &range) != 0) ThrowErrno();
}

void ReadPieces(int fd, const std::function<void(std::string_view)>& take) {
  char buffer[65536];
  for (off_t offset = 0;;) {
    const ssize_t read = pread(fd, buffer, sizeof buffer, offset);
    if (read < 0) {
      if (errno == EINTR) continue;
      ThrowErrno();
    }
    if (read == 0) return;
    take(std::string_view(buffer, static_cast<size_t>(read)));
    offset += read;
  }
}

std::string ReadFrom(int fd) {
  std::string content;
  ReadPieces(fd, [&](std::string_view piece) { content.append(piece); });
  return content;
}

void WriteBytesAt(int fd, std::string_view bytes, off_t offset) {
  while (!bytes.empty()) {
    const ssize_t written = pwrite(fd, bytes.data(), bytes.size(), offset);
    if (written < 0) {
      if (errno == EINTR) continue;
      ThrowErrno();
    }
    bytes.remove_prefix(static_cast<size_t>(written));
    offset += written;
  }
}

class PosixLockedFile : public platform::LockedFile, private platform::InPlaceFile {
 public:
  explicit PosixLockedFile(int fd) : fd_(fd) {}
  std::string ReadAll() override { return ReadFrom(fd_.get()); }
  void ReplaceContent(std::string_view bytes, std::string_view previous) override {
    platform::ReplaceInPlace(*this, previous, bytes);
  }

 private:
  void Reserve(uint64_t size) override {
    // Blocks only, the length stays: a process that dies now leaves no zero bytes behind.
    if (fallocate(fd_.get(), FALLOC_FL_KEEP_SIZE, 0, static_cast<off_t>(size)) != 0 && errno != EOPNOTSUPP)
      ThrowErrno();
  }
  void WriteAt(uint64_t offset, std::string_view bytes) override {
    WriteBytesAt(fd_.get(), bytes, static_cast<off_t>(offset));
  }
  void Truncate(uint64_t size) override {
    if (ftruncate(fd_.get(), static_cast<off_t>(size)) != 0) ThrowErrno();
  }
  void Flush() override {
    if (fsync(fd_.get()) != 0) ThrowErrno();
  }

  UniqueFd fd_;  // closing the descriptor drops its lock
};

}  // namespace

std::string NativePath(const std::string& path) {
  std::string native = path;
  for (char& c : native)
    if (c == '\\') c = '/';
  return native;
}

bool PosixFileSystem::FileExists(const std::string& path) {
  struct stat info {};
  return stat(NativePath(path).c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

std::optional<std::string> PosixFileSystem::ReadFile(const std::string& path) {
  const UniqueFd fd(OpenFile(NativePath(path), O_RDONLY, {ENOENT}));
  if (fd.get() < 0) return std::nullopt;
  return ReadFrom(fd.get());
}

bool PosixFileSystem::ReadInPieces(const std::string& path, const std::function<void(std::string_view)>& take) {
  const UniqueFd fd(OpenFile(NativePath(path), O_RDONLY, {ENOENT}));
  if (fd.get() < 0) return false;
  ReadPieces(fd.get(), take);
  return true;
}

std::unique_ptr<platform::LockedFile> PosixFileSystem::OpenLocked(const std::string& path, platform::LockMode mode,
                                                                  bool create, std::chrono::milliseconds wait) {
  const bool exclusive = mode == platform::LockMode::Exclusive;
  const int flags = (exclusive ? O_RDWR : O_RDONLY) | (create ? O_CREAT : 0);
  const int fd =
      OpenFile(NativePath(path), flags, create ? std::initializer_list<int>{} : std::initializer_list<int>{ENOENT});
  if (fd < 0) return nullptr;
  auto file = std::make_unique<PosixLockedFile>(fd);
  TakeLock(fd, exclusive, Clock::now() + wait);
  return file;
}

void PosixFileSystem::AppendShared(const std::string& path, std::string_view header_if_created,
                                   std::string_view bytes) {
  // Created only if it is still absent: a log that another workstation has just
  // created (or an existing empty one) is appended to without a header.
  const std::string native = NativePath(path);
  int raw = OpenFile(native, O_RDWR | O_CREAT | O_EXCL, {EEXIST});
  const bool created = raw >= 0;
  if (!created) raw = OpenFile(native, O_RDWR);
  const UniqueFd fd(raw);
  // Another workstation's append holds the lock for a moment: the policy waits
  // for it. A file that another process has only just created is empty until
  // its creator takes the lock and writes the header: that is waited for a
  // moment rather than written ahead of (a file that stays empty is appended
  // to without one).
  constexpr int kWaitsForHeader = 500;
  struct stat info {};
  for (int waited = 0;; ++waited) {
    platform::RetryTransient([&] { TakeLock(fd.get(), true, Clock::now()); }, Pause);
    if (fstat(fd.get(), &info) != 0) ThrowErrno();
    if (created || info.st_size > 0 || waited == kWaitsForHeader) break;
    ReleaseLock(fd.get());
    Pause(std::chrono::milliseconds(1));
  }
  std::string content(bytes);
  if (created) content.insert(0, header_if_created);
  WriteBytesAt(fd.get(), content, info.st_size);
}

void PosixFileSystem::CreateDirectories(const std::string& path) {
  const std::string native = NativePath(path);
  for (size_t at = native.find('/', 1); at != std::string::npos; at = native.find('/', at + 1))
    if (mkdir(native.substr(0, at).c_str(), 0777) != 0 && errno != EEXIST) ThrowErrno();
  if (!native.empty() && native.back() != '/' && mkdir(native.c_str(), 0777) != 0 && errno != EEXIST) ThrowErrno();
}

}  // namespace trelvo::posix
