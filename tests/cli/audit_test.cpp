// "trelvo audit" on fakes: the findings an auditor must see, and none more;
// the verdict "lückenlos belegt" only where every record is placed and every
// value has its one record.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <sstream>

#include "cli/trelvo_tool.h"
#include "engine/audit/tool_version.h"
#include "engine/counter_change.h"
#include "engine/number_drawing.h"
#include "engine/number_store.h"
#include "engine/usage_log.h"
#include "platform/civil_date.h"
#include "platform/console_user_interface.h"
#include "platform/cp1252.h"
#include "platform/fake/fake_system.h"

namespace trelvo::cli {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

constexpr char kLog[] = "L:\\Protokoll\\sabulog.csv";
const std::string kHeader = std::string(engine::kUsageLogHeader) + "\r\n";

// A record as the add-in writes it (the test's text is UTF-8; the file is Windows-1252).
std::string Record(const std::string& number, const std::string& when, const std::string& user = "akoch",
                   const std::string& year = "2026") {
  return "\"" + number + "\"; " + year + "-" + when + "; \"Excel 11.0\"; \"" + user + "\"; \r\n";
}

class Audit : public ::testing::Test {
 protected:
  platform::FakeFileSystem files;
  platform::FakeSystem system;
  std::ostringstream out, err;
  platform::ConsoleUserInterface ui{err};
  platform::Environment env{files, system, ui};

  void SetUp() override { system.now = {2026, 12, 31, 18, 0, 0}; }
  void Log(const std::string& records) { files.SetFile(kLog, platform::Utf8ToCp1252(kHeader + records)); }
  int Run(std::vector<std::string> counter_files, std::vector<std::string> more = {}) {
    std::vector<std::string> args{"audit", "--log", kLog};
    for (const std::string& file : counter_files) args.insert(args.end(), {"--counter-file", file});
    args.insert(args.end(), more.begin(), more.end());
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

struct Case {
  const char* name;
  std::string counter_file;  // S:\re.ini
  std::string log;           // the whole file, as its bytes
  int exit;
  std::vector<std::string> findings;
};

void Check(const Case& c, int exit, const std::string& out) {
  EXPECT_EQ(exit, c.exit) << c.name << "\n" << out;
  for (const std::string& finding : c.findings) EXPECT_THAT(out, HasSubstr(finding)) << c.name << "\n" << out;
  if (c.findings.empty()) {
    EXPECT_THAT(out, HasSubstr("Befunde: keine")) << c.name << "\n" << out;
  }
}

// The cases an office meets in a year, each with its finding (or none).
TEST_F(Audit, EachCaseGivesItsFindingAndNoOther) {
  const Case cases[] = {
      {"a clean year", "[Zaehler]\r\nCounter=43\r\n[Optionen]\r\nTextBefore=\"RE-\"\r\n",
       kHeader + Record("RE-0042", "01-02 09:00:00") + Record("RE-0043", "12-30 17:00:00"), 0, {}},
      {"a gap between two records", "[Zaehler]\r\nCounter=45\r\n",
       kHeader + Record("0042", "03-05 10:00:00") + Record("0045", "03-05 11:00:00"), 1,
       {"LÜCKE             'S:\\re.ini' (#): Zählerwerte 43 bis 44 ohne Datensatz, zwischen 2026-03-05 10:00:00 "
        "(Zeile 2) und 2026-03-05 11:00:00 (Zeile 3)"}},
      {"drawn but not logged up to the present counter", "[Zaehler]\r\nCounter=44\r\n",
       kHeader + Record("0042", "03-05 10:00:00"), 1,
       {"'S:\\re.ini' (#): Zählerwerte 43 bis 44 gezogen, aber nicht protokolliert (nach 2026-03-05 10:00:00, "
        "Zeile 2)"}},
      {"the texts of the format changed mid-year",
       "[Zaehler]\r\nCounter=44\r\n[Optionen]\r\nTextBefore=\"RE-\"\r\nPrefix=1\r\nTextAfter=\"-\"\r\n",
       kHeader + Record("2026/0042", "03-05 10:00:00") + Record("RE-2026-0043", "07-01 10:00:00") +
           Record("RE-2026-0044", "07-02 10:00:00"),
       0, {}},
      {"increment 10", "[Zaehler]\r\nCounter=71\r\nIncrement=10\r\n",
       kHeader + Record("0041", "03-05 10:00:00") + Record("0051", "03-05 10:01:00") + Record("0071", "03-05 10:02:00"),
       1, {"Zählerwert 61 ohne Datensatz"}},
      {"the counter leading",
       "[Zaehler]\r\nCounter=43\r\n[Optionen]\r\nLeadingText=1\r\nTextBefore=\"/\"\r\nPrefix=1\r\n",
       kHeader + Record("0042/2026", "03-05 10:00:00") + Record("0043/2026", "03-05 10:01:00"), 0, {}},
      {"a refused draw", "[Zaehler]\r\nCounter=42\r\n",
       kHeader + Record("#ini gesperrt#", "03-05 09:59:00", "mmüller") + Record("0042", "03-05 10:00:00"), 0,
       {"VERWEIGERT        1 verweigerte Ziehung von 'mmüller' am 2026-03-05 (gesperrte Zählerdatei; Zeile 2)"}},
      {"a truncated last line", "[Zaehler]\r\nCounter=42\r\n",
       kHeader + Record("0042", "03-05 10:00:00") + "\"0043\"; 2026-0", 1,
       {"KEIN DATENSATZ    Zeile 3 ist kein Datensatz: unvollständige letzte Zeile"}},
      {"a foreign line", "[Zaehler]\r\nCounter=42\r\n", kHeader + "Hallo Welt\r\n" + Record("0042", "03-05 10:00:00"),
       1, {"KEIN DATENSATZ    Zeile 2 ist kein Datensatz"}},
      {"a time that runs backwards", "[Zaehler]\r\nCounter=43\r\n",
       kHeader + Record("0042", "03-05 10:00:05") + Record("0043", "03-05 10:00:00"), 0,
       {"ZEIT RÜCKWÄRTS    Zeile 3: 2026-03-05 10:00:00 liegt vor Zeile 2 (2026-03-05 10:00:05)"}},
      {"the same number twice", "[Zaehler]\r\nCounter=42\r\n",
       kHeader + Record("0041", "03-05 10:00:00") + Record("0042", "03-05 10:01:00") + Record("0042", "03-05 10:02:00"),
       1, {"DOPPELT           Nummer '0042' doppelt vergeben (Zeile 4, zuerst in Zeile 3)"}},
      // Logs with no record the audit can read, against a counter file at 148.
      {"a header alone", "[Zaehler]\r\nCounter=148\r\n", kHeader, 1,
       {"ZÄHLERDATEI       'S:\\re.ini': kein Datensatz, obwohl der Zähler bei 148 steht"}},
      {"a log of zero bytes", "[Zaehler]\r\nCounter=148\r\n", "", 1, {"kein Datensatz, obwohl der Zähler bei 148"}},
      {"line ends of CR alone", "[Zaehler]\r\nCounter=2\r\n",
       std::string(engine::kUsageLogHeader) + "\r\"0001\"; 2026-03-05 10:00:00; \"Excel 11.0\"; \"akoch\"; \r"
           "\"0002\"; 2026-03-05 10:00:00; \"Excel 11.0\"; \"akoch\"; \r",
       1, {"UNLESBAR          Das Protokoll 'L:\\Protokoll\\sabulog.csv' ist nicht zeilenweise lesbar: Zeilenenden nur "
           "aus CR"}},
      {"UTF-16", "[Zaehler]\r\nCounter=148\r\n", std::string("\xFF\xFES\0A\0B\0U\0", 10), 1,
       {"nicht zeilenweise lesbar: in UTF-16 gespeichert", "kein Datensatz, obwohl der Zähler bei 148"}},
      {"commas instead of semicolons", "[Zaehler]\r\nCounter=2\r\n",
       kHeader + "\"0001\", 2026-03-05 10:00:00, \"Excel 11.0\", \"akoch\",\r\n"
                 "\"0002\", 2026-03-05 10:01:00, \"Excel 11.0\", \"akoch\",\r\n",
       1, {"KEIN DATENSATZ    2 Zeilen sind keine Datensätze (2, 3): Komma statt Semikolon als Trennzeichen"}},
      // 2027's restarted values never fill 2026's holes, also after the increment changed.
      {"a hole of 2026 and 2027's restart",
       "[Zaehler]\r\nCounter=3\r\n[Optionen]\r\nTextBefore=\"RE-\"\r\nPrefix=1\r\nTextAfter=\"-\"\r\n",
       kHeader + Record("RE-2026-0001", "03-05 10:00:00") + Record("RE-2026-0002", "03-05 11:00:00") +
           Record("RE-2026-0004", "03-05 12:00:00") + Record("RE-2027-0001", "01-04 09:00:00", "akoch", "2027") +
           Record("RE-2027-0002", "01-04 10:00:00", "akoch", "2027") +
           Record("RE-2027-0003", "01-04 11:00:00", "akoch", "2027"),
       1, {"'S:\\re.ini' (RE-2026-#): Zählerwert 3 ohne Datensatz"}},
      {"a hole of 2026 and 2027's restart with another increment",
       "[Zaehler]\r\nCounter=6\r\nIncrement=2\r\n[Optionen]\r\nTextBefore=\"RE-\"\r\nPrefix=1\r\nTextAfter=\"-\"\r\n",
       kHeader + Record("RE-2026-0001", "03-05 10:00:00") + Record("RE-2026-0002", "03-05 11:00:00") +
           Record("RE-2026-0004", "03-05 12:00:00") + Record("RE-2027-0002", "01-04 09:00:00", "akoch", "2027") +
           Record("RE-2027-0004", "01-04 10:00:00", "akoch", "2027") +
           Record("RE-2027-0006", "01-04 11:00:00", "akoch", "2027"),
       1, {"'S:\\re.ini' (RE-2026-#): Zählerwert 3 ohne Datensatz"}},
      {"a number of an older format logged twice",
       "[Zaehler]\r\nCounter=3\r\n[Optionen]\r\nTextBefore=\"RE-\"\r\nPrefix=1\r\nTextAfter=\"-\"\r\n",
       kHeader + Record("2026-0001", "03-05 10:00:00") + Record("2026-0001", "03-05 10:01:00") +
           Record("2026-0002", "03-05 10:02:00") + Record("RE-2026-0003", "07-01 10:00:00"),
       1, {"DOPPELT           Nummer '2026-0001' doppelt vergeben (Zeile 3, zuerst in Zeile 2)"}},
      {"a number no format composes",
       "[Zaehler]\r\nCounter=3\r\n[Optionen]\r\nTextBefore=\"RE-\"\r\nPrefix=1\r\nTextAfter=\"-\"\r\n",
       kHeader + Record("RE-2026-0001", "03-05 10:00:00") + Record("RE-2026-0002", "03-05 10:01:00") +
           Record("RE-2026-X", "03-05 10:02:00") + Record("RE-2026-0003", "03-05 10:03:00"),
       1, {"NICHT ZUZUORDNEN  1 Datensatz nicht zuzuordnen: keine Zählerdatei bildet diese Nummer ('RE-2026-X'; "
           "4)"}},
      {"a number of other texts after the present format",
       "[Zaehler]\r\nCounter=2\r\n[Optionen]\r\nTextBefore=\"RE-\"\r\nPrefix=1\r\nTextAfter=\"-\"\r\n",
       kHeader + Record("RE-2026-0001", "03-05 10:00:00") + Record("RE-2026-X0002", "03-05 10:01:00") +
           Record("RE-2026-0002", "03-05 10:02:00"),
       1, {"1 Datensatz nicht zuzuordnen: keine Zählerdatei bildet diese Nummer ('RE-2026-X0002'; 3)"}},
      // Year and month run together with the counter: only the record's day tells them apart.
      {"a date part run together", "[Zaehler]\r\nCounter=5\r\n[Optionen]\r\nTextBefore=\"R\"\r\nPrefix=8\r\n",
       kHeader + Record("R610001", "01-05 10:00:00") + Record("R610002", "01-05 10:01:00") +
           Record("R610003", "01-05 10:02:00") + Record("R7100004", "01-05 10:03:00") +
           Record("R610005", "01-05 10:04:00"),
       1, {"Zählerwert 4 ohne Datensatz", "1 Datensatz nicht zuzuordnen: keine Zählerdatei bildet diese Nummer "
                                           "('R7100004'"}},
      {"a counter rewound below the log", "[Zaehler]\r\nCounter=60\r\n",
       kHeader + Record("0059", "03-05 10:00:00") + Record("0060", "03-05 10:01:00") + Record("0061", "03-05 10:02:00") +
           Record("0062", "03-05 10:03:00"),
       1, {"ZÄHLER ZURÜCK     'S:\\re.ini': Zähler zurückgesetzt: die nächste Nummer wiederholt '0061'"}},
      {"an increment of 0", "[Zaehler]\r\nCounter=2\r\nIncrement=0\r\n",
       kHeader + Record("0001", "03-05 10:00:00") + Record("0002", "03-05 10:01:00"), 1,
       {"ZÄHLERDATEI       'S:\\re.ini': ", "2 Datensätze nicht zuzuordnen"}},
      {"a Counter that is no number", "[Zaehler]\r\nCounter=zwölf\r\n", kHeader + Record("0001", "03-05 10:00:00"), 1,
       {"ZÄHLERDATEI       'S:\\re.ini': "}},
      // A log that an editor saved as UTF-8, with and without its mark.
      {"UTF-8 with its mark", "[Zaehler]\r\nCounter=1\r\n",
       "\xEF\xBB\xBF" + kHeader + Record("0001", "03-05 10:00:00", "mmüller"), 0,
       {"UTF-8 mit Byte-Order-Mark", "Benutzer:      mmüller"}},
      {"UTF-8 without its mark", "[Zaehler]\r\nCounter=1\r\n", kHeader + Record("0001", "03-05 10:00:00", "mmüller"), 0,
       {"UTF-8 ohne Byte-Order-Mark", "Benutzer:      mmüller"}},
      // A year with a change of the format's texts and the restart of the counter at the turn of the year.
      {"a clean year with a format change and a yearly restart",
       "[Zaehler]\r\nCounter=2\r\n[Optionen]\r\nTextBefore=\"RE-\"\r\nPrefix=1\r\nTextAfter=\"-\"\r\n",
       kHeader + Record("2026-0001", "01-05 10:00:00") + Record("2026-0002", "01-05 11:00:00") +
           Record("RE-2026-0003", "07-01 10:00:00") + Record("RE-2026-0004", "12-30 10:00:00") +
           Record("RE-2027-0001", "01-04 09:00:00", "akoch", "2027") +
           Record("RE-2027-0002", "01-04 10:00:00", "akoch", "2027"),
       0, {}},
  };
  system.now = {2027, 1, 4, 18, 0, 0};
  for (const auto& c : cases) {
    files.SetFile("S:\\re.ini", c.counter_file);
    files.SetFile(kLog, c.log);
    const int exit = Run({"S:\\re.ini"});
    Check(c, exit, out.str());
  }
}

// A counter that restarts each year: each year a series of its own from 1,
// 2026 checked up to the counter its restart closed with, 2027 up to the
// present one; the record of a clock behind, stamped 2026-12-31, reads 2027.
TEST_F(Audit, ARestartingCounterIsCheckedPeriodByPeriod) {
  files.SetFile("S:\\re.ini",
                "[Zaehler]\r\nCounter=3\r\nPeriod=2027\r\nClosedPeriod=2026\r\nClosedCounter=142\r\n[Optionen]\r\n"
                "TextBefore=\"RE-\"\r\nPrefix=1\r\nSep=2\r\nTextAfter=\"-\"\r\nPadding=3\r\nRestart=1\r\n");
  const auto log = [](const std::vector<std::string>& left_out) {
    struct Drawn {
      std::string number, when, year;
    };
    std::vector<Drawn> drawn;
    char number[16], when[32];
    for (int value = 1; value <= 142; ++value) {
      const auto day = platform::CivilFromDays(platform::DaysFromCivil({2026, 1, 1}) + value * 2);
      std::snprintf(number, sizeof number, "RE-2026-%04d", value);
      std::snprintf(when, sizeof when, "%02d-%02d 10:00:00", day.month, day.day);
      drawn.push_back({number, when, "2026"});
    }
    drawn.push_back({"RE-2027-0001", "01-04 09:00:00", "2027"});
    drawn.push_back({"RE-2027-0002", "01-04 10:00:00", "2027"});
    drawn.push_back({"RE-2027-0003", "12-31 17:00:00", "2026"});
    std::string text;
    for (const Drawn& record : drawn)
      if (std::find(left_out.begin(), left_out.end(), record.number) == left_out.end())
        text += Record(record.number, record.when, "akoch", record.year);
    return text;
  };
  const struct {
    const char* name;
    std::vector<std::string> left_out;
    std::string finding;  // "" for none
  } cases[] = {
      {"both years complete", {}, ""},
      {"2026's 141 lost",
       {"RE-2026-0141"},
       "LÜCKE             'S:\\re.ini' (RE-2026-#): Zählerwert 141 ohne Datensatz"},
      {"2026's last lost",
       {"RE-2026-0142"},
       "LÜCKE             'S:\\re.ini' (RE-2026-#): Zählerwert 142 gezogen, aber nicht protokolliert (nach 2026-"},
      {"2027's first two lost",
       {"RE-2027-0001", "RE-2027-0002"},
       "LÜCKE             'S:\\re.ini' (RE-2027-#): Zählerwerte 1 bis 2 ohne Datensatz, zwischen dem Neubeginn des "
       "Zählers im Zeitraum 2027 und 2026-12-31 17:00:00 (Zeile 144)"},
      {"the clock behind's record lost",
       {"RE-2027-0003"},
       "LÜCKE             'S:\\re.ini' (RE-2027-#): Zählerwert 3 gezogen, aber nicht protokolliert (nach 2027-01-04 "
       "10:00:00, Zeile 145)"},
  };
  system.now = {2027, 1, 4, 18, 0, 0};
  for (const auto& c : cases) {
    Log(log(c.left_out));
    const bool complete = c.finding.empty();
    EXPECT_EQ(Run({"S:\\re.ini"}), complete ? 0 : 1) << c.name << "\n" << out.str();
    EXPECT_THAT(out.str(), HasSubstr(complete ? "die Folge ist lückenlos belegt" : c.finding)) << c.name;
    EXPECT_EQ(Count("LÜCKE"), complete ? 0u : 1u) << c.name << "\n" << out.str();
    EXPECT_EQ(Count("DOPPELT") + Count("NICHT ZUZUORDNEN") + Count("ZÄHLER"), 0u) << c.name << "\n" << out.str();
  }
  Log(log({}));
  Run({"S:\\re.ini"});
  EXPECT_THAT(out.str(), HasSubstr("Nummernkreis RE-2026-#  (Zählerdatei 'S:\\re.ini')\n"
                                   "  Erste Nummer:  RE-2026-0001 (2026-01-03)\n"
                                   "  Letzte Nummer: RE-2026-0142 (2026-10-12)\n"
                                   "  Anzahl:        142\n"));
  EXPECT_THAT(out.str(), HasSubstr("Nummernkreis RE-2027-#  (Zählerdatei 'S:\\re.ini')\n"
                                   "  Erste Nummer:  RE-2027-0001 (2027-01-04)\n"
                                   "  Letzte Nummer: RE-2027-0003 (2026-12-31)\n"
                                   "  Anzahl:        3\n"));
}

// The file's word on its periods: its present period began at 1 even where the
// values would carry the closed one on; a period without a record is told, the
// closed one only where the log reaches back before it.
TEST_F(Audit, ThePeriodsARestartingFileNamesAreChecked) {
  const std::string options = "[Optionen]\r\nTextBefore=\"RE-\"\r\nPrefix=1\r\nTextAfter=\"-\"\r\nRestart=1\r\n";
  const auto in = [](const std::string& number, const std::string& year) {
    return Record(number, "06-01 10:00:00", "akoch", year);
  };
  const Case cases[] = {
      {"the present period's first two lost",
       "[Zaehler]\r\nCounter=3\r\nPeriod=2027\r\nClosedPeriod=2026\r\nClosedCounter=2\r\n",
       kHeader + in("RE-2026-0001", "2026") + in("RE-2026-0002", "2026") + in("RE-2027-0003", "2027"),
       1,
       {"'S:\\re.ini' (RE-2027-#): Zählerwerte 1 bis 2 ohne Datensatz, zwischen dem Neubeginn des Zählers im "
        "Zeitraum 2027 und 2027-06-01 10:00:00 (Zeile 4)"}},
      {"no record of the present period",
       "[Zaehler]\r\nCounter=3\r\nPeriod=2027\r\nClosedPeriod=2026\r\nClosedCounter=2\r\n",
       kHeader + in("RE-2026-0001", "2026") + in("RE-2026-0002", "2026"),
       1,
       {"'S:\\re.ini' (RE-2027-#): Zählerwerte 1 bis 3 gezogen, aber nicht protokolliert (kein Datensatz seit dem "
        "Neubeginn des Zählers im Zeitraum 2027)"}},
      {"no record of the closed period",
       "[Zaehler]\r\nCounter=1\r\nPeriod=2027\r\nClosedPeriod=2026\r\nClosedCounter=5\r\n",
       kHeader + in("RE-2025-0001", "2025") + in("RE-2027-0001", "2027"),
       1,
       {"ZÄHLERDATEI       'S:\\re.ini' (RE-2026-#): kein Datensatz, obwohl der Zeitraum 2026 mit Zähler 5 "
        "abgeschlossen wurde"}},
      {"a log begun in the present period",
       "[Zaehler]\r\nCounter=1\r\nPeriod=2027\r\nClosedPeriod=2026\r\nClosedCounter=5\r\n",
       kHeader + in("RE-2027-0001", "2027"),
       0,
       {}},
  };
  system.now = {2027, 7, 1, 18, 0, 0};
  for (const auto& c : cases) {
    files.SetFile("S:\\re.ini", c.counter_file + options);
    files.SetFile(kLog, c.log);
    const int exit = Run({"S:\\re.ini"});
    Check(c, exit, out.str());
    EXPECT_EQ(Count("LÜCKE") + Count("ZÄHLERDATEI"), c.findings.size()) << c.name << "\n" << out.str();
  }
}

// The engine's own draws across the turn of a year and of a month, the last
// by a workstation whose clock is behind, are proven complete by the audit;
// without the last draw's record its value is drawn but not logged.
TEST_F(Audit, DrawsAcrossARestartAreProvenComplete) {
  const struct {
    const char* options;
    std::vector<platform::LocalDateTime> moments;
    const char* behind;  // the number the last draw issues
    std::vector<std::string> series;
    const char* lost;
  } cases[] = {
      {"Prefix=1\r\nSep=2\r\nRestart=1\r\n",
       {{2026, 12, 30, 9, 0, 0},
        {2026, 12, 30, 9, 1, 0},
        {2027, 1, 4, 8, 0, 0},
        {2027, 1, 4, 8, 1, 0},
        {2026, 12, 31, 17, 0, 0}},
       "RE-2027-0003",
       {"RE-2026-#", "RE-2027-#"},
       "(RE-2027-#): Zählerwert 3 gezogen, aber nicht protokolliert"},
      {"Prefix=3\r\nSep=3\r\nRestart=2\r\n",
       {{2027, 3, 30, 9, 0, 0}, {2027, 3, 31, 9, 0, 0}, {2027, 4, 1, 8, 0, 0}, {2027, 3, 31, 23, 59, 0}},
       "RE-2027/04-0002",
       {"RE-2027/03-#", "RE-2027/04-#"},
       "(RE-2027/04-#): Zählerwert 2 gezogen, aber nicht protokolliert"},
  };
  for (const auto& c : cases) {
    files.SetFile("S:\\re.ini", std::string("[Zaehler]\r\nCounter=40\r\n[Optionen]\r\nTextBefore=\"RE-\"\r\n"
                                            "TextAfter=\"-\"\r\n") +
                                    c.options);
    files.AddFolder(system.app_data + "\\Orvant\\Trelvo 2006");
    const std::string drawn_log = engine::GetUsageLogPath(env);
    files.SetFile(drawn_log, kHeader);
    const auto store = engine::OpenNumberStore(env, "S:\\re.ini");
    engine::DrawResult last;
    for (const platform::LocalDateTime& moment : c.moments) {
      system.now = moment;
      last = engine::DrawUnderLock(env, *store, "Excel 11.0");
      ASSERT_TRUE(last.issued) << c.options;
    }
    EXPECT_EQ(last.number, c.behind);
    system.now = {2027, 4, 2, 18, 0, 0};
    const std::string records = *files.Content(drawn_log);
    files.SetFile(kLog, records);
    EXPECT_EQ(Run({"S:\\re.ini"}), 0) << out.str();
    EXPECT_THAT(out.str(), HasSubstr("die Folge ist lückenlos belegt")) << out.str();
    for (const std::string& series : c.series) EXPECT_THAT(out.str(), HasSubstr("Nummernkreis " + series + " "));

    files.SetFile(kLog, records.substr(0, records.rfind("\r\n", records.size() - 3) + 2));
    EXPECT_EQ(Run({"S:\\re.ini"}), 1) << out.str();
    EXPECT_THAT(out.str(), HasSubstr(c.lost)) << out.str();
    EXPECT_EQ(Count("LÜCKE"), 1u) << out.str();
  }
}

// Records of the values first to last as the add-in writes them, prefix before the counter.
std::string Drawn(int first, int last, const std::string& when, const std::string& prefix = "",
                  const std::string& year = "2026") {
  std::string records;
  char number[32];
  for (int value = first; value <= last; ++value) {
    std::snprintf(number, sizeof number, "%s%04d", prefix.c_str(), value);
    records += Record(number, when, "akoch", year);
  }
  return records;
}

// The record of a counter set by hand, as the Options dialog and set-counter write it.
std::string CounterSet(int64_t from, int64_t to, const std::string& subject,
                       const std::string& when = "2026-03-05 14:07:09") {
  return engine::UsageLogRecord(engine::kCounterSetMarker, when, engine::CounterChangeText({from, to, subject}),
                                "admin") +
         "\r\n";
}

// A counter set by hand has a record of its own: the values it skipped are no
// gap and the jump is told with who set it and when; what it did not skip
// stays a gap, and a counter set back stands against the verdict.
TEST_F(Audit, ACounterSetByHandIsAJumpThatExplainsTheValuesItSkipped) {
  const std::string plain = "[Zaehler]\r\nCounter=103\r\n";
  const std::string jump =
      "ZÄHLER GESETZT    'S:\\re.ini': Zähler von 88 auf 100 gesetzt durch admin am 2026-03-05 14:07:09 (Zeile 90)";
  const std::string yearly = "[Optionen]\r\nTextBefore=\"RE-\"\r\nPrefix=1\r\nTextAfter=\"-\"\r\nRestart=1\r\n";
  const struct {
    const char* name;
    std::string counter_file, log;
    int exit;
    std::vector<std::string> told, not_told;
  } cases[] = {
      {"a jump recorded",
       plain,
       Drawn(1, 88, "03-05 10:00:00") + CounterSet(88, 100, "re.ini") + Drawn(101, 103, "03-05 15:00:00"),
       0,
       {jump, "Befunde: 1\n", "die Folge ist lückenlos belegt"},
       {"LÜCKE"}},
      {"the same jump without its record",
       plain,
       Drawn(1, 88, "03-05 10:00:00") + Drawn(101, 103, "03-05 15:00:00"),
       1,
       {"LÜCKE             'S:\\re.ini' (#): Zählerwerte 89 bis 100 ohne Datensatz, zwischen 2026-03-05 10:00:00 "
        "(Zeile 89) und 2026-03-05 15:00:00 (Zeile 90)"},
       {"ZÄHLER GESETZT"}},
      {"values lost before the jump",
       plain,
       Drawn(1, 84, "03-05 10:00:00") + CounterSet(88, 100, "re.ini") + Drawn(101, 103, "03-05 15:00:00"),
       1,
       {"LÜCKE             'S:\\re.ini' (#): Zählerwerte 85 bis 88 ohne Datensatz",
        "'S:\\re.ini': Zähler von 88 auf 100 gesetzt durch admin", "1 Lücke ohne Datensatz"},
       {"bis 100 ohne"}},
      {"a jump after the last record",
       "[Zaehler]\r\nCounter=100\r\n",
       Drawn(1, 88, "03-05 10:00:00") + CounterSet(88, 100, "re.ini"),
       0,
       {jump},
       {"LÜCKE"}},
      {"the file named in other letters",
       plain,
       Drawn(1, 88, "03-05 10:00:00") + CounterSet(88, 100, "RE.INI") + Drawn(101, 103, "03-05 15:00:00"),
       0,
       {jump},
       {}},
      {"another counter file's jump",
       plain,
       Drawn(1, 88, "03-05 10:00:00") + CounterSet(88, 100, "andere.ini") + Drawn(101, 103, "03-05 15:00:00"),
       1,
       {"Zählerwerte 89 bis 100 ohne Datensatz",
        "ZÄHLER GESETZT    Zähler von 88 auf 100 gesetzt durch admin am 2026-03-05 14:07:09 (Zeile 90) für "
        "'andere.ini': keine geprüfte Zählerdatei heißt so"},
       {"'S:\\re.ini': Zähler von"}},
      {"a counter set back and forward again",
       "[Zaehler]\r\nCounter=100\r\n",
       Drawn(1, 100, "03-05 10:00:00") + CounterSet(100, 50, "re.ini") +
           CounterSet(50, 100, "re.ini", "2026-03-05 14:08:00"),
       1,
       {"VON HAND ZURÜCK   'S:\\re.ini': Zähler von 100 auf 50 zurückgesetzt durch admin am 2026-03-05 14:07:09 "
        "(Zeile 102): die Nummern der Zählerwerte über 50 bis 100 können ein zweites Mal vergeben werden",
        "0 Lücken ohne Datensatz, 1 Zähler von Hand zurückgesetzt: die Folge ist nicht lückenlos belegt"},
       {"LÜCKE", "DOPPELT"}},
      {"a change record without its values",
       plain,
       Drawn(1, 88, "03-05 10:00:00") +
           "\"#Zähler gesetzt#\"; 2026-03-05 14:07:09; \"von 88 auf hundert: re.ini\"; \"admin\"; \r\n" +
           Drawn(101, 103, "03-05 15:00:00"),
       1,
       {"KEIN DATENSATZ    Zeile 90 ist kein Datensatz: Zähleränderung ohne 'von … auf …: Zählerdatei'",
        "Zählerwerte 89 bis 100 ohne Datensatz"},
       {"NICHT ZUZUORDNEN"}},
      // A counter that restarts: set before the first draw of 2027, it still
      // counted in 2026, whose restart closed it at 100; set after it, in 2027.
      {"a yearly counter set before the year's first draw",
       "[Zaehler]\r\nCounter=2\r\nPeriod=2027\r\nClosedPeriod=2026\r\nClosedCounter=100\r\n" + yearly,
       Drawn(1, 88, "03-05 10:00:00", "RE-2026-") + CounterSet(88, 100, "re.ini", "2027-01-02 08:00:00") +
           Drawn(1, 2, "01-04 09:00:00", "RE-2027-", "2027"),
       0,
       {"'S:\\re.ini': Zähler von 88 auf 100 gesetzt durch admin am 2027-01-02 08:00:00"},
       {"LÜCKE"}},
      {"a yearly counter set after the year's first draw",
       "[Zaehler]\r\nCounter=101\r\nPeriod=2027\r\nClosedPeriod=2026\r\nClosedCounter=88\r\n" + yearly,
       Drawn(1, 88, "03-05 10:00:00", "RE-2026-") + Drawn(1, 2, "01-04 09:00:00", "RE-2027-", "2027") +
           CounterSet(2, 100, "re.ini", "2027-01-04 10:00:00") + Drawn(101, 101, "01-04 11:00:00", "RE-2027-", "2027"),
       0,
       {"'S:\\re.ini': Zähler von 2 auf 100 gesetzt"},
       {"LÜCKE"}},
  };
  system.now = {2027, 1, 10, 18, 0, 0};
  for (const auto& c : cases) {
    files.SetFile("S:\\re.ini", c.counter_file);
    Log(c.log);
    EXPECT_EQ(Run({"S:\\re.ini"}), c.exit) << c.name << "\n" << out.str();
    for (const std::string& text : c.told) EXPECT_THAT(out.str(), HasSubstr(text)) << c.name << "\n" << out.str();
    for (const std::string& text : c.not_told)
      EXPECT_THAT(out.str(), Not(HasSubstr(text))) << c.name << "\n" << out.str();
  }
}

// A change in the log names its counter file by its file name, compared as
// Windows compares names; of several files with that name, the one whose last
// value it goes on from.
TEST_F(Audit, AChangeRecordCountsForTheCounterFileItNames) {
  files.SetFile("S:\\Ämter\\ZÄHLER.ini", "[Zaehler]\r\nCounter=11\r\n[Optionen]\r\nTextBefore=\"A-\"\r\n");
  files.SetFile("S:\\Post\\zähler.ini", "[Zaehler]\r\nCounter=3\r\n[Optionen]\r\nTextBefore=\"B-\"\r\n");
  const struct {
    const char* subject;
    int b_before;  // B-'s records before the change
    int exit;
    std::string told;
  } cases[] = {
      {"Zähler.INI", 1, 0, "ZÄHLER GESETZT    'S:\\Ämter\\ZÄHLER.ini': Zähler von 3 auf 10 gesetzt"},
      {"ZAEHLER.ini", 1, 1, "für 'ZAEHLER.ini': keine geprüfte Zählerdatei heißt so"},
      {"zähler.ini", 3, 1, "für 'zähler.ini': 2 geprüfte Zählerdateien heißen so; die Änderung ist keiner zugerechnet"},
  };
  for (const auto& c : cases) {
    Log(Drawn(1, 3, "03-05 10:00:00", "A-") + Drawn(1, c.b_before, "03-05 10:00:00", "B-") +
        CounterSet(3, 10, c.subject) + Drawn(11, 11, "03-05 15:00:00", "A-") +
        Drawn(c.b_before + 1, 3, "03-05 15:00:00", "B-"));
    EXPECT_EQ(Run({"S:\\Ämter\\ZÄHLER.ini", "S:\\Post\\zähler.ini"}), c.exit) << c.subject << "\n" << out.str();
    EXPECT_THAT(out.str(), HasSubstr(c.told)) << c.subject << "\n" << out.str();
    EXPECT_EQ(Count("LÜCKE"), c.exit == 0 ? 0u : 1u) << c.subject << "\n" << out.str();
    if (c.exit) {
      EXPECT_THAT(out.str(), HasSubstr("(A-#): Zählerwerte 4 bis 10 ohne Datensatz")) << out.str();
    }
  }
}

// A second counter file without any record in the log is not proven.
TEST_F(Audit, ACounterFileWithoutRecordsIsAFinding) {
  files.SetFile("S:\\a.ini", "[Zaehler]\r\nCounter=2\r\n[Optionen]\r\nTextBefore=\"A-\"\r\n");
  files.SetFile("S:\\b.ini", "[Zaehler]\r\nCounter=50\r\n[Optionen]\r\nTextBefore=\"B-\"\r\n");
  Log(Record("A-0001", "03-05 10:00:00") + Record("A-0002", "03-05 10:01:00"));
  EXPECT_EQ(Run({"S:\\a.ini", "S:\\b.ini"}), 1);
  EXPECT_THAT(out.str(), HasSubstr("'S:\\b.ini': kein Datensatz, obwohl der Zähler bei 50 steht"));
  EXPECT_THAT(out.str(), HasSubstr("1 Zählerdatei nicht belegt: die Folge ist nicht lückenlos belegt."));
}

// Findings of one record or gap each are told up to a thousand, the rest counted:
// the audit's memory does not grow with a log full of holes.
TEST_F(Audit, ThousandsOfGapsAreToldUpToAThousandAndCounted) {
  files.SetFile("S:\\re.ini", "[Zaehler]\r\nCounter=2005\r\n");
  std::string records;
  char number[16];
  for (int value = 1; value <= 2005; value += 2) {
    std::snprintf(number, sizeof number, "%04d", value);
    records += Record(number, "03-05 10:00:00");
  }
  Log(records);
  EXPECT_EQ(Run({"S:\\re.ini"}), 1);
  EXPECT_EQ(Count("LÜCKE"), 1001u);
  EXPECT_THAT(out.str(), HasSubstr("LÜCKE             2 weitere Lücken\n"));
  EXPECT_THAT(out.str(), HasSubstr("Ergebnis: 0 doppelte Nummern, 1002 Lücken ohne Datensatz:"));
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

// A period: the whole log is read for its continuity, and what touches the
// period is told: a gap whose time window reaches into it, a duplicate with
// an issue inside it; a period without records, or one that ends before it
// begins, proves nothing.
TEST_F(Audit, APeriodTellsWhatTouchesIt) {
  files.SetFile("S:\\re.ini", "[Zaehler]\r\nCounter=60\r\n");
  Log(Record("0041", "01-05 10:00:00") + Record("0043", "03-05 10:00:00") + Record("0044", "03-06 10:00:00") +
      Record("0046", "05-05 10:00:00") + Record("0047", "05-06 10:00:00"));
  EXPECT_EQ(Run({"S:\\re.ini"}, {"--from", "2026-03-01", "--to", "2026-03-31"}), 1) << out.str();
  EXPECT_THAT(out.str(), HasSubstr("(6 Zeilen, 2 Datensätze)"));
  EXPECT_THAT(out.str(), HasSubstr("Zählerwert 42 ohne Datensatz, zwischen 2026-01-05 10:00:00"));
  EXPECT_THAT(out.str(), HasSubstr("Zählerwert 45 ohne Datensatz, zwischen 2026-03-06 10:00:00"));
  EXPECT_EQ(Count("LÜCKE"), 2u) << out.str();  // 48 to 60 come after the period

  Log(Record("0041", "01-05 10:00:00") + Record("0042", "03-05 10:00:00") + Record("0042", "05-05 10:00:00"));
  files.SetFile("S:\\re.ini", "[Zaehler]\r\nCounter=42\r\n");
  EXPECT_EQ(Run({"S:\\re.ini"}, {"--from", "2026-03-01", "--to", "2026-03-31"}), 1) << out.str();
  EXPECT_THAT(out.str(), HasSubstr("Nummer '0042' doppelt vergeben (Zeile 4, zuerst in Zeile 3)"));
  EXPECT_EQ(Run({"S:\\re.ini"}, {"--from", "2026-04-01", "--to", "2026-04-30"}), 1) << out.str();
  EXPECT_THAT(out.str(), HasSubstr("ZEITRAUM LEER     Kein Datensatz im Zeitraum 2026-04-01 bis 2026-04-30"));
  EXPECT_THAT(out.str(), Not(HasSubstr("DOPPELT")));
  EXPECT_EQ(Run({"S:\\re.ini"}, {"--from", "2026-03-31", "--to", "2026-03-01"}), kExitUsage);
  EXPECT_THAT(err.str(), HasSubstr("Der Zeitraum endet vor seinem Beginn"));
}

TEST_F(Audit, TheSummaryNamesSourcesSeriesAndUsersAndUnreadableFilesExitWithTwo) {
  files.SetFile("S:\\re.ini", "[Zaehler]\r\nCounter=43\r\n[Optionen]\r\nTextBefore=\"RE-\"\r\n");
  Log(Record("RE-0042", "01-02 09:00:00", "mmüller") + Record("RE-0043", "12-30 17:00:00"));
  EXPECT_EQ(Run({"S:\\re.ini"}), 0);
  EXPECT_THAT(out.str(), HasSubstr(std::string("Erstellt: 2026-12-31 18:00:00 mit trelvo ") +
                                   engine::audit::AuditToolVersion() + "\n"));
  // The log as it lies on disk, in Windows-1252.
  EXPECT_THAT(out.str(), HasSubstr("Protokoll: L:\\Protokoll\\sabulog.csv (3 Zeilen, 2 Datensätze)\n  " +
                                   std::to_string(files.Content(kLog)->size()) + " Bytes, Windows-1252, SHA-256 "));
  EXPECT_THAT(out.str(), HasSubstr("Nummernkreis RE-#  (Zählerdatei 'S:\\re.ini')\n"
                                   "  Erste Nummer:  RE-0042 (2026-01-02)\n"
                                   "  Letzte Nummer: RE-0043 (2026-12-30)\n"
                                   "  Anzahl:        2\n"
                                   "  Lücken:        0\n"
                                   "  Doppelte:      0\n"
                                   "  Benutzer:      akoch, mmüller\n"));
  EXPECT_THAT(out.str(), HasSubstr("die Folge ist lückenlos belegt"));
  Log(Record("RE-0043", "12-30 17:00:00"));
  files.SetFile("S:\\re.ini", "[Zaehler]\r\nCounter=43\r\n[Optionen]\r\nTextBefore=\"RE-\"\r\n");
  EXPECT_EQ(Run({"S:\\re.ini"}), 0);
  EXPECT_THAT(out.str(), HasSubstr("(2 Zeilen, 1 Datensatz)"));
  EXPECT_EQ(Run({"S:\\fehlt.ini"}), 2);
  EXPECT_THAT(err.str(), HasSubstr("'S:\\fehlt.ini' existiert nicht"));
  files.SetFile("S:\\re.ini", "[Zaehler]\r\n");
  EXPECT_EQ(RunTrelvoTool({"audit", "--log", "L:\\fehlt.csv", "--counter-file", "S:\\re.ini"}, env, out, err), 2);
  EXPECT_EQ(RunTrelvoTool({"audit", "--from", "2026-13"}, env, out, err), kExitUsage);
}

}  // namespace
}  // namespace trelvo::cli
