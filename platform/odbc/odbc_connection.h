#pragma once
// Connections through a driver manager given as a table of its functions.
// OdbcConnector() (platform/sql_connection.h) is the machine's, loaded at its
// first Connect; a test may hand in a driver manager of its own.
#include <memory>

#include "platform/odbc/odbc_functions.h"
#include "platform/sql_connection.h"

namespace trelvo::platform {

// The table outlives the connector and every connection it opens.
std::unique_ptr<DatabaseConnector> OdbcConnectorWith(const OdbcFunctions& odbc);

}  // namespace trelvo::platform
