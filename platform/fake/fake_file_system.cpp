#include "platform/fake/fake_file_system.h"

#include "platform/file_lock_range.h"
#include "platform/in_place_write.h"
#include "platform/transient_retry.h"

namespace trelvo::platform {
namespace {

std::string FolderOf(const std::string& path) {
  const size_t separator = path.find_last_of('\\');
  return separator == std::string::npos ? std::string() : path.substr(0, separator + 1);
}

std::string WithSeparator(std::string folder) {
  if (folder.empty() || folder.back() != '\\') folder += '\\';
  return folder;
}

// The Windows file system reads in pieces of this size; a shorter one is the end.
constexpr size_t kReadPiece = 65536;

const FileError kAccessDenied(5, "Zugriff verweigert");

}  // namespace

// Closed as the Windows file system closes a locked file: the lock let go, then the handle.
class FakeFileSystem::OpenFile : public LockedFile, private InPlaceFile {
 public:
  OpenFile(FakeFileSystem& owner, std::string path, bool writable)
      : owner_(owner), path_(std::move(path)), writable_(writable) {
    ++owner_.open_now_;
  }
  ~OpenFile() override {
    Tell(FileCall::Unlock);
    Tell(FileCall::Close);
    --owner_.open_now_;
  }
  std::string ReadAll() override {
    const std::string& content = owner_.files_[path_];
    owner_.TellReads(path_, content.size());
    return content;
  }
  void ReplaceContent(std::string_view bytes, std::string_view previous) override {
    ReplaceInPlace(*this, previous, bytes);
    ++owner_.counts_[path_].writes;
  }

 private:
  void Tell(FileCall call) const { owner_.report_.Tell(call, path_); }
  void Reserve(uint64_t size) override {
    Tell(FileCall::Resize);
    if (owner_.full_ && size > owner_.files_[path_].size())
      throw FileError(112, "Nicht genügend Speicherplatz auf dem Datenträger.");
  }
  void WriteAt(uint64_t offset, std::string_view bytes) override {
    Tell(FileCall::Write);
    if (!writable_) throw kAccessDenied;
    std::string& content = owner_.files_[path_];
    if (content.size() < offset + bytes.size()) content.resize(offset + bytes.size());
    content.replace(offset, bytes.size(), bytes);
  }
  void Truncate(uint64_t size) override {
    Tell(FileCall::Resize);
    owner_.files_[path_].resize(size);
  }
  void Flush() override { Tell(FileCall::Flush); }

  FakeFileSystem& owner_;
  std::string path_;
  bool writable_;
};

class FakeFileSystem::AppendFile : public AppendingFile {
 public:
  AppendFile(FakeFileSystem& owner, std::string path) : owner_(owner), path_(std::move(path)) { ++owner_.open_now_; }
  ~AppendFile() override {
    owner_.report_.Tell(FileCall::Close, path_);
    --owner_.open_now_;
  }
  void Append(std::string_view bytes) override {
    owner_.report_.Tell(FileCall::Write, path_);
    owner_.files_[path_] += bytes;
    ++owner_.counts_[path_].writes;
  }

 private:
  FakeFileSystem& owner_;
  std::string path_;
};

void FakeFileSystem::AddFolder(const std::string& folder) { folders_.insert(WithSeparator(folder)); }

void FakeFileSystem::SetFile(const std::string& path, const std::string& bytes) {
  AddFolder(FolderOf(path));
  files_[path] = bytes;
}

std::optional<std::string> FakeFileSystem::Content(const std::string& path) const {
  const auto found = files_.find(path);
  if (found == files_.end()) return std::nullopt;
  return found->second;
}

FakeFileSystem::Counts FakeFileSystem::CountsFor(const std::string& path) const {
  const auto found = counts_.find(path);
  return found == counts_.end() ? Counts{} : found->second;
}

bool FakeFileSystem::FolderExists(const std::string& path) const { return folders_.count(FolderOf(path)) > 0; }

void FakeFileSystem::Open(const std::string& path, std::chrono::milliseconds wait) {
  // As the real file systems do: a held file is tried again.
  const auto attempt = [&] {
    report_.Tell(FileCall::Open, path);
    auto held = held_.find(path);
    if (held == held_.end() || held->second == 0) return;
    --held->second;
    throw FileBusy(32,
                   "Der Prozess kann nicht auf die Datei zugreifen, da sie von einem anderen Prozess "
                   "verwendet wird.");
  };
  if (wait.count() > 0) {
    for (std::chrono::milliseconds waited{0};; waited += kLockRetryPause) {
      try {
        attempt();
        break;
      } catch (const FileBusy&) {
        if (waited >= wait) throw;
      }
      waited_ += kLockRetryPause;
    }
  } else {
    RetryTransient(attempt, [this](std::chrono::milliseconds pause) { waited_ += pause; });
  }
  ++counts_[path].opens;
}

void FakeFileSystem::TellReads(const std::string& path, size_t size) const {
  for (size_t read = 0; read <= size; read += kReadPiece) report_.Tell(FileCall::Read, path);
}

bool FakeFileSystem::FileExists(const std::string& path) {
  report_.Tell(FileCall::Query, path);
  return files_.count(path) > 0;
}

std::optional<std::string> FakeFileSystem::ReadFile(const std::string& path) {
  report_.Tell(FileCall::Open, path);
  const auto content = Content(path);
  if (!content) return std::nullopt;
  TellReads(path, content->size());
  report_.Tell(FileCall::Close, path);
  return content;
}

bool FakeFileSystem::ReadInPieces(const std::string& path, const std::function<void(std::string_view)>& take) {
  const auto content = ReadFile(path);
  if (!content) return false;
  for (size_t at = 0; at < content->size(); at += 7) take(std::string_view(*content).substr(at, 7));
  return true;
}

std::unique_ptr<LockedFile> FakeFileSystem::OpenLocked(const std::string& path, LockMode mode, bool create,
                                                       std::chrono::milliseconds wait) {
  Open(path, wait);
  if (!files_.count(path)) {
    if (!create) return nullptr;
    if (!FolderExists(path)) throw FileError(3, "Das System kann den angegebenen Pfad nicht finden.");
    files_[path] = "";
  }
  auto file = std::make_unique<OpenFile>(*this, path, mode == LockMode::Exclusive && !read_only_.count(path));
  report_.Tell(FileCall::Lock, path);
  return file;
}

std::unique_ptr<AppendingFile> FakeFileSystem::OpenAppending(const std::string& path,
                                                             std::string_view header_if_created, bool create,
                                                             std::chrono::milliseconds wait) {
  Open(path, wait);
  if (!create && !files_.count(path)) return nullptr;
  if (!FolderExists(path)) throw FileError(3, "Das System kann den angegebenen Pfad nicht finden.");
  if (read_only_.count(path)) throw kAccessDenied;
  const bool created = files_.try_emplace(path).second;
  auto file = std::make_unique<AppendFile>(*this, path);
  if (created && !header_if_created.empty()) {
    report_.Tell(FileCall::Write, path);
    files_[path] = std::string(header_if_created);
  }
  return file;
}

void FakeFileSystem::CreateDirectories(const std::string& path) {
  std::string folder = WithSeparator(path);
  for (size_t at = folder.find('\\'); at != std::string::npos; at = folder.find('\\', at + 1)) {
    report_.Tell(FileCall::Lookup, folder.substr(0, at + 1));
    folders_.insert(folder.substr(0, at + 1));
  }
}

}  // namespace trelvo::platform
