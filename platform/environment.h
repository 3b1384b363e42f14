#pragma once
// The services handed down to every engine operation; never kept in globals,
// so each test and each process sets up its own.
#include "platform/file_system.h"
#include "platform/system_services.h"
#include "platform/user_interface.h"

namespace trelvo::platform {

struct Environment {
  FileSystem& files;
  SystemServices& system;
  UserInterface& ui;
};

}  // namespace trelvo::platform
