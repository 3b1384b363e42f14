#include "platform/wait_showing_file_system.h"

namespace trelvo::platform {
namespace {

// An open that may wait tries once without waiting first; should another
// workstation hold the file, the wait is shown while the open waits as it
// would have.
template <class Open>
auto OpenShowingWait(UserInterface& ui, const std::string& path, std::chrono::milliseconds wait, Open&& open) {
  if (wait.count() <= 0) return open(wait);
  try {
    return open(std::chrono::milliseconds(0));
  } catch (const FileBusy&) {
    // Held: tried again below, with the sign.
  }
  const WaitShown shown(ui, WaitingForFileText(path, wait));
  return open(wait);
}

std::string FileNameOf(const std::string& path) {
  const size_t separator = path.find_last_of("\\/");
  return separator == std::string::npos ? path : path.substr(separator + 1);
}

}  // namespace

std::unique_ptr<LockedFile> WaitShowingFileSystem::OpenLocked(const std::string& path, LockMode mode, bool create,
                                                              std::chrono::milliseconds wait) {
  return OpenShowingWait(ui_, path, wait, [&](std::chrono::milliseconds now) {
    return inner().OpenLocked(path, mode, create, now);
  });
}

std::unique_ptr<AppendingFile> WaitShowingFileSystem::OpenAppending(const std::string& path,
                                                                    std::string_view header_if_created, bool create,
                                                                    std::chrono::milliseconds wait) {
  return OpenShowingWait(ui_, path, wait, [&](std::chrono::milliseconds now) {
    return inner().OpenAppending(path, header_if_created, create, now);
  });
}

std::string WaitingForFileText(const std::string& path, std::chrono::milliseconds wait) {
  const auto seconds = std::chrono::ceil<std::chrono::seconds>(wait).count();
  return "Trelvo wartet auf " + Quoted(FileNameOf(path)) +
         ": eine andere Arbeitsstation benutzt die Datei gerade (höchstens " + std::to_string(seconds) +
         " Sekunden).";
}

}  // namespace trelvo::platform
