// The audit's log reader takes any bytes: random log-like lines never crash
// it, every line is a record or a finding, and the malformed lines that occur
// in real logs are told apart.
#include <gtest/gtest.h>

#include <cstdio>
#include <random>

#include "engine/audit/log_line.h"
#include "engine/audit/number_pattern.h"
#include "engine/audit/sha256.h"
#include "engine/audit/sequence_audit.h"
#include "engine/counter_change.h"
#include "engine/number_drawing.h"
#include "platform/civil_date.h"

namespace trelvo::engine::audit {
namespace {

AuditedCounterFile CounterFile(const std::string& path, const NumberFormat& format, int32_t increment,
                               int64_t counter) {
  AuditedCounterFile file;
  file.path = path;
  file.format = format;
  file.increment = increment;
  file.counter = counter;
  return file;
}

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
    SequenceAudit audit({CounterFile("S:\\a.ini", NumberFormat{}, 1, 50), CounterFile("S:\\b.ini", leading, 3, 7)}, {},
                        {2026, 3, 5, 12, 0, 0});
    AuditSource log;
    log.name = "L:\\sabulog.csv";
    audit.AddSource(log, std::nullopt);
    const int lines = std::uniform_int_distribution<int>(0, 40)(random);
    size_t not_records = 0;
    for (int i = 0; i < lines; ++i) {
      const std::string line = RandomLogLine(random);
      const ParsedLine parsed = ParseLogLine(line, random() % 8 != 0);
      EXPECT_NE(parsed.record.has_value(), !parsed.problem.empty()) << line;
      not_records += !parsed.record;
      audit.Take({0, static_cast<size_t>(i) + 2}, parsed);
    }
    const AuditResult result = audit.Finish();
    EXPECT_EQ(result.Count(Finding::Kind::NotARecord), not_records);
    EXPECT_EQ(result.records + not_records, static_cast<size_t>(lines));
    // A record that is placed nowhere is told, never passed.
    if (result.records > 0 && result.series.empty()) {
      EXPECT_TRUE(result.failed());
    }
  }
}

// A sequence drawn through the year under any format and increment is proven
// complete; with any one of its records lost after the first, or one issued
// twice, it is not.
TEST(AuditProperty, ACleanSequenceIsProvenAndAnyLossOrRepeatIsFound) {
  std::mt19937 random(20261211);
  for (int round = 0; round < 300; ++round) {
    const NumberFormat format{"RE-", random() % 2 ? "-" : "", "", static_cast<int32_t>(random() % kDateKinds.size()),
                              static_cast<int32_t>(random() % 5), static_cast<int32_t>(1 + random() % 5),
                              random() % 2 == 0};
    const int32_t increment = static_cast<int32_t>(1 + random() % 3);
    const int count = 2 + static_cast<int>(random() % 30);
    std::vector<LogRecord> records;
    for (int i = 0; i < count; ++i) {
      const platform::LocalDateTime day{2026, 1 + i * 12 / count, 1 + i % 28, 10, 0, 0};
      char date[16];
      std::snprintf(date, sizeof date, "%04d-%02d-%02d", day.year, day.month, day.day);
      records.push_back({ComposeNumber(format, i * increment, increment, day), date, "10:00:00", "Excel 11.0", "akoch",
                         std::nullopt});
    }
    const auto audit = [&](std::optional<int> lost, std::optional<int> twice) {
      SequenceAudit sequence({CounterFile("S:\\a.ini", format, increment, int64_t{count} * increment)}, {},
                             {2026, 12, 31, 18, 0, 0});
      AuditSource log;
      log.name = "L:\\sabulog.csv";
      sequence.AddSource(log, std::nullopt);
      size_t line = 1;
      for (int i = 0; i < count; ++i) {
        if (i == lost) continue;
        sequence.Take({0, ++line}, ParsedLine{records[static_cast<size_t>(i)], ""});
        if (i == twice) sequence.Take({0, ++line}, ParsedLine{records[static_cast<size_t>(i)], ""});
      }
      return sequence.Finish();
    };
    const AuditResult clean = audit(std::nullopt, std::nullopt);
    EXPECT_FALSE(clean.failed()) << records.front().number << " " << clean.Verdict();
    const int lost = 1 + static_cast<int>(random() % static_cast<uint32_t>(count - 1));
    const AuditResult missing = audit(lost, std::nullopt);
    EXPECT_EQ(missing.gaps, 1u) << records[static_cast<size_t>(lost)].number;
    const AuditResult repeated = audit(std::nullopt, static_cast<int>(random() % static_cast<uint32_t>(count)));
    EXPECT_EQ(repeated.duplicates, 1u) << records.front().number;
  }
}

// A counter set forward by hand to any value, under any format and increment:
// with the change's record the sequence is proven; without it the values it
// skipped are a gap; with it, any one record lost is still one gap.
TEST(AuditProperty, ACounterSetByHandExplainsTheValuesItSkippedAndNoOthers) {
  std::mt19937 random(20261213);
  for (int round = 0; round < 300; ++round) {
    const NumberFormat format{"RE-",
                              random() % 2 ? "-" : "",
                              "",
                              static_cast<int32_t>(random() % kDateKinds.size()),
                              static_cast<int32_t>(random() % 5),
                              static_cast<int32_t>(1 + random() % 5),
                              random() % 2 == 0};
    const int32_t increment = static_cast<int32_t>(1 + random() % 3);
    const int before = 1 + static_cast<int>(random() % 15), after = 1 + static_cast<int>(random() % 15);
    const int64_t from = int64_t{before} * increment, to = from + 1 + static_cast<int64_t>(random() % 50);
    std::vector<LogRecord> records;
    const auto draw = [&](int64_t value, int month) {
      const platform::LocalDateTime day{2026, month, 1 + static_cast<int>(records.size()) % 28, 10, 0, 0};
      char date[16];
      std::snprintf(date, sizeof date, "%04d-%02d-%02d", day.year, day.month, day.day);
      records.push_back({ComposeNumber(format, static_cast<int32_t>(value - increment), increment, day), date,
                         "10:00:00", "Excel 11.0", "akoch", std::nullopt});
    };
    for (int i = 1; i <= before; ++i) draw(int64_t{i} * increment, 1 + i * 5 / before);
    const LogRecord change{kCounterSetMarker, "2026-06-30", "12:00:00", CounterChangeText({from, to, "a.ini"}),
                           "admin",           std::nullopt};
    for (int i = 1; i <= after; ++i) draw(to + int64_t{i} * increment, 7 + i * 5 / after);
    const auto audit = [&](bool recorded, std::optional<size_t> lost) {
      SequenceAudit sequence({CounterFile("S:\\a.ini", format, increment, to + int64_t{after} * increment)}, {},
                             {2026, 12, 31, 18, 0, 0});
      AuditSource log;
      log.name = "L:\\sabulog.csv";
      sequence.AddSource(log, std::nullopt);
      size_t line = 1;
      for (size_t i = 0; i < records.size(); ++i) {
        if (i == static_cast<size_t>(before) && recorded) sequence.Take({0, ++line}, ParsedLine{change, ""});
        if (i != lost) sequence.Take({0, ++line}, ParsedLine{records[i], ""});
      }
      return sequence.Finish();
    };
    const AuditResult explained = audit(true, std::nullopt);
    EXPECT_FALSE(explained.failed()) << records.front().number << " " << from << "->" << to << " "
                                     << explained.Verdict();
    EXPECT_EQ(explained.Count(Finding::Kind::CounterSet), 1u);
    EXPECT_TRUE(audit(false, std::nullopt).failed()) << records.front().number << " " << from << "->" << to;
    const size_t lost = 1 + random() % (records.size() - 1);
    const AuditResult missing = audit(true, lost);
    EXPECT_EQ(missing.gaps, 1u) << records[lost].number << " " << from << "->" << to << " " << missing.Verdict();
  }
}

// A counter that restarts each year or month, drawn by the engine across the
// turn of its period under any format that shows the period, now and then by
// a workstation whose clock is behind: the audit proves it complete, and
// finds any one of its records lost after the first.
TEST(AuditProperty, DrawsAcrossARestartAreProvenAndAnyLossIsFound) {
  std::mt19937 random(20261212);
  for (int round = 0; round < 200; ++round) {
    const bool monthly = random() % 2 == 0;
    std::vector<int32_t> kinds;  // the date parts that show the period
    for (int32_t kind = 1; kind < static_cast<int32_t>(kDateKinds.size()); ++kind)
      if (const NumberFormat shown{"", "", "", kind}; monthly ? ShowsMonth(shown) : ShowsYear(shown))
        kinds.push_back(kind);
    IniDocument file;
    file.WriteInteger("Zaehler", "Counter", static_cast<int32_t>(random() % 50));
    file.WriteInteger("Zaehler", "Increment", static_cast<int32_t>(1 + random() % 3));
    file.WriteString("Optionen", "TextBefore", "RE-");
    file.WriteString("Optionen", "TextAfter", random() % 2 ? "-" : "");
    file.WriteInteger("Optionen", "Prefix", kinds[random() % kinds.size()]);
    file.WriteInteger("Optionen", "Sep", static_cast<int32_t>(random() % 5));
    file.WriteInteger("Optionen", "Padding", static_cast<int32_t>(random() % 5));
    file.WriteBool("Optionen", "LeadingText", random() % 2 == 0);
    file.WriteInteger("Optionen", "Restart", monthly ? 2 : 1);
    // From three days before the turn on, a few hours between draws; after
    // the first draw, one in four by a clock up to three days behind.
    const int64_t turn = platform::DaysFromCivil({2027, monthly ? 4 : 1, 1}) * 24 * 60;  // minutes
    int64_t minute = turn - 3 * 24 * 60;
    const int count = 2 + static_cast<int>(random() % 30);
    std::vector<LogRecord> records;
    for (int i = 0; i < count; ++i) {
      minute += static_cast<int64_t>(random() % (6 * 60));
      const int64_t stamped =
          minute - (i > 0 && random() % 4 == 0 ? static_cast<int64_t>(random() % (3 * 24 * 60)) : 0);
      const platform::CivilDate day = platform::CivilFromDays(stamped / (24 * 60));
      const platform::LocalDateTime now{
          day.year, day.month, day.day, static_cast<int>(stamped / 60 % 24), static_cast<int>(stamped % 60), 0};
      const NextDraw draw = PlanNextDraw(file, "S:\\a.ini", now);
      ASSERT_FALSE(draw.refusal) << *draw.refusal;
      WriteDraw(file, draw);
      char date[16], time[16];
      std::snprintf(date, sizeof date, "%04d-%02d-%02d", now.year, now.month, now.day);
      std::snprintf(time, sizeof time, "%02d:%02d:00", now.hour, now.minute);
      records.push_back({draw.number, date, time, "Excel 11.0", "akoch", std::nullopt});
    }
    const CounterState state = ReadCounterState(file);
    AuditedCounterFile audited = CounterFile("S:\\a.ini", state.format, state.increment, state.counter);
    audited.restart = state.restart;
    audited.period = state.period;
    audited.closed_period = state.closed_period;
    audited.closed_counter = state.closed_counter;
    const auto audit = [&](std::optional<int> lost) {
      const platform::CivilDate later = platform::CivilFromDays(turn / (24 * 60) + 9);
      SequenceAudit sequence({audited}, {}, {later.year, later.month, later.day, 18, 0, 0});
      AuditSource log;
      log.name = "L:\\sabulog.csv";
      sequence.AddSource(log, std::nullopt);
      for (int i = 0; i < count; ++i)
        if (i != lost) sequence.Take({0, static_cast<size_t>(i) + 2}, ParsedLine{records[static_cast<size_t>(i)], ""});
      return sequence.Finish();
    };
    const AuditResult clean = audit(std::nullopt);
    EXPECT_FALSE(clean.failed()) << records.back().number << " " << clean.Verdict();
    const int lost = 1 + static_cast<int>(random() % static_cast<uint32_t>(count - 1));
    const AuditResult missing = audit(lost);
    EXPECT_EQ(missing.gaps, 1u) << records[static_cast<size_t>(lost)].number << " " << missing.Verdict();
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

// Every format the composition can write, the audit reads back: each date-part
// kind and separator, the counter in front or behind, on a day whose month
// has one digit and on one whose month has two.
TEST(NumberPattern, EveryComposedNumberIsReadBackWithItsCounter) {
  for (int32_t kind = 0; kind < static_cast<int32_t>(kDateKinds.size()); ++kind)
    for (int32_t separator = 0; separator < 5; ++separator)
      for (bool leading : {false, true})
        for (const platform::LocalDateTime day : {platform::LocalDateTime{2026, 1, 5, 9, 0, 0}, {2029, 12, 28, 9, 0, 0}})
          for (int32_t counter : {0, 9, 41, 99999}) {
            NumberFormat format{"R", "-", "", kind, separator, 4, leading};
            const std::string number = ComposeNumber(format, counter, 1, day);
            const auto match = MatchFormat(format, number, day);
            ASSERT_TRUE(match) << number;
            EXPECT_EQ(match->counter, counter + 1) << number;
            EXPECT_EQ(match->year, day.year) << number;
            // The same number a day later still belongs to the day before (a draw just before midnight).
            const auto next_day = MatchFormat(format, number, {day.year, day.month, day.day + 1, 0, 0, 1});
            ASSERT_TRUE(next_day) << number;
            EXPECT_EQ(next_day->counter, counter + 1);
          }
}

// A series of a counter that restarts each month shows its month.
TEST(NumberPattern, ASeriesNamesItsMonthWhereItHasOne) {
  const struct {
    int32_t kind;
    int month;
    const char* series;
  } cases[] = {{3, 0, "RE-2026/MM-#"}, {3, 3, "RE-2026/03-#"}, {10, 3, "RE-3/6-#"}, {13, 11, "RE-TT/11/2026-#"}};
  for (const auto& c : cases) EXPECT_EQ(SeriesName({"RE-", "-", "", c.kind, 3, 4, false}, 2026, c.month), c.series);
}

TEST(NumberPattern, AnEarlierFormatIsReadOnlyWhereItsTextsHoldNoDigit) {
  const NumberFormat present{"RE-", "-", "", 1, 0, 4, false};
  const platform::LocalDateTime day{2026, 3, 5, 0, 0, 0};
  const struct {
    const char* number;
    std::optional<int64_t> counter;
    const char* series;
  } cases[] = {
      {"2026-0001", 1, "2026-#"},      {"RE/2026/0042", 42, "RE/2026/#"}, {"RE-2026-X", std::nullopt, ""},
      {"RE2-2026-0001", std::nullopt, ""}, {"RE-2025-0001", std::nullopt, ""}, {"0042", std::nullopt, ""},
  };
  for (const auto& c : cases) {
    const auto match = MatchEarlierTexts(present, c.number, day);
    ASSERT_EQ(match.has_value(), c.counter.has_value()) << c.number;
    if (!match) continue;
    EXPECT_EQ(match->counter, *c.counter) << c.number;
    EXPECT_EQ(SeriesName(match->format, match->year), c.series) << c.number;
  }
  const NumberFormat leading{"/", "", "", 2, 0, 4, true};
  const auto match = MatchEarlierTexts(leading, "004226", day);  // counter and year run together
  ASSERT_TRUE(match);
  EXPECT_EQ(match->counter, 42);
}

TEST(Sha256, KnownDigestsWhateverThePieces) {
  const auto digest = [](std::string_view text, size_t piece) {
    Sha256 hash;
    for (size_t at = 0; at < text.size(); at += piece) hash.Add(text.substr(at, piece));
    return hash.Hex();
  };
  EXPECT_EQ(digest("", 1), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
  EXPECT_EQ(digest("abc", 1), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
  const std::string two_blocks = "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq";
  for (size_t piece : {1, 7, 63, 64, 1000})
    EXPECT_EQ(digest(two_blocks, piece), "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
}

}  // namespace
}  // namespace trelvo::engine::audit
