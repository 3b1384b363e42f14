#pragma once
// The services handed down to every engine operation; never kept in globals,
// so each test and each process sets up its own.
#include "platform/file_system.h"
#include "platform/sql_connection.h"
#include "platform/system_services.h"
#include "platform/user_interface.h"

namespace trelvo::platform {

struct Environment {
  FileSystem& files;
  SystemServices& system;
  UserInterface& ui;
  // Number ranges on a server; a test may put its own connector in between.
  DatabaseConnector& databases = OdbcConnector();
};

}  // namespace trelvo::platform
