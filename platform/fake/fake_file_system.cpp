#include "platform/fake/fake_file_system.h"

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

}  // namespace

class FakeFileSystem::OpenFile : public LockedFile {
 public:
  OpenFile(FakeFileSystem& owner, std::string path) : owner_(owner), path_(std::move(path)) { ++owner_.open_now_; }
  ~OpenFile() override { --owner_.open_now_; }
  std::string ReadAll() override { return owner_.files_[path_]; }
  void ReplaceContent(std::string_view bytes, std::string_view previous) override {
    if (owner_.read_only_.count(path_)) throw FileError(5, "Zugriff verweigert");
    if (owner_.full_ && bytes.size() > previous.size())
      throw FileError(112, "Nicht genügend Speicherplatz auf dem Datenträger.");
    owner_.files_[path_] = std::string(bytes);
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

void FakeFileSystem::WaitWhileHeld(const std::string& path) {
  // As the real file systems do: a held file is tried again under the policy.
  RetryTransient(
      [&] {
        auto held = held_.find(path);
        if (held == held_.end() || held->second == 0) return;
        --held->second;
        throw FileBusy(32,
                       "Der Prozess kann nicht auf die Datei zugreifen, da sie von einem anderen Prozess "
                       "verwendet wird.");
      },
      [this](std::chrono::milliseconds pause) { waited_ += pause; });
}

bool FakeFileSystem::FileExists(const std::string& path) { return files_.count(path) > 0; }

std::optional<std::string> FakeFileSystem::ReadFile(const std::string& path) { return Content(path); }

std::unique_ptr<LockedFile> FakeFileSystem::OpenLocked(const std::string& path, LockMode mode, bool create,
                                                       std::chrono::milliseconds) {
  WaitWhileHeld(path);
  ++counts_[path].opens;
  if (!files_.count(path)) {
    if (!create) return nullptr;
    if (!FolderExists(path)) throw FileError(3, "Das System kann den angegebenen Pfad nicht finden.");
    files_[path] = "";
  } else if (mode == LockMode::Exclusive && read_only_.count(path)) {
    throw FileError(5, "Zugriff verweigert");
  }
  return std::make_unique<OpenFile>(*this, path);
}

void FakeFileSystem::AppendShared(const std::string& path, std::string_view header_if_created, std::string_view bytes) {
  WaitWhileHeld(path);
  if (!FolderExists(path)) throw FileError(3, "Das System kann den angegebenen Pfad nicht finden.");
  if (read_only_.count(path)) throw FileError(5, "Zugriff verweigert");
  auto [file, created] = files_.try_emplace(path, std::string(header_if_created));
  file->second += bytes;
}

void FakeFileSystem::CreateDirectories(const std::string& path) {
  std::string folder = WithSeparator(path);
  for (size_t at = folder.find('\\'); at != std::string::npos; at = folder.find('\\', at + 1))
    folders_.insert(folder.substr(0, at + 1));
}

}  // namespace trelvo::platform
