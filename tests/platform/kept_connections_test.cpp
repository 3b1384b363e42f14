// Connections kept between uses: one login for many draws, nothing kept that
// failed or left its transaction open, and a kept connection found broken
// opened anew once.
#include "platform/kept_connections.h"

#include <gtest/gtest.h>

namespace trelvo::platform {
namespace {

// Connections that record what they were asked and fail where told to.
struct Script {
  int opened = 0, closed = 0, rollbacks = 0, commits = 0;
  std::vector<std::string> statements;
  bool break_next_statement = false;  // the next statement finds the link gone
  std::string refuse_next_statement;  // the SQLSTATE the server answers the next statement with
  bool fail_commit = false;
};

class ScriptedConnection : public SqlConnection {
 public:
  explicit ScriptedConnection(Script& script) : script_(script) { ++script_.opened; }
  ~ScriptedConnection() override { ++script_.closed; }
  void ForEachRow(const std::string& statement, const std::vector<SqlValue>&,
                  const std::function<void(SqlRow&&)>&) override {
    if (std::exchange(script_.break_next_statement, false))
      throw DatabaseError(DatabaseFailure::ConnectionLost, "08S01", "Verbindung getrennt");
    if (const std::string state = std::exchange(script_.refuse_next_statement, ""); !state.empty())
      throw DatabaseError(ClassifySqlState(state), state, "vom Server abgelehnt");
    script_.statements.push_back(statement);
  }
  void Commit() override {
    if (script_.fail_commit) throw DatabaseError(DatabaseFailure::ConnectionLost, "08S01", "Verbindung getrennt");
    ++script_.commits;
  }
  void Rollback() override { ++script_.rollbacks; }

 private:
  Script& script_;
};

class ScriptedConnector : public DatabaseConnector {
 public:
  Script script;
  std::unique_ptr<SqlConnection> Connect(const std::string&) override {
    return std::make_unique<ScriptedConnection>(script);
  }
};

TEST(KeptConnections, ManyUsesLogInOnceAndEachEndsRolledBackOrCommitted) {
  ScriptedConnector server;
  KeptConnections kept(server);
  for (int draw = 0; draw < 3; ++draw) {
    auto connection = kept.Connect("Server=a");
    connection->Execute("SET");
    connection->Execute("DRAW");
    connection->Commit();
  }
  kept.Connect("Server=a")->Execute("READ");  // let go inside its transaction
  EXPECT_EQ(server.script.opened, 1);
  EXPECT_EQ(server.script.commits, 3);
  EXPECT_EQ(server.script.rollbacks, 1) << "a use left inside its transaction is rolled back before it is kept";
  kept.Connect("Server=b");
  EXPECT_EQ(server.script.opened, 2) << "each connection string its own";
  kept.Close();
  EXPECT_EQ(server.script.closed, 2);
}

TEST(KeptConnections, AFailedConnectionIsNeverKept) {
  const struct {
    const char* what;
    bool statement_fails, commit_fails;
  } cases[] = {{"a statement failed", true, false}, {"the commit failed", false, true}};
  for (const auto& c : cases) {
    ScriptedConnector server;
    KeptConnections kept(server);
    {
      auto connection = kept.Connect("Server=a");
      connection->Execute("SET");
      server.script.break_next_statement = c.statement_fails;
      server.script.fail_commit = c.commit_fails;
      if (c.statement_fails) {
        EXPECT_THROW(connection->Execute("DRAW"), DatabaseError) << c.what;
      } else {
        EXPECT_THROW(connection->Commit(), DatabaseError) << c.what;
      }
    }
    EXPECT_EQ(server.script.closed, 1) << c.what;
    EXPECT_EQ(server.script.rollbacks, 0) << c.what;
    server.script.fail_commit = false;
    kept.Connect("Server=a")->Execute("SET");
    EXPECT_EQ(server.script.opened, 2) << c.what;
  }
}

// A row held by another workstation is the server's answer: the link is
// sound, and the connection is kept (rolled back) for the next draw. Any other
// refusal may have left it in a state nobody knows, and it is closed.
TEST(KeptConnections, OnlyARowHeldElsewhereKeepsARefusedConnection) {
  const struct {
    const char* sqlstate;
    bool kept;
  } cases[] = {{"55P03", true}, {"57014", false}, {"HY000", false}};
  for (const auto& c : cases) {
    ScriptedConnector server;
    KeptConnections kept(server);
    {
      auto connection = kept.Connect("Server=a");
      connection->Execute("SET");
      server.script.refuse_next_statement = c.sqlstate;
      EXPECT_THROW(connection->Execute("TRY LOCK"), DatabaseError) << c.sqlstate;
    }
    kept.Connect("Server=a")->Execute("SET");
    EXPECT_EQ(server.script.opened, c.kept ? 1 : 2) << c.sqlstate;
    EXPECT_EQ(server.script.rollbacks, c.kept ? 2 : 1) << c.sqlstate << ": each kept use ends rolled back";
  }
}

// A kept connection found broken at its next use's first statement is opened
// anew, once, and that statement runs there; a break after it is the caller's.
TEST(KeptConnections, AKeptConnectionFoundBrokenIsOpenedAnewOnce) {
  ScriptedConnector server;
  KeptConnections kept(server);
  kept.Connect("Server=a")->Execute("SET");
  {
    server.script.break_next_statement = true;
    auto connection = kept.Connect("Server=a");
    connection->Execute("SET");
    connection->Execute("DRAW");
    connection->Commit();
  }
  EXPECT_EQ(server.script.opened, 2);
  EXPECT_EQ(server.script.closed, 1);
  EXPECT_EQ(server.script.statements, (std::vector<std::string>{"SET", "SET", "DRAW"}));

  auto connection = kept.Connect("Server=a");
  connection->Execute("SET");
  server.script.break_next_statement = true;
  EXPECT_THROW(connection->Execute("DRAW"), DatabaseError) << "never run twice";
  EXPECT_EQ(server.script.opened, 2);
}

TEST(KeptConnections, AConnectionLetGoAfterItsConnectorIsClosed) {
  ScriptedConnector server;
  std::unique_ptr<SqlConnection> late;
  {
    KeptConnections kept(server);
    late = kept.Connect("Server=a");
  }
  late->Execute("SET");
  late.reset();
  EXPECT_EQ(server.script.closed, 1);
}

}  // namespace
}  // namespace trelvo::platform
