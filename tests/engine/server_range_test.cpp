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
  std::string LastBox() const { return fake.ui.shown.empty() ? "" : fake.ui.shown.back().text; }
};

TEST_F(ServerRange, ServerInitMovesACounterFileAndDrawsContinueItsSequenceWithTheirRecords) {
  CreateRange("[Zaehler]\r\nCounter=41\r\n[Optionen]\r\nTextBefore=\"RE-\"\r\nPadding=3\r\n");
  // The old file stays locked for good, naming where the range went.
  EXPECT_EQ(QueryLockOwner(*OpenNumberStore(env, "S:\\Nummern\\alt.ini")),
            "Auf den Server umgezogen: Nummernkreis " + range);

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
  EXPECT_EQ(records[1].time, "2024-03-05 14:07:09");
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
  EXPECT_EQ(typed[1].date, "2024-03-05");
  EXPECT_EQ(typed[1].time, "14:07:09");
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
  EXPECT_EQ(QueryLockOwner(*OpenNumberStore(env, "S:\\Nummern\\noch.ini")), kNoUser);
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
  Pointer()->RecordRefusal("Word 11.0");

  // The Options dialog's way of writing: only what was changed.
  Pointer()->Update([](IniDocument& document) { document.WriteString("Optionen", "TextAfter", "/B"); });
  ReleaseLock(env, *Pointer());
  EXPECT_EQ(DrawUnderLock(env, *Pointer(), "Word 11.0").number, "/B0006");
  const auto records = Records();
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[0].number, kLockedMarker);
  EXPECT_EQ(records[1].number, "/B0006");
  EXPECT_EQ(records[0].counter, std::nullopt) << "a refusal holds no counter value";
  EXPECT_EQ(records[1].counter, 6);
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
  };
  for (const auto& c : cases) {
    PointTo(c.connection, c.range);
    fake.ui.shown.clear();
    EXPECT_THROW(DrawUnderLock(env, *Pointer(), "Excel 11.0"), Aborted) << c.told;
    EXPECT_NE(LastBox().find(c.told), std::string::npos) << LastBox();
    EXPECT_NE(LastBox().find("keine Nummer vergeben"), std::string::npos) << LastBox();
    EXPECT_EQ(LastBox().find("falsch"), std::string::npos) << "a password in the message: " << LastBox();
  }
  PointTo(connection, range);
  EXPECT_TRUE(Records().empty());
  EXPECT_EQ(DrawUnderLock(env, *Pointer(), "Excel 11.0").number, "0011");
}

TEST_F(ServerRange, ARowHeldByAnotherConnectionTimesOutWithAMessage) {
  CreateRange("[Zaehler]\r\nCounter=3\r\n");
  auto holder = platform::OdbcConnector().Connect(connection);
  holder->Execute("SELECT counter FROM trelvo_ranges WHERE range_name = ? FOR UPDATE", {range});
  EXPECT_THROW(DrawUnderLock(env, *Pointer(), "Excel 11.0"), Aborted);
  EXPECT_NE(LastBox().find("von einer anderen Arbeitsstation gehalten"), std::string::npos) << LastBox();
  holder->Rollback();
  EXPECT_EQ(DrawUnderLock(env, *Pointer(), "Excel 11.0").number, "0004");
  EXPECT_EQ(Records().size(), 1u);
}

// The connection breaks while the commit is under way: either the server
// committed (the answer was lost) or it did not. The record tells which.
class CutAtCommit : public platform::DatabaseConnector {
 public:
  bool commit_first = true;
  bool cut_off = false;            // no connection after the cut
  bool server_down_after = false;  // the cut leaves the server unreachable
  std::unique_ptr<platform::SqlConnection> Connect(const std::string& connection) override {
    if (cut_off) throw DatabaseError(DatabaseFailure::Unreachable, "08001", "Verbindung abgelehnt");
    class Connection : public platform::SqlConnection {
     public:
      Connection(std::unique_ptr<platform::SqlConnection> real, CutAtCommit& cut) : real_(std::move(real)), cut_(cut) {}
      void ForEachRow(const std::string& statement, const std::vector<platform::SqlValue>& parameters,
                      const std::function<void(platform::SqlRow&&)>& take) override {
        inserted_ |= statement.starts_with("INSERT INTO trelvo_usage");
        real_->ForEachRow(statement, parameters, take);
      }
      void Commit() override {
        if (!inserted_) return real_->Commit();
        if (cut_.commit_first)
          real_->Commit();
        else
          real_->Rollback();
        cut_.cut_off = cut_.server_down_after;
        throw DatabaseError(DatabaseFailure::ConnectionLost, "08S01", "Kommunikationsverbindungsfehler");
      }
      void Rollback() override { real_->Rollback(); }

     private:
      std::unique_ptr<platform::SqlConnection> real_;
      CutAtCommit& cut_;
      bool inserted_ = false;
    };
    return std::make_unique<Connection>(platform::OdbcConnector().Connect(connection), *this);
  }
};

TEST_F(ServerRange, ACutDuringTheCommitIsResolvedByTheDrawsOwnRecord) {
  CreateRange("[Zaehler]\r\nCounter=20\r\n");
  CutAtCommit cut;
  platform::Environment cut_env{fake.files, fake.system, fake.ui, cut};

  const DrawResult committed = DrawUnderLock(cut_env, *OpenNumberStore(cut_env, kPointer), "Excel 11.0");
  EXPECT_TRUE(committed.issued && !committed.unrecorded);
  EXPECT_EQ(committed.number, "0021");

  cut.commit_first = false;
  EXPECT_THROW(DrawUnderLock(cut_env, *OpenNumberStore(cut_env, kPointer), "Excel 11.0"), Aborted);
  EXPECT_NE(LastBox().find("hat sie verworfen"), std::string::npos) << LastBox();

  // The server stays out of reach: the outcome is unknown, and the message
  // says so (and how to find out) instead of saying that nothing was drawn.
  cut.commit_first = true;
  cut.server_down_after = true;
  EXPECT_THROW(DrawUnderLock(cut_env, *OpenNumberStore(cut_env, kPointer), "Excel 11.0"), Aborted);
  EXPECT_NE(LastBox().find("ist nicht wiederherzustellen"), std::string::npos) << LastBox();
  EXPECT_EQ(LastBox().find("keine Nummer vergeben"), std::string::npos) << LastBox();

  const auto records = Records();
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[0].number, "0021");
  EXPECT_EQ(records[1].number, "0022");
  EXPECT_NE(LastBox().find(records[1].key), std::string::npos) << "the message names the draw's key";
  EXPECT_EQ(DrawUnderLock(env, *Pointer(), "Excel 11.0").number, "0023");
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
  EXPECT_EQ(DrawUnderLock(env, *Pointer(), "Excel 11.0").number, "RE-2024-0044");
  insert_earlier({"RE-2024-0041"});  // a value another record holds already
  ASSERT_EQ(Tool({"server-init", "--counter-file", kPointer}), cli::kExitOk) << LastBox();

  const struct {
    std::string number;
    std::optional<int64_t> counter;
  } expected[] = {{"RE-2024-0041", 41},          {"RE-2024-0042", std::nullopt}, {"RE-2024-0042", std::nullopt},
                  {"RE-0043", std::nullopt},     {kLockedMarker, std::nullopt},  {"RE-2024-0044", 44},
                  {"RE-2024-0041", std::nullopt}};
  const auto records = Records();
  ASSERT_EQ(records.size(), std::size(expected));
  for (size_t i = 0; i < records.size(); ++i) {
    EXPECT_EQ(records[i].number, expected[i].number) << i;
    EXPECT_EQ(records[i].counter, expected[i].counter) << records[i].number;
  }
}

// The rights the README tells an administrator to grant are enough to draw,
// lock and read the records, and no more: no deleting a record.
TEST_F(ServerRange, TheDocumentedRightsOfATrelvoLoginAreEnough) {
  CreateRange("[Zaehler]\r\nCounter=1\r\n");
  auto owner = platform::OdbcConnector().Connect(connection);
  for (const char* grant :
       {"GRANT SELECT, UPDATE ON trelvo_ranges TO trelvo_user", "GRANT SELECT, INSERT ON trelvo_usage TO trelvo_user",
        "GRANT USAGE ON SEQUENCE trelvo_usage_record_id_seq TO trelvo_user"})
    owner->Execute(grant);
  owner->Commit();
  PointTo(testing::ConnectionAs(connection, "trelvo_user", "user-secret"), range);
  AcquireLock(env, *Pointer());
  ReleaseLock(env, *Pointer());
  EXPECT_EQ(DrawUnderLock(env, *Pointer(), "Excel 11.0").number, "0002");
  EXPECT_EQ(Records().size(), 1u);
  auto user = platform::OdbcConnector().Connect(testing::ConnectionAs(connection, "trelvo_user", "user-secret"));
  try {
    user->Execute("DELETE FROM trelvo_usage");
    FAIL() << "the Trelvo login may delete records";
  } catch (const DatabaseError& error) {
    EXPECT_EQ(error.sqlstate(), "42501") << error.what();
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
#endif

}  // namespace
}  // namespace trelvo::engine
