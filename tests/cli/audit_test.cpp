// "trelvo audit" on fakes: the findings an auditor must see, and none more.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>

#include "cli/trelvo_tool.h"
#include "engine/usage_log.h"
#include "platform/console_user_interface.h"
#include "platform/cp1252.h"
#include "platform/fake/fake_system.h"

namespace trelvo::cli {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

constexpr char kLog[] = "L:\\Protokoll\\sabulog.csv";

// A record as the add-in writes it (the test's text is UTF-8; the file is Windows-1252).
std::string Record(const std::string& number, const std::string& when, const std::string& user = "akoch") {
  return "\"" + number + "\"; 2026-" + when + "; \"Excel 11.0\"; \"" + user + "\"; \r\n";
}

class Audit : public ::testing::Test {
 protected:
  platform::FakeFileSystem files;
  platform::FakeSystem system;
  std::ostringstream out, err;
  platform::ConsoleUserInterface ui{err};
  platform::Environment env{files, system, ui};

  void Log(const std::string& records) {
    files.SetFile(kLog, platform::Utf8ToCp1252(std::string(engine::kUsageLogHeader) + "\r\n" + records));
  }
  int Run(std::vector<std::string> counter_files) {
    std::vector<std::string> args{"audit", "--log", kLog};
    for (const std::string& file : counter_files) args.insert(args.end(), {"--counter-file", file});
    out.str("");
    err.str("");
    return RunTrelvoTool(args, env, out, err);
  }
  size_t Count(const std::string& text) const {
    size_t count = 0;
    for (size_t at = out.str().find(text); at != std::string::npos; at = out.str().find(text, at + 1)) ++count;
    return count;
  }
};

// The cases an office meets in a year, each with its one finding (or none).
TEST_F(Audit, EachCaseGivesItsFindingAndNoOther) {
  const struct {
    const char* name;
    std::string counter_file;  // S:\re.ini
    std::string records;
    int exit;
    std::vector<std::string> findings;
  } cases[] = {
      {"a clean year", "[Zaehler]\r\nCounter=43\r\n[Optionen]\r\nTextBefore=\"RE-\"\r\n",
       Record("RE-0042", "01-02 09:00:00") + Record("RE-0043", "12-30 17:00:00"), 0, {}},
      {"a gap between two records", "[Zaehler]\r\nCounter=45\r\n",
       Record("0042", "03-05 10:00:00") + Record("0045", "03-05 11:00:00"), 1,
       {"LÜCKE           'S:\\re.ini': Zählerwerte 43 bis 44 ohne Datensatz, zwischen 2026-03-05 10:00:00 (Zeile 2) "
        "und 2026-03-05 11:00:00 (Zeile 3)"}},
      {"drawn but not logged up to the present counter", "[Zaehler]\r\nCounter=44\r\n",
       Record("0042", "03-05 10:00:00"), 1,
       {"'S:\\re.ini': Zählerwerte 43 bis 44 gezogen, aber nicht protokolliert (nach 2026-03-05 10:00:00, Zeile 2)"}},
      {"a format change mid-year continues the counter",
       "[Zaehler]\r\nCounter=44\r\n[Optionen]\r\nTextBefore=\"RE-\"\r\nPrefix=1\r\nTextAfter=\"-\"\r\n",
       Record("0042", "03-05 10:00:00") + Record("RE-2026-0043", "07-01 10:00:00") +
           Record("RE-2026-0044", "07-02 10:00:00"),
       0, {}},
      {"increment 10", "[Zaehler]\r\nCounter=71\r\nIncrement=10\r\n",
       Record("0041", "03-05 10:00:00") + Record("0051", "03-05 10:01:00") + Record("0071", "03-05 10:02:00"), 1,
       {"Zählerwert 61 ohne Datensatz"}},
      {"the counter leading", "[Zaehler]\r\nCounter=43\r\n[Optionen]\r\nLeadingText=1\r\nTextBefore=\"/\"\r\nPrefix=1\r\n",
       Record("0042/2026", "03-05 10:00:00") + Record("0043/2026", "03-05 10:01:00"), 0, {}},
      {"a refused draw", "[Zaehler]\r\nCounter=42\r\n",
       Record("#ini gesperrt#", "03-05 09:59:00", "mmüller") + Record("0042", "03-05 10:00:00"), 0,
       {"VERWEIGERT      1 verweigerte Ziehung von 'mmüller' am 2026-03-05 (gesperrte Zählerdatei; Zeilen 2)"}},
      {"a truncated last line", "[Zaehler]\r\nCounter=42\r\n", Record("0042", "03-05 10:00:00") + "\"0043\"; 2026-0",
       0, {"KEIN DATENSATZ  Zeile 3 ist kein Datensatz: unvollständige letzte Zeile"}},
      {"a foreign line", "[Zaehler]\r\nCounter=42\r\n", "Hallo Welt\r\n" + Record("0042", "03-05 10:00:00"), 0,
       {"KEIN DATENSATZ  Zeile 2 ist kein Datensatz"}},
      {"a time that runs backwards", "[Zaehler]\r\nCounter=43\r\n",
       Record("0042", "03-05 10:00:05") + Record("0043", "03-05 10:00:00"), 0,
       {"ZEIT RÜCKWÄRTS  Zeile 3: 2026-03-05 10:00:00 liegt vor Zeile 2 (2026-03-05 10:00:05)"}},
      {"the same number twice", "[Zaehler]\r\nCounter=42\r\n",
       Record("0041", "03-05 10:00:00") + Record("0042", "03-05 10:01:00") + Record("0042", "03-05 10:02:00"), 1,
       {"DOPPELT         Nummer '0042' doppelt vergeben (Zeile 4, zuerst in Zeile 3)"}},
  };
  for (const auto& c : cases) {
    files.SetFile("S:\\re.ini", c.counter_file);
    Log(c.records);
    EXPECT_EQ(Run({"S:\\re.ini"}), c.exit) << c.name << "\n" << out.str();
    for (const std::string& finding : c.findings) EXPECT_THAT(out.str(), HasSubstr(finding)) << c.name;
    EXPECT_THAT(out.str(), HasSubstr("Befunde: " + (c.findings.empty() ? std::string("keine")
                                                                      : std::to_string(c.findings.size()))))
        << c.name << "\n" << out.str();
  }
}

// Two counter files of one format: the same number from both is a duplicate,
// and each file's sequence is checked on its own.
TEST_F(Audit, ANumberIssuedFromTwoCounterFilesIsADuplicate) {
  files.SetFile("S:\\a.ini", "[Zaehler]\r\nCounter=42\r\n");
  files.SetFile("S:\\b.ini", "[Zaehler]\r\nCounter=42\r\n");
  Log(Record("0041", "03-05 10:00:00") + Record("0042", "03-05 10:01:00") + Record("0042", "03-05 10:02:00", "bmeier"));
  for (const auto& order : {std::vector<std::string>{"S:\\a.ini", "S:\\b.ini"}, {"S:\\b.ini", "S:\\a.ini"}}) {
    EXPECT_EQ(Run(order), 1);
    EXPECT_THAT(out.str(), HasSubstr("Nummer '0042' doppelt vergeben (Zeile 4, zuerst in Zeile 3)"));
    EXPECT_EQ(Count("LÜCKE"), 0u) << out.str();
  }
}

// A period: only its records count, and the present counter closes no gap
// when the period ends before today.
TEST_F(Audit, APeriodAuditsOnlyItsRecords) {
  files.SetFile("S:\\re.ini", "[Zaehler]\r\nCounter=60\r\n");
  Log(Record("0041", "01-05 10:00:00") + Record("0043", "03-05 10:00:00") + Record("0044", "03-06 10:00:00") +
      Record("0046", "05-05 10:00:00"));
  EXPECT_EQ(RunTrelvoTool({"audit", "--log", kLog, "--counter-file", "S:\\re.ini", "--from", "2026-03-01", "--to",
                           "2026-03-31"},
                          env, out, err),
            0)
      << out.str();
  EXPECT_THAT(out.str(), HasSubstr("(5 Zeilen, 2 Datensätze)"));
  EXPECT_THAT(out.str(), HasSubstr("Befunde: keine"));
}

TEST_F(Audit, TheSummaryNamesSeriesPeriodAndUsersAndUnreadableFilesExitWithTwo) {
  files.SetFile("S:\\re.ini", "[Zaehler]\r\nCounter=43\r\n[Optionen]\r\nTextBefore=\"RE-\"\r\n");
  Log(Record("RE-0042", "01-02 09:00:00", "mmüller") + Record("RE-0043", "12-30 17:00:00"));
  EXPECT_EQ(Run({"S:\\re.ini"}), 0);
  EXPECT_THAT(out.str(), HasSubstr("Nummernkreis RE-#  (Zählerdatei 'S:\\re.ini')\n"
                                   "  Erste Nummer:  RE-0042 (2026-01-02)\n"
                                   "  Letzte Nummer: RE-0043 (2026-12-30)\n"
                                   "  Anzahl:        2\n"
                                   "  Lücken:        0\n"
                                   "  Doppelte:      0\n"
                                   "  Benutzer:      akoch, mmüller\n"));
  EXPECT_THAT(out.str(), HasSubstr("die Folge ist lückenlos belegt"));
  EXPECT_EQ(Run({"S:\\fehlt.ini"}), 2);
  EXPECT_THAT(err.str(), HasSubstr("'S:\\fehlt.ini' existiert nicht"));
  files.SetFile("S:\\re.ini", "[Zaehler]\r\n");
  EXPECT_EQ(RunTrelvoTool({"audit", "--log", "L:\\fehlt.csv", "--counter-file", "S:\\re.ini"}, env, out, err), 2);
  EXPECT_EQ(RunTrelvoTool({"audit", "--from", "2026-13"}, env, out, err), kExitUsage);
}

}  // namespace
}  // namespace trelvo::cli
