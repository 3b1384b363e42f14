#pragma once
// The audit of issued numbers against the counter files they came from. The
// records come from the usage log and from the usage tables of server ranges;
// each is placed in its series, the values of one counter file under one
// format and one increment (a new format, year or increment starts another;
// values of one series never fill another's holes). A counter that restarts
// each year or month counts each period in a series of its own, from the
// increment: the present period up to the present counter, the period its
// last restart closed up to the counter it closed with. The verdict "complete"
// holds only when every record is placed and every value of each series, from
// its first to the counter file's present counter, has exactly one record:
// anything not understood makes it "not proven", with the reason. A counter
// set by hand has a record of its own, no number: the values a jump forward
// skipped are told with it and are no gap; one set back stands against the
// verdict. The records are taken one at a time and only runs of values are
// kept (and the few jumps made by hand): the memory does not grow with the
// records, records that cannot be placed included.
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "engine/audit/log_line.h"
#include "engine/audit/number_pattern.h"
#include "engine/audit/skipped_values.h"
#include "engine/counter_change.h"
#include "engine/counter_period.h"
#include "platform/system_services.h"

namespace trelvo::engine::audit {

// A counter file (or a pointer to a server range) as the audit reads it.
struct AuditedCounterFile {
  std::string path;
  NumberFormat format;
  int32_t increment = 1;
  int64_t counter = 0;     // its present Counter
  std::string untrusted;   // why its values cannot be trusted (a Counter no number, an Increment below 1)
  bool on_server = false;  // its records are the server's, not the log's
  std::optional<size_t> moved_to;  // the counter file (a server range) its range moved to, when audited too
  // A counter that restarts: the period of its last draw (Period, the present
  // Counter's), and the last period a restart closed with its last counter.
  CounterRestart restart = CounterRestart::Never;
  std::string period, closed_period;
  int64_t closed_counter = 0;
};

// Where a record stands: the source (the log, a server's records) and its line
// or its place among the server's records, from 1.
struct Place {
  size_t source = 0;
  size_t index = 0;
  auto operator<=>(const Place&) const = default;
};

// A source of records and what the report says of it.
struct AuditSource {
  std::string name;  // the log's path, or the server range's name
  bool server = false;
  std::string pointer;  // a server range's pointer file
  uint64_t size = 0;    // the log's bytes, lines, checksum and encoding
  size_t lines = 0;
  std::string sha256, encoding;
  size_t records = 0;  // records taken (within the period)
};

struct AuditPeriod {
  std::string from, to;  // "JJJJ-MM-TT", empty: open
};

struct Finding {
  enum class Kind {
    Duplicate,
    Gap,
    Unplaced,
    NotARecord,
    Reset,
    CounterFile,
    EmptyPeriod,
    Unreadable,
    Refused,
    Backwards,
    CounterSet,      // a counter set forward by hand: the values it skipped are explained
    CounterSetBack,  // a counter set back by hand: numbers may be issued again
  };
  Kind kind;
  std::string text;           // German, one line
  std::vector<Place> places;  // the records it rests on
  std::string number;         // a duplicate's number
  int64_t first_value = 0, last_value = 0;  // a gap's counter values
  std::string when, first_when;  // a duplicate's two issues ("JJJJ-MM-TT HH:MM:SS"), for the period
  size_t count = 1;           // records or lines it stands for
  // Whether it stands against the verdict (refused draws, times that run back
  // and counters set forward by hand are told, and prove nothing missing).
  bool Fails() const { return kind != Kind::Refused && kind != Kind::Backwards && kind != Kind::CounterSet; }
};

struct SeriesSummary {
  std::string series;        // "RE-2026-#"
  std::string counter_file;  // its path (the last one of a range that moved)
  std::string first_number, last_number;
  std::string first_date, last_date;
  size_t count = 0;
  size_t gaps = 0;
  size_t duplicates = 0;
  std::set<std::string> users;
};

struct AuditResult {
  std::vector<AuditSource> sources;
  std::vector<SeriesSummary> series;
  std::vector<Finding> findings;
  // Numbers issued per day ("JJJJ-MM-TT") and user, for the report's chart.
  std::map<std::string, std::map<std::string, size_t>> issued_per_day;
  // Totals, as Settle leaves them: records taken, gaps and duplicates found.
  size_t records = 0, gaps = 0, duplicates = 0;

  size_t Count(Finding::Kind kind) const;  // the records or lines the findings of a kind stand for
  bool failed() const;
  // The verdict in one German sentence.
  std::string Verdict() const;
  // "Zeile 12", "Datensatz 3 auf dem Server ('re-2026')".
  std::string PlaceName(const Place& place) const;
  // "3, 6" for lines of the log, the names of the places otherwise.
  std::string PlaceNames(const std::vector<Place>& places) const;
  // "Zeile 3", "Zeilen 3, 6", or the names of the places.
  std::string PlacesText(const std::vector<Place>& places) const;
  // Drops the duplicates of which no issue lies in the period (both issues
  // are known only after the pass that finds where each was first issued).
  void KeepDuplicatesOf(const AuditPeriod& period);
  // Counts the totals again.
  void Settle();
};

// "1 Zeile", "2 Zeilen".
std::string Counted(uint64_t count, const char* one, const char* many);

class SequenceAudit {
 public:
  SequenceAudit(std::vector<AuditedCounterFile> counter_files, AuditPeriod period, platform::LocalDateTime today);

  // A source of records; file: the counter file (a server range) whose records
  // it holds, nullopt for the usage log of the files that are no range.
  size_t AddSource(AuditSource source, std::optional<size_t> file);
  // The next line or record of a source, in its order.
  void Take(const Place& place, const ParsedLine& line);
  // The log cannot be read line by line at all (UTF-16, CR alone).
  void Unreadable(size_t source, const std::string& reason);
  AuditResult Finish();

 private:
  struct End {
    Place place;
    std::string when;
  };
  // A run of counter values, each the one before plus the step, with the
  // records at both of its ends.
  struct Run {
    int64_t last;
    End first, last_end;
  };
  using Runs = std::map<int64_t, Run>;  // by first value
  // Adds a value; false when it was there already.
  static bool Insert(Runs& runs, int64_t value, int64_t step, const End& end);

  struct SeriesState {
    SeriesSummary summary;
    Runs runs;
    int64_t step = 1;
    size_t order = 0;     // the series' place among those of its range, by its first record
    size_t sequence = 0;  // the counter file at the end of its range's moves
    std::string key;
    int64_t last = 0;    // the value of its last record
    std::string period;  // of a counter that restarts: the period it counts in ("2026", "2026-03")
  };
  struct Placed {
    size_t file;
    CounterInNumber match;
  };
  struct Tally {  // findings that stand for many records: counted, the first shown
    size_t count = 0;
    std::vector<Place> places;
    std::vector<std::string> examples;  // different numbers, the first few
    bool more_examples = false;
  };

  // A counter changed by hand, as its record tells.
  struct CounterJump {
    engine::CounterChange change;
    std::optional<size_t> file;  // the counter file it names (of several of that name, the one it goes on from)
    size_t named = 0;            // audited counter files of that name
    End end;
    std::string user;
    bool in_period = false;
    bool explains = false;  // values of a gap told in the period were skipped by it
  };

  void TakeRecord(const Place& place, const LogRecord& record);
  void TakeCounterChange(const Place& place, const LogRecord& record, const engine::CounterChange& change,
                         const std::string& when, bool in_period);
  // The counter files a change names: a server's records are their range's,
  // the log's name their counter file by its file name.
  std::vector<size_t> FilesNamed(size_t source, const engine::CounterChange& change) const;
  // Values first to last of a sequence's period without a record, told but
  // for the parts that jumps by hand skipped; series_key: the series whose
  // summary counts them, or empty.
  using GapText = std::function<std::string(int64_t first, int64_t last)>;
  void TellGaps(const std::string& series_key, size_t sequence, const std::string& period, int64_t first, int64_t last,
                int64_t step, const GapText& text, const std::vector<Place>& places);
  void TellCounterJumps();
  // A placed record in its series and its number space.
  void Count(const Place& place, const LogRecord& record, const std::string& when, bool in_period,
             const Placed& placed);
  SeriesState& SeriesOf(const Placed& placed);
  // The findings that stand for many lines or records; the gaps of each range.
  void TellTallies();
  void TellRanges();
  // Keeps the series' runs with a finer step.
  static void Restep(SeriesState& state, int64_t step);
  std::optional<Placed> PlaceRecord(size_t source, const LogRecord& record) const;
  // The first days of the later periods a restarting file's number may have
  // been composed in, when its record is stamped on day.
  std::vector<platform::LocalDateTime> LaterPeriodStarts(size_t file, const platform::LocalDateTime& day) const;
  std::string SeriesKeyOf(size_t file, const CounterInNumber& match) const;
  // The key of the series of the file's present format on day.
  std::string PresentKeyOn(size_t file, const platform::LocalDateTime& day) const;
  void AddFinding(Finding::Kind kind, std::string text, std::vector<Place> places);
  bool InPeriod(const std::string& date) const;
  bool TouchesPeriod(const std::string& from_when, const std::string& to_when) const;
  void FindGaps(const std::vector<const SeriesState*>& series, size_t file);
  // Whether after, the series that follows before in its range, is a period
  // that the file's counter began again from 0.
  bool Restarted(size_t file, const SeriesState* before, const SeriesState& after) const;
  // The values of a restarted period from the increment to its first record.
  void FindRestartGap(const SeriesState& state, size_t file);
  // Values drawn after a series' last record, up to the counter the file
  // keeps; until: the latest they can have been drawn.
  void FindUnlogged(const SeriesState& state, size_t file, int64_t counter, const std::string& until);
  // The present counter against its series; the closed period against its last counter.
  void CheckPresentCounter(const std::vector<const SeriesState*>& series, size_t file);
  void CheckClosedPeriod(const std::vector<const SeriesState*>& series, size_t file);
  std::string FileName(size_t file) const;

  std::vector<AuditedCounterFile> files_;
  std::vector<size_t> sequence_of_;  // each file's range's last counter file
  std::vector<std::optional<int64_t>> last_of_file_;
  std::vector<bool> present_seen_;  // a number of the file's present format has been placed
  std::vector<std::string> last_series_;  // by sequence: the key of the series of its last record
  std::vector<std::optional<size_t>> file_of_source_;
  AuditPeriod period_;
  platform::LocalDateTime today_;
  std::map<std::string, SeriesState> series_;
  std::map<std::string, Runs> numbers_;  // by number space: a value twice is a number issued twice
  size_t series_made_ = 0;
  std::map<std::pair<std::string, std::string>, std::pair<size_t, std::vector<Place>>> refused_;  // (user, day)
  Tally unplaced_;
  std::vector<CounterJump> jumps_;
  SkippedValues skipped_;
  std::map<std::string, Tally> not_records_;  // by problem
  std::map<size_t, std::string> unreadable_;  // by source
  size_t backwards_ = 0, duplicates_told_ = 0, gaps_told_ = 0;
  std::string last_when_;
  int64_t last_seconds_ = 0;
  std::optional<Place> last_place_;
  AuditResult result_;
};

}  // namespace trelvo::engine::audit
