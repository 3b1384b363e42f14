#pragma once
// A number store: what a counter-file path becomes when it is opened, chosen
// once by the file's content and never asked again (a file system's method
// table is chosen the same way when a file is opened): a counter file with its
// usage log, or a range on a database server with its usage table. Everything
// above the engine speaks to a store, and no caller asks which it is.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "engine/ini/ini_document.h"
#include "platform/environment.h"

namespace trelvo::engine {

namespace server {
class ServerRange;
}

// A record of a number's use, as a store keeps it.
struct UsageRecord {
  std::string number;              // the number, or "#ini gesperrt#" for a refused draw
  std::optional<int64_t> counter;  // the counter value drawn, where the store knows it
  std::string date;                // "2026-03-05"
  std::string time;                // "14:07:09" (in a usage log with its writer's separator)
  std::string application;
  std::string user;
  std::string workstation;  // empty in a usage log
};

// One of a store's records in order, or a line of a usage log that holds none.
struct StoredEntry {
  size_t place = 0;  // the log's line number; the record's place among the range's records
  std::optional<UsageRecord> record;
  std::string problem;  // why the line holds no record
};

// What a draw's planning step decided under the range's lock.
struct Drawn {
  std::string number;
  int32_t counter = 0;  // the counter value the number shows
};
struct StoreDraw {
  std::optional<std::string> number;      // the number issued, if any
  std::optional<std::string> unrecorded;  // why its record could not be stored (the number stands)
};

class NumberStore {
 public:
  virtual ~NumberStore() = default;
  NumberStore(const NumberStore&) = delete;
  NumberStore& operator=(const NumberStore&) = delete;

  // The counter-file path it was opened from (named in messages).
  const std::string& path() const { return path_; }
  virtual bool Exists() const = 0;
  // The range: counter, format, description and lock as a counter file's content.
  virtual IniDocument Read() const = 0;
  // Changes the range under its lock (the administrator's lock, the Options dialog).
  virtual void Update(const std::function<void(IniDocument&)>& change) const = 0;
  // A draw with its record, as one step: take changes the range under its
  // lock and answers the number it issues (or none) at the draw's moment (the
  // workstation's clock; a server's own); the store keeps that number's
  // record. A store that cannot take a record refuses before take runs,
  // saying that no number was issued.
  using DrawPlan = std::function<std::optional<Drawn>(IniDocument&, const platform::LocalDateTime& now)>;
  virtual StoreDraw Draw(const DrawPlan& take, const std::string& application) const = 0;
  // The record of a draw refused because the range was locked.
  virtual void RecordRefusal(const std::string& application) const = 0;
  // The record of a counter changed by hand (its application text, see
  // counter_change.h); a range on a server records its own in the change's
  // transaction, through the administrator's function, and writes nothing here.
  virtual void RecordCounterChange(const std::string& change) const = 0;
  // Every record of the store, oldest first, one at a time as read.
  virtual void ForEachRecord(const std::function<void(const StoredEntry&)>& take) const = 0;
  // The server range behind a pointer, for what only a server has (its
  // connection, server-init); nullptr for a counter file.
  virtual const server::ServerRange* Server() const { return nullptr; }

 protected:
  explicit NumberStore(std::string path) : path_(std::move(path)) {}

 private:
  std::string path_;
};

// Opens a counter-file path: a file with a [Server] section is a pointer to a
// range on a server, any other (a missing one too) a counter file whose
// records go to the usage log of the settings. The content chooses on the
// store's first use, which reads it: a draw under its own lock, so that an
// Insert reads the file once. A busy file is told in its error box (Aborted),
// a pointer without its range is refused, at that first use.
std::unique_ptr<NumberStore> OpenNumberStore(platform::Environment& env, const std::string& path);
// The current counter file named by the settings file.
std::unique_ptr<NumberStore> OpenCurrentNumberStore(platform::Environment& env);

}  // namespace trelvo::engine
