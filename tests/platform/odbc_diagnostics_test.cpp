// Failures of a database server as the ODBC layer tells them: classified by
// their SQLSTATEs (a refused login by the form of the driver's text, never by
// its words), with the whole of the driver's text, against a scratch server
// of the test's own whose messages are German; and the waits a connection
// string gets for a link that stops answering.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <thread>

#include "platform/database_waits.h"
#include "platform/odbc/bounded_waits.h"
#include "platform/sql_connection.h"
#include "tests/support/scratch_server.h"

namespace trelvo::platform {
namespace {

using testing::ConnectionAs;

// A server of its own, started with German messages and stopped after the
// suite (the shared scratch server keeps the language it was started with).
class GermanServer : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    const char* script = std::getenv("TRELVO_TEST_SERVER_SCRIPT");
    if (!script || testing::ScratchServerFolder().empty()) return;
    script_ = script;
    folder_ = testing::ScratchServerFolder() + "-deutsch";
    if (std::system((script_ + " start '" + folder_ + "' --messages de_DE.UTF-8").c_str()) != 0) return;
    std::ifstream in(folder_ + "/connection");
    std::getline(in, connection_);
  }
  static void TearDownTestSuite() {
    if (!folder_.empty()) std::system((script_ + " stop '" + folder_ + "'").c_str());
  }
  void SetUp() override {
    ASSERT_FALSE(connection_.empty()) << "no German scratch server: run the tests through CTest";
  }

  static std::unique_ptr<SqlConnection> Connect(const std::string& connection) {
    return OdbcConnector().Connect(connection);
  }
  // The error a call throws; a call that does not throw fails the test.
  template <class Call>
  static DatabaseError ErrorFrom(Call&& call) {
    try {
      call();
    } catch (const DatabaseError& error) {
      return error;
    }
    ADD_FAILURE() << "no DatabaseError";
    return DatabaseError(DatabaseFailure::Other, "", "");
  }
  static std::string With(std::string connection, const std::string& key, const std::string& value) {
    const size_t at = connection.find(key + "=");
    const size_t end = connection.find(';', at);
    return connection.replace(at, end - at, key + "=" + value);
  }

  static std::string script_, folder_, connection_;
};
std::string GermanServer::script_, GermanServer::folder_, GermanServer::connection_;

// A TCP port on 127.0.0.1 that is listened on (connections complete in the
// kernel's backlog) but never answered; or, once closed, refused.
class SilentPort {
 public:
  SilentPort() : socket_(::socket(AF_INET, SOCK_STREAM, 0)) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    if (::bind(socket_, reinterpret_cast<sockaddr*>(&address), size) != 0 || ::listen(socket_, 8) != 0 ||
        ::getsockname(socket_, reinterpret_cast<sockaddr*>(&address), &size) != 0)
      ADD_FAILURE() << "no port to listen on";
    port_ = ntohs(address.sin_port);
  }
  SilentPort(const SilentPort&) = delete;
  SilentPort& operator=(const SilentPort&) = delete;
  ~SilentPort() { Close(); }
  int port() const { return port_; }
  void Close() {
    if (socket_ >= 0) ::close(socket_);
    socket_ = -1;
  }

 private:
  int socket_;
  int port_ = 0;
};

struct LoginCase {
  const char* what;
  std::function<std::string(const std::string&)> connection;
  DatabaseFailure failure;
  std::string said;  // part of the text: the server's German words, or libpq's
};

TEST_F(GermanServer, ALoginIsToldRefusedOrUnreachableWhateverTheLanguageOfTheServer) {
  SilentPort closed;
  closed.Close();  // nobody listens there any more
  const LoginCase cases[] = {
      {"wrong password", [](const std::string& c) { return ConnectionAs(c, "trelvo_user", "falsch"); },
       DatabaseFailure::LoginRefused, "Passwort-Authentifizierung für Benutzer »trelvo_user« fehlgeschlagen"},
      {"unknown role", [](const std::string& c) { return ConnectionAs(c, "niemand", "geheim"); },
       DatabaseFailure::LoginRefused, "Passwort-Authentifizierung für Benutzer »niemand« fehlgeschlagen"},
      {"unknown database", [](const std::string& c) { return With(c, "Database", "fehlt"); },
       DatabaseFailure::LoginRefused, "Datenbank »fehlt« existiert nicht"},
      {"no server listening", [&](const std::string& c) { return With(c, "Port", std::to_string(closed.port())); },
       DatabaseFailure::Unreachable, "port " + std::to_string(closed.port())},
  };
  for (const LoginCase& login : cases) {
    const DatabaseError error = ErrorFrom([&] { Connect(login.connection(connection_)); });
    EXPECT_EQ(error.failure(), login.failure) << login.what << ": " << error.what();
    // psqlODBC reports every failed login as 08001, whoever failed it.
    EXPECT_EQ(error.sqlstate(), "08001") << login.what;
    EXPECT_NE(std::string(error.what()).find(login.said), std::string::npos) << login.what << ": " << error.what();
  }
}

TEST_F(GermanServer, AServerThatTakesTheConnectionButNeverAnswersIsUnreachable) {
  const SilentPort silent;
  const DatabaseError error = ErrorFrom([&] { Connect(With(connection_, "Port", std::to_string(silent.port()))); });
  EXPECT_EQ(error.failure(), DatabaseFailure::Unreachable) << error.what();
  EXPECT_EQ(error.sqlstate(), "08001");
}

TEST_F(GermanServer, AConnectionEndedByTheServerMidTransactionIsLost) {
  const auto drawing = Connect(connection_);
  const std::string pid = *drawing->Execute("SELECT pg_backend_pid()").front().front();
  const auto other = Connect(connection_);
  ASSERT_EQ(other->Execute("SELECT pg_terminate_backend(CAST(? AS integer))", {pid}).front().front(), "1");
  const DatabaseError error = ErrorFrom([&] { drawing->Execute("SELECT 1"); });
  EXPECT_EQ(error.failure(), DatabaseFailure::ConnectionLost) << error.what();
  EXPECT_EQ(error.sqlstate(), "57P01");
  EXPECT_NE(std::string(error.what()).find("Anweisung des Administrators"), std::string::npos) << error.what();
}

TEST_F(GermanServer, EveryStatementCarriesItsTimeLimitAndACancelledOneIsAnErrorOfTheServer) {
  const auto waiting = Connect(connection_);
  // psqlODBC has the server keep the statement's time limit.
  EXPECT_EQ(waiting->Execute("SHOW statement_timeout").front().front(),
            std::to_string(database_waits::kStatement.count()) + "s");
  const std::string pid = *waiting->Execute("SELECT pg_backend_pid()").front().front();
  std::atomic<bool> cancelled = false;
  std::thread canceller([&] {
    const auto other = Connect(connection_);
    for (int tries = 0; tries < 500 && !cancelled; ++tries) {
      const auto rows = other->Execute(
          "SELECT pg_cancel_backend(pid) FROM pg_stat_activity WHERE pid = CAST(? AS integer) AND state = 'active'",
          {pid});
      cancelled = !rows.empty() && rows.front().front() == "1";
      other->Rollback();
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
  });
  const DatabaseError error = ErrorFrom([&] { waiting->Execute("SELECT pg_sleep(8)"); });
  canceller.join();
  ASSERT_TRUE(cancelled);
  EXPECT_EQ(error.failure(), DatabaseFailure::Other) << error.what();
  EXPECT_EQ(error.sqlstate(), "57014");
  EXPECT_NE(std::string(error.what()).find("storniere Anfrage"), std::string::npos) << error.what();
}

TEST_F(GermanServer, ARowHeldLongerThanTheSessionWaitsIsALockTimeout) {
  const auto holder = Connect(connection_);
  holder->Execute("CREATE TABLE IF NOT EXISTS diagnostics_held (one integer)");
  holder->Commit();
  holder->Execute("LOCK TABLE diagnostics_held");
  const auto waiter = Connect(connection_);
  waiter->Execute("SET lock_timeout = '200ms'");
  const DatabaseError error = ErrorFrom([&] { waiter->Execute("LOCK TABLE diagnostics_held"); });
  EXPECT_EQ(error.failure(), DatabaseFailure::LockTimeout) << error.what();
  EXPECT_EQ(error.sqlstate(), "55P03");
}

TEST_F(GermanServer, ADriversMessageArrivesWholeHoweverLong) {
  const auto connection = Connect(connection_);
  const DatabaseError error = ErrorFrom([&] {
    connection->Execute(
        "DO $$BEGIN RAISE EXCEPTION '%', repeat('Zähler ', 400) || 'Ende' USING ERRCODE = '22012'; END$$");
  });
  std::string expected;
  for (int i = 0; i < 400; ++i) expected += "Zähler ";
  EXPECT_NE(std::string(error.what()).find(expected + "Ende"), std::string::npos);
  EXPECT_EQ(error.sqlstate(), "22012");
  EXPECT_EQ(error.failure(), DatabaseFailure::Other);
}

// A pointer that sets a wait itself keeps it, and psqlODBC takes the string
// (it refuses one whose pqopt sets a libpq option it also sets with another
// value).
TEST_F(GermanServer, APointersOwnWaitsAreKeptAndTheDriverTakesTheStringWithThem) {
  for (const char* own : {"pqopt={keepalives_idle=30 keepalives_interval=5};", "pqopt={connect_timeout=3};",
                          "KeepaliveTime=30;D2=5;pqopt={tcp_user_timeout=20000 keepalives_count=9};"}) {
    const auto connection = Connect(connection_ + own);
    EXPECT_EQ(connection->Execute("SELECT 1").front().front(), "1") << own;
  }
}

TEST(BoundedWaits, ThePointerGetsTheWaitsItLeavesOpenAndKeepsTheOnesItSets) {
  namespace w = database_waits;
  const std::string idle = "KeepaliveTime=" + std::to_string(w::kKeepaliveIdle.count()) + ";";
  const std::string interval = "KeepaliveInterval=" + std::to_string(w::kKeepaliveInterval.count()) + ";";
  const std::string count = "keepalives_count=" + std::to_string(w::kKeepaliveProbes);
  const std::string unacknowledged =
      "tcp_user_timeout=" + std::to_string(std::chrono::milliseconds(w::kUnacknowledged).count());
  const std::string base = "Driver={PostgreSQL Unicode};Server=db;Uid=trelvo;Pwd={a;b}}c}";
  struct Case {
    std::string pointer, driver;
    bool own_login_timeout;
  };
  const Case cases[] = {
      {base, base + ";" + idle + interval + "pqopt={" + count + " " + unacknowledged + "};", false},
      {base + ";KeepaliveTime=60;d2=7;", base + ";KeepaliveTime=60;d2=7;pqopt={" + count + " " + unacknowledged + "};",
       false},
      // The pointer's libpq options stay; only what they leave open is added.
      {base + ";pqopt={sslmode=require keepalives_idle=30 tcp_user_timeout=5000};Port=5433",
       base + ";pqopt={sslmode=require keepalives_idle=30 tcp_user_timeout=5000 " + count + "};Port=5433;" + interval,
       false},
      // psqlODBC reads an unbraced value with "+" as a space and "%2F" as "/"; in braces "}}" is "}".
      {base + ";D5=sslrootcert=%2Fc}}a+connect_timeout=5",
       base + ";D5={sslrootcert=/c}}}}a connect_timeout=5 " + count + " " + unacknowledged + "};" + idle + interval,
       true},
      {base + ";pqopt={keepalives_count=2 tcp_user_timeout=1};KeepaliveTime=1;KeepaliveInterval=1",
       base + ";pqopt={keepalives_count=2 tcp_user_timeout=1};KeepaliveTime=1;KeepaliveInterval=1", false},
      // A data source may set them all: nothing of its is replaced.
      {"DSN=Nummern;Uid=trelvo", "DSN=Nummern;Uid=trelvo", false},
      {"FILEDSN=n.dsn;pqopt={connect_timeout=4}", "FILEDSN=n.dsn;pqopt={connect_timeout=4}", true},
  };
  for (const Case& c : cases) {
    const DriverConnectionString driver = WithBoundedWaits(c.pointer);
    EXPECT_EQ(driver.text, c.driver) << c.pointer;
    EXPECT_EQ(driver.pointer_sets_login_timeout, c.own_login_timeout) << c.pointer;
  }
}

}  // namespace
}  // namespace trelvo::platform
