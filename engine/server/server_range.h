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
#include "engine/number_store.h"
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
  // Runs change on the row under a row lock and writes what it changed (the
  // administrator's right).
  void Update(const std::function<void(IniDocument&)>& change) const;
  // A draw: take plans it on the row under a row lock, at the server's time;
  // the server advances the counter to the planned value (a new period
  // restarting it) and records the number with that time, in one transaction. Answers the issued number (nullopt when take
  // planned none). A commit that goes unanswered is settled by asking the
  // server what became of the transaction; only what it confirms is told as
  // issued or not issued. Every failure is told in an error box (then
  // Aborted), saying whether a number was issued or that it is unknown.
  std::optional<std::string> Draw(const NumberStore::DrawPlan& take, const std::string& application) const;
  // The record of a draw refused because the range was locked.
  void RecordRefusal(const std::string& application) const;
  // Every record of the range, oldest first, one after another as the server
  // sends them (a year's records are never held at once).
  void ForEachRecord(const std::function<void(const StoredRecord&)>& take) const;
  // Creates or upgrades tables and functions, and creates the range with the
  // values of content; false when the range existed already (it is left as it
  // is). Tables of an earlier version get the records' counter column, filled
  // where a record's number proves its value under its range's present format.
  bool Create(const IniDocument& content) const;
  // Whether the range exists: nullopt when the server cannot say.
  std::optional<bool> Exists() const;

 private:
  template <class Work>
  auto Run(bool drawing, Work&& work) const;
  std::unique_ptr<platform::SqlConnection> Connect() const;
  // Commits; a commit that fails is settled by the transaction's status on
  // new connections: aborted is refused, and what the server cannot confirm
  // is told with the unknown message.
  void Commit(platform::SqlConnection& connection, const std::string& transaction, const std::string& unknown) const;

  platform::Environment& env_;
  ServerPointer pointer_;
  std::string pointer_path_;
};

}  // namespace trelvo::engine::server
