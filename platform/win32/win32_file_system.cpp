#include "platform/win32/win32_file_system.h"

#include <thread>
#include <vector>
#include <windows.h>

#include "platform/file_lock_range.h"
#include "platform/folder_levels.h"
#include "platform/in_place_write.h"
#include "platform/transient_retry.h"
#include "platform/win32/system_error.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/wide_text.h"

namespace trelvo::win32 {
namespace {

using platform::FileBusy;
using platform::FileCall;
using platform::FileCallReport;
using platform::FileError;
using Clock = std::chrono::steady_clock;

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
const std::vector<DWORD> kMissing = {ERROR_FILE_NOT_FOUND, ERROR_PATH_NOT_FOUND};
// An offset of all ones writes at the end of file, whatever its length then
// (WriteFile; ZwWriteFile's FILE_WRITE_TO_END_OF_FILE).
constexpr uint64_t kEndOfFile = ~uint64_t{0};

// Failures that go away when the access is tried again a moment later: another
// program holds the file without sharing it, a virus scanner opens a file just
// written (access denied), or the network share is lost for a moment.
[[noreturn]] void ThrowLastError(DWORD code = GetLastError()) {
  switch (code) {
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION: throw FileBusy(static_cast<int>(code), SystemMessage(code));
    case ERROR_ACCESS_DENIED:
    case ERROR_NETNAME_DELETED:
    case ERROR_DEV_NOT_EXIST:
    case ERROR_SEM_TIMEOUT:
    case ERROR_NETWORK_UNREACHABLE:
    case ERROR_UNEXP_NET_ERR: throw FileError(static_cast<int>(code), SystemMessage(code), true);
    default: throw FileError(static_cast<int>(code), SystemMessage(code));
  }
}

void Pause(std::chrono::milliseconds duration) { std::this_thread::sleep_for(duration); }

OVERLAPPED At(uint64_t offset) {
  OVERLAPPED at{};
  at.Offset = static_cast<DWORD>(offset & 0xFFFFFFFFu);
  at.OffsetHigh = static_cast<DWORD>(offset >> 32);
  return at;
}

// A handle that tells its calls under the caller's name of the file, and
// closes itself.
class ToldHandle {
 public:
  ToldHandle(UniqueHandle handle, std::string path, const FileCallReport& report)
      : handle_(std::move(handle)), path_(std::move(path)), report_(report) {}
  ToldHandle(const ToldHandle&) = delete;
  ToldHandle& operator=(const ToldHandle&) = delete;
  ~ToldHandle() {
    if (handle_) Tell(FileCall::Close);
  }
  HANDLE get() const { return handle_.get(); }
  void Tell(FileCall call) const { report_.Tell(call, path_); }

 private:
  UniqueHandle handle_;
  std::string path_;
  const FileCallReport& report_;
};

// A CreateFileW that failed with one of the codes the caller accepts has no file.
struct Opened {
  UniqueHandle file;
  DWORD error = 0;
};

// CreateFileW under the transient-failure policy; each attempt is told.
Opened OpenFile(const FileCallReport& report, const std::string& path, DWORD access, DWORD share, DWORD disposition,
                DWORD flags, const std::vector<DWORD>& accepted = {}) {
  const std::wstring wide = Widen(path);
  return platform::RetryTransient(
      [&] {
        report.Tell(FileCall::Open, path);
        Opened opened;
        opened.file = UniqueHandle(CreateFileW(wide.c_str(), access, share, nullptr, disposition, flags, nullptr));
        const DWORD code = GetLastError();
        if (opened.file) return opened;
        for (DWORD allowed : accepted)
          if (code == allowed) {
            opened.error = code;
            return opened;
          }
        ThrowLastError(code);
      },
      Pause);
}

// Writes bytes at offset (kEndOfFile: at the end of file), each write told.
void WriteAll(const ToldHandle& file, std::string_view bytes, uint64_t offset) {
  while (!bytes.empty()) {
    OVERLAPPED at = At(offset);
    DWORD written = 0;
    file.Tell(FileCall::Write);
    if (!WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, &at)) ThrowLastError();
    bytes.remove_prefix(written);
    if (offset != kEndOfFile) offset += written;
  }
}

// The content from the start, piece by piece. A synchronous read returns fewer
// bytes than asked for only at the end of file, so a short read ends it
// without another; a read that begins at the end fails with ERROR_HANDLE_EOF.
void ReadPieces(const ToldHandle& file, const std::function<void(std::string_view)>& take) {
  char buffer[65536];
  for (uint64_t offset = 0;;) {
    OVERLAPPED at = At(offset);
    DWORD read = 0;
    file.Tell(FileCall::Read);
    if (!::ReadFile(file.get(), buffer, sizeof buffer, &read, &at)) {
      const DWORD code = GetLastError();
      if (code != ERROR_HANDLE_EOF) ThrowLastError(code);
      read = 0;
    }
    if (read > 0) take(std::string_view(buffer, read));
    if (read < sizeof buffer) return;
    offset += read;
  }
}

std::string ReadToEnd(const ToldHandle& file) {
  std::string content;
  ReadPieces(file, [&](std::string_view piece) { content.append(piece); });
  return content;
}

OVERLAPPED LockRange() { return At(platform::kLockRangeOffset); }

// Opened to write with FILE_FLAG_WRITE_THROUGH: a write returns once its bytes
// are on disk, with the metadata changes it causes (a length it extends).
class Win32LockedFile : public platform::LockedFile, private platform::InPlaceFile {
 public:
  Win32LockedFile(UniqueHandle file, const std::string& path, const FileCallReport& report, bool writable)
      : file_(std::move(file), path, report), writable_(writable) {}
  ~Win32LockedFile() override {
    // Closing would let the lock go too, but only "depending on available
    // system resources" (LockFileEx): let go at once, another workstation waits.
    if (!locked_) return;
    file_.Tell(FileCall::Unlock);
    OVERLAPPED range = LockRange();
    UnlockFileEx(file_.get(), 0, platform::kLockRangeLength, 0, &range);
  }

  // The lock is the counter file's protocol, not a transient failure: it is
  // waited for up to the caller's limit.
  void Lock(std::chrono::milliseconds wait) {
    const auto deadline = Clock::now() + wait;
    const DWORD flags = LOCKFILE_FAIL_IMMEDIATELY | (writable_ ? LOCKFILE_EXCLUSIVE_LOCK : 0);
    for (;;) {
      OVERLAPPED range = LockRange();
      file_.Tell(FileCall::Lock);
      if (LockFileEx(file_.get(), flags, 0, platform::kLockRangeLength, 0, &range)) break;
      const DWORD code = GetLastError();
      if (code != ERROR_LOCK_VIOLATION && code != ERROR_IO_PENDING) ThrowLastError(code);
      if (Clock::now() >= deadline) throw FileBusy(static_cast<int>(code), SystemMessage(code));
      std::this_thread::sleep_for(platform::kLockRetryPause);
    }
    locked_ = true;
  }

  std::string ReadAll() override { return ReadToEnd(file_); }

  void ReplaceContent(std::string_view bytes, std::string_view previous) override {
    if (!writable_) ThrowLastError(ERROR_ACCESS_DENIED);
    platform::ReplaceInPlace(*this, previous, bytes);
  }

 private:
  void Reserve(uint64_t size) override {
    // The allocation, not the end of file: a process that dies now leaves no zero bytes behind.
    FILE_ALLOCATION_INFO allocation{};
    allocation.AllocationSize.QuadPart = static_cast<LONGLONG>(size);
    file_.Tell(FileCall::Resize);
    if (SetFileInformationByHandle(file_.get(), FileAllocationInfo, &allocation, sizeof allocation)) return;
    const DWORD code = GetLastError();
    if (code == ERROR_DISK_FULL || code == ERROR_HANDLE_DISK_FULL) ThrowLastError(code);
  }
  void WriteAt(uint64_t offset, std::string_view bytes) override { WriteAll(file_, bytes, offset); }
  void Truncate(uint64_t size) override {
    // The file pointer is the handle's own: moving it asks the file server nothing.
    LARGE_INTEGER position{};
    position.QuadPart = static_cast<LONGLONG>(size);
    if (!SetFilePointerEx(file_.get(), position, nullptr, FILE_BEGIN)) ThrowLastError();
    file_.Tell(FileCall::Resize);
    if (!SetEndOfFile(file_.get())) ThrowLastError();
  }
  void Flush() override {
    file_.Tell(FileCall::Flush);
    if (!FlushFileBuffers(file_.get())) ThrowLastError();
  }

  ToldHandle file_;
  bool writable_;
  bool locked_ = false;
};

class Win32AppendingFile : public platform::AppendingFile {
 public:
  Win32AppendingFile(UniqueHandle file, const std::string& path, const FileCallReport& report)
      : file_(std::move(file), path, report) {}
  void Append(std::string_view bytes) override { WriteAll(file_, bytes, kEndOfFile); }

 private:
  ToldHandle file_;
};

}  // namespace

bool Win32FileSystem::FileExists(const std::string& path) {
  report_.Tell(FileCall::Query, path);
  const DWORD attributes = GetFileAttributesW(Widen(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::optional<std::string> Win32FileSystem::ReadFile(const std::string& path) {
  Opened opened = OpenFile(report_, path, GENERIC_READ, kShareAll, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, kMissing);
  if (!opened.file) return std::nullopt;
  return ReadToEnd(ToldHandle(std::move(opened.file), path, report_));
}

bool Win32FileSystem::ReadInPieces(const std::string& path, const std::function<void(std::string_view)>& take) {
  Opened opened = OpenFile(report_, path, GENERIC_READ, kShareAll, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, kMissing);
  if (!opened.file) return false;
  ReadPieces(ToldHandle(std::move(opened.file), path, report_), take);
  return true;
}

std::unique_ptr<platform::LockedFile> Win32FileSystem::OpenLocked(const std::string& path, platform::LockMode mode,
                                                                  bool create, std::chrono::milliseconds wait) {
  bool exclusive = mode == platform::LockMode::Exclusive;
  const DWORD access = exclusive ? GENERIC_READ | GENERIC_WRITE : GENERIC_READ;
  const DWORD disposition = create ? OPEN_ALWAYS : OPEN_EXISTING;
  const DWORD flags = FILE_ATTRIBUTE_NORMAL | (exclusive ? FILE_FLAG_WRITE_THROUGH : 0);
  std::vector<DWORD> accepted;
  if (exclusive)
    accepted = {ERROR_FILE_NOT_FOUND, ERROR_PATH_NOT_FOUND, ERROR_ACCESS_DENIED};
  else if (!create)
    accepted = kMissing;
  Opened opened = OpenFile(report_, path, access, kShareAll, disposition, flags, accepted);
  if (!opened.file && opened.error == ERROR_ACCESS_DENIED) {
    // A read-only file refuses writing for good, yet opens for reading: it is
    // read under the shared lock. Otherwise the refusal may pass (a virus
    // scanner): the policy tries the open again.
    Opened reading = OpenFile(report_, path, GENERIC_READ, kShareAll, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                              {ERROR_FILE_NOT_FOUND, ERROR_PATH_NOT_FOUND, ERROR_ACCESS_DENIED});
    if (reading.file) {
      opened = std::move(reading);
      exclusive = false;
    } else {
      opened = OpenFile(report_, path, access, kShareAll, disposition, flags,
                        create ? std::vector<DWORD>{} : kMissing);
    }
  }
  if (!opened.file) {
    if (!create) return nullptr;
    ThrowLastError(opened.error);
  }
  auto file = std::make_unique<Win32LockedFile>(std::move(opened.file), path, report_, exclusive);
  file->Lock(wait);
  return file;
}

std::unique_ptr<platform::AppendingFile> Win32FileSystem::OpenAppending(const std::string& path,
                                                                       std::string_view header_if_created,
                                                                       bool create, std::chrono::milliseconds wait) {
  // Meanwhile others may only read it; the open that creates it holds it from
  // the start, so no one sees the file before its header. Another
  // workstation's hold (a sharing violation) is waited for as a lock is.
  const auto deadline = Clock::now() + wait;
  const auto open = [&](DWORD disposition, std::vector<DWORD> accepted) {
    if (wait.count() > 0) accepted.push_back(ERROR_SHARING_VIOLATION);
    for (;;) {
      Opened opened = OpenFile(report_, path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, disposition,
                               FILE_ATTRIBUTE_NORMAL, accepted);
      if (opened.file || opened.error != ERROR_SHARING_VIOLATION) return opened;
      if (Clock::now() >= deadline) ThrowLastError(opened.error);
      std::this_thread::sleep_for(platform::kLockRetryPause);
    }
  };
  // A log that is there opens in one call. A missing one is created by
  // CREATE_NEW, which fails for a file another process has just created:
  // whether OPEN_ALWAYS created the file is not told dependably when two
  // processes meet (Wine answers from its look-up before the creation).
  Opened opened = open(OPEN_EXISTING, kMissing);
  bool created = false;
  if (!opened.file && create) {
    opened = open(CREATE_NEW, {ERROR_FILE_EXISTS});
    created = static_cast<bool>(opened.file);
    if (!created) opened = open(OPEN_EXISTING, {});
  }
  if (!opened.file) return nullptr;
  auto file = std::make_unique<Win32AppendingFile>(std::move(opened.file), path, report_);
  if (created && !header_if_created.empty()) file->Append(header_if_created);
  return file;
}

void Win32FileSystem::CreateDirectories(const std::string& path) {
  for (const std::string& level : platform::FolderLevels(path)) {
    report_.Tell(FileCall::Lookup, level);
    if (!CreateDirectoryW(Widen(level).c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) ThrowLastError();
  }
}

}  // namespace trelvo::win32
