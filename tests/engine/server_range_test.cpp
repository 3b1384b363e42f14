// Number ranges on a server: the tests' own PostgreSQL, reached through the
// machine's ODBC driver manager, with counter files and the log on fakes.
#include <gtest/gtest.h>

#include <sstream>

#include "cli/trelvo_tool.h"
#include "engine/server/server_range.h"
#include "engine/counter_lock.h"
#include "engine/number_drawing.h"
#include "engine/number_store.h"
#include "platform/fake/fake_system.h"
#include "platform/kept_connections.h"
#include "tests/support/scratch_server.h"

namespace trelvo::engine {
namespace {

using platform::DatabaseError;
using platform::DatabaseFailure;
using testing::ScratchServerConnection;

constexpr char kPointer[] = "S:\\Nummern\\server.ini";

class ServerRange : public ::testing::Test {
 protected:
  platform::FakeEnvironment fake;
  platform::Environment& env = fake.env;
  std::string connection = ScratchServerConnection();
  std::string range = testing::FreshRangeName("Firma");

  void SetUp() override {
    ASSERT_FALSE(connection.empty()) << "no scratch server: run the tests through CTest";
    fake.files.AddFolder("S:\\Nummern");
    PointTo(connection, range);
  }
  void PointTo(const std::string& to, const std::string& name) {
    fake.files.SetFile(kPointer, "[Server]\r\nConnection=" + to + "\r\nRange=\"" + name + "\"\r\n");
  }
  int Tool(std::vector<std::string> args, std::string* printed = nullptr) {
    std::ostringstream out, err;
    const int status = cli::RunTrelvoTool(args, env, out, err);
    if (printed) *printed = out.str();
    return status;
  }
  void CreateRange(const std::string& counter_file_content) {
    fake.files.SetFile("S:\\Nummern\\alt.ini", counter_file_content);
    ASSERT_EQ(Tool({"server-init", "--counter-file", kPointer, "--from", "S:\\Nummern\\alt.ini"}), cli::kExitOk)
        << (fake.ui.shown.empty() ? "" : fake.ui.shown.back().text);
  }
  std::unique_ptr<NumberStore> Pointer() { return OpenNumberStore(env, kPointer); }
  std::vector<server::StoredRecord> Records() {
    std::vector<server::StoredRecord> records;
    Pointer()->Server()->ForEachRecord([&](const server::StoredRecord& record) { records.push_back(record); });
    return records;
  }
  std::string ServerTime() {
    return *platform::OdbcConnector()
                .Connect(connection)
                ->Execute("SELECT to_char(localtimestamp(0), 'YYYY-MM-DD HH24:MI:SS')")
                .front()
                .front();
  }
  std::string LastBox() const { return fake.ui.shown.empty() ? "" : fake.ui.shown.back().text; }
};

TEST_F(ServerRange, ServerInitMovesACounterFileAndDrawsContinueItsSequenceWithTheirRecords) {
  CreateRange("[Zaehler]\r\nCounter=41\r\n[Optionen]\r\nTextBefore=\"RE-\"\r\nPadding=3\r\n");
  // The old file stays locked for good, naming where the range went.
  EXPECT_EQ(QueryLockOwner(*OpenNumberStore(env, "S:\\Nummern\\alt.ini")),
            "Auf den Server umgezogen: Nummernkreis " + range);

  const std::string server_time_before = ServerTime();
  std::string printed;
  EXPECT_EQ(Tool({"draw", "--counter-file", kPointer, "--app", "Batch"}, &printed), cli::kExitOk);
  EXPECT_EQ(printed, "RE-0042\n");
  const DrawResult second = DrawUnderLock(env, *Pointer(), "Excel 11.0");
  EXPECT_TRUE(second.issued && !second.unrecorded);
  EXPECT_EQ(second.number, "RE-0043");
  EXPECT_EQ(PreviewNextNumber(env, *Pointer()), "RE-0044");

  const auto records = Records();
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[0].number, "RE-0042");
  EXPECT_EQ(records[0].application, "Batch");
  EXPECT_EQ(records[1].number, "RE-0043");
  EXPECT_EQ(records[1].application, "Excel 11.0");
  EXPECT_EQ(records[1].user, "mmuster");
  EXPECT_EQ(records[1].workstation, "BUERO-PC1");
  // The server's time, not the workstation's (the fake clock says 2024-03-05).
  EXPECT_GE(records[1].time, server_time_before);
  EXPECT_LE(records[1].time, ServerTime());
  EXPECT_EQ(records[0].counter, 42);
  EXPECT_EQ(records[1].counter, 43);
  // The store hands the same records on, typed.
  std::vector<UsageRecord> typed;
  Pointer()->ForEachRecord([&](const StoredEntry& entry) {
    ASSERT_TRUE(entry.record) << entry.problem;
    EXPECT_EQ(entry.place, typed.size() + 1);
    typed.push_back(*entry.record);
  });
  ASSERT_EQ(typed.size(), 2u);
  EXPECT_EQ(typed[1].number, "RE-0043");
  EXPECT_EQ(typed[1].counter, 43);
  EXPECT_EQ(typed[1].date + " " + typed[1].time, records[1].time);
  EXPECT_EQ(typed[1].workstation, "BUERO-PC1");
  // Nothing went to a usage log file.
  EXPECT_FALSE(fake.files.Content(fake.UserFolder() + "sabulog.csv"));

  // status names the server without its password.
  EXPECT_EQ(Tool({"status", "--counter-file", kPointer}, &printed), cli::kExitOk);
  EXPECT_NE(printed.find("Nummernkreis:     \"" + range + "\""), std::string::npos) << printed;
  EXPECT_NE(printed.find("Pwd=***;"), std::string::npos) << printed;
  EXPECT_EQ(printed.find("owner-secret"), std::string::npos) << printed;

  // A second server-init from a file is refused and leaves that file free.
  fake.files.SetFile("S:\\Nummern\\noch.ini", "[Zaehler]\r\nCounter=7\r\n");
  EXPECT_EQ(Tool({"server-init", "--counter-file", kPointer, "--from", "S:\\Nummern\\noch.ini"}), cli::kExitFailed);
  EXPECT_NE(LastBox().find("gibt es auf dem Server schon"), std::string::npos) << LastBox();
  EXPECT_EQ(fake.files.Content("S:\\Nummern\\noch.ini"), "[Zaehler]\r\nCounter=7\r\n") << "byte for byte as it was";
}

// What a workstation and an administrator are told about a file that moved,
// or could not move, names that file and what became of it.
TEST_F(ServerRange, MessagesAboutAMoveNameTheFileAndWhereItWent) {
  fake.files.SetFile("S:\\Nummern\\kaputt.ini", "[Zaehler]\r\nCounter=abc\r\n");
  EXPECT_EQ(Tool({"server-init", "--counter-file", kPointer, "--from", "S:\\Nummern\\kaputt.ini"}),
            cli::kExitFailed);
  EXPECT_NE(LastBox().find("kaputt.ini"), std::string::npos) << LastBox();
  EXPECT_EQ(LastBox().find("server.ini"), std::string::npos) << LastBox();
  EXPECT_EQ(fake.files.Content("S:\\Nummern\\kaputt.ini"), "[Zaehler]\r\nCounter=abc\r\n");

  CreateRange("[Zaehler]\r\nCounter=3\r\n");
  std::string printed;
  EXPECT_EQ(Tool({"draw", "--counter-file", "S:\\Nummern\\alt.ini"}, &printed), cli::kExitLocked);
  EXPECT_NE(LastBox().find("ist auf einen Server umgezogen: ein Administrator hat ihren Nummernkreis als '" + range +
                           "'"),
            std::string::npos)
      << LastBox();
  EXPECT_EQ(LastBox().find("Optionen"), std::string::npos) << LastBox();
}

// The administrator's Options lock is the row's holder, as in a counter file.
TEST_F(ServerRange, TheAdministratorsLockRefusesDrawsUntilReleased) {
  CreateRange("[Zaehler]\r\nCounter=5\r\n");
  fake.system.user = "admin";
  AcquireLock(env, *Pointer());
  fake.system.user = "mmuster";
  const DrawResult refused = DrawUnderLock(env, *Pointer(), "Word 11.0");
  EXPECT_FALSE(refused.issued);
  EXPECT_EQ(refused.holder, "admin");
  EXPECT_EQ(Tool({"draw", "--counter-file", kPointer}), cli::kExitLocked);
  EXPECT_EQ(LastBox().substr(0, LastBox().find(" bearbeitet")),
            "Der Nummernkreis '" + range +
                "' (Zählerdatei 'server.ini') wird zur Zeit durch den Benutzer 'admin' an BUERO-PC1 seit 05.03.2024 "
                "14:07")
      << "a range on a server is no file, and the lock says where and since when";
  Pointer()->RecordRefusal("Word 11.0");

  // The Options dialog's way of writing: only what was changed.
  Pointer()->Update([](IniDocument& document) { document.WriteString("Optionen", "TextAfter", "/B"); });
  ReleaseLock(env, *Pointer());
  EXPECT_EQ(DrawUnderLock(env, *Pointer(), "Word 11.0").number, "/B0006");
  const auto records = Records();
  ASSERT_EQ(records.size(), 3u) << "two refusals and the draw";
  EXPECT_EQ(records[0].number, kLockedMarker);
  EXPECT_EQ(records[2].number, "/B0006");
  EXPECT_EQ(records[0].counter, std::nullopt) << "a refusal holds no counter value";
  EXPECT_EQ(records[2].counter, 6);
}

// Each failure says which in German; nothing is drawn and nothing recorded.
TEST_F(ServerRange, FailuresAreToldAndDrawNothing) {
  CreateRange("[Zaehler]\r\nCounter=10\r\n");
  const std::string port = connection.substr(connection.find("Port="));
  const struct {
    std::string connection, range, told;
  } cases[] = {
      {connection.substr(0, connection.find("Port=")) + "Port=1;" + port.substr(port.find(';') + 1), range,
       "ist nicht erreichbar"},
      {testing::ConnectionAs(connection, "trelvo_owner", "falsch"), range, "hat die Anmeldung abgelehnt"},
      {connection, range + " fehlt", "gibt es auf dem Server nicht"},
      // A braced password, with ";" and "}}" in it, as ODBC reads it.
      {testing::ConnectionAs(connection, "trelvo_owner", "{Geh;eim}}42}"), range, "hat die Anmeldung abgelehnt"},
  };
  for (const auto& c : cases) {
    PointTo(c.connection, c.range);
    fake.ui.shown.clear();
    EXPECT_THROW(DrawUnderLock(env, *Pointer(), "Excel 11.0"), Aborted) << c.told;
    EXPECT_NE(LastBox().find(c.told), std::string::npos) << LastBox();
    EXPECT_NE(LastBox().find("keine Nummer vergeben"), std::string::npos) << LastBox();
    // The driver's own words come last, as details, after what the user is told.
    if (LastBox().find("Details: ") != std::string::npos) {
      EXPECT_GT(LastBox().find("Details: "), LastBox().find("keine Nummer vergeben")) << LastBox();
    }
    std::string printed;
    Tool({"status", "--counter-file", kPointer}, &printed);
    for (const char* secret : {"falsch", "Geh", "eim", "42}"})
      for (const std::string& shown : {LastBox(), printed})
        EXPECT_EQ(shown.find(secret), std::string::npos) << "a password shown: " << shown;
  }
  PointTo(connection, range);
  EXPECT_TRUE(Records().empty());
  EXPECT_EQ(DrawUnderLock(env, *Pointer(), "Excel 11.0").number, "0011");
}

// A password in braces, with ";" and "}}" in it, logs in as ODBC reads it and
// shows nowhere, not in part either.
TEST_F(ServerRange, StatusShowsNoPartOfABracedPassword) {
  CreateRange("[Zaehler]\r\nCounter=4\r\n");
  auto owner = platform::OdbcConnector().Connect(connection);
  owner->Execute("DO $$ BEGIN CREATE ROLE trelvo_kasse LOGIN PASSWORD 'Geh;eim}42'; "
                 "EXCEPTION WHEN duplicate_object THEN NULL; END $$");
  owner->Execute("GRANT EXECUTE ON ALL FUNCTIONS IN SCHEMA trelvo_station TO trelvo_kasse");
  owner->Commit();
  PointTo(testing::ConnectionAs(connection, "trelvo_kasse", "{Geh;eim}}42}"), range);
  std::string printed;
  ASSERT_EQ(Tool({"status", "--counter-file", kPointer}, &printed), cli::kExitOk) << LastBox();
  EXPECT_NE(printed.find("Uid=trelvo_kasse;Pwd=***;"), std::string::npos) << printed;
  for (const char* part : {"Geh", "eim}", "}42"}) EXPECT_EQ(printed.find(part), std::string::npos) << printed;
  EXPECT_EQ(DrawUnderLock(env, *Pointer(), "Excel 11.0").number, "0005");
}

// While another connection holds the range's row, a draw shows that it
// waits: it draws once the row is let go, or gives up with a message after
// the session's lock wait; the sign goes either way. A row nobody holds shows
// nothing.
TEST_F(ServerRange, ARowHeldByAnotherConnectionIsWaitedForWithASign) {
  CreateRange("[Zaehler]\r\nCounter=3\r\n");
  auto holder = platform::OdbcConnector().Connect(connection);
  holder->Execute("SELECT counter FROM trelvo_ranges WHERE range_name = ? FOR UPDATE", {range});
  EXPECT_THROW(DrawUnderLock(env, *Pointer(), "Excel 11.0"), Aborted);
  EXPECT_NE(LastBox().find("von einer anderen Arbeitsstation gehalten"), std::string::npos) << LastBox();
  ASSERT_EQ(fake.ui.waits.size(), 1u);
  EXPECT_EQ(fake.ui.waits.front(), "Trelvo wartet auf den Nummernkreis '" + range +
                                       "' auf dem Server: eine andere Arbeitsstation schreibt ihn gerade (höchstens 5 "
                                       "Sekunden).");
  EXPECT_FALSE(fake.ui.waiting);

  fake.ui.on_wait = [&](const std::string&) { holder->Rollback(); };  // let go while the sign shows
  EXPECT_EQ(DrawUnderLock(env, *Pointer(), "Excel 11.0").number, "0004");
  EXPECT_EQ(fake.ui.waits.size(), 2u);
  EXPECT_FALSE(fake.ui.waiting);
  EXPECT_EQ(DrawUnderLock(env, *Pointer(), "Excel 11.0").number, "0005");
  EXPECT_EQ(fake.ui.waits.size(), 2u) << "nobody held the row";
  EXPECT_EQ(Records().size(), 2u);
}

// A server whose functions an earlier version set up has only the lock that
// waits: its draws go on as before, without a sign.
TEST_F(ServerRange, AServerOfAnEarlierVersionDrawsWithoutTheSign) {
  struct EarlierFunctions : platform::DatabaseConnector {
    std::unique_ptr<platform::SqlConnection> Connect(const std::string& to) override {
      struct Connection : platform::SqlConnection {
        std::unique_ptr<platform::SqlConnection> real = platform::OdbcConnector().Connect(ScratchServerConnection());
        void ForEachRow(const std::string& statement, const std::vector<platform::SqlValue>& parameters,
                        const std::function<void(platform::SqlRow&&)>& take) override {
          if (statement.find("try_lock_range") != std::string::npos)
            throw DatabaseError(DatabaseFailure::Other, "42883", "Funktion existiert nicht");
          real->ForEachRow(statement, parameters, take);
        }
        void Commit() override { real->Commit(); }
        void Rollback() override { real->Rollback(); }
      };
      EXPECT_EQ(to, ScratchServerConnection());
      return std::make_unique<Connection>();
    }
  } earlier;
  CreateRange("[Zaehler]\r\nCounter=3\r\n");
  platform::Environment earlier_env{fake.files, fake.system, fake.ui, earlier};
  EXPECT_EQ(DrawUnderLock(earlier_env, *OpenNumberStore(earlier_env, kPointer), "Excel 11.0").number, "0004");
  EXPECT_EQ(DrawUnderLock(earlier_env, *OpenNumberStore(earlier_env, kPointer), "Excel 11.0").number, "0005");
  EXPECT_TRUE(fake.ui.waits.empty());
  EXPECT_EQ(Records().size(), 2u);
}

// The commit of a draw goes unanswered: the server committed (the answer was
// lost), rolled back, or is still at it; or the server stays out of reach.
// Only the transaction's status on a new connection tells which.
class CutAtCommit : public platform::DatabaseConnector {
 public:
  enum class Server { Commits, RollsBack, CommitsLater };
  Server server = Server::Commits;
  DatabaseError failure{DatabaseFailure::ConnectionLost, "08S01", "Kommunikationsverbindungsfehler"};
  bool server_down_after = false;  // the cut leaves the server unreachable
  bool cut_off = false;
  int asked = 0;  // connections opened after the cut

  std::unique_ptr<platform::SqlConnection> Connect(const std::string& connection) override {
    if (cut_off) throw DatabaseError(DatabaseFailure::Unreachable, "08001", "Verbindung abgelehnt");
    if (late_) {
      // Asked twice while it is in progress, the server then commits.
      if (++asked == 3) late_->Commit(), late_.reset();
    }
    class Connection : public platform::SqlConnection {
     public:
      Connection(std::unique_ptr<platform::SqlConnection> real, CutAtCommit& cut) : real_(std::move(real)), cut_(cut) {}
      void ForEachRow(const std::string& statement, const std::vector<platform::SqlValue>& parameters,
                      const std::function<void(platform::SqlRow&&)>& take) override {
        writes_ |= statement.find("trelvo_station.draw(") != std::string::npos ||
                   statement.find("INSERT INTO trelvo_ranges") != std::string::npos;
        real_->ForEachRow(statement, parameters, take);
      }
      void Commit() override {
        if (!writes_) return real_->Commit();
        switch (cut_.server) {
          case Server::Commits: real_->Commit(); break;
          case Server::RollsBack: real_->Rollback(); break;
          case Server::CommitsLater: cut_.late_ = std::move(real_); break;
        }
        cut_.cut_off = cut_.server_down_after;
        throw cut_.failure;
      }
      void Rollback() override {
        if (real_) real_->Rollback();
      }

     private:
      std::unique_ptr<platform::SqlConnection> real_;
      CutAtCommit& cut_;
      bool writes_ = false;
    };
    return std::make_unique<Connection>(platform::OdbcConnector().Connect(connection), *this);
  }

 private:
  std::unique_ptr<platform::SqlConnection> late_;
};

TEST_F(ServerRange, AnUnansweredCommitIsSettledByTheTransactionsStatus) {
  CreateRange("[Zaehler]\r\nCounter=20\r\n");
  const DatabaseError lost{DatabaseFailure::ConnectionLost, "08S01", "Kommunikationsverbindungsfehler"};
  const DatabaseError other{DatabaseFailure::Other, "HY000", "Unbekannter Fehler des Treibers"};
  const struct {
    CutAtCommit::Server server;
    DatabaseError failure;
    std::string number;  // issued, or "" when refused
  } cases[] = {
      {CutAtCommit::Server::Commits, lost, "0021"},
      {CutAtCommit::Server::Commits, other, "0022"},  // any failure of the commit, not only a lost link
      {CutAtCommit::Server::CommitsLater, lost, "0023"},
      {CutAtCommit::Server::RollsBack, lost, ""},
      {CutAtCommit::Server::RollsBack, other, ""},
  };
  for (const auto& c : cases) {
    CutAtCommit cut;
    cut.server = c.server;
    cut.failure = c.failure;
    platform::Environment cut_env{fake.files, fake.system, fake.ui, cut};
    fake.ui.shown.clear();
    if (c.number.empty()) {
      EXPECT_THROW(DrawUnderLock(cut_env, *OpenNumberStore(cut_env, kPointer), "Excel 11.0"), Aborted);
      EXPECT_NE(LastBox().find("verworfen"), std::string::npos) << LastBox();
      EXPECT_NE(LastBox().find("keine Nummer vergeben"), std::string::npos) << LastBox();
    } else {
      const DrawResult drawn = DrawUnderLock(cut_env, *OpenNumberStore(cut_env, kPointer), "Excel 11.0");
      EXPECT_TRUE(drawn.issued) << LastBox();
      EXPECT_EQ(drawn.number, c.number);
    }
  }

  // The server stays out of reach: the outcome is unknown, and the message
  // says so (and how to find out) instead of saying that nothing was drawn.
  CutAtCommit cut;
  cut.server_down_after = true;
  platform::Environment cut_env{fake.files, fake.system, fake.ui, cut};
  EXPECT_THROW(DrawUnderLock(cut_env, *OpenNumberStore(cut_env, kPointer), "Excel 11.0"), Aborted);
  EXPECT_NE(LastBox().find("ist nicht wiederherzustellen"), std::string::npos) << LastBox();
  EXPECT_EQ(LastBox().find("keine Nummer vergeben"), std::string::npos) << LastBox();

  const auto records = Records();
  ASSERT_EQ(records.size(), 4u);
  EXPECT_EQ(records[2].number, "0023");
  EXPECT_EQ(records[3].number, "0024");
  EXPECT_NE(LastBox().find(records[3].key), std::string::npos) << "the message names the draw's key";
  EXPECT_EQ(DrawUnderLock(env, *Pointer(), "Excel 11.0").number, "0025");
}

// server-init frees the counter file it moves only where the range provably
// was not created; an unknown outcome leaves it locked for the move, and
// server-init run again finishes the move.
TEST_F(ServerRange, AServerInitWithAnUnansweredCommitFreesTheFileOnlyWhereNothingWasCreated) {
  const std::string file = "[Zaehler]\r\nCounter=41\r\n";
  fake.files.SetFile("S:\\Nummern\\alt.ini", file);
  CutAtCommit cut;
  platform::Environment cut_env{fake.files, fake.system, fake.ui, cut};
  std::ostringstream out, err;
  const std::vector<std::string> init = {"server-init", "--counter-file", kPointer, "--from", "S:\\Nummern\\alt.ini"};

  cut.server = CutAtCommit::Server::RollsBack;
  EXPECT_EQ(cli::RunTrelvoTool(init, cut_env, out, err), cli::kExitFailed);
  EXPECT_EQ(fake.files.Content("S:\\Nummern\\alt.ini"), file) << "the file as it was";

  cut.server = CutAtCommit::Server::Commits;
  cut.server_down_after = true;
  EXPECT_EQ(cli::RunTrelvoTool(init, cut_env, out, err), cli::kExitFailed);
  EXPECT_NE(LastBox().find("bleibt daher für den Umzug gesperrt"), std::string::npos) << LastBox();
  EXPECT_EQ(QueryLockOwner(*OpenNumberStore(env, "S:\\Nummern\\alt.ini")), kMovingToServerHolder);

  ASSERT_EQ(Tool(init), cli::kExitOk) << LastBox();
  EXPECT_EQ(QueryLockOwner(*OpenNumberStore(env, "S:\\Nummern\\alt.ini")),
            "Auf den Server umgezogen: Nummernkreis " + range);
  EXPECT_EQ(DrawUnderLock(env, *Pointer(), "Excel 11.0").number, "0042");
}

TEST_F(ServerRange, TheAuditReadsTheRangesRecordsAndFindsACounterMovedWithoutOne) {
  CreateRange("[Zaehler]\r\nCounter=1\r\n");
  for (int i = 0; i < 3; ++i) DrawUnderLock(env, *Pointer(), "Excel 11.0");
  std::string printed;
  EXPECT_EQ(Tool({"audit", "--counter-file", kPointer}, &printed), 0) << printed << LastBox();
  EXPECT_NE(
      printed.find("Server: Nummernkreis '" + range + "' über '" + kPointer + "' (3 Datensätze, davon 3 geprüft)"),
      std::string::npos)
      << printed;

  // Moved on the server past the records: a gap the audit names.
  auto owner = platform::OdbcConnector().Connect(connection);
  owner->Execute("UPDATE trelvo_ranges SET counter = counter + 1 WHERE range_name = ?", {range});
  owner->Commit();
  EXPECT_EQ(Tool({"audit", "--counter-file", kPointer}, &printed), 1) << printed;
  EXPECT_NE(printed.find("gezogen, aber nicht protokolliert"), std::string::npos) << printed;
}

// Each counter value of a range has one record: a counter set back on the
// server refuses the draw that would issue a number again.
TEST_F(ServerRange, ACounterSetBackOnTheServerIssuesNoNumberTwice) {
  CreateRange("[Zaehler]\r\nCounter=5\r\n");
  EXPECT_EQ(DrawUnderLock(env, *Pointer(), "Excel 11.0").number, "0006");
  auto owner = platform::OdbcConnector().Connect(connection);
  owner->Execute("UPDATE trelvo_ranges SET counter = 5 WHERE range_name = ?", {range});
  owner->Commit();
  EXPECT_THROW(DrawUnderLock(env, *Pointer(), "Excel 11.0"), Aborted);
  EXPECT_EQ(LastBox(), "Der Zählerwert 6 des Nummernkreises '" + range +
                           "' ist schon vergeben: der Zähler auf dem Server wurde zurückgesetzt. Ein Administrator "
                           "setzt ihn auf den zuletzt vergebenen Wert.\r\nEs wurde keine Nummer vergeben.");
  EXPECT_EQ(Records().size(), 1u);
}

// Records of an earlier version kept no counter value: server-init adds the
// column and gives a record the value its number proves under the range's
// present format, on the record's day; nothing else is guessed.
TEST_F(ServerRange, ServerInitGivesEarlierRecordsTheValueTheirNumberProves) {
  CreateRange("[Zaehler]\r\nCounter=43\r\n[Optionen]\r\nTextBefore=\"RE-\"\r\nPrefix=1\r\nTextAfter=\"-\"\r\n");
  auto owner = platform::OdbcConnector().Connect(connection);
  const auto insert_earlier = [&](const std::vector<std::string>& numbers) {
    for (const std::string& number : numbers)
      owner->Execute(
          "INSERT INTO trelvo_usage (range_name, number, issued_at, application, user_name, workstation) "
          "VALUES (?, ?, CAST('2024-03-05 10:00:00' AS timestamp), 'Excel 11.0', 'alt', 'PC')",
          {range, number});
    owner->Commit();
  };
  owner->Execute("ALTER TABLE trelvo_usage DROP COLUMN counter");
  insert_earlier({"RE-2024-0041", "RE-2024-0042", "RE-2024-0042", "RE-0043", kLockedMarker});
  // A workstation's draw meets the earlier table and says what to do.
  EXPECT_THROW(DrawUnderLock(env, *Pointer(), "Excel 11.0"), Aborted);
  EXPECT_NE(LastBox().find("von einer früheren Version"), std::string::npos) << LastBox();

  ASSERT_EQ(Tool({"server-init", "--counter-file", kPointer}), cli::kExitOk) << LastBox();
  // Composed in the server's year, at the server's time.
  const std::string drawn = "RE-" + ServerTime().substr(0, 4) + "-0044";
  EXPECT_EQ(DrawUnderLock(env, *Pointer(), "Excel 11.0").number, drawn);
  insert_earlier({"RE-2024-0041"});  // a value another record holds already
  ASSERT_EQ(Tool({"server-init", "--counter-file", kPointer}), cli::kExitOk) << LastBox();

  const struct {
    std::string number;
    std::optional<int64_t> counter;
  } expected[] = {{"RE-2024-0041", 41},          {"RE-2024-0042", std::nullopt}, {"RE-2024-0042", std::nullopt},
                  {"RE-0043", std::nullopt},     {kLockedMarker, std::nullopt},  {drawn, 44},
                  {"RE-2024-0041", std::nullopt}};
  const auto records = Records();
  ASSERT_EQ(records.size(), std::size(expected));
  for (size_t i = 0; i < records.size(); ++i) {
    EXPECT_EQ(records[i].number, expected[i].number) << i;
    EXPECT_EQ(records[i].counter, expected[i].counter) << records[i].number;
  }
}

// A workstation's login holds no right on the tables, only the functions the
// README tells an administrator to grant: it draws, records a refusal and
// reads, but cannot add, change or delete a record or a range, nor take or
// clear the administrator's lock; an administrator's login can. Rights that
// an earlier version's README granted on the tables are taken back by
// server-init.
TEST_F(ServerRange, AWorkstationsLoginCanOnlyDraw) {
  auto owner = platform::OdbcConnector().Connect(connection);
  owner->Execute("DO $$ BEGIN CREATE ROLE trelvo_chef LOGIN PASSWORD 'chef-secret'; "
                 "EXCEPTION WHEN duplicate_object THEN NULL; END $$");
  owner->Commit();
  CreateRange("[Zaehler]\r\nCounter=1\r\n");
  for (const char* grant :
       {"GRANT SELECT, UPDATE ON trelvo_ranges TO trelvo_user", "GRANT SELECT, INSERT ON trelvo_usage TO trelvo_user",
        "GRANT USAGE ON SEQUENCE trelvo_usage_record_id_seq TO trelvo_user",
        "GRANT EXECUTE ON ALL FUNCTIONS IN SCHEMA trelvo_station TO trelvo_user",
        "GRANT EXECUTE ON ALL FUNCTIONS IN SCHEMA trelvo_station TO trelvo_chef",
        "GRANT EXECUTE ON ALL FUNCTIONS IN SCHEMA trelvo_admin TO trelvo_chef"})
    owner->Execute(grant);
  owner->Commit();
  ASSERT_EQ(Tool({"server-init", "--counter-file", kPointer}), cli::kExitOk) << LastBox();

  const std::string workstation = testing::ConnectionAs(connection, "trelvo_user", "user-secret");
  PointTo(workstation, range);
  EXPECT_EQ(DrawUnderLock(env, *Pointer(), "Excel 11.0").number, "0002");
  Pointer()->RecordRefusal("Excel 11.0");
  EXPECT_EQ(Records().size(), 2u);
  EXPECT_THROW(AcquireLock(env, *Pointer()), Aborted);
  EXPECT_NE(LastBox().find("nur die Anmeldung eines Administrators"), std::string::npos) << LastBox();

  auto user = platform::OdbcConnector().Connect(workstation);
  for (const char* forbidden : {
           "INSERT INTO trelvo_usage (range_name, number, issued_at, application, user_name, workstation, counter) "
           "VALUES (?, 'RE-0001', localtimestamp, 'x', 'x', 'x', 1)",
           "UPDATE trelvo_ranges SET counter = 0, is_locked = 0 WHERE range_name = ?",
           "UPDATE trelvo_ranges SET range_name = 'anders' WHERE range_name = ?",
           "DELETE FROM trelvo_usage WHERE range_name = ?",
           "SELECT trelvo_admin.write_range(0, 1, '', 0, 0, '', '', 3, 0, '', 0, '#nouser#', 0, '', '', 0, '', '', ?, 'x', 'x')",
       }) {
    try {
      user->Execute(forbidden, {range});
      ADD_FAILURE() << "a workstation may: " << forbidden;
    } catch (const DatabaseError& error) {
      EXPECT_EQ(error.sqlstate(), "42501") << forbidden << ": " << error.what();
    }
    user->Rollback();
  }
  // Its draw function records the value the server advanced to, never one of its choice.
  const auto drawn = user->Execute("SELECT trelvo_station.draw(?, 'RE-0001', 'x', 'x', 'x', 'forged')", {range});
  EXPECT_EQ(drawn.front().front(), "3");
  user->Rollback();

  PointTo(testing::ConnectionAs(connection, "trelvo_chef", "chef-secret"), range);
  AcquireLock(env, *Pointer());
  EXPECT_EQ(QueryLockOwner(*Pointer()), "mmuster");
  ReleaseLock(env, *Pointer());
  EXPECT_EQ(DrawUnderLock(env, *Pointer(), "Excel 11.0").number, "0003");
}

// The README's row-level policies hold an office's login to its own ranges,
// also inside the functions that run with the owner's rights: a range it may
// not see reads as missing, and it cannot draw from it.
TEST_F(ServerRange, RowLevelPoliciesHoldALoginToItsOwnRanges) {
  CreateRange("[Zaehler]\r\nCounter=7\r\n");
  auto owner = platform::OdbcConnector().Connect(connection);
  const std::string own = testing::FreshRangeName("Nord");
  fake.files.SetFile("S:\\Nummern\\nord-anlegen.ini",
                     "[Server]\r\nConnection=" + connection + "\r\nRange=\"" + own + "\"\r\n");
  ASSERT_EQ(Tool({"server-init", "--counter-file", "S:\\Nummern\\nord-anlegen.ini"}), cli::kExitOk) << LastBox();
  for (const std::string& statement : {
           std::string("DO $$ BEGIN CREATE ROLE trelvo_nord LOGIN PASSWORD 'nord-secret'; "
                       "EXCEPTION WHEN duplicate_object THEN NULL; END $$"),
           std::string("GRANT EXECUTE ON ALL FUNCTIONS IN SCHEMA trelvo_station TO trelvo_nord"),
           std::string("ALTER TABLE trelvo_ranges ENABLE ROW LEVEL SECURITY"),
           std::string("ALTER TABLE trelvo_ranges FORCE ROW LEVEL SECURITY"),
           std::string("ALTER TABLE trelvo_usage ENABLE ROW LEVEL SECURITY"),
           std::string("ALTER TABLE trelvo_usage FORCE ROW LEVEL SECURITY"),
           std::string("CREATE POLICY alle ON trelvo_ranges USING (true)"),
           std::string("CREATE POLICY alle ON trelvo_usage USING (true)"),
           "CREATE POLICY buero_nord ON trelvo_ranges AS RESTRICTIVE USING (session_user <> 'trelvo_nord' OR "
           "range_name IN ('" + own + "'))",
           "CREATE POLICY buero_nord ON trelvo_usage AS RESTRICTIVE USING (session_user <> 'trelvo_nord' OR "
           "range_name IN ('" + own + "'))",
       })
    owner->Execute(statement);
  owner->Commit();

  const std::string nord = testing::ConnectionAs(connection, "trelvo_nord", "nord-secret");
  PointTo(nord, own);
  EXPECT_EQ(DrawUnderLock(env, *Pointer(), "Excel 11.0").number, "0001");
  PointTo(nord, range);
  EXPECT_THROW(DrawUnderLock(env, *Pointer(), "Excel 11.0"), Aborted);
  EXPECT_NE(LastBox().find("gibt es auf dem Server nicht"), std::string::npos) << LastBox();
  // Nor past the lock, straight to the function.
  try {
    platform::OdbcConnector().Connect(nord)->Execute("SELECT trelvo_station.draw(?, 'x', 'x', 'x', 'x', 'x')",
                                                      {range});
    ADD_FAILURE() << "a login draws from a range it may not see";
  } catch (const DatabaseError&) {
  }

  for (const char* statement :
       {"DROP POLICY buero_nord ON trelvo_ranges", "DROP POLICY buero_nord ON trelvo_usage",
        "DROP POLICY alle ON trelvo_ranges", "DROP POLICY alle ON trelvo_usage",
        "ALTER TABLE trelvo_ranges DISABLE ROW LEVEL SECURITY", "ALTER TABLE trelvo_usage DISABLE ROW LEVEL SECURITY"})
    owner->Execute(statement);
  owner->Commit();
  PointTo(connection, range);
  EXPECT_EQ(DrawUnderLock(env, *Pointer(), "Excel 11.0").number, "0008");
}

// A range that restarts each year does so on the server, by the server's
// clock, in the draw's transaction: a period before the server's year is
// closed with its last counter; a period after it (a clock behind) is kept.
TEST_F(ServerRange, AYearlyRestartOnTheServerStartsANewYearAndNeverGoesBack) {
  CreateRange("[Zaehler]\r\nCounter=142\r\nPeriod=2020\r\n[Optionen]\r\nTextBefore=\"RE-\"\r\nPrefix=1\r\n"
              "TextAfter=\"-\"\r\nRestart=1\r\n");
  const std::string year = ServerTime().substr(0, 4);
  EXPECT_EQ(DrawUnderLock(env, *Pointer(), "Excel 11.0").number, "RE-" + year + "-0001");
  EXPECT_EQ(PreviewNextNumber(env, *Pointer()), "RE-" + year + "-0002") << "the workstation's clock says 2024";
  EXPECT_EQ(DrawUnderLock(env, *Pointer(), "Excel 11.0").number, "RE-" + year + "-0002");
  IniDocument row = Pointer()->Read();
  EXPECT_EQ(row.ReadString("Zaehler", "ClosedPeriod", ""), "2020");
  EXPECT_EQ(row.ReadInteger("Zaehler", "ClosedCounter", -1), 142);

  // The range moved on to a later year than the server's clock: its numbers stay there.
  auto owner = platform::OdbcConnector().Connect(connection);
  owner->Execute("UPDATE trelvo_ranges SET period = '2999' WHERE range_name = ?", {range});
  owner->Commit();
  EXPECT_EQ(DrawUnderLock(env, *Pointer(), "Excel 11.0").number, "RE-2999-0003");
  const auto records = Records();
  ASSERT_EQ(records.size(), 3u);
  EXPECT_EQ(records[0].counter, 1);
  EXPECT_EQ(records[2].counter, 3);
}

// On a server the same rules hold for a counter set by hand: never below a
// value with a record, and the change recorded by the server itself.
TEST_F(ServerRange, ACounterSetByHandMovesOnlyForwardAndTheServerRecordsIt) {
  CreateRange("[Zaehler]\r\nCounter=41\r\n[Optionen]\r\nTextBefore=\"RE-\"\r\n");
  for (int i = 0; i < 2; ++i) DrawUnderLock(env, *Pointer(), "Excel 11.0");
  std::string printed;
  EXPECT_EQ(Tool({"set-counter", "--counter-file", kPointer, "40"}), cli::kExitFailed);
  EXPECT_NE(LastBox().find("unter dem zuletzt vergebenen Wert 43 (Nummer 'RE-0043')"), std::string::npos)
      << LastBox();
  EXPECT_EQ(Tool({"set-counter", "--counter-file", kPointer, "50"}, &printed), cli::kExitOk) << LastBox();
  const auto records = Records();
  ASSERT_EQ(records.size(), 3u);
  EXPECT_EQ(records[2].number, "#Zähler gesetzt#");
  EXPECT_EQ(records[2].application, "von 43 auf 50: " + range);
  EXPECT_EQ(DrawUnderLock(env, *Pointer(), "Excel 11.0").number, "RE-0051");

  // The administrator's function refuses it also when asked directly.
  auto owner = platform::OdbcConnector().Connect(connection);
  try {
    owner->Execute("SELECT trelvo_admin.write_range(10, 1, '', 0, 0, '', '', 3, 0, '', 0, '#nouser#', 0, '', '', 0, "
                   "'', '', ?, 'x', 'x')",
                   {range});
    ADD_FAILURE() << "a counter set back below its records";
  } catch (const DatabaseError& error) {
    EXPECT_EQ(error.sqlstate(), "TRV01") << error.what();
  }
}

#ifndef _WIN32
// The scratch server is stopped and started by its script (natively only: the
// Windows tests cannot run it).
TEST_F(ServerRange, AStoppedServerRefusesTheDrawAndTheSequenceContinuesAfterItsRestart) {
  CreateRange("[Zaehler]\r\nCounter=30\r\n");
  EXPECT_EQ(DrawUnderLock(env, *Pointer(), "Excel 11.0").number, "0031");
  const std::string script = std::getenv("TRELVO_TEST_SERVER_SCRIPT");
  ASSERT_EQ(std::system((script + " halt " + testing::ScratchServerFolder()).c_str()), 0);
  std::string printed;
  const int status = Tool({"draw", "--counter-file", kPointer}, &printed);
  ASSERT_EQ(std::system((script + " resume " + testing::ScratchServerFolder()).c_str()), 0);
  EXPECT_EQ(status, cli::kExitFailed);
  EXPECT_EQ(printed, "");
  EXPECT_NE(LastBox().find("ist nicht erreichbar"), std::string::npos) << LastBox();
  EXPECT_NE(LastBox().find("Es wurde keine Nummer vergeben."), std::string::npos) << LastBox();
  EXPECT_EQ(Tool({"draw", "--counter-file", kPointer}, &printed), cli::kExitOk);
  EXPECT_EQ(printed, "0032\n");
  EXPECT_EQ(Records().size(), 2u);
}
// A session's draws share one login; a kept connection that the server's
// restart broke is opened anew for the next draw, which draws once.
TEST_F(ServerRange, KeptConnectionsDrawWithOneLoginAndSurviveAServerRestart) {
  CreateRange("[Zaehler]\r\nCounter=60\r\n");
  struct Counting : platform::DatabaseConnector {
    int logins = 0;
    std::unique_ptr<platform::SqlConnection> Connect(const std::string& connection) override {
      ++logins;
      return platform::OdbcConnector().Connect(connection);
    }
  } counting;
  platform::KeptConnections kept(counting);
  platform::Environment kept_env{fake.files, fake.system, fake.ui, kept};
  for (const char* number : {"0061", "0062", "0063"})
    EXPECT_EQ(DrawUnderLock(kept_env, *OpenNumberStore(kept_env, kPointer), "Excel 11.0").number, number);
  EXPECT_EQ(counting.logins, 1);

  const std::string script = std::getenv("TRELVO_TEST_SERVER_SCRIPT");
  ASSERT_EQ(std::system((script + " halt " + testing::ScratchServerFolder()).c_str()), 0);
  ASSERT_EQ(std::system((script + " resume " + testing::ScratchServerFolder()).c_str()), 0);
  EXPECT_EQ(DrawUnderLock(kept_env, *OpenNumberStore(kept_env, kPointer), "Excel 11.0").number, "0064")
      << LastBox();
  EXPECT_EQ(counting.logins, 2);
  EXPECT_EQ(Records().size(), 4u);
}
#endif

}  // namespace
}  // namespace trelvo::engine
