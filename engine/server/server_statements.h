#pragma once
// Every SQL statement that a server range runs, in one table: one row per
// statement, one column per server dialect. Parameters are "?" markers, all
// bound as text; the range's columns come in the order of kRangeColumns
// (server_range.cpp) wherever a statement lists them.
//
// A workstation's login holds no right on the tables: it calls functions that
// run with the rights of the database's owner and do only what a workstation
// may do (read a range, lock its row for a draw, draw, record a refusal, read
// the records). Changing a range's settings and the administrator's lock is
// a function of its own, granted only to administrators. server-init, run as
// the owner, creates and upgrades tables and functions.
#include <string>

namespace trelvo::engine::server {

enum class Statement {
  // server-init, as the database's owner
  CreateRangeTable,
  CreateUsageTable,
  AddRangeColumns,
  AddRecordCounter,  // a usage table made before it kept each draw's counter value and period
  IndexRecordCounter,
  DropEarlierRecordConstraint,
  DropEarlierRecordIndex,
  CreateSchemaTable,
  ReadSchemaVersion,
  WriteSchemaVersion,
  TablesSchema,  // the schema the tables live in, which the functions search
  CreateStationSchema,
  CreateAdminSchema,
  DefineReadRange,
  DefineLockRange,
  DefineTryLockRange,
  DefineDraw,
  DefineRecordRefusal,
  DefineReadRecords,
  DefineWriteRange,
  SettlePrivileges,
  InsertRange,
  ReadRangeNames,
  ReadUnprovenRecords,
  ProveRecordCounter,
  RangeExists,
  CurrentTransaction,
  // a workstation
  SessionSetup,  // the session's waits
  ReadRange,
  LockRange,  // the row locked for the transaction, and the transaction's id
  TryLockRange,  // the same at once, or 55P03 (lock_not_available) while another holds the row
  Draw,
  RecordRefusal,
  ReadRecords,
  TransactionStatus,  // what became of a transaction whose commit went unanswered
  // an administrator
  WriteRange,
};

// The dialects a server range can speak: PostgreSQL. Another (SQL Server's)
// is one more enumerator and one more column of the table.
enum class Dialect { PostgreSql };

const char* StatementText(Statement statement, Dialect dialect = Dialect::PostgreSql);

// The version of tables and functions that this program creates; server-init
// records it in the database and refuses to touch a later one.
inline constexpr int kSchemaVersion = 3;

// The functions' fixed search path names the tables' schema: a definition's
// text with "@tables@" replaced by that schema's quoted name.
std::string DefinitionText(Statement statement, const std::string& tables_schema,
                           Dialect dialect = Dialect::PostgreSql);

}  // namespace trelvo::engine::server
