#pragma once
// The real services of the machine the program runs on (Win32 or POSIX; the
// build links one of the two implementations).
#include <memory>

#include "platform/file_system.h"
#include "platform/kept_connections.h"
#include "platform/system_services.h"

namespace trelvo::platform {

struct SystemPlatform {
  std::unique_ptr<FileSystem> files;
  std::unique_ptr<SystemServices> system;
  // A range's server logged in to once per session, not once per draw.
  std::unique_ptr<KeptConnections> databases = std::make_unique<KeptConnections>();
};

// module: the library or program whose path ModulePath reports (nullptr: the program).
SystemPlatform MakeSystemPlatform(void* module = nullptr);

}  // namespace trelvo::platform
