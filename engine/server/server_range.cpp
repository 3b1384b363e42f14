#include "engine/server/server_range.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <iterator>
#include <map>
#include <random>

#include "engine/counter_file.h"
#include "engine/integer_text.h"
#include "engine/messages.h"
#include "engine/server/proven_counter.h"
#include "engine/server/server_statements.h"
#include "engine/settings.h"
#include "engine/usage_log.h"
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

std::string NewRecordKey() {
  std::random_device random;
  char key[40];
  std::snprintf(key, sizeof key, "%08x%08x%08x%08x", random(), random(), random(), random());
  return key;
}

std::string WithoutText(std::string text, const std::string& secret) {
  if (secret.empty()) return text;
  for (size_t at = text.find(secret); at != std::string::npos; at = text.find(secret, at + 3))
    text.replace(at, secret.size(), "***");
  return text;
}

// Connection string keys match without regard to case.
bool SameLetters(const std::string& a, const std::string& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
  });
}

// The value of a connection string's key ("" when absent).
std::string ConnectionValue(const std::string& connection, const std::string& wanted) {
  std::string value;
  for (size_t begin = 0; begin < connection.size();) {
    const size_t end = std::min(connection.find(';', begin), connection.size());
    const std::string part = connection.substr(begin, end - begin);
    const size_t equals = part.find('=');
    if (equals != std::string::npos && SameLetters(platform::Trimmed(part.substr(0, equals)), wanted))
      value = part.substr(equals + 1);
    begin = end + 1;
  }
  return value;
}

// The text with the connection's password (Pwd, Password) replaced by "***".
std::string Masked(std::string text, const std::string& connection) {
  for (const char* key : {"Pwd", "Password"}) text = WithoutText(text, ConnectionValue(connection, key));
  return text;
}

std::string MessageFor(const DatabaseError& error, const ServerPointer& pointer, const std::string& path) {
  const std::string range = platform::Quoted(pointer.range);
  const std::string file = platform::Quoted(FileNameOf(path));
  // A driver's text never shows the password, even where it repeats the connection.
  const std::string said = "\r\nDer Server meldet: " + Masked(error.what(), pointer.connection);
  switch (error.failure()) {
    case DatabaseFailure::Unreachable:
      return "Der Server des Nummernkreises " + range + " ist nicht erreichbar (Verbindung in " + file + ")." + said;
    case DatabaseFailure::LoginRefused:
      return "Der Server des Nummernkreises " + range +
             " hat die Anmeldung abgelehnt. Prüfen Sie Benutzer und Kennwort der Verbindung in " + file + "." + said;
    case DatabaseFailure::LockTimeout:
      return "Der Nummernkreis " + range +
             " wird auf dem Server zur Zeit von einer anderen Arbeitsstation gehalten. Bitte versuchen Sie es in "
             "einigen Sekunden erneut.";
    case DatabaseFailure::ConnectionLost:
      return "Die Verbindung zum Server des Nummernkreises " + range + " ist abgebrochen." + said;
    case DatabaseFailure::MissingTable:
      return "Auf dem Server des Nummernkreises " + range +
             " fehlen die Tabellen von Trelvo oder sind von einer früheren Version. Ein Administrator legt sie "
             "mit \"trelvo server-init\" an oder bringt sie damit auf den neuen Stand.";
    case DatabaseFailure::Other: break;
  }
  return "Der Server des Nummernkreises " + range + " meldet einen Fehler." + said;
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

std::string WithoutPassword(const std::string& connection) { return Masked(connection, connection); }

ServerRange::ServerRange(platform::Environment& env, ServerPointer pointer, std::string pointer_path)
    : env_(env), pointer_(std::move(pointer)), pointer_path_(std::move(pointer_path)) {}

// Every failure is told in an error box, once the work's connection is closed
// (no row stays held while the box is open); the operation then ends quietly.
// drawing: the operation would have issued a number, which the message then
// says was not issued.
template <class Work>
auto ServerRange::Run(bool drawing, Work&& work) const {
  std::string message;
  try {
    return work();
  } catch (const DatabaseError& error) {
    message = MessageFor(error, pointer_, pointer_path_);
  } catch (const ServerRefusal& refusal) {
    message = refusal.what();
  } catch (const UnknownOutcome& unknown) {
    message = unknown.what();
    drawing = false;
  }
  if (drawing) message += "\r\nEs wurde keine Nummer vergeben.";
  platform::ShowErrorBox(env_.ui, message);
  throw Aborted(message);
}

std::unique_ptr<platform::SqlConnection> ServerRange::Connect() const {
  auto connection = env_.databases.Connect(pointer_.connection);
  connection->Execute(StatementText(Statement::SessionSetup));
  return connection;
}

IniDocument ServerRange::Load() const {
  return Run(false, [&] {
    const auto rows = Connect()->Execute(StatementText(Statement::ReadRange), {pointer_.range});
    if (rows.empty()) throw ServerRefusal(MissingRangeMessage(pointer_, pointer_path_));
    return DocumentOf(rows.front());
  });
}

std::optional<std::string> ServerRange::Update(const std::function<std::optional<ServerRecord>(IniDocument&)>& change,
                                               bool draws) const {
  return Run(draws, [&]() -> std::optional<std::string> {
    const std::string key = NewRecordKey();
    const auto connection = Connect();
    const auto rows = connection->Execute(StatementText(Statement::ReadRangeForUpdate), {pointer_.range});
    if (rows.empty()) throw ServerRefusal(MissingRangeMessage(pointer_, pointer_path_));
    IniDocument document = DocumentOf(rows.front());
    const std::string before = document.Bytes();
    const std::optional<ServerRecord> record = change(document);
    if (document.Bytes() != before) {
      auto values = ValuesOf(document, pointer_path_);
      values.emplace_back(pointer_.range);
      connection->Execute(StatementText(Statement::WriteRange), values);
    }
    if (record) {
      try {
        connection->Execute(StatementText(Statement::InsertRecord), RecordValues(*record, key));
      } catch (const DatabaseError& error) {
        // 23505, unique_violation: the counter value has its record already,
        // so the range's counter was set back on the server.
        if (error.sqlstate() != "23505" || !record->counter) throw;
        throw ServerRefusal("Der Zählerwert " + std::to_string(*record->counter) + " des Nummernkreises " +
                            platform::Quoted(pointer_.range) +
                            " ist schon vergeben: der Zähler auf dem Server wurde zurückgesetzt. Ein Administrator "
                            "setzt ihn auf den zuletzt vergebenen Wert.");
      }
    }
    try {
      connection->Commit();
    } catch (const DatabaseError& error) {
      if (!record || error.failure() != DatabaseFailure::ConnectionLost) throw;
      return FindCommitted(key);  // only the record tells whether the server committed before the link broke
    }
    if (!record) return std::nullopt;
    return record->number;
  });
}

std::string ServerRange::FindCommitted(const std::string& key) const {
  constexpr int kAttempts = 3;
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    if (attempt > 0) env_.system.Sleep(std::chrono::seconds(1));
    std::vector<platform::SqlRow> rows;
    try {
      rows = Connect()->Execute(StatementText(Statement::FindRecord), {key});
    } catch (const DatabaseError&) {
      continue;  // still cut off
    }
    if (!rows.empty() && rows.front().front()) return *rows.front().front();
    throw ServerRefusal("Die Verbindung zum Server des Nummernkreises " + platform::Quoted(pointer_.range) +
                        " brach während der Ziehung ab; der Server hat sie verworfen.");
  }
  throw UnknownOutcome("Die Verbindung zum Server des Nummernkreises " + platform::Quoted(pointer_.range) +
                       " brach ab, bevor er die Ziehung bestätigte, und ist nicht wiederherzustellen. Ob eine Nummer "
                       "vergeben wurde, zeigen die Datensätze des Nummernkreises auf dem Server (Ziehung " +
                       key + ").\r\nBitte ziehen Sie erst dann erneut, wenn das geklärt ist.");
}

std::vector<SqlValue> ServerRange::RecordValues(const ServerRecord& record, const std::string& key) const {
  return {pointer_.range,
          record.number,
          FormatLogTime(record.when, ":"),
          record.application,
          GetCurrentUserName(env_),
          env_.system.ComputerName(),
          key,
          record.counter ? SqlValue(std::to_string(*record.counter)) : std::nullopt};
}

void ServerRange::Record(const ServerRecord& record) const {
  Run(false, [&] {
    const auto connection = Connect();
    connection->Execute(StatementText(Statement::InsertRecord), RecordValues(record, NewRecordKey()));
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
    connection->Execute(StatementText(Statement::CreateRangeTable));
    connection->Execute(StatementText(Statement::CreateUsageTable));
    connection->Execute(StatementText(Statement::AddRecordCounter));
    connection->Execute(StatementText(Statement::IndexRecordCounter));
    for (const auto& name : connection->Execute(StatementText(Statement::ReadRangeNames)))
      if (name.front()) ProveRecordCounters(*connection, *name.front());
    auto values = ValuesOf(content, pointer_path_);
    values.emplace_back(pointer_.range);
    const bool created = !connection->Execute(StatementText(Statement::InsertRange), values).empty();
    connection->Commit();
    return created;
  });
}

}  // namespace trelvo::engine::server
