// Database connections through an ODBC driver manager, every call through
// its table of functions (odbc_functions.h). Only the wide (W) functions are
// called: they are what Windows offers fully, and Wine's odbc32.dll forwards
// them to unixODBC, whose narrow ones it leaves as stubs.
#include <algorithm>
#include <climits>
#include <cstdint>
#include <iterator>
#include <utility>

#include "platform/cp1252.h"
#include "platform/database_waits.h"
#include "platform/odbc/bounded_waits.h"
#include "platform/odbc/odbc_connection.h"
#include "platform/odbc/odbc_functions.h"
#include "platform/sql_connection.h"

namespace trelvo::platform {
namespace {

static_assert(sizeof(SQLWCHAR) == sizeof(char16_t), "the driver manager's wide characters are UTF-16");

SQLWCHAR* Wide(std::u16string& text) { return reinterpret_cast<SQLWCHAR*>(text.data()); }

bool Succeeded(SQLRETURN result) { return result == SQL_SUCCESS || result == SQL_SUCCESS_WITH_INFO; }

// An ODBC handle, freed with its kind by the driver manager that gave it.
class OdbcHandle {
 public:
  OdbcHandle(const OdbcFunctions& odbc, SQLSMALLINT kind, SQLHANDLE parent) : odbc_(odbc), kind_(kind) {
    if (!Succeeded(odbc_.SQLAllocHandle(kind, parent, &handle_)))
      throw DatabaseError(DatabaseFailure::Other, "HY001", "Der ODBC-Treiber-Manager ist nicht verfügbar.");
  }
  OdbcHandle(const OdbcHandle&) = delete;
  OdbcHandle& operator=(const OdbcHandle&) = delete;
  ~OdbcHandle() { odbc_.SQLFreeHandle(kind_, handle_); }
  SQLHANDLE get() const { return handle_; }
  SQLSMALLINT kind() const { return kind_; }
  const OdbcFunctions& odbc() const { return odbc_; }

 private:
  const OdbcFunctions& odbc_;
  SQLSMALLINT kind_;
  SQLHANDLE handle_ = SQL_NULL_HANDLE;
};

// The diagnostic records of a failed call, in order, until the driver has no
// more. The first buffer holds the longest message psqlODBC keeps for a
// statement (4095 bytes, statement.c, SC_create_errorinfo): given less, it
// would hand the message on in pieces of the buffer's size in bytes, one
// record each, cutting characters of more than one byte apart (environ.c,
// ER_ReturnError; odbcapi30w.c). A text a driver says it cut short is asked
// for again with room for all of it.
std::vector<DiagnosticRecord> DiagnosticRecordsOf(const OdbcHandle& handle) {
  constexpr SQLSMALLINT kMostRecords = 64;
  constexpr SQLSMALLINT kFirstRoom = 4096;  // characters
  std::vector<DiagnosticRecord> records;
  for (SQLSMALLINT number = 1; number <= kMostRecords; ++number) {
    SQLWCHAR state[6] = {};
    SQLINTEGER native = 0;
    std::u16string text(kFirstRoom, u'\0');
    SQLSMALLINT length = 0;
    const auto ask = [&] {
      return handle.odbc().SQLGetDiagRecW(handle.kind(), handle.get(), number, state, &native,
                                          reinterpret_cast<SQLWCHAR*>(text.data()),
                                          static_cast<SQLSMALLINT>(text.size()), &length);
    };
    SQLRETURN result = ask();
    if (result == SQL_SUCCESS_WITH_INFO && length >= kFirstRoom && length < SHRT_MAX) {
      text.assign(static_cast<size_t>(length) + 1, u'\0');
      result = ask();
    }
    if (!Succeeded(result)) break;  // SQL_NO_DATA after the last record
    text.resize(std::min(static_cast<size_t>(std::max<SQLSMALLINT>(length, 0)), text.size() - 1));
    records.push_back({Utf16ToUtf8(std::u16string_view(reinterpret_cast<const char16_t*>(state), 5)),
                       static_cast<int32_t>(native), Utf16ToUtf8(text)});
  }
  return records;
}

// Whether the text of a failed login carries an error the server sent.
//
// psqlODBC reports every failed login under 08001 with its code 101
// (CONNECTION_SERVER_NOT_REACHED, connection.c, LIBPQ_connect): a server that
// refused the password, role or database just as one that never answered.
// The server's own SQLSTATE (28P01, 3D000, ...) is not passed on; the text is
// libpq's PQerrorMessage. Its words are in two languages at once (libpq's in
// the workstation's, the server's in the server's lc_messages), but its form
// is not: libpq writes an error the server sent as "<severity>:  <message>",
// a colon and two spaces that no translation changes (fe-protocol3.c,
// pqBuildErrorMessage3), and none of its own messages about a connection
// that failed (refused, timed out, host unknown, closed) has that form. So a
// login whose text carries it was refused by a server that answered.
// A probe of our own (a TCP connection, or PostgreSQL's startup message, to
// the pointer's host and port) was weighed against this and left: only the
// driver knows where it connected (a pointer may name a data source, several
// hosts, a service file), the second connection doubles the wait where the
// network is what failed, and the server asks for the password first, so
// even the probe would not learn why the login was refused.
bool ServerAnswered(const std::string& login_text) { return login_text.find(":  ") != std::string::npos; }

DatabaseError ErrorOf(const OdbcHandle& handle, bool connecting) {
  DatabaseError error = platform::ErrorOf(DiagnosticRecordsOf(handle));
  if (!connecting) return error;
  switch (error.failure()) {
    case DatabaseFailure::Unreachable:
      if (ServerAnswered(error.what()))
        return DatabaseError(DatabaseFailure::LoginRefused, error.sqlstate(), error.what());
      return error;
    case DatabaseFailure::ConnectionLost:
      // Before the login every broken link means that no server answered.
      return DatabaseError(DatabaseFailure::Unreachable, error.sqlstate(), error.what());
    default: return error;
  }
}

void Check(SQLRETURN result, const OdbcHandle& handle, bool connecting = false) {
  if (!Succeeded(result) && result != SQL_NO_DATA) throw ErrorOf(handle, connecting);
}

// One column's value of the current row, read in pieces as UTF-16.
SqlValue ReadColumn(const OdbcHandle& statement, SQLUSMALLINT column) {
  std::u16string value;
  char16_t piece[256];
  for (;;) {
    SQLLEN indicator = 0;
    const SQLRETURN result =
        statement.odbc().SQLGetData(statement.get(), column, SQL_C_WCHAR, piece, sizeof piece, &indicator);
    if (result == SQL_NO_DATA) break;
    Check(result, statement);
    if (indicator == SQL_NULL_DATA) return std::nullopt;
    const size_t capacity = std::size(piece) - 1;  // the driver ends each piece with a zero
    const size_t chars = indicator == SQL_NO_TOTAL || static_cast<size_t>(indicator) / 2 > capacity
                             ? capacity
                             : static_cast<size_t>(indicator) / 2;
    value.append(piece, chars);
    if (result == SQL_SUCCESS) break;
  }
  return Utf16ToUtf8(value);
}

class OdbcConnection : public SqlConnection {
 public:
  OdbcConnection(const OdbcFunctions& odbc, const std::string& connection_string)
      : odbc_(odbc), environment_(odbc, SQL_HANDLE_ENV, SQL_NULL_HANDLE), connection_(MakeConnection(environment_)) {
    const DriverConnectionString driver = WithBoundedWaits(connection_string);
    // A server that does not answer at all is given up after a while, not
    // waited for (psqlODBC hands it to libpq as connect_timeout).
    if (!driver.pointer_sets_login_timeout)
      odbc_.SQLSetConnectAttrW(connection_.get(), SQL_ATTR_LOGIN_TIMEOUT,
                               reinterpret_cast<SQLPOINTER>(static_cast<uintptr_t>(database_waits::kLogin.count())),
                               SQL_IS_UINTEGER);
    std::u16string text = Utf8ToUtf16(driver.text);
    SQLWCHAR completed[1024];
    SQLSMALLINT completed_length = 0;
    Check(odbc_.SQLDriverConnectW(connection_.get(), nullptr, Wide(text), static_cast<SQLSMALLINT>(text.size()),
                                  completed, static_cast<SQLSMALLINT>(std::size(completed)), &completed_length,
                                  SQL_DRIVER_NOPROMPT),
          connection_, true);
    connected_ = true;
    // Every statement's time limit, given once as the connection's default,
    // which psqlODBC copies into each statement it allocates (options.c,
    // statement.c): SQLSetStmtAttrW for each statement would be the ODBC 3
    // way, but is no import of the products (tools/windows7-imports.txt).
    // psqlODBC has the server keep the limit (see bounded_waits.h); a driver
    // that refuses it leaves the session's own statement_timeout to do so.
    odbc_.SQLSetConnectAttrW(connection_.get(), SQL_ATTR_QUERY_TIMEOUT,
                             reinterpret_cast<SQLPOINTER>(static_cast<uintptr_t>(database_waits::kStatement.count())),
                             SQL_IS_UINTEGER);
    const SQLRETURN manual = odbc_.SQLSetConnectAttrW(
        connection_.get(), SQL_ATTR_AUTOCOMMIT,
        reinterpret_cast<SQLPOINTER>(static_cast<uintptr_t>(SQL_AUTOCOMMIT_OFF)), SQL_IS_UINTEGER);
    if (!Succeeded(manual)) {
      // The destructor does not run for a constructor that throws: the
      // connection is closed here, before its handle is freed.
      DatabaseError error = ErrorOf(connection_, false);
      odbc_.SQLDisconnect(connection_.get());
      throw error;
    }
  }
  OdbcConnection(const OdbcConnection&) = delete;
  OdbcConnection& operator=(const OdbcConnection&) = delete;

  ~OdbcConnection() override {
    if (!connected_) return;
    odbc_.SQLEndTran(SQL_HANDLE_DBC, connection_.get(), SQL_ROLLBACK);  // what was not committed is not kept
    odbc_.SQLDisconnect(connection_.get());
  }

  void ForEachRow(const std::string& statement_text, const std::vector<SqlValue>& parameters,
                  const std::function<void(SqlRow&&)>& take) override {
    const OdbcHandle statement(odbc_, SQL_HANDLE_STMT, connection_.get());
    // The bound buffers live until the statement has run.
    std::vector<std::u16string> texts(parameters.size());
    std::vector<SQLLEN> indicators(parameters.size());
    for (size_t i = 0; i < parameters.size(); ++i) {
      if (parameters[i]) texts[i] = Utf8ToUtf16(*parameters[i]);
      indicators[i] = parameters[i] ? static_cast<SQLLEN>(texts[i].size() * sizeof(char16_t)) : SQL_NULL_DATA;
      Check(odbc_.SQLBindParameter(statement.get(), static_cast<SQLUSMALLINT>(i + 1), SQL_PARAM_INPUT, SQL_C_WCHAR,
                                   SQL_WVARCHAR, std::max<SQLULEN>(texts[i].size(), 1), 0, Wide(texts[i]),
                                   static_cast<SQLLEN>(texts[i].size() * sizeof(char16_t)), &indicators[i]),
            statement);
    }
    std::u16string text = Utf8ToUtf16(statement_text);
    Check(odbc_.SQLExecDirectW(statement.get(), Wide(text), static_cast<SQLINTEGER>(text.size())), statement);

    SQLSMALLINT columns = 0;
    Check(odbc_.SQLNumResultCols(statement.get(), &columns), statement);
    if (columns <= 0) return;
    for (;;) {
      const SQLRETURN fetched = odbc_.SQLFetch(statement.get());
      if (fetched == SQL_NO_DATA) break;
      Check(fetched, statement);
      SqlRow row;
      for (SQLSMALLINT column = 1; column <= columns; ++column)
        row.push_back(ReadColumn(statement, static_cast<SQLUSMALLINT>(column)));
      take(std::move(row));
    }
  }

  void Commit() override { Check(odbc_.SQLEndTran(SQL_HANDLE_DBC, connection_.get(), SQL_COMMIT), connection_); }
  void Rollback() override { Check(odbc_.SQLEndTran(SQL_HANDLE_DBC, connection_.get(), SQL_ROLLBACK), connection_); }

 private:
  static OdbcHandle MakeConnection(const OdbcHandle& environment) {
    Check(environment.odbc().SQLSetEnvAttr(environment.get(), SQL_ATTR_ODBC_VERSION,
                                           reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0),
          environment);
    return OdbcHandle(environment.odbc(), SQL_HANDLE_DBC, environment.get());
  }

  const OdbcFunctions& odbc_;
  OdbcHandle environment_;
  OdbcHandle connection_;
  bool connected_ = false;
};

class OdbcDriverManager : public DatabaseConnector {
 public:
  // nullptr: the machine's, loaded at the first Connect.
  explicit OdbcDriverManager(const OdbcFunctions* odbc) : odbc_(odbc) {}
  std::unique_ptr<SqlConnection> Connect(const std::string& connection_string) override {
    return std::make_unique<OdbcConnection>(odbc_ ? *odbc_ : MachineOdbcFunctions(), connection_string);
  }

 private:
  const OdbcFunctions* odbc_;
};

}  // namespace

DatabaseConnector& OdbcConnector() {
  static OdbcDriverManager machine(nullptr);
  return machine;
}

std::unique_ptr<DatabaseConnector> OdbcConnectorWith(const OdbcFunctions& odbc) {
  return std::make_unique<OdbcDriverManager>(&odbc);
}

}  // namespace trelvo::platform
