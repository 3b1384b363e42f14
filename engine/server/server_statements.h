#pragma once
// Every SQL statement that a server range runs, in one table: one row per
// statement, one column per server dialect. Parameters are "?" markers, all
// bound as text; the range's columns come in the order of kRangeColumns
// (server_range.cpp) wherever a statement lists them.
namespace trelvo::engine::server {

enum class Statement {
  CreateRangeTable,
  CreateUsageTable,
  AddRecordCounter,     // a usage table made before it kept each draw's counter value
  IndexRecordCounter,
  SessionSetup,  // how long a statement waits for a row another connection holds
  InsertRange,
  ReadRange,
  ReadRangeForUpdate,
  WriteRange,
  InsertRecord,
  FindRecord,
  ReadRecords,
  ReadRangeNames,
  ReadUnprovenRecords,
  ProveRecordCounter,
};

// The dialects a server range can speak: PostgreSQL. Another (SQL Server's)
// is one more enumerator and one more column of the table.
enum class Dialect { PostgreSql };

const char* StatementText(Statement statement, Dialect dialect = Dialect::PostgreSql);

}  // namespace trelvo::engine::server
