#include "engine/server/server_range.h"

#include <algorithm>
#include <chrono>
#include <cctype>
#include <cstdio>
#include <iterator>
#include <map>
#include <random>

#include "engine/counter_file.h"
#include "engine/integer_text.h"
#include "engine/server/connection_string.h"
#include "engine/messages.h"
#include "engine/server/proven_counter.h"
#include "engine/server/server_statements.h"
#include "engine/settings.h"
#include "engine/usage_log.h"
#include "platform/database_waits.h"
#include "platform/quoting.h"
#include "platform/user_interface.h"

namespace trelvo::engine::server {
namespace k = counter_keys;
using platform::DatabaseError;
using platform::DatabaseFailure;
using platform::SqlValue;

namespace {

enum class ColumnKind { Integer, Flag, Text };
struct RangeColumn {
  const char* section;
  const char* key;
  ColumnKind kind;
  const char* fallback;  // the counter file's default
};
// The range's columns in the order of every statement that lists them.
constexpr RangeColumn kRangeColumns[] = {
    {k::kCounterSection, k::kCounter, ColumnKind::Integer, "0"},
    {k::kCounterSection, k::kIncrement, ColumnKind::Integer, "1"},
    {k::kOptionsSection, k::kTextBefore, ColumnKind::Text, ""},
    {k::kOptionsSection, k::kPrefix, ColumnKind::Integer, "0"},
    {k::kOptionsSection, k::kSep, ColumnKind::Integer, "0"},
    {k::kOptionsSection, k::kTextAfter, ColumnKind::Text, ""},
    {k::kOptionsSection, k::kTextCounter, ColumnKind::Text, ""},
    {k::kOptionsSection, k::kPadding, ColumnKind::Integer, "3"},
    {k::kOptionsSection, k::kLeadingText, ColumnKind::Flag, "0"},
    {k::kNoteSection, k::kConfigDesc, ColumnKind::Text, ""},
    {k::kLockingSection, k::kIsLocked, ColumnKind::Flag, "0"},
    {k::kLockingSection, k::kLockedBy, ColumnKind::Text, kNoUser},
    {k::kOptionsSection, k::kRestart, ColumnKind::Integer, "0"},
    {k::kCounterSection, k::kPeriod, ColumnKind::Text, ""},
    {k::kCounterSection, k::kClosedPeriod, ColumnKind::Text, ""},
    {k::kCounterSection, k::kClosedCounter, ColumnKind::Integer, "0"},
    {k::kLockingSection, k::kLockedOn, ColumnKind::Text, ""},
    {k::kLockingSection, k::kLockedAt, ColumnKind::Text, ""},
};

int32_t IntegerFallback(const RangeColumn& column) { return ParseInteger(column.fallback).value_or(0); }

IniDocument DocumentOf(const platform::SqlRow& row) {
  IniDocument document;
  for (size_t i = 0; i < std::size(kRangeColumns); ++i) {
    const RangeColumn& column = kRangeColumns[i];
    const std::string value = i < row.size() && row[i] ? *row[i] : column.fallback;
    switch (column.kind) {
      case ColumnKind::Integer:
        document.WriteInteger(column.section, column.key, ParseInteger(value).value_or(IntegerFallback(column)));
        break;
      case ColumnKind::Flag: document.WriteBool(column.section, column.key, value != "0"); break;
      case ColumnKind::Text: document.WriteString(column.section, column.key, value); break;
    }
  }
  return document;
}

// The row's values of a counter file's content. A Counter or Increment that
// no number may be drawn from is refused, as a counter file's draw refuses it.
std::vector<SqlValue> ValuesOf(const IniDocument& document, const std::string& path) {
  if (auto untrusted = UntrustedCounterValue(document, path)) throw Error(*untrusted);
  std::vector<SqlValue> values;
  for (const RangeColumn& column : kRangeColumns) {
    switch (column.kind) {
      case ColumnKind::Integer:
        values.emplace_back(std::to_string(document.ReadInteger(column.section, column.key, IntegerFallback(column))));
        break;
      case ColumnKind::Flag:
        values.emplace_back(document.ReadBool(column.section, column.key, IntegerFallback(column) != 0) ? "1" : "0");
        break;
      case ColumnKind::Text:
        values.emplace_back(document.ReadString(column.section, column.key, column.fallback));
        break;
    }
  }
  return values;
}

// A refusal of the server's content (a draw's message adds that no number
// was issued).
class ServerRefusal : public Error {
 public:
  using Error::Error;
};
// A draw whose outcome cannot be known now: its message says all there is.
class UnknownOutcome : public Error {
 public:
  using Error::Error;
};

std::string MissingRangeMessage(const ServerPointer& pointer, const std::string& path) {
  return "Den Nummernkreis " + platform::Quoted(pointer.range) + " gibt es auf dem Server nicht (Zählerdatei " +
         platform::Quoted(path) + "). Ein Administrator legt ihn mit \"trelvo server-init\" an.";
}

// The row locked for this transaction, the transaction's id and the server's time.
struct LockedRow {
  IniDocument document;
  std::string transaction;
  std::optional<platform::LocalDateTime> time;
};
LockedRow LockedRowOf(const std::vector<platform::SqlRow>& rows, const ServerPointer& pointer, const std::string& path) {
  if (rows.empty()) throw ServerRefusal(MissingRangeMessage(pointer, path));
  const platform::SqlRow& row = rows.front();
  const auto after = [&](size_t place) { return row.size() > place ? row[place].value_or("") : ""; };
  return {DocumentOf(row), after(std::size(kRangeColumns)), RecordTime(after(std::size(kRangeColumns) + 1))};
}

// The session's waits (platform/database_waits.h), set in the transaction that follows.
void SetUpSession(platform::SqlConnection& connection) {
  namespace waits = platform::database_waits;
  const auto setting = [](std::chrono::seconds wait) { return SqlValue(std::to_string(wait.count()) + "s"); };
  connection.Execute(StatementText(Statement::SessionSetup),
                     {setting(waits::kRowLock), setting(waits::kStatement), setting(waits::kIdleInTransaction)});
}

// The range's row locked for the connection's transaction. Tried first
// without waiting: while another workstation holds the row, the wait is shown
// until the row is had or the session's lock wait gives up.
LockedRow LockRow(platform::UserInterface& ui, platform::SqlConnection& connection, const ServerPointer& pointer,
                  const std::string& path) {
  bool held = false;
  try {
    return LockedRowOf(connection.Execute(StatementText(Statement::TryLockRange), {pointer.range}), pointer,
                       path);
  } catch (const DatabaseError& error) {
    // 55P03, lock_not_available: another workstation holds the row now.
    // 42883, undefined_function: the functions of an earlier version, which
    // has only the lock that waits (without a sign, as that version did).
    held = error.sqlstate() == "55P03";
    if (!held && error.sqlstate() != "42883") throw;
  }
  // The failed statement ended the transaction, the session's waits set in it too.
  connection.Rollback();
  SetUpSession(connection);
  std::optional<platform::WaitShown> shown;
  if (held)
    shown.emplace(ui, "Trelvo wartet auf den Nummernkreis " + platform::Quoted(pointer.range) +
                               " auf dem Server: eine andere Arbeitsstation schreibt ihn gerade (höchstens " +
                               std::to_string(platform::database_waits::kRowLock.count()) + " Sekunden).");
  return LockedRowOf(connection.Execute(StatementText(Statement::LockRange), {pointer.range}), pointer,
                     path);
}

std::string NewRecordKey() {
  std::random_device random;
  char key[40];
  std::snprintf(key, sizeof key, "%08x%08x%08x%08x", random(), random(), random(), random());
  return key;
}

// A failure told in German for the user; the driver's own words go into a
// line of details at the end, for the administrator.
struct ServerMessage {
  std::string text;
  std::string details;
};
ServerMessage MessageFor(const DatabaseError& error, const ServerPointer& pointer, const std::string& path) {
  const std::string range = platform::Quoted(pointer.range);
  const std::string file = platform::Quoted(FileNameOf(path));
  // A driver's text never shows the password, even where it repeats the connection.
  const std::string said = MaskedIn(error.what(), pointer.connection);
  const std::string& state = error.sqlstate();
  // 42501, insufficient_privilege: a login without the function's grant.
  if (state == "42501")
    return {"Die Anmeldung der Verbindung in " + file + " hat auf dem Server des Nummernkreises " + range +
                " nicht das Recht dazu. Einstellungen und Sperre eines Nummernkreises ändert nur die Anmeldung eines "
                "Administrators; das Ziehen erlaubt ein Administrator einer Anmeldung mit den Rechten der "
                "Arbeitsstationen.",
            said};
  // TRV01, the administrator's function: a counter below a value already issued.
  if (state == "TRV01")
    return {"Der Zähler des Nummernkreises " + range +
                " darf nicht unter einen Wert gesetzt werden, der schon vergeben ist: Nummern gäbe es dann "
                "zweimal. Es wurde nichts gespeichert.",
            said};
  // 57014, query_canceled: the statement outlasted its wait on the server.
  if (state == "57014") return {"Der Server des Nummernkreises " + range + " hat nicht rechtzeitig geantwortet.", said};
  // 42883 and 3F000, a function or its schema missing: tables of an earlier version.
  const bool earlier = state == "42883" || state == "3F000";
  switch (earlier ? DatabaseFailure::MissingTable : error.failure()) {
    case DatabaseFailure::Unreachable:
      return {"Der Server des Nummernkreises " + range + " ist nicht erreichbar (Verbindung in " + file + ").", said};
    case DatabaseFailure::LoginRefused:
      return {"Der Server des Nummernkreises " + range +
                  " hat die Anmeldung abgelehnt. Prüfen Sie Benutzer und Kennwort der Verbindung in " + file + ".",
              said};
    case DatabaseFailure::LockTimeout:
      return {"Der Nummernkreis " + range +
                  " wird auf dem Server zur Zeit von einer anderen Arbeitsstation gehalten. Bitte versuchen Sie es in "
                  "einigen Sekunden erneut.",
              ""};
    case DatabaseFailure::ConnectionLost:
      return {"Die Verbindung zum Server des Nummernkreises " + range + " ist abgebrochen.", said};
    case DatabaseFailure::MissingTable:
      return {"Auf dem Server des Nummernkreises " + range +
                  " fehlen die Tabellen von Trelvo oder sind von einer früheren Version. Ein Administrator legt sie "
                  "mit \"trelvo server-init\" an oder bringt sie damit auf den neuen Stand.",
              ""};
    case DatabaseFailure::Other: break;
  }
  return {"Der Server des Nummernkreises " + range + " meldet einen Fehler.", said};
}

// A record's counter column: the digits of a bigint, or NULL. Anything else
// a driver might answer proves nothing.
std::optional<int64_t> CounterIn(const SqlValue& value) {
  if (!value || value->empty() || value->size() > 18) return std::nullopt;
  int64_t counter = 0;
  for (char digit : *value) {
    if (digit < '0' || digit > '9') return std::nullopt;
    counter = counter * 10 + (digit - '0');
  }
  return counter;
}

// Gives the records of an earlier version, which kept no counter value, the
// value their number proves under the range's present format. A value that
// two records prove (a number issued twice) proves neither, and a value
// another record holds stays with that one.
void ProveRecordCounters(platform::SqlConnection& connection, const std::string& range) {
  const auto rows = connection.Execute(StatementText(Statement::ReadRange), {range});
  if (rows.empty()) return;
  const NumberFormat format = ReadCounterState(DocumentOf(rows.front())).format;
  std::map<int64_t, std::vector<std::string>> records_of;  // value: the records proving it
  connection.ForEachRow(StatementText(Statement::ReadUnprovenRecords), {range}, [&](platform::SqlRow&& row) {
    const auto time = RecordTime(row[2].value_or(""));
    if (!row[0] || !row[1] || !time) return;
    if (const auto counter = ProvenCounter(format, *row[1], *time)) records_of[*counter].push_back(*row[0]);
  });
  for (const auto& [counter, records] : records_of) {
    if (records.size() != 1) continue;
    const std::string value = std::to_string(counter);
    connection.Execute(StatementText(Statement::ProveRecordCounter), {value, records.front(), value});
  }
}

}  // namespace

std::optional<ServerPointer> ServerPointerIn(const IniDocument& document, const std::string& path) {
  namespace s = server_keys;
  if (!document.HasKey(s::kServerSection, s::kConnection) && !document.HasKey(s::kServerSection, s::kRange))
    return std::nullopt;
  ServerPointer pointer{document.ReadString(s::kServerSection, s::kConnection, ""),
                        document.ReadString(s::kServerSection, s::kRange, "")};
  if (pointer.connection.empty() || pointer.range.empty())
    throw Error("Die Zählerdatei " + platform::Quoted(path) +
                " verweist auf einen Nummernkreis auf einem Server, nennt im Abschnitt [Server] aber " +
                (pointer.connection.empty() ? "keine Verbindung (Connection)." : "keinen Nummernkreis (Range)."));
  return pointer;
}

ServerRange::ServerRange(platform::Environment& env, ServerPointer pointer, std::string pointer_path)
    : env_(env), pointer_(std::move(pointer)), pointer_path_(std::move(pointer_path)) {}

// Every failure is told in an error box, once the work's connection is closed
// (no row stays held while the box is open); the operation then ends quietly.
// drawing: the operation would have issued a number, which the message then
// says was not issued.
template <class Work>
auto ServerRange::Run(bool drawing, Work&& work) const {
  std::string message, details;
  try {
    return work();
  } catch (const DatabaseError& error) {
    const ServerMessage told = MessageFor(error, pointer_, pointer_path_);
    message = told.text;
    details = told.details;
  } catch (const ServerRefusal& refusal) {
    message = refusal.what();
  } catch (const UnknownOutcome& unknown) {
    message = unknown.what();
    drawing = false;
  }
  if (drawing) message += "\r\nEs wurde keine Nummer vergeben.";
  if (!details.empty()) message += "\r\nDetails: " + details;
  platform::ShowErrorBox(env_.ui, message);
  throw Aborted(message);
}

std::unique_ptr<platform::SqlConnection> ServerRange::Connect() const {
  auto connection = env_.databases.Connect(pointer_.connection);
  SetUpSession(*connection);
  return connection;
}

IniDocument ServerRange::Load() const {
  return Run(false, [&] {
    const auto rows = Connect()->Execute(StatementText(Statement::ReadRange), {pointer_.range});
    if (rows.empty()) throw ServerRefusal(MissingRangeMessage(pointer_, pointer_path_));
    return DocumentOf(rows.front());
  });
}

void ServerRange::Update(const std::function<void(IniDocument&)>& change) const {
  Run(false, [&] {
    const auto connection = Connect();
    LockedRow row = LockRow(env_.ui, *connection, pointer_, pointer_path_);
    const std::string before = row.document.Bytes();
    change(row.document);
    if (row.document.Bytes() == before) return;
    auto values = ValuesOf(row.document, pointer_path_);
    values.insert(values.end(), {pointer_.range, GetCurrentUserName(env_), env_.system.ComputerName()});
    const auto written = connection->Execute(StatementText(Statement::WriteRange), values);
    if (written.empty() || !written.front().front()) throw ServerRefusal(MissingRangeMessage(pointer_, pointer_path_));
    Commit(*connection, row.transaction,
           "Die Verbindung zum Server des Nummernkreises " + platform::Quoted(pointer_.range) +
               " brach ab, bevor er die Änderung bestätigte. Ob sie gespeichert wurde, zeigt der Optionen-Dialog, "
               "sobald der Server wieder erreichbar ist.");
  });
}

std::optional<std::string> ServerRange::Draw(const NumberStore::DrawPlan& take, const std::string& application) const {
  return Run(true, [&]() -> std::optional<std::string> {
    const std::string key = NewRecordKey();
    const auto connection = Connect();
    LockedRow row = LockRow(env_.ui, *connection, pointer_, pointer_path_);
    // Composed at the server's time, by which the server restarts a period and stamps the record.
    if (!row.time)
      throw ServerRefusal("Der Server des Nummernkreises " + platform::Quoted(pointer_.range) +
                          " nennt keine gültige Uhrzeit.");
    const std::optional<Drawn> drawn = take(row.document, *row.time);
    if (!drawn) return std::nullopt;
    std::vector<platform::SqlRow> advanced;
    try {
      advanced = connection->Execute(
          StatementText(Statement::Draw),
          {pointer_.range, drawn->number, application, GetCurrentUserName(env_), env_.system.ComputerName(), key});
    } catch (const DatabaseError& error) {
      // 23505, unique_violation: the counter value has its record already,
      // so the range's counter was set back on the server.
      if (error.sqlstate() != "23505") throw;
      throw ServerRefusal("Der Zählerwert " + std::to_string(drawn->counter) + " des Nummernkreises " +
                          platform::Quoted(pointer_.range) +
                          " ist schon vergeben: der Zähler auf dem Server wurde zurückgesetzt. Ein Administrator "
                          "setzt ihn auf den zuletzt vergebenen Wert.");
    }
    // The server advanced the row this transaction holds: to the planned value, or the plan was not its.
    if (advanced.empty() || CounterIn(advanced.front().front()) != drawn->counter)
      throw ServerRefusal("Der Server des Nummernkreises " + platform::Quoted(pointer_.range) +
                          " hat den Zähler anders fortgeschrieben als geplant.");
    Commit(*connection, row.transaction,
           "Die Verbindung zum Server des Nummernkreises " + platform::Quoted(pointer_.range) +
               " brach ab, bevor er die Ziehung bestätigte, und ist nicht wiederherzustellen. Ob eine Nummer "
               "vergeben wurde, zeigen die Datensätze des Nummernkreises auf dem Server (Ziehung " +
               key + ").\r\nBitte ziehen Sie erst dann erneut, wenn das geklärt ist.");
    return drawn->number;
  });
}

void ServerRange::Commit(platform::SqlConnection& connection, const std::string& transaction,
                         const std::string& unknown) const {
  try {
    connection.Commit();
    return;
  } catch (const DatabaseError&) {
    // Whatever the driver says, the server may have committed before its answer was lost.
  }
  // Asked on new connections, a second apart, while the transaction is still
  // in progress or the server out of reach; a transaction whose link died is
  // ended by the server itself within the idle wait, which the asking outlasts.
  using Clock = std::chrono::steady_clock;
  const auto give_up = Clock::now() + platform::database_waits::kSettle;
  for (long asked = 0; asked < platform::database_waits::kSettle.count() && !transaction.empty(); ++asked) {
    if (asked > 0) env_.system.Sleep(std::chrono::seconds(1));
    std::string status;
    try {
      const auto rows = Connect()->Execute(StatementText(Statement::TransactionStatus), {transaction});
      if (rows.empty() || !rows.front().front()) break;  // too old to be known
      status = *rows.front().front();
    } catch (const DatabaseError&) {
      if (Clock::now() >= give_up) break;
      continue;  // still cut off
    }
    if (status == "committed") return;
    if (status == "aborted")
      throw ServerRefusal("Die Verbindung zum Server des Nummernkreises " + platform::Quoted(pointer_.range) +
                          " brach ab, bevor er bestätigte; der Server hat alles verworfen.");
    if (Clock::now() >= give_up) break;
  }
  throw UnknownOutcome(unknown);
}

void ServerRange::RecordRefusal(const std::string& application) const {
  Run(false, [&] {
    const auto connection = Connect();
    connection->Execute(StatementText(Statement::RecordRefusal), {pointer_.range, application, GetCurrentUserName(env_),
                                                                  env_.system.ComputerName(), NewRecordKey()});
    connection->Commit();
  });
}

void ServerRange::ForEachRecord(const std::function<void(const StoredRecord&)>& take) const {
  Run(false, [&] {
    Connect()->ForEachRow(StatementText(Statement::ReadRecords), {pointer_.range}, [&](platform::SqlRow&& row) {
      take({row[0].value_or(""), row[1].value_or(""), row[2].value_or(""), row[3].value_or(""), row[4].value_or(""),
            row[5].value_or(""), CounterIn(row[6])});
    });
  });
}

bool ServerRange::Create(const IniDocument& content) const {
  return Run(false, [&] {
    const auto connection = Connect();
    const auto run = [&](Statement statement) { connection->Execute(StatementText(statement)); };
    for (Statement table :
         {Statement::CreateRangeTable, Statement::CreateUsageTable, Statement::AddRangeColumns,
          Statement::AddRecordCounter, Statement::IndexRecordCounter, Statement::DropEarlierRecordConstraint,
          Statement::DropEarlierRecordIndex, Statement::CreateSchemaTable})
      run(table);
    const auto version = connection->Execute(StatementText(Statement::ReadSchemaVersion));
    if (!version.empty() && version.front().front() &&
        ParseInteger(*version.front().front()).value_or(0) > kSchemaVersion)
      throw ServerRefusal("Die Tabellen von Trelvo auf dem Server des Nummernkreises " +
                          platform::Quoted(pointer_.range) +
                          " sind von einer neueren Version. Diese Version von trelvo ändert sie nicht.");
    const auto schema = connection->Execute(StatementText(Statement::TablesSchema));
    const std::string tables = schema.empty() ? "public" : schema.front().front().value_or("public");
    run(Statement::CreateStationSchema);
    run(Statement::CreateAdminSchema);
    for (Statement definition :
         {Statement::DefineReadRange, Statement::DefineLockRange, Statement::DefineTryLockRange, Statement::DefineDraw,
          Statement::DefineRecordRefusal, Statement::DefineReadRecords, Statement::DefineWriteRange})
      connection->Execute(DefinitionText(definition, tables));
    run(Statement::SettlePrivileges);
    connection->Execute(StatementText(Statement::WriteSchemaVersion), {std::to_string(kSchemaVersion)});
    for (const auto& name : connection->Execute(StatementText(Statement::ReadRangeNames)))
      if (name.front()) ProveRecordCounters(*connection, *name.front());
    auto values = ValuesOf(content, pointer_path_);
    values.emplace_back(pointer_.range);
    const bool created = !connection->Execute(StatementText(Statement::InsertRange), values).empty();
    const auto transaction = connection->Execute(StatementText(Statement::CurrentTransaction));
    Commit(*connection, transaction.front().front().value_or(""),
           "Die Verbindung zum Server brach ab, bevor er das Anlegen des Nummernkreises " +
               platform::Quoted(pointer_.range) + " bestätigte.");
    return created;
  });
}

std::optional<bool> ServerRange::Exists() const {
  try {
    return !Connect()->Execute(StatementText(Statement::RangeExists), {pointer_.range}).empty();
  } catch (const DatabaseError& error) {
    if (error.sqlstate() == "42P01") return false;  // undefined_table: no range at all
    return std::nullopt;
  }
}

}  // namespace trelvo::engine::server
