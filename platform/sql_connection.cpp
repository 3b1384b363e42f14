#include "platform/sql_connection.h"

namespace trelvo::platform {
namespace {

bool Mentions(const std::string& text, const char* part) { return text.find(part) != std::string::npos; }

}  // namespace

std::vector<SqlRow> SqlConnection::Execute(const std::string& statement, const std::vector<SqlValue>& parameters) {
  std::vector<SqlRow> rows;
  ForEachRow(statement, parameters, [&](SqlRow&& row) { rows.push_back(std::move(row)); });
  return rows;
}

DatabaseFailure ClassifySqlState(const std::string& sqlstate, const std::string& text) {
  // Class 28: invalid authorization. Drivers often report a refused login as
  // 08001 ("unable to connect") and tell the reason only in the text.
  if (sqlstate.starts_with("28")) return DatabaseFailure::LoginRefused;
  if (sqlstate == "08001" || sqlstate == "08004")
    return Mentions(text, "authentication") || Mentions(text, "password") || Mentions(text, "role") ||
                   Mentions(text, "Login failed")
               ? DatabaseFailure::LoginRefused
               : DatabaseFailure::Unreachable;
  // 42P01: PostgreSQL's undefined_table; 42S02: ODBC's "base table not found";
  // 42703 and 42S22, a column not found: tables of an earlier version.
  if (sqlstate == "42P01" || sqlstate == "42S02" || sqlstate == "42703" || sqlstate == "42S22")
    return DatabaseFailure::MissingTable;
  // 55P03: PostgreSQL's lock_not_available; HYT00/HYT01: the driver's timeouts.
  if (sqlstate == "55P03" || sqlstate == "HYT00" || sqlstate == "HYT01") return DatabaseFailure::LockTimeout;
  // Class 08 after the login, and the server going down (57P01 to 57P03):
  // the connection is gone, and whether the last commit took place is unknown.
  if (sqlstate.starts_with("08") || sqlstate.starts_with("57P")) return DatabaseFailure::ConnectionLost;
  return DatabaseFailure::Other;
}

}  // namespace trelvo::platform
