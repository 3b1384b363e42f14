#include "platform/sql_connection.h"

namespace trelvo::platform {

std::vector<SqlRow> SqlConnection::Execute(const std::string& statement, const std::vector<SqlValue>& parameters) {
  std::vector<SqlRow> rows;
  ForEachRow(statement, parameters, [&](SqlRow&& row) { rows.push_back(std::move(row)); });
  return rows;
}

DatabaseFailure ClassifySqlState(const std::string& sqlstate) {
  // Class 28: invalid authorization; 08004: the server rejected the
  // connection. (psqlODBC reports a refused login as 08001 like an
  // unreachable server: the ODBC layer tells the two apart.)
  if (sqlstate.starts_with("28") || sqlstate == "08004") return DatabaseFailure::LoginRefused;
  if (sqlstate == "08001") return DatabaseFailure::Unreachable;
  // 42P01: PostgreSQL's undefined_table; 42S02: ODBC's "base table not found";
  // 42703 and 42S22, a column not found: tables of an earlier version.
  if (sqlstate == "42P01" || sqlstate == "42S02" || sqlstate == "42703" || sqlstate == "42S22")
    return DatabaseFailure::MissingTable;
  // 55P03: PostgreSQL's lock_not_available (the session's lock_timeout);
  // HYT00/HYT01: the driver's timeouts. A statement cancelled by the
  // session's statement_timeout (57014, query_canceled) held no row of
  // another workstation's and stays an error of the server.
  if (sqlstate == "55P03" || sqlstate == "HYT00" || sqlstate == "HYT01") return DatabaseFailure::LockTimeout;
  // Class 08 after the login; the server ending the session: shut down or
  // terminated (57P01 to 57P03), idle too long (57P05), or idle too long
  // inside a transaction (25P03). The connection is gone, and whether the
  // last commit took place is unknown.
  if (sqlstate.starts_with("08") || sqlstate.starts_with("57P") || sqlstate == "25P03")
    return DatabaseFailure::ConnectionLost;
  return DatabaseFailure::Other;
}

DatabaseError ErrorOf(const std::vector<DiagnosticRecord>& records) {
  if (records.empty()) return DatabaseError(DatabaseFailure::Other, "HY000", "Unbekannter ODBC-Fehler.");
  const DiagnosticRecord* deciding = &records.front();
  DatabaseFailure failure = DatabaseFailure::Other;
  for (const DiagnosticRecord& record : records) {
    failure = ClassifySqlState(record.sqlstate);
    if (failure != DatabaseFailure::Other) {
      deciding = &record;
      break;
    }
  }
  std::string text;
  for (const DiagnosticRecord& record : records) {
    if (record.text.empty()) continue;
    if (!text.empty()) text += '\n';
    text += record.text;
  }
  return DatabaseError(failure, deciding->sqlstate, text.empty() ? "Unbekannter ODBC-Fehler." : text);
}

}  // namespace trelvo::platform
