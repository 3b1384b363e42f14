#pragma once
// The audit of the usage log against the counter files: every issued number
// sorted into its series and its counter file, the counter values checked for
// duplicates (a number issued twice, also across counter files) and gaps
// (values without a record between the first and the last, and up to the
// counter file's present value), refused draws by user and day, times that
// run backwards (by more than concurrent writers explain) and lines that are
// no records. It takes the log line by line
// and keeps, per series and counter file, only the runs of values seen: its
// memory does not grow with the log.
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "engine/audit/log_line.h"
#include "engine/audit/number_pattern.h"

namespace trelvo::engine::audit {

struct AuditedCounterFile {
  std::string path;
  NumberFormat format;
  int32_t increment = 1;
  int64_t counter = 0;  // its present Counter
};

struct AuditPeriod {
  std::string from, to;  // "JJJJ-MM-TT", empty: open
};

struct Finding {
  enum class Kind { Duplicate, Gap, Refused, Backwards, NotARecord };
  Kind kind;
  std::string text;          // German, one line
  std::vector<size_t> lines;  // the log lines it rests on
  std::string number;         // a duplicate's number
  int64_t first_value = 0, last_value = 0;  // a gap's counter values
};

struct SeriesSummary {
  std::string series;        // "RE-2026-#"
  std::string counter_file;  // its path, empty when no counter file's format fits
  std::string first_number, last_number;
  std::string first_date, last_date;
  size_t count = 0;
  size_t gaps = 0;  // gaps of its counter file that end (or, drawn and not logged, begin) in it
  size_t duplicates = 0;
  std::set<std::string> users;
};

struct AuditResult {
  size_t lines = 0, records = 0;
  std::vector<SeriesSummary> series;
  std::vector<Finding> findings;
  size_t gaps = 0, duplicates = 0;
  // Numbers issued per day ("JJJJ-MM-TT") and user, for the report's chart.
  std::map<std::string, std::map<std::string, size_t>> issued_per_day;
  // A duplicate or an unexplained gap: the sequence is not proven complete.
  bool failed() const { return gaps > 0 || duplicates > 0; }
  // The verdict in one German sentence.
  std::string Verdict() const;
};

// Line numbers for a reader: "3, 6".
std::string LineNumbers(const std::vector<size_t>& lines);

class SequenceAudit {
 public:
  SequenceAudit(std::vector<AuditedCounterFile> counter_files, AuditPeriod period);

  // The next line of the log (line_number from 1, the header included).
  void Take(size_t line_number, const ParsedLine& line);
  AuditResult Finish();

 private:
  // A run of counter values, each the one before plus the increment, with the
  // records at both of its ends.
  struct End {
    size_t line;
    std::string when, series;
  };
  struct Run {
    int64_t last;
    End first, last_end;
  };
  using Runs = std::map<int64_t, Run>;  // by first value
  // Adds a value; false when it was there already.
  static bool Insert(Runs& runs, int64_t value, int64_t step, const End& end);

  struct FileState {
    Runs runs;
    std::optional<int64_t> last;  // the last value in the log's order
  };
  struct SeriesState {
    SeriesSummary summary;
    Runs runs;
    int64_t step = 1;
  };
  void TakeRecord(size_t line_number, const LogRecord& record);
  // The counter file and the counter of a number: by a file's present format,
  // else by the value that would continue one of them.
  std::optional<std::pair<size_t, CounterInNumber>> Attribute(const std::string& number) const;
  void AddFinding(Finding::Kind kind, std::string text, std::vector<size_t> lines);

  std::vector<AuditedCounterFile> files_;
  std::vector<NumberPattern> patterns_;
  std::vector<FileState> file_states_;
  AuditPeriod period_;
  std::map<std::string, SeriesState> series_;
  std::map<std::pair<std::string, std::string>, std::pair<size_t, std::vector<size_t>>> refused_;  // (user, day)
  std::string last_when_;
  int64_t last_seconds_ = 0;
  size_t last_line_ = 0;
  AuditResult result_;
};

}  // namespace trelvo::engine::audit
