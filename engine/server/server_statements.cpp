#include "engine/server/server_statements.h"

#include <iterator>

#include "platform/error.h"

namespace trelvo::engine::server {
namespace {

struct StatementRow {
  Statement statement;
  const char* postgresql;
};

// A definition runs with the owner's rights: its search path is fixed to the
// tables' schema with pg_temp last, so that no login's temporary table can
// stand in for a table of the range.
#define TRELVO_DEFINER "SECURITY DEFINER SET search_path = @tables@, pg_temp "

// The range's columns as the functions answer them.
#define TRELVO_RANGE_COLUMNS                                                                                  \
  "counter integer, increment integer, text_before text, prefix integer, sep integer, text_after text, "   \
  "text_counter text, padding integer, leading_text integer, config_desc text, is_locked integer, "         \
  "locked_by text, restart integer, period text, closed_period text, closed_counter integer, locked_on text, "  \
  "locked_at text"
#define TRELVO_RANGE_SELECT                                                                                    \
  "SELECT r.counter, r.increment, r.text_before::text, r.prefix, r.sep, r.text_after::text, "              \
  "r.text_counter::text, r.padding, r.leading_text, r.config_desc::text, r.is_locked, r.locked_by::text, " \
  "r.restart, r.period::text, r.closed_period::text, r.closed_counter, r.locked_on::text, r.locked_at::text "
// A function that locks the range's row for the caller's transaction and
// answers it with the transaction's id and the server's time; the statement's
// end (the FOR UPDATE clause's wait) follows.
#define TRELVO_LOCKED_ROW(function)                                                                        \
  "CREATE OR REPLACE FUNCTION trelvo_station." function "(p_range text) RETURNS TABLE (" TRELVO_RANGE_COLUMNS \
  ", xact text, server_time text) LANGUAGE sql " TRELVO_DEFINER "AS $$ " TRELVO_RANGE_SELECT                 \
  ", pg_current_xact_id()::text, to_char(localtimestamp(0), 'YYYY-MM-DD HH24:MI:SS') "                       \
  "FROM trelvo_ranges r WHERE r.range_name = p_range FOR UPDATE"

// A range's row holds what a counter file holds, with the file's defaults;
// its usage records are the usage log's lines plus the workstation and the
// draw's own key, and the counter value the draw advanced to: one record per
// value of a range, so that a counter set back on the server cannot issue a
// number twice (a refusal has none; NULLs never collide).
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
     "counter bigint)"},
    // Columns and constraints added since the tables' first version: a table
    // of an earlier version gets them, a new one finds its own and keeps it.
    // A range that restarts its counter each year (or month) keeps the period
    // of its last draw and the last period it closed, with that one's last
    // counter; a record keeps the period of its draw ("" for a range that
    // never restarts), and each counter value of a period has one record.
    // The administrator's lock says where and since when it is held.
    // Altered only where a column is missing: ALTER TABLE locks the whole
    // table, waiting for every row a workstation holds, even when it would
    // add nothing.
    {Statement::AddRangeColumns,
     "DO $$ BEGIN IF (SELECT count(*) FROM pg_attribute WHERE attrelid = to_regclass('trelvo_ranges') "
     "AND NOT attisdropped AND attname IN ('restart', 'period', 'closed_period', 'closed_counter', 'locked_on', "
     "'locked_at')) < 6 THEN "
     "ALTER TABLE trelvo_ranges ADD COLUMN IF NOT EXISTS restart integer NOT NULL DEFAULT 0, "
     "ADD COLUMN IF NOT EXISTS period varchar(7) NOT NULL DEFAULT '', "
     "ADD COLUMN IF NOT EXISTS closed_period varchar(7) NOT NULL DEFAULT '', "
     "ADD COLUMN IF NOT EXISTS closed_counter integer NOT NULL DEFAULT 0, "
     "ADD COLUMN IF NOT EXISTS locked_on varchar(255) NOT NULL DEFAULT '', "
     "ADD COLUMN IF NOT EXISTS locked_at varchar(16) NOT NULL DEFAULT ''; END IF; END $$"},
    {Statement::AddRecordCounter,
     "DO $$ BEGIN IF (SELECT count(*) FROM pg_attribute WHERE attrelid = to_regclass('trelvo_usage') "
     "AND NOT attisdropped AND attname IN ('counter', 'period')) < 2 THEN "
     "ALTER TABLE trelvo_usage ADD COLUMN IF NOT EXISTS counter bigint, "
     "ADD COLUMN IF NOT EXISTS period varchar(7) NOT NULL DEFAULT ''; END IF; END $$"},
    {Statement::IndexRecordCounter,
     "CREATE UNIQUE INDEX IF NOT EXISTS trelvo_usage_period_counter ON trelvo_usage (range_name, period, counter)"},
    // The earlier one value, one record, whatever the period (a constraint on
    // a new table, an index on an upgraded one).
    {Statement::DropEarlierRecordConstraint,
     "ALTER TABLE trelvo_usage DROP CONSTRAINT IF EXISTS trelvo_usage_range_counter"},
    {Statement::DropEarlierRecordIndex, "DROP INDEX IF EXISTS trelvo_usage_range_counter"},
    // One row at most: the version of tables and functions.
    {Statement::CreateSchemaTable,
     "CREATE TABLE IF NOT EXISTS trelvo_schema (one boolean PRIMARY KEY DEFAULT true CHECK (one), "
     "version integer NOT NULL)"},
    {Statement::ReadSchemaVersion, "SELECT version FROM trelvo_schema"},
    {Statement::WriteSchemaVersion,
     "INSERT INTO trelvo_schema (version) VALUES (CAST(? AS integer)) "
     "ON CONFLICT (one) DO UPDATE SET version = EXCLUDED.version"},
    {Statement::TablesSchema,
     "SELECT quote_ident(n.nspname) FROM pg_class c JOIN pg_namespace n ON n.oid = c.relnamespace "
     "WHERE c.oid = to_regclass('trelvo_ranges')"},
    {Statement::CreateStationSchema, "CREATE SCHEMA IF NOT EXISTS trelvo_station"},
    {Statement::CreateAdminSchema, "CREATE SCHEMA IF NOT EXISTS trelvo_admin"},
    {Statement::DefineReadRange,
     "CREATE OR REPLACE FUNCTION trelvo_station.read_range(p_range text) RETURNS TABLE (" TRELVO_RANGE_COLUMNS
     ") LANGUAGE sql STABLE " TRELVO_DEFINER "AS $$ " TRELVO_RANGE_SELECT
     "FROM trelvo_ranges r WHERE r.range_name = p_range $$"},
    // The row stays locked until the caller's transaction ends; the
    // transaction's id tells, should its commit go unanswered, what became of it.
    {Statement::DefineLockRange, TRELVO_LOCKED_ROW("lock_range") " $$"},
    // The same without waiting: a row another transaction holds fails at once,
    // so that the workstation shows its wait before it waits.
    {Statement::DefineTryLockRange, TRELVO_LOCKED_ROW("try_lock_range") " NOWAIT $$"},
    // The server advances the counter by the range's step and records the
    // draw with its own time and the value it advanced to: a login can add a
    // record only by drawing its number, never one for a value of its choice.
    // A range under the administrator's lock draws nothing. A range that
    // restarts: a period later than its last draw's (by the server's clock)
    // starts the counter again and closes the one before; a range without a
    // period yet takes the present one.
    {Statement::DefineDraw,
     "CREATE OR REPLACE FUNCTION trelvo_station.draw(p_range text, p_number text, p_application text, "
     "p_user text, p_workstation text, p_key text) RETURNS bigint LANGUAGE plpgsql " TRELVO_DEFINER
     "AS $$ DECLARE r trelvo_ranges%ROWTYPE; now_period text; drawn integer; BEGIN "
     "SELECT * INTO r FROM trelvo_ranges WHERE range_name = p_range AND is_locked = 0 FOR UPDATE; "
     "IF NOT FOUND THEN RAISE EXCEPTION 'range % is missing or locked', p_range USING ERRCODE = 'P0002'; END IF; "
     "now_period := CASE r.restart WHEN 1 THEN to_char(localtimestamp, 'YYYY') "
     "WHEN 2 THEN to_char(localtimestamp, 'YYYY-MM') ELSE '' END; "
     "IF now_period <> '' AND r.period <> '' AND now_period > r.period THEN "
     "UPDATE trelvo_ranges SET closed_period = r.period, closed_counter = r.counter, counter = r.increment, "
     "period = now_period WHERE range_name = p_range RETURNING counter INTO drawn; "
     "ELSE "
     "UPDATE trelvo_ranges SET counter = r.counter + r.increment, "
     "period = CASE WHEN now_period = '' OR r.period > now_period THEN r.period ELSE now_period END "
     "WHERE range_name = p_range RETURNING counter, period INTO drawn, now_period; "
     "END IF; "
     "INSERT INTO trelvo_usage (range_name, number, issued_at, application, user_name, workstation, draw_key, "
     "counter, period) VALUES (p_range, p_number, localtimestamp(0), p_application, p_user, p_workstation, p_key, "
     "drawn, now_period); "
     "RETURN drawn; END $$"},
    {Statement::DefineRecordRefusal,
     "CREATE OR REPLACE FUNCTION trelvo_station.record_refusal(p_range text, p_application text, p_user text, "
     "p_workstation text, p_key text) RETURNS integer LANGUAGE sql " TRELVO_DEFINER
     "AS $$ INSERT INTO trelvo_usage (range_name, number, issued_at, application, user_name, workstation, "
     "draw_key) VALUES (p_range, '#ini gesperrt#', localtimestamp(0), p_application, p_user, p_workstation, "
     "p_key) RETURNING 1 $$"},
    {Statement::DefineReadRecords,
     "CREATE OR REPLACE FUNCTION trelvo_station.read_records(p_range text) RETURNS TABLE (number text, "
     "issued_at text, application text, user_name text, workstation text, draw_key text, counter bigint) "
     "LANGUAGE sql STABLE " TRELVO_DEFINER
     "AS $$ SELECT u.number::text, to_char(u.issued_at, 'YYYY-MM-DD HH24:MI:SS'), u.application::text, "
     "u.user_name::text, u.workstation::text, u.draw_key::text, u.counter FROM trelvo_usage u "
     "WHERE u.range_name = p_range ORDER BY u.record_id $$"},
    // The administrator's: settings, counter and lock in one; no row, no
    // result. A counter below a value its period has a record of is refused
    // (the next draw would issue that number again); a counter changed is
    // recorded here, in the change's transaction, by the administrator's
    // login alone, so that no workstation can explain a gap away.
    {Statement::DefineWriteRange,
     "CREATE OR REPLACE FUNCTION trelvo_admin.write_range(p_counter integer, p_increment integer, "
     "p_text_before text, p_prefix integer, p_sep integer, p_text_after text, p_text_counter text, "
     "p_padding integer, p_leading_text integer, p_config_desc text, p_is_locked integer, p_locked_by text, "
     "p_restart integer, p_period text, p_closed_period text, p_closed_counter integer, p_locked_on text, "
     "p_locked_at text, p_range text, p_user text, p_workstation text) RETURNS integer LANGUAGE plpgsql "
     TRELVO_DEFINER
     "AS $$ DECLARE r trelvo_ranges%ROWTYPE; issued bigint; BEGIN "
     "SELECT * INTO r FROM trelvo_ranges WHERE range_name = p_range FOR UPDATE; "
     "IF NOT FOUND THEN RETURN NULL; END IF; "
     "IF p_counter <> r.counter THEN "
     "SELECT max(u.counter) INTO issued FROM trelvo_usage u WHERE u.range_name = p_range AND u.period = p_period; "
     "IF p_counter < issued THEN RAISE EXCEPTION 'counter % below % issued', p_counter, issued "
     "USING ERRCODE = 'TRV01'; END IF; "
     "INSERT INTO trelvo_usage (range_name, number, issued_at, application, user_name, workstation) VALUES "
     "(p_range, '#Zähler gesetzt#', localtimestamp(0), 'von ' || r.counter || ' auf ' || p_counter || ': ' || "
     "p_range, p_user, p_workstation); "
     "END IF; "
     "UPDATE trelvo_ranges SET counter = p_counter, increment = p_increment, text_before = p_text_before, "
     "prefix = p_prefix, sep = p_sep, text_after = p_text_after, text_counter = p_text_counter, "
     "padding = p_padding, leading_text = p_leading_text, config_desc = p_config_desc, "
     "is_locked = p_is_locked, locked_by = p_locked_by, restart = p_restart, period = p_period, "
     "closed_period = p_closed_period, closed_counter = p_closed_counter, locked_on = p_locked_on, "
     "locked_at = p_locked_at WHERE range_name = p_range; "
     "RETURN 1; END $$"},
    // Nobody but the owner keeps a right on the tables (an earlier version
    // granted workstations rows of their own); the functions are executed only
    // by the roles granted them, and a role granted the functions of a schema
    // before an upgrade is granted its new ones too.
    {Statement::SettlePrivileges,
     "DO $$ DECLARE g record; BEGIN "
     "FOR g IN SELECT c.oid::regclass AS object, a.grantee FROM pg_class c CROSS JOIN LATERAL aclexplode(c.relacl) a "
     "WHERE c.relnamespace = (SELECT relnamespace FROM pg_class WHERE oid = to_regclass('trelvo_ranges')) "
     "AND c.relname IN ('trelvo_ranges', 'trelvo_usage', 'trelvo_usage_record_id_seq', 'trelvo_schema') "
     "AND a.grantee <> c.relowner LOOP "
     "EXECUTE format('REVOKE ALL ON %s FROM %s', g.object, "
     "CASE WHEN g.grantee = 0 THEN 'PUBLIC' ELSE quote_ident(pg_get_userbyid(g.grantee)) END); "
     "END LOOP; "
     "REVOKE ALL ON ALL FUNCTIONS IN SCHEMA trelvo_station, trelvo_admin FROM PUBLIC; "
     "GRANT USAGE ON SCHEMA trelvo_station, trelvo_admin TO PUBLIC; "
     "FOR g IN SELECT DISTINCT n.nspname AS schema, a.grantee FROM pg_proc p "
     "JOIN pg_namespace n ON n.oid = p.pronamespace CROSS JOIN LATERAL aclexplode(p.proacl) a "
     "WHERE n.nspname IN ('trelvo_station', 'trelvo_admin') AND a.grantee NOT IN (0, p.proowner) LOOP "
     "EXECUTE format('GRANT EXECUTE ON ALL FUNCTIONS IN SCHEMA %I TO %I', g.schema, pg_get_userbyid(g.grantee)); "
     "END LOOP; END $$"},
    {Statement::InsertRange,
     "INSERT INTO trelvo_ranges (counter, increment, text_before, prefix, sep, text_after, text_counter, padding, "
     "leading_text, config_desc, is_locked, locked_by, restart, period, closed_period, closed_counter, locked_on, "
     "locked_at, range_name) "
     "VALUES (CAST(? AS integer), CAST(? AS integer), ?, CAST(? AS integer), CAST(? AS integer), ?, ?, "
     "CAST(? AS integer), CAST(? AS integer), ?, CAST(? AS integer), ?, CAST(? AS integer), ?, ?, "
     "CAST(? AS integer), ?, ?, ?) "
     "ON CONFLICT (range_name) DO NOTHING RETURNING range_name"},
    {Statement::ReadRangeNames, "SELECT range_name FROM trelvo_ranges ORDER BY range_name"},
    {Statement::ReadUnprovenRecords,
     "SELECT record_id, number, to_char(issued_at, 'YYYY-MM-DD HH24:MI:SS') FROM trelvo_usage "
     "WHERE range_name = ? AND counter IS NULL ORDER BY record_id"},
    // A value another record of the range holds already stays with that one.
    {Statement::ProveRecordCounter,
     "UPDATE trelvo_usage SET counter = CAST(? AS bigint) WHERE record_id = CAST(? AS bigint) AND NOT EXISTS "
     "(SELECT 1 FROM trelvo_usage held WHERE held.range_name = trelvo_usage.range_name "
     "AND held.period = trelvo_usage.period AND held.counter = CAST(? AS bigint))"},
    {Statement::RangeExists,
     "SELECT 1 FROM trelvo_ranges WHERE range_name = ?"},
    {Statement::CurrentTransaction, "SELECT pg_current_xact_id()::text"},
    {Statement::SessionSetup,
     "SELECT set_config('lock_timeout', ?, false), set_config('statement_timeout', ?, false), "
     "set_config('idle_in_transaction_session_timeout', ?, false)"},
    {Statement::ReadRange, "SELECT * FROM trelvo_station.read_range(?)"},
    {Statement::LockRange, "SELECT * FROM trelvo_station.lock_range(?)"},
    {Statement::TryLockRange, "SELECT * FROM trelvo_station.try_lock_range(?)"},
    {Statement::Draw, "SELECT trelvo_station.draw(?, ?, ?, ?, ?, ?)"},
    {Statement::RecordRefusal, "SELECT trelvo_station.record_refusal(?, ?, ?, ?, ?)"},
    {Statement::ReadRecords, "SELECT * FROM trelvo_station.read_records(?)"},
    {Statement::TransactionStatus, "SELECT pg_xact_status(CAST(? AS xid8))"},
    {Statement::WriteRange,
     "SELECT trelvo_admin.write_range(CAST(? AS integer), CAST(? AS integer), ?, CAST(? AS integer), "
     "CAST(? AS integer), ?, ?, CAST(? AS integer), CAST(? AS integer), ?, CAST(? AS integer), ?, "
     "CAST(? AS integer), ?, ?, CAST(? AS integer), ?, ?, ?, ?, ?)"},
};

#undef TRELVO_DEFINER
#undef TRELVO_RANGE_COLUMNS
#undef TRELVO_RANGE_SELECT
#undef TRELVO_LOCKED_ROW

}  // namespace

const char* StatementText(Statement statement, Dialect) {
  for (const StatementRow& row : kStatements)
    if (row.statement == statement) return row.postgresql;
  throw Error("Unbekannte SQL-Anweisung.");
}

std::string DefinitionText(Statement statement, const std::string& tables_schema, Dialect dialect) {
  std::string text = StatementText(statement, dialect);
  const std::string placeholder = "@tables@";
  for (size_t at = text.find(placeholder); at != std::string::npos; at = text.find(placeholder, at))
    text.replace(at, placeholder.size(), tables_schema);
  return text;
}

}  // namespace trelvo::engine::server
