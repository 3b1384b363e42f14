// The audit's log reader takes any bytes: random log-like lines never crash
// it, every line is a record or a finding, and the malformed lines that occur
// in real logs are told apart.
#include <gtest/gtest.h>

#include <random>

#include "engine/audit/log_line.h"
#include "engine/audit/sequence_audit.h"

namespace trelvo::engine::audit {
namespace {

std::string RandomLogLine(std::mt19937& random) {
  static const char* const fragments[] = {"\"", "\"\"", "; ", ";", " ", "2026-03-05 10:00:00", "2026-13-45 99.99.99",
                                          "RE-", "0042", "#ini gesperrt#", "Excel 11.0", "\xE4", "\x80", "\0", "\r"};
  std::string line;
  const int pieces = std::uniform_int_distribution<int>(0, 12)(random);
  for (int piece = 0; piece < pieces; ++piece) {
    if (random() % 6 == 0)
      line += static_cast<char>(random() % 256);
    else
      line += fragments[random() % std::size(fragments)];
  }
  return line;
}

TEST(AuditProperty, EveryLineIsARecordOrAFindingWhateverItsBytes) {
  std::mt19937 random(20261210);
  NumberFormat leading;
  leading.leading = true;
  leading.text_before = "/";
  for (int round = 0; round < 300; ++round) {
    SequenceAudit audit({{"S:\\a.ini", NumberFormat{}, 1, 50}, {"S:\\b.ini", leading, 3, 7}}, {});
    const int lines = std::uniform_int_distribution<int>(0, 40)(random);
    size_t not_records = 0;
    for (int i = 0; i < lines; ++i) {
      const std::string line = RandomLogLine(random);
      const ParsedLine parsed = ParseLogLine(line, random() % 8 != 0);
      EXPECT_NE(parsed.record.has_value(), !parsed.problem.empty()) << line;
      not_records += !parsed.record;
      audit.Take(static_cast<size_t>(i) + 2, parsed);
    }
    const AuditResult result = audit.Finish();
    size_t told = 0;
    for (const Finding& finding : result.findings) told += finding.kind == Finding::Kind::NotARecord;
    EXPECT_EQ(told, not_records);
    EXPECT_EQ(result.records + not_records, static_cast<size_t>(lines));
  }
}

TEST(LogLine, TheMalformedLinesOfRealLogsAreToldApart) {
  const struct {
    const char* line;
    bool complete;
    const char* problem;  // "" for a record
  } cases[] = {
      {"\"0042\"; 2026-03-05 10:00:00; \"Excel 11.0\"; \"akoch\"; ", true, ""},
      {"\"0042\"; 2026-03-05 10.00.00; \"Excel 11.0\"; \"ak\"\"och\"; ", true, ""},  // another time separator
      {"\"0042\"; 2026-03-05 10:0", false, "unvollständige letzte Zeile (nicht vier Felder)"},
      {"\"RE-00", false, "unvollständige letzte Zeile (Anführungszeichen nicht geschlossen)"},
      {"Hallo Welt", true, "nicht vier Felder"},
      {"\"0042\"x; 2026-03-05 10:00:00; \"Excel\"; \"akoch\"; ", true, "Text hinter einem Feld in Anführungszeichen"},
      {"\"0042\"; 05.03.2026 10:00:00; \"Excel\"; \"akoch\"; ", true, "kein Zeitstempel im zweiten Feld"},
      {"0042; 2026-03-05 10:00:00; \"Excel\"; \"akoch\"; ", true, "die Nummer steht nicht in Anführungszeichen"},
      {"", true, "nicht vier Felder"},
  };
  for (const auto& c : cases) {
    const ParsedLine parsed = ParseLogLine(c.line, c.complete);
    EXPECT_EQ(parsed.problem, c.problem) << c.line;
  }
  EXPECT_EQ(ParseLogLine("\"0042\"; 2026-03-05 10.00.00; \"Excel 11.0\"; \"ak\"\"och\"; ", true).record->user,
            "ak\"och");
}

}  // namespace
}  // namespace trelvo::engine::audit
