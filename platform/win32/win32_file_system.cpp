#include "platform/win32/win32_file_system.h"

#include <thread>
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
using platform::FileError;
using Clock = std::chrono::steady_clock;

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

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

// CreateFileW under the transient-failure policy; an invalid handle only for
// the codes that the caller accepts (a missing file, an existing one).
UniqueHandle OpenFile(const std::wstring& path, DWORD access, DWORD share, DWORD disposition,
                      std::initializer_list<DWORD> accepted = {}) {
  return platform::RetryTransient(
      [&] {
        UniqueHandle file(
            CreateFileW(path.c_str(), access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) {
          const DWORD code = GetLastError();
          for (DWORD allowed : accepted)
            if (code == allowed) return file;
          ThrowLastError(code);
        }
        return file;
      },
      Pause);
}

void WriteAll(HANDLE file, std::string_view bytes) {
  while (!bytes.empty()) {
    DWORD written = 0;
    if (!WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr)) ThrowLastError();
    bytes.remove_prefix(written);
  }
}

void ReadPieces(HANDLE file, const std::function<void(std::string_view)>& take) {
  char buffer[65536];
  for (;;) {
    DWORD read = 0;
    if (!::ReadFile(file, buffer, sizeof buffer, &read, nullptr)) ThrowLastError();
    if (read == 0) return;
    take(std::string_view(buffer, read));
  }
}

std::string ReadToEnd(HANDLE file) {
  std::string content;
  ReadPieces(file, [&](std::string_view piece) { content.append(piece); });
  return content;
}

OVERLAPPED LockRange() {
  OVERLAPPED range{};
  range.Offset = static_cast<DWORD>(platform::kLockRangeOffset & 0xFFFFFFFFu);
  range.OffsetHigh = static_cast<DWORD>(platform::kLockRangeOffset >> 32);
  return range;
}

class Win32LockedFile : public platform::LockedFile, private platform::InPlaceFile {
 public:
  explicit Win32LockedFile(UniqueHandle file) : file_(std::move(file)) {}
  ~Win32LockedFile() override {
    OVERLAPPED range = LockRange();
    UnlockFileEx(file_.get(), 0, platform::kLockRangeLength, 0, &range);
  }

  std::string ReadAll() override {
    MoveTo(0);
    return ReadToEnd(file_.get());
  }

  void ReplaceContent(std::string_view bytes, std::string_view previous) override {
    platform::ReplaceInPlace(*this, previous, bytes);
  }

 private:
  void Reserve(uint64_t size) override {
    // The allocation, not the end of file: a process that dies now leaves no zero bytes behind.
    FILE_ALLOCATION_INFO allocation{};
    allocation.AllocationSize.QuadPart = static_cast<LONGLONG>(size);
    if (SetFileInformationByHandle(file_.get(), FileAllocationInfo, &allocation, sizeof allocation)) return;
    const DWORD code = GetLastError();
    if (code == ERROR_DISK_FULL || code == ERROR_HANDLE_DISK_FULL) ThrowLastError(code);
  }
  void WriteAt(uint64_t offset, std::string_view bytes) override {
    MoveTo(offset);
    WriteAll(file_.get(), bytes);
  }
  void Truncate(uint64_t size) override {
    MoveTo(size);
    if (!SetEndOfFile(file_.get())) ThrowLastError();
  }
  void Flush() override {
    if (!FlushFileBuffers(file_.get())) ThrowLastError();
  }

  void MoveTo(uint64_t offset) {
    LARGE_INTEGER position{};
    position.QuadPart = static_cast<LONGLONG>(offset);
    if (!SetFilePointerEx(file_.get(), position, nullptr, FILE_BEGIN)) ThrowLastError();
  }
  UniqueHandle file_;
};

}  // namespace

bool Win32FileSystem::FileExists(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(Widen(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::optional<std::string> Win32FileSystem::ReadFile(const std::string& path) {
  UniqueHandle file =
      OpenFile(Widen(path), GENERIC_READ, kShareAll, OPEN_EXISTING, {ERROR_FILE_NOT_FOUND, ERROR_PATH_NOT_FOUND});
  if (!file) return std::nullopt;
  return ReadToEnd(file.get());
}

bool Win32FileSystem::ReadInPieces(const std::string& path, const std::function<void(std::string_view)>& take) {
  UniqueHandle file =
      OpenFile(Widen(path), GENERIC_READ, kShareAll, OPEN_EXISTING, {ERROR_FILE_NOT_FOUND, ERROR_PATH_NOT_FOUND});
  if (!file) return false;
  ReadPieces(file.get(), take);
  return true;
}

std::unique_ptr<platform::LockedFile> Win32FileSystem::OpenLocked(const std::string& path, platform::LockMode mode,
                                                                  bool create, std::chrono::milliseconds wait) {
  const bool exclusive = mode == platform::LockMode::Exclusive;
  const std::initializer_list<DWORD> missing = {ERROR_FILE_NOT_FOUND, ERROR_PATH_NOT_FOUND};
  UniqueHandle file = OpenFile(Widen(path), exclusive ? GENERIC_READ | GENERIC_WRITE : GENERIC_READ, kShareAll,
                               create ? OPEN_ALWAYS : OPEN_EXISTING, create ? std::initializer_list<DWORD>{} : missing);
  if (!file) return nullptr;

  // The lock is the counter file's protocol, not a transient failure: it is
  // waited for up to the caller's limit.
  const auto deadline = Clock::now() + wait;
  const DWORD flags = LOCKFILE_FAIL_IMMEDIATELY | (exclusive ? LOCKFILE_EXCLUSIVE_LOCK : 0);
  for (;;) {
    OVERLAPPED range = LockRange();
    if (LockFileEx(file.get(), flags, 0, platform::kLockRangeLength, 0, &range)) break;
    const DWORD code = GetLastError();
    if (code != ERROR_LOCK_VIOLATION && code != ERROR_IO_PENDING) ThrowLastError(code);
    if (Clock::now() >= deadline) throw FileBusy(static_cast<int>(code), SystemMessage(code));
    std::this_thread::sleep_for(platform::kLockRetryPause);
  }
  return std::make_unique<Win32LockedFile>(std::move(file));
}

void Win32FileSystem::AppendShared(const std::string& path, std::string_view header_if_created,
                                   std::string_view bytes) {
  const std::wstring wide_path = Widen(path);
  constexpr DWORD kReadWrite = GENERIC_READ | GENERIC_WRITE;
  // Created only if it is still absent: a log that another workstation has just
  // created is appended to. Meanwhile others may only read it.
  UniqueHandle file = OpenFile(wide_path, kReadWrite, FILE_SHARE_READ, CREATE_NEW, {ERROR_FILE_EXISTS});
  std::string content(bytes);
  if (file) {
    content.insert(0, header_if_created);
  } else {
    file = OpenFile(wide_path, kReadWrite, FILE_SHARE_READ, OPEN_EXISTING);
    if (SetFilePointer(file.get(), 0, nullptr, FILE_END) == INVALID_SET_FILE_POINTER) ThrowLastError();
  }
  WriteAll(file.get(), content);
}

void Win32FileSystem::CreateDirectories(const std::string& path) {
  for (const std::string& level : platform::FolderLevels(path))
    if (!CreateDirectoryW(Widen(level).c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) ThrowLastError();
}

}  // namespace trelvo::win32
