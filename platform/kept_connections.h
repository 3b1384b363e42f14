#pragma once
// Database connections kept for the next use: a host's session logs in to a
// range's server once and draws over the same connection again (a login is
// most of a draw's time). Each connection string keeps one idle connection.
// A connection comes back when its user lets it go, rolled back, unless a
// statement or the end of its transaction failed: that one is closed (but for
// a statement that found its row held by another workstation). A kept
// connection that turns out broken at the first statement of its next use is
// closed and opened anew once, and that statement runs again: callers begin
// each use with a statement that may run twice (the session's settings).
#include <map>
#include <memory>
#include <string>

#include "platform/sql_connection.h"

namespace trelvo::platform {

class KeptConnections : public DatabaseConnector {
 public:
  explicit KeptConnections(DatabaseConnector& opener = OdbcConnector());
  ~KeptConnections() override;
  KeptConnections(const KeptConnections&) = delete;
  KeptConnections& operator=(const KeptConnections&) = delete;

  std::unique_ptr<SqlConnection> Connect(const std::string& connection_string) override;
  // Closes every idle connection (the add-in disconnecting); one still in use
  // comes back when let go and is closed with the connector.
  void Close();

 private:
  class Lent;
  using Idle = std::map<std::string, std::unique_ptr<SqlConnection>>;
  DatabaseConnector& opener_;
  std::shared_ptr<Idle> idle_;
};

}  // namespace trelvo::platform
