// One audit across the move of a range from a counter file to a server: the
// file's records in the usage log up to the move, the server's after it, one
// series; a number issued by both is found, naming both; a counter set by
// hand on the server is an explained jump. Against the tests' own PostgreSQL
// server.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>

#include "cli/trelvo_tool.h"
#include "engine/counter_change.h"
#include "engine/usage_log.h"
#include "platform/fake/fake_system.h"
#include "platform/sql_connection.h"
#include "tests/support/scratch_server.h"

namespace trelvo::cli {
namespace {

using ::testing::HasSubstr;

constexpr char kFile[] = "S:\\Nummern\\alt.ini";
constexpr char kPointer[] = "S:\\Nummern\\server.ini";
constexpr char kLog[] = "S:\\Nummern\\sabulog.csv";

std::string Record(const std::string& number, const std::string& when) {
  return "\"" + number + "\"; 2024-03-" + when + "; \"Excel 11.0\"; \"akoch\"; \r\n";
}

class AuditAcrossAMove : public ::testing::Test {
 protected:
  platform::FakeEnvironment fake;
  std::string connection = testing::ScratchServerConnection();
  std::string range = testing::FreshRangeName("Umzug");
  std::string log = std::string(engine::kUsageLogHeader) + "\r\n" + Record("RE-0001", "04 09:00:00") +
                    Record("RE-0002", "04 10:00:00") + Record("RE-0003", "04 11:00:00");

  void SetUp() override {
    ASSERT_FALSE(connection.empty()) << "no scratch server: run the tests through CTest";
    fake.files.AddFolder("S:\\Nummern");
    fake.files.SetFile(kPointer, "[Server]\r\nConnection=" + connection + "\r\nRange=\"" + range + "\"\r\n");
    fake.files.SetFile(kFile, "[Zaehler]\r\nCounter=3\r\n[Optionen]\r\nTextBefore=\"RE-\"\r\n");
    fake.files.SetFile(kLog, log);
    ASSERT_EQ(Tool({"server-init", "--counter-file", kPointer, "--from", kFile}), kExitOk);
    for (const char* number : {"RE-0004\n", "RE-0005\n"}) {
      std::string printed;
      ASSERT_EQ(Tool({"draw", "--counter-file", kPointer, "--app", "Excel 11.0"}, &printed), kExitOk);
      ASSERT_EQ(printed, number);
    }
  }
  int Tool(std::vector<std::string> args, std::string* printed = nullptr) {
    std::ostringstream out, err;
    const int status = RunTrelvoTool(args, fake.env, out, err);
    if (printed) *printed = out.str();
    return status;
  }
  int Audit(std::string& printed) {
    return Tool({"audit", "--log", kLog, "--counter-file", kFile, "--counter-file", kPointer}, &printed);
  }
};

TEST_F(AuditAcrossAMove, TheFileAndTheServerProveOneSequence) {
  std::string printed;
  EXPECT_EQ(Audit(printed), 0) << printed;
  EXPECT_THAT(printed, HasSubstr("Server: Nummernkreis '" + range + "' über '" + kPointer + "' (2 Datensätze"));
  // The server stamps its records with its own day.
  const std::string server_day = *platform::OdbcConnector()
                                      .Connect(connection)
                                      ->Execute("SELECT to_char(current_date, 'YYYY-MM-DD')")
                                      .front()
                                      .front();
  EXPECT_THAT(printed, HasSubstr("Nummernkreis RE-#  (Zählerdatei '" + std::string(kPointer) +
                                 "')\n  Erste Nummer:  RE-0001 (2024-03-04)\n  Letzte Nummer: RE-0005 (" +
                                 server_day + ")\n  Anzahl:        5\n"));
  // The report names both sources it vouches for.
  ASSERT_EQ(Tool({"audit", "--log", kLog, "--counter-file", kFile, "--counter-file", kPointer, "--html",
                  "S:\\Nummern\\bericht.html"}),
            0);
  const std::string report = fake.files.Content("S:\\Nummern\\bericht.html").value_or("");
  EXPECT_THAT(report, HasSubstr("<dt>Server</dt><dd>Nummernkreis '" + range + "' über '" + kPointer +
                                "', 2 Datensätze</dd>"));
  EXPECT_THAT(report, HasSubstr("<dt>Protokoll</dt><dd>" + std::string(kLog) + ", 4 Zeilen, "));
}

TEST_F(AuditAcrossAMove, ANumberIssuedByTheFileAndTheServerIsFoundNamingBoth) {
  // The file, freed against its holder's word, issued what the server issued too.
  fake.files.SetFile(kLog, log + Record("RE-0004", "05 15:00:00"));
  std::string printed;
  EXPECT_EQ(Audit(printed), 1) << printed;
  EXPECT_THAT(printed, HasSubstr("Nummer 'RE-0004' doppelt vergeben (Datensatz 1 auf dem Server ('" + range +
                                 "'), zuerst in Zeile 5)"));
}

// A counter set by hand on the server is recorded by the server itself: the
// values it skipped are no gap; without that record they are.
TEST_F(AuditAcrossAMove, ACounterSetByHandOnTheServerExplainsTheValuesItSkipped) {
  std::string printed;
  ASSERT_EQ(Tool({"set-counter", "--counter-file", kPointer, "20"}), kExitOk);
  ASSERT_EQ(Tool({"draw", "--counter-file", kPointer, "--app", "Excel 11.0"}, &printed), kExitOk);
  ASSERT_EQ(printed, "RE-0021\n");
  EXPECT_EQ(Audit(printed), 0) << printed;
  EXPECT_THAT(printed,
              HasSubstr("ZÄHLER GESETZT    '" + std::string(kPointer) + "': Zähler von 5 auf 20 gesetzt durch "));
  EXPECT_THAT(printed, HasSubstr("(Datensatz 3 auf dem Server ('" + range + "'))\n"));

  auto owner = platform::OdbcConnector().Connect(connection);
  owner->Execute("DELETE FROM trelvo_usage WHERE range_name = ? AND number = ?", {range, engine::kCounterSetMarker});
  owner->Commit();
  EXPECT_EQ(Audit(printed), 1) << printed;
  EXPECT_THAT(printed, HasSubstr("Zählerwerte 6 bis 20 ohne Datensatz")) << printed;
}

}  // namespace
}  // namespace trelvo::cli
