#pragma once
// A number range on a database server. A counter file whose section [Server]
// names a connection and a range is a pointer: the range's counter, format,
// lock holder and usage records live in the server's rows. Its row is handed
// to the engine as the document of a counter file, so every rule that reads
// or writes a counter file applies to it unchanged; a draw and its record are
// one transaction.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "engine/ini/ini_document.h"
#include "platform/environment.h"

namespace trelvo::engine::server {

namespace server_keys {
inline constexpr char kServerSection[] = "Server";
inline constexpr char kConnection[] = "Connection";
inline constexpr char kRange[] = "Range";
}  // namespace server_keys

struct ServerPointer {
  std::string connection;  // an ODBC connection string
  std::string range;       // the range's name on the server
};
// The pointer that a counter file's content holds, or nullopt for a counter
// file of its own. A [Server] section that lacks one of its keys is refused.
std::optional<ServerPointer> ServerPointerIn(const IniDocument& document, const std::string& path);

// A connection string with the value of its password (Pwd, Password) replaced
// by "***", for showing it.
std::string WithoutPassword(const std::string& connection);

// A usage record: what a line of the usage log holds.
struct ServerRecord {
  std::string number;
  std::string application;
  platform::LocalDateTime when;
  std::optional<int64_t> counter;  // the value a draw advanced to; none for a refusal
};
struct StoredRecord {
  std::string number, time, application, user, workstation;
  std::string key;  // the draw's own key
  // The counter value the draw advanced to; nullopt where the record does not
  // prove it (a refusal, or a record older than the column).
  std::optional<int64_t> counter;
};

class ServerRange {
 public:
  // pointer_path: the pointer file, named in messages.
  ServerRange(platform::Environment& env, ServerPointer pointer, std::string pointer_path);
  const ServerPointer& pointer() const { return pointer_; }

  // The range's row as a counter file's content.
  IniDocument Load() const;
  // Runs change on the row under a row lock and writes what it changed; the
  // record it answers is inserted in the same transaction. Answers the
  // committed record's number (nullopt when change answered none). When the
  // connection breaks during the commit, the record is looked for by its own
  // key on a new connection: found, the number was issued; not found, it was
  // not. Every failure is told in an error box (then Aborted); draws: a draw's
  // message says that no number was issued.
  std::optional<std::string> Update(const std::function<std::optional<ServerRecord>(IniDocument&)>& change,
                                    bool draws) const;
  // A record of its own (a refused draw).
  void Record(const ServerRecord& record) const;
  // Every record of the range, oldest first, one after another as the server
  // sends them (a year's records are never held at once).
  void ForEachRecord(const std::function<void(const StoredRecord&)>& take) const;
  // Creates the tables when absent and the range with the values of content;
  // false when the range existed already (it is left as it is). Tables of an
  // earlier version get the records' counter column, filled where a record's
  // number proves its value under its range's present format.
  bool Create(const IniDocument& content) const;

 private:
  template <class Work>
  auto Run(bool drawing, Work&& work) const;
  std::unique_ptr<platform::SqlConnection> Connect() const;
  // The number of the draw whose record has this key; throws when there is none.
  std::string FindCommitted(const std::string& key) const;
  std::vector<platform::SqlValue> RecordValues(const ServerRecord& record, const std::string& key) const;

  platform::Environment& env_;
  ServerPointer pointer_;
  std::string pointer_path_;
};

}  // namespace trelvo::engine::server
