#include "engine/server/server_statements.h"

#include <iterator>

#include "platform/error.h"

namespace trelvo::engine::server {
namespace {

struct StatementRow {
  Statement statement;
  const char* postgresql;
};

// A range's row holds what a counter file holds, with the file's defaults;
// its usage records are the usage log's lines plus the workstation and the
// draw's own key, by which a workstation whose connection broke during the
// commit finds out whether its number was issued, and the counter value the
// draw advanced to: one record per value of a range, so that a counter set
// back on the server cannot issue a number twice (a refusal has none; NULLs
// never collide).
constexpr StatementRow kStatements[] = {
    {Statement::CreateRangeTable,
     "CREATE TABLE IF NOT EXISTS trelvo_ranges ("
     "range_name varchar(255) PRIMARY KEY, "
     "counter integer NOT NULL DEFAULT 0 CHECK (counter >= 0), "
     "increment integer NOT NULL DEFAULT 1 CHECK (increment >= 1), "
     "text_before varchar(255) NOT NULL DEFAULT '', "
     "prefix integer NOT NULL DEFAULT 0, "
     "sep integer NOT NULL DEFAULT 0, "
     "text_after varchar(255) NOT NULL DEFAULT '', "
     "text_counter varchar(255) NOT NULL DEFAULT '', "
     "padding integer NOT NULL DEFAULT 3, "
     "leading_text integer NOT NULL DEFAULT 0, "
     "config_desc varchar(255) NOT NULL DEFAULT '', "
     "is_locked integer NOT NULL DEFAULT 0, "
     "locked_by varchar(255) NOT NULL DEFAULT '#nouser#')"},
    {Statement::CreateUsageTable,
     "CREATE TABLE IF NOT EXISTS trelvo_usage ("
     "record_id bigserial PRIMARY KEY, "
     "range_name varchar(255) NOT NULL REFERENCES trelvo_ranges (range_name), "
     "number varchar(255) NOT NULL, "
     "issued_at timestamp(0) NOT NULL, "
     "application varchar(255) NOT NULL, "
     "user_name varchar(255) NOT NULL, "
     "workstation varchar(255) NOT NULL, "
     "draw_key varchar(64) UNIQUE, "
     "counter bigint, "
     "CONSTRAINT trelvo_usage_range_counter UNIQUE (range_name, counter))"},
    // A table of an earlier version gets the column and its constraint; on a
    // new table both find theirs and do nothing.
    {Statement::AddRecordCounter, "ALTER TABLE trelvo_usage ADD COLUMN IF NOT EXISTS counter bigint"},
    {Statement::IndexRecordCounter,
     "CREATE UNIQUE INDEX IF NOT EXISTS trelvo_usage_range_counter ON trelvo_usage (range_name, counter)"},
    {Statement::SessionSetup, "SET lock_timeout = '5s'"},
    {Statement::InsertRange,
     "INSERT INTO trelvo_ranges (counter, increment, text_before, prefix, sep, text_after, text_counter, padding, "
     "leading_text, config_desc, is_locked, locked_by, range_name) "
     "VALUES (CAST(? AS integer), CAST(? AS integer), ?, CAST(? AS integer), CAST(? AS integer), ?, ?, "
     "CAST(? AS integer), CAST(? AS integer), ?, CAST(? AS integer), ?, ?) "
     "ON CONFLICT (range_name) DO NOTHING RETURNING range_name"},
    {Statement::ReadRange,
     "SELECT counter, increment, text_before, prefix, sep, text_after, text_counter, padding, leading_text, "
     "config_desc, is_locked, locked_by FROM trelvo_ranges WHERE range_name = ?"},
    {Statement::ReadRangeForUpdate,
     "SELECT counter, increment, text_before, prefix, sep, text_after, text_counter, padding, leading_text, "
     "config_desc, is_locked, locked_by FROM trelvo_ranges WHERE range_name = ? FOR UPDATE"},
    {Statement::WriteRange,
     "UPDATE trelvo_ranges SET counter = CAST(? AS integer), increment = CAST(? AS integer), text_before = ?, "
     "prefix = CAST(? AS integer), sep = CAST(? AS integer), text_after = ?, text_counter = ?, "
     "padding = CAST(? AS integer), leading_text = CAST(? AS integer), config_desc = ?, "
     "is_locked = CAST(? AS integer), locked_by = ? WHERE range_name = ?"},
    {Statement::InsertRecord,
     "INSERT INTO trelvo_usage (range_name, number, issued_at, application, user_name, workstation, draw_key, "
     "counter) VALUES (?, ?, CAST(? AS timestamp), ?, ?, ?, ?, CAST(? AS bigint))"},
    {Statement::FindRecord, "SELECT number FROM trelvo_usage WHERE draw_key = ?"},
    {Statement::ReadRecords,
     "SELECT number, to_char(issued_at, 'YYYY-MM-DD HH24:MI:SS'), application, user_name, workstation, draw_key, "
     "counter FROM trelvo_usage "
     "WHERE range_name = ? ORDER BY record_id"},
    {Statement::ReadRangeNames, "SELECT range_name FROM trelvo_ranges ORDER BY range_name"},
    {Statement::ReadUnprovenRecords,
     "SELECT record_id, number, to_char(issued_at, 'YYYY-MM-DD HH24:MI:SS') FROM trelvo_usage "
     "WHERE range_name = ? AND counter IS NULL ORDER BY record_id"},
    // A value another record of the range holds already stays with that one.
    {Statement::ProveRecordCounter,
     "UPDATE trelvo_usage SET counter = CAST(? AS bigint) WHERE record_id = CAST(? AS bigint) AND NOT EXISTS "
     "(SELECT 1 FROM trelvo_usage held WHERE held.range_name = trelvo_usage.range_name "
     "AND held.counter = CAST(? AS bigint))"},
};

}  // namespace

const char* StatementText(Statement statement, Dialect) {
  for (const StatementRow& row : kStatements)
    if (row.statement == statement) return row.postgresql;
  throw Error("Unbekannte SQL-Anweisung.");
}

}  // namespace trelvo::engine::server
