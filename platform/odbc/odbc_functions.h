#pragma once
// The functions of an ODBC driver manager that the connections call, in one
// table, looked up when a connection is first needed.
//
// Nothing links the driver manager: Office loads Trelvo.dll in every office
// at its start, also where no range is kept on a server, and a library the
// add-in imports is loaded with it together with everything that library
// loads in turn (under Wine, unixODBC as well). So odbc32.dll is loaded only
// by the first connection of the process, and a test may hand a connection a
// table of its own (platform/odbc/odbc_connection.h).
//
// Natively the table is filled the same way, from unixODBC opened with
// dlopen, rather than with the addresses of linked functions: the loading
// and its failures then run under the native build's sanitizers and tests
// too, not only under Wine, and a native program that never reaches a server
// does not need unixODBC at all.
#include <string>

#ifdef _WIN32
#include <windows.h>
#endif
#include <sql.h>
#include <sqlext.h>

namespace trelvo::platform {

// Each member has the type (calling convention included) of the function of
// that name in the ODBC headers.
struct OdbcFunctions {
  decltype(&::SQLAllocHandle) SQLAllocHandle = nullptr;
  decltype(&::SQLBindParameter) SQLBindParameter = nullptr;
  decltype(&::SQLDisconnect) SQLDisconnect = nullptr;
  decltype(&::SQLDriverConnectW) SQLDriverConnectW = nullptr;
  decltype(&::SQLEndTran) SQLEndTran = nullptr;
  decltype(&::SQLExecDirectW) SQLExecDirectW = nullptr;
  decltype(&::SQLFetch) SQLFetch = nullptr;
  decltype(&::SQLFreeHandle) SQLFreeHandle = nullptr;
  decltype(&::SQLGetData) SQLGetData = nullptr;
  decltype(&::SQLGetDiagRecW) SQLGetDiagRecW = nullptr;
  decltype(&::SQLNumResultCols) SQLNumResultCols = nullptr;
  decltype(&::SQLSetConnectAttrW) SQLSetConnectAttrW = nullptr;
  decltype(&::SQLSetEnvAttr) SQLSetEnvAttr = nullptr;
};

// The machine's driver manager as the system's loader finds it: odbc32.dll on
// Windows, unixODBC's library found when the build was configured elsewhere.
extern const char kMachineDriverManager[];

// Loads library (a name the system's loader searches for, or a path) and
// looks every function of the table up in it. A library that cannot be loaded
// or lacks a function is a DatabaseError with a German message, and is let go
// again; a library that has them all stays loaded for the rest of the process.
OdbcFunctions LoadOdbcFunctions(const std::string& library);

// The machine's driver manager's table, loaded at the first call and then
// kept; a call after a failed one tries again.
const OdbcFunctions& MachineOdbcFunctions();

}  // namespace trelvo::platform
