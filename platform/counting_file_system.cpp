#include "platform/counting_file_system.h"

namespace trelvo::platform {
namespace {

class CountingLockedFile : public LockedFile {
 public:
  CountingLockedFile(std::unique_ptr<LockedFile> inner, FileAccessCounts& counts)
      : inner_(std::move(inner)), counts_(counts) {}
  std::string ReadAll() override {
    ++counts_.reads;
    return inner_->ReadAll();
  }
  void ReplaceContent(std::string_view bytes, std::string_view previous) override {
    ++counts_.writes;
    ++counts_.flushes;
    inner_->ReplaceContent(bytes, previous);
  }

 private:
  std::unique_ptr<LockedFile> inner_;
  FileAccessCounts& counts_;
};

}  // namespace

std::optional<std::string> CountingFileSystem::ReadFile(const std::string& path) {
  ++counts_.opens;
  ++counts_.reads;
  return inner().ReadFile(path);
}

std::unique_ptr<LockedFile> CountingFileSystem::OpenLocked(const std::string& path, LockMode mode, bool create,
                                                           std::chrono::milliseconds wait) {
  ++counts_.opens;
  auto file = inner().OpenLocked(path, mode, create, wait);
  if (!file) return nullptr;
  return std::make_unique<CountingLockedFile>(std::move(file), counts_);
}

void CountingFileSystem::AppendShared(const std::string& path, std::string_view header_if_created,
                                      std::string_view bytes) {
  ++counts_.appends;
  inner().AppendShared(path, header_if_created, bytes);
}

}  // namespace trelvo::platform
