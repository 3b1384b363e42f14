#pragma once
// Connections to a database server, for number ranges kept on a server. One
// transaction is open at a time (it begins with the first statement after a
// Commit or Rollback); every value travels as text.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/error.h"

namespace trelvo::platform {

// What went wrong, as far as the driver's answer tells; the German messages
// that name it are the engine's.
enum class DatabaseFailure {
  Unreachable,     // no server answers at the address
  LoginRefused,    // the server refused the login
  LockTimeout,     // another connection held a row longer than the session waits
  ConnectionLost,  // the connection broke during a statement or the commit
  MissingTable,    // a table or column the statement names does not exist
  Other,           // any other error the server or driver reported
};

class DatabaseError : public Error {
 public:
  DatabaseError(DatabaseFailure failure, std::string sqlstate, const std::string& text)
      : Error(text), failure_(failure), sqlstate_(std::move(sqlstate)) {}
  DatabaseFailure failure() const { return failure_; }
  // The five-character SQLSTATE that decided the failure: of the first
  // diagnostic record that names one, else of the first record.
  const std::string& sqlstate() const { return sqlstate_; }

 private:
  DatabaseFailure failure_;
  std::string sqlstate_;
};

using SqlValue = std::optional<std::string>;  // nullopt: NULL
using SqlRow = std::vector<SqlValue>;

class SqlConnection {
 public:
  virtual ~SqlConnection() = default;
  // Runs one statement; its parameters replace the "?" markers in order. Each
  // row of its result set is handed to take as it is fetched, so that a long
  // result is never held whole.
  virtual void ForEachRow(const std::string& statement, const std::vector<SqlValue>& parameters,
                          const std::function<void(SqlRow&&)>& take) = 0;
  // The same with the rows collected (none for a statement without a result).
  std::vector<SqlRow> Execute(const std::string& statement, const std::vector<SqlValue>& parameters = {});
  virtual void Commit() = 0;
  virtual void Rollback() = 0;
};

class DatabaseConnector {
 public:
  virtual ~DatabaseConnector() = default;
  // Opens a connection with an ODBC connection string ("Driver=…;Server=…").
  virtual std::unique_ptr<SqlConnection> Connect(const std::string& connection_string) = 0;
};

// The machine's ODBC driver manager: odbc32.dll on Windows, unixODBC elsewhere.
DatabaseConnector& OdbcConnector();

// One diagnostic record of a failed driver call.
struct DiagnosticRecord {
  std::string sqlstate;  // five characters
  int32_t native = 0;    // the driver's own code for it
  std::string text;
};

// What one SQLSTATE tells, by its class and PostgreSQL's own codes; never by
// the words of a message, which are in the server's language.
DatabaseFailure ClassifySqlState(const std::string& sqlstate);

// The error that all records of one failed call tell together: the first
// record whose SQLSTATE names a failure decides, and the message holds the
// texts of all of them.
DatabaseError ErrorOf(const std::vector<DiagnosticRecord>& records);

}  // namespace trelvo::platform
