#pragma once
// The file system of a program with a user in front of it: an open that finds
// its file held by another workstation shows the sign of the wait (the user
// interface's) before it waits, and takes it away when the file is had or the
// wait gives up. Opens that are not held cost no more than before.
#include <chrono>
#include <string>

#include "platform/forwarding_file_system.h"
#include "platform/user_interface.h"

namespace trelvo::platform {

class WaitShowingFileSystem : public ForwardingFileSystem {
 public:
  WaitShowingFileSystem(FileSystem& inner, UserInterface& ui) : ForwardingFileSystem(inner), ui_(ui) {}

  std::unique_ptr<LockedFile> OpenLocked(const std::string& path, LockMode mode, bool create,
                                         std::chrono::milliseconds wait) override;
  std::unique_ptr<AppendingFile> OpenAppending(const std::string& path, std::string_view header_if_created,
                                               bool create, std::chrono::milliseconds wait) override;

 private:
  UserInterface& ui_;
};

// The sign's text: which file the program waits for, and for how long at most.
std::string WaitingForFileText(const std::string& path, std::chrono::milliseconds wait);

}  // namespace trelvo::platform
