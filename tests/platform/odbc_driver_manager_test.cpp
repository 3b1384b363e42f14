// The ODBC driver manager loaded at the first connection, not with the
// program: a library that is none is told in German, and a connection calls
// the driver manager of the table it is given.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "platform/cp1252.h"
#include "platform/odbc/odbc_connection.h"
#include "platform/odbc/odbc_functions.h"

#ifndef _WIN32
#include <dlfcn.h>
#endif

namespace trelvo::platform {
namespace {

bool MachineDriverManagerLoaded() {
#ifdef _WIN32
  return GetModuleHandleW(L"odbc32.dll") != nullptr;
#else
  void* loaded = dlopen(kMachineDriverManager, RTLD_LAZY | RTLD_NOLOAD);
  if (loaded) dlclose(loaded);
  return loaded != nullptr;
#endif
}

TEST(OdbcDriverManager, TheMachinesIsLoadedByTheFirstConnectNotBefore) {
  ASSERT_FALSE(MachineDriverManagerLoaded()) << "the test program loaded it before it was used";
  DatabaseConnector& machine = OdbcConnector();
  EXPECT_FALSE(MachineDriverManagerLoaded());
  // No such driver: the driver manager answers, and is loaded to do so.
  EXPECT_THROW(machine.Connect("Driver={Trelvo Kein Treiber};Server=127.0.0.1;"), DatabaseError);
  EXPECT_TRUE(MachineDriverManagerLoaded());
}

struct UnavailableCase {
  std::string library;
  std::string message;  // the whole message, or its beginning where the system's words follow
  bool whole;
};

TEST(OdbcDriverManager, ALibraryThatIsNoDriverManagerIsADatabaseErrorInGerman) {
#ifdef _WIN32
  const std::string missing = "trelvo-kein-treiber-manager.dll";
  const std::string other = "kernel32.dll";
#else
  const std::string missing = "libtrelvo-kein-treiber-manager.so";
  const std::string other = "libc.so.6";
#endif
  const UnavailableCase cases[] = {
      {missing, "Der ODBC-Treiber-Manager " + missing + " ist nicht verfügbar: er lässt sich nicht laden (", false},
      {other, "Der ODBC-Treiber-Manager " + other + " ist nicht verfügbar: die Funktion SQLAllocHandle fehlt.", true},
  };
  for (const UnavailableCase& unavailable : cases) {
    try {
      LoadOdbcFunctions(unavailable.library);
      ADD_FAILURE() << unavailable.library << " loaded as a driver manager";
    } catch (const DatabaseError& error) {
      const std::string message = error.what();
      if (unavailable.whole)
        EXPECT_EQ(message, unavailable.message);
      else
        EXPECT_EQ(message.substr(0, unavailable.message.size()), unavailable.message) << message;
      EXPECT_EQ(error.failure(), DatabaseFailure::Other);
      EXPECT_EQ(error.sqlstate(), "IM003");
    }
  }
}

// A driver manager of the test's own: it hands out handles, counts those
// freed, and refuses every login with one diagnostic record. The functions a
// refused login never reaches stay empty.
struct Refusal {
  int allocated = 0;
  int freed = 0;
  std::u16string said;
};
Refusal refusal;

SQLRETURN SQL_API AllocateHandle(SQLSMALLINT, SQLHANDLE, SQLHANDLE* handle) {
  static char handles[16];
  *handle = &handles[refusal.allocated++ % 16];
  return SQL_SUCCESS;
}
SQLRETURN SQL_API FreeHandle(SQLSMALLINT, SQLHANDLE) {
  ++refusal.freed;
  return SQL_SUCCESS;
}
SQLRETURN SQL_API SetEnvironmentAttribute(SQLHENV, SQLINTEGER, SQLPOINTER, SQLINTEGER) { return SQL_SUCCESS; }
SQLRETURN SQL_API SetConnectionAttribute(SQLHDBC, SQLINTEGER, SQLPOINTER, SQLINTEGER) { return SQL_SUCCESS; }
SQLRETURN SQL_API RefuseLogin(SQLHDBC, SQLHWND, SQLWCHAR*, SQLSMALLINT, SQLWCHAR*, SQLSMALLINT, SQLSMALLINT*,
                              SQLUSMALLINT) {
  return SQL_ERROR;
}
SQLRETURN SQL_API DiagnosticRecord(SQLSMALLINT, SQLHANDLE, SQLSMALLINT number, SQLWCHAR* state, SQLINTEGER* native,
                                   SQLWCHAR* text, SQLSMALLINT room, SQLSMALLINT* length) {
  if (number != 1) return SQL_NO_DATA;
  std::memcpy(state, u"08001", 6 * sizeof(char16_t));
  *native = 101;
  const size_t copied = std::min<size_t>(refusal.said.size(), static_cast<size_t>(room) - 1);
  std::memcpy(text, refusal.said.data(), copied * sizeof(char16_t));
  text[copied] = 0;
  *length = static_cast<SQLSMALLINT>(refusal.said.size());
  return SQL_SUCCESS;
}

struct RefusedLoginCase {
  std::string said;
  DatabaseFailure failure;
};

TEST(OdbcDriverManager, AConnectionCallsTheDriverManagerOfItsTable) {
  OdbcFunctions own;
  own.SQLAllocHandle = AllocateHandle;
  own.SQLFreeHandle = FreeHandle;
  own.SQLSetEnvAttr = SetEnvironmentAttribute;
  own.SQLSetConnectAttrW = SetConnectionAttribute;
  own.SQLDriverConnectW = RefuseLogin;
  own.SQLGetDiagRecW = DiagnosticRecord;
  const auto connector = OdbcConnectorWith(own);
  const RefusedLoginCase cases[] = {
      // libpq's form of an error the server sent: a refused login.
      {"FATAL:  Passwort-Authentifizierung für Benutzer »kasse« fehlgeschlagen", DatabaseFailure::LoginRefused},
      {"connection to server at \"10.0.0.9\", port 5432 failed: Connection refused", DatabaseFailure::Unreachable},
  };
  for (const RefusedLoginCase& login : cases) {
    refusal = {0, 0, Utf8ToUtf16(login.said)};
    try {
      connector->Connect("Driver={PostgreSQL Unicode};Server=10.0.0.9;Uid=kasse;");
      ADD_FAILURE() << "the login was not refused";
    } catch (const DatabaseError& error) {
      EXPECT_EQ(std::string(error.what()), login.said);
      EXPECT_EQ(error.failure(), login.failure) << login.said;
    }
    EXPECT_EQ(refusal.allocated, 2) << "an environment and a connection";
    EXPECT_EQ(refusal.freed, refusal.allocated) << "every handle freed";
  }
}

}  // namespace
}  // namespace trelvo::platform
