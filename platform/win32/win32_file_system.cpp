#include "platform/win32/win32_file_system.h"

#include <thread>
#include <windows.h>

#include "platform/file_lock_range.h"
#include "platform/in_place_write.h"
#include "platform/win32/system_error.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/wide_text.h"

namespace trelvo::win32 {
namespace {

using platform::FileBusy;
using platform::FileError;
using Clock = std::chrono::steady_clock;

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

[[noreturn]] void ThrowLastError(DWORD code = GetLastError()) {
  throw FileError(static_cast<int>(code), SystemMessage(code));
}

bool IsMissing(DWORD code) { return code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND; }

void WriteAll(HANDLE file, std::string_view bytes) {
  while (!bytes.empty()) {
    DWORD written = 0;
    if (!WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr)) ThrowLastError();
    bytes.remove_prefix(written);
  }
}

std::string ReadToEnd(HANDLE file) {
  std::string content;
  char buffer[16384];
  for (;;) {
    DWORD read = 0;
    if (!::ReadFile(file, buffer, sizeof buffer, &read, nullptr)) ThrowLastError();
    if (read == 0) return content;
    content.append(buffer, read);
  }
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
  UniqueHandle file(CreateFileW(Widen(path).c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) {
    if (IsMissing(GetLastError())) return std::nullopt;
    ThrowLastError();
  }
  return ReadToEnd(file.get());
}

std::unique_ptr<platform::LockedFile> Win32FileSystem::OpenLocked(const std::string& path, platform::LockMode mode,
                                                                  bool create, std::chrono::milliseconds wait) {
  const bool exclusive = mode == platform::LockMode::Exclusive;
  const auto deadline = Clock::now() + wait;
  const std::wstring wide_path = Widen(path);

  UniqueHandle file;
  for (;;) {
    file =
        UniqueHandle(CreateFileW(wide_path.c_str(), exclusive ? GENERIC_READ | GENERIC_WRITE : GENERIC_READ, kShareAll,
                                 nullptr, create ? OPEN_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file) break;
    const DWORD code = GetLastError();
    if (!create && IsMissing(code)) return nullptr;
    // A program that opened the file without sharing (an editor, an old backup tool) holds it for a moment.
    if (code != ERROR_SHARING_VIOLATION) ThrowLastError();
    if (Clock::now() >= deadline) throw FileBusy(SystemMessage(code));
    std::this_thread::sleep_for(platform::kLockRetryPause);
  }

  const DWORD flags = LOCKFILE_FAIL_IMMEDIATELY | (exclusive ? LOCKFILE_EXCLUSIVE_LOCK : 0);
  for (;;) {
    OVERLAPPED range = LockRange();
    if (LockFileEx(file.get(), flags, 0, platform::kLockRangeLength, 0, &range)) break;
    const DWORD code = GetLastError();
    if (code != ERROR_LOCK_VIOLATION && code != ERROR_IO_PENDING) ThrowLastError();
    if (Clock::now() >= deadline) throw FileBusy(SystemMessage(code));
    std::this_thread::sleep_for(platform::kLockRetryPause);
  }
  return std::make_unique<Win32LockedFile>(std::move(file));
}

void Win32FileSystem::AppendShared(const std::string& path, std::string_view header_if_created,
                                   std::string_view bytes) {
  const std::wstring wide_path = Widen(path);
  // Created only if it is still absent: a log that another workstation has just created is appended to.
  UniqueHandle file(CreateFileW(wide_path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  std::string content(bytes);
  if (file) {
    content.insert(0, header_if_created);
  } else {
    if (GetLastError() != ERROR_FILE_EXISTS) ThrowLastError();
    file = UniqueHandle(CreateFileW(wide_path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
      const DWORD code = GetLastError();
      if (code == ERROR_SHARING_VIOLATION) throw FileBusy(SystemMessage(code));
      ThrowLastError();
    }
    if (SetFilePointer(file.get(), 0, nullptr, FILE_END) == INVALID_SET_FILE_POINTER) ThrowLastError();
  }
  WriteAll(file.get(), content);
}

void Win32FileSystem::CreateDirectories(const std::string& path) {
  const std::wstring wide = Widen(path);
  for (size_t at = wide.find_first_of(L"\\/", 1); at != std::wstring::npos; at = wide.find_first_of(L"\\/", at + 1)) {
    const std::wstring level = wide.substr(0, at);
    if (level.empty() || level.back() == L':') continue;
    if (!CreateDirectoryW(level.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) ThrowLastError();
  }
  if (!wide.empty() && wide.back() != L'\\' && wide.back() != L'/' && !CreateDirectoryW(wide.c_str(), nullptr) &&
      GetLastError() != ERROR_ALREADY_EXISTS)
    ThrowLastError();
}

}  // namespace trelvo::win32
