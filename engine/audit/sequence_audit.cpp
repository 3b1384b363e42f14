#include "engine/audit/sequence_audit.h"

#include <algorithm>
#include <iterator>
#include <numeric>

#include "engine/counter_file.h"
#include "engine/messages.h"
#include "engine/usage_log.h"
#include "platform/civil_date.h"

namespace trelvo::engine::audit {
namespace {

constexpr size_t kMaxPlacesPerFinding = 20;
constexpr size_t kMaxExamples = 3;
// Findings that each name one record or gap (duplicates, gaps, times that run back) are
// told up to this many; the rest are counted in one more.
constexpr size_t kMaxSingleFindings = 1000;
// A record is stamped before it is appended, and an append may wait about two
// seconds for another workstation's: times that run back by less are the
// order of concurrent writers, not a clock to question.
constexpr int64_t kWritersSlackSeconds = 3;

int64_t Digits(std::string_view digits) {
  int64_t value = 0;
  for (char c : digits) value = value * 10 + (c - '0');
  return value;
}

platform::LocalDateTime DayOf(const LogRecord& record) {
  return {static_cast<int>(Digits(record.date.substr(0, 4))),
          static_cast<int>(Digits(record.date.substr(5, 2))),
          static_cast<int>(Digits(record.date.substr(8, 2))),
          0,
          0,
          0};
}

// Seconds of a record's date and time, for comparing two of them.
int64_t Seconds(const LogRecord& record) {
  const auto day = DayOf(record);
  return platform::DaysFromCivil({day.year, day.month, day.day}) * 86400 + Digits(record.time.substr(0, 2)) * 3600 +
         Digits(record.time.substr(3, 2)) * 60 + Digits(record.time.substr(6, 2));
}

// The first day of a period of the restart's kind; nullopt for text that
// names none, or a period of the other kind (kept from before the kind changed).
std::optional<platform::LocalDateTime> StartOf(CounterRestart restart, const std::string& period) {
  if (restart == CounterRestart::Never || (period.size() == 7) != (restart == CounterRestart::Monthly))
    return std::nullopt;
  return PeriodStart(period);
}

// The first day of the period after the one of day.
platform::LocalDateTime NextPeriodStart(CounterRestart restart, const platform::LocalDateTime& day) {
  if (restart == CounterRestart::Monthly && day.month < 12) return {day.year, day.month + 1, 1, 0, 0, 0};
  return {day.year + 1, 1, 1, 0, 0, 0};
}

// The month a series of the restart's kind shows: 0 but for a monthly restart.
int SeriesMonth(CounterRestart restart, const platform::LocalDateTime& day) {
  return restart == CounterRestart::Monthly ? day.month : 0;
}

// "Zählerwert 43" or "Zählerwerte 43 bis 45".
std::string Values(int64_t from, int64_t to) {
  if (from == to) return "Zählerwert " + std::to_string(from);
  return "Zählerwerte " + std::to_string(from) + " bis " + std::to_string(to);
}

}  // namespace

std::string Counted(uint64_t count, const char* one, const char* many) {
  return std::to_string(count) + " " + (count == 1 ? one : many);
}

size_t AuditResult::Count(Finding::Kind kind) const {
  size_t count = 0;
  for (const Finding& finding : findings)
    if (finding.kind == kind) count += finding.count;
  return count;
}

bool AuditResult::failed() const {
  return std::any_of(findings.begin(), findings.end(), [](const Finding& finding) { return finding.Fails(); });
}

std::string AuditResult::Verdict() const {
  if (!failed())
    return "Keine doppelte Nummer, keine Lücke, jeder Datensatz zugeordnet: die Folge ist lückenlos belegt.";
  std::string text = Counted(Count(Finding::Kind::Duplicate), "doppelte Nummer", "doppelte Nummern") + ", " +
                     Counted(Count(Finding::Kind::Gap), "Lücke", "Lücken") + " ohne Datensatz";
  const auto add = [&](Finding::Kind kind, const char* one, const char* many) {
    if (const size_t count = Count(kind)) text += ", " + Counted(count, one, many);
  };
  add(Finding::Kind::Unplaced, "Datensatz nicht zuzuordnen", "Datensätze nicht zuzuordnen");
  add(Finding::Kind::NotARecord, "Zeile ohne Datensatz", "Zeilen ohne Datensatz");
  add(Finding::Kind::Reset, "Zähler zurückgesetzt", "Zähler zurückgesetzt");
  add(Finding::Kind::CounterSetBack, "Zähler von Hand zurückgesetzt", "Zähler von Hand zurückgesetzt");
  add(Finding::Kind::CounterFile, "Zählerdatei nicht belegt", "Zählerdateien nicht belegt");
  add(Finding::Kind::EmptyPeriod, "Zeitraum ohne Datensatz", "Zeiträume ohne Datensatz");
  add(Finding::Kind::Unreadable, "Protokoll nicht lesbar", "Protokolle nicht lesbar");
  return text + ": die Folge ist nicht lückenlos belegt.";
}

std::string AuditResult::PlaceName(const Place& place) const {
  if (place.source < sources.size() && sources[place.source].server)
    return "Datensatz " + std::to_string(place.index) + " auf dem Server ('" + sources[place.source].name + "')";
  return "Zeile " + std::to_string(place.index);
}

std::string AuditResult::PlacesText(const std::vector<Place>& places) const {
  if (places.size() == 1) return PlaceName(places.front());
  const std::string names = PlaceNames(places);
  return names.starts_with("Datensatz") ? names : "Zeilen " + names;
}

std::string AuditResult::PlaceNames(const std::vector<Place>& places) const {
  // Lines of one log are listed as "Zeilen 3, 6".
  const bool lines = std::none_of(places.begin(), places.end(), [&](const Place& place) {
    return place.source < sources.size() && sources[place.source].server;
  });
  std::string text;
  for (const Place& place : places)
    text += (text.empty() ? "" : ", ") + (lines ? std::to_string(place.index) : PlaceName(place));
  return text;
}

void AuditResult::KeepDuplicatesOf(const AuditPeriod& period) {
  if (period.from.empty() && period.to.empty()) return;
  const auto in = [&](const std::string& date) {
    return (period.from.empty() || date >= period.from) && (period.to.empty() || date <= period.to);
  };
  std::erase_if(findings, [&](const Finding& finding) {
    if (finding.kind != Finding::Kind::Duplicate || finding.when.empty()) return false;
    return !in(finding.when.substr(0, 10)) && (finding.first_when.empty() || !in(finding.first_when.substr(0, 10)));
  });
  Settle();
}

void AuditResult::Settle() {
  records = 0;
  for (const AuditSource& source : sources) records += source.records;
  gaps = Count(Finding::Kind::Gap);
  duplicates = Count(Finding::Kind::Duplicate);
}

SequenceAudit::SequenceAudit(std::vector<AuditedCounterFile> counter_files, AuditPeriod period,
                             platform::LocalDateTime today)
    : files_(std::move(counter_files)),
      sequence_of_(files_.size()),
      last_of_file_(files_.size()),
      present_seen_(files_.size()),
      last_series_(files_.size()),
      period_(std::move(period)),
      today_(today) {
  // A range that moved is one sequence with the range it moved to: its
  // series go on there, and the last one's counter is the present one.
  for (size_t i = 0; i < files_.size(); ++i) {
    size_t end = i;
    for (size_t hops = 0; files_[end].moved_to && hops < files_.size(); ++hops) end = *files_[end].moved_to;
    sequence_of_[i] = end;
  }
}

size_t SequenceAudit::AddSource(AuditSource source, std::optional<size_t> file) {
  result_.sources.push_back(std::move(source));
  file_of_source_.push_back(file);
  return result_.sources.size() - 1;
}

void SequenceAudit::Unreadable(size_t source, const std::string& reason) { unreadable_[source] = reason; }

bool SequenceAudit::Insert(Runs& runs, int64_t value, int64_t step, const End& end) {
  auto next = runs.upper_bound(value);
  if (next != runs.begin()) {
    auto run = std::prev(next);
    if (value <= run->second.last && (value - run->first) % step == 0) return false;  // seen
    if (value == run->second.last + step) {
      run->second.last = value;
      run->second.last_end = end;
      if (next != runs.end() && next->first == value + step) {  // the runs meet
        run->second.last = next->second.last;
        run->second.last_end = next->second.last_end;
        runs.erase(next);
      }
      return true;
    }
  }
  if (next != runs.end() && next->first == value + step) {
    Run run = next->second;
    run.first = end;
    runs.erase(next);
    runs.emplace(value, std::move(run));
    return true;
  }
  runs.emplace(value, Run{value, end, end});
  return true;
}

void SequenceAudit::AddFinding(Finding::Kind kind, std::string text, std::vector<Place> places) {
  Finding finding{};
  finding.kind = kind;
  finding.text = std::move(text);
  finding.places = std::move(places);
  result_.findings.push_back(std::move(finding));
}

bool SequenceAudit::InPeriod(const std::string& date) const {
  return (period_.from.empty() || date >= period_.from) && (period_.to.empty() || date <= period_.to);
}

bool SequenceAudit::TouchesPeriod(const std::string& from_when, const std::string& to_when) const {
  return (period_.to.empty() || from_when.substr(0, 10) <= period_.to) &&
         (period_.from.empty() || to_when.substr(0, 10) >= period_.from);
}

std::string SequenceAudit::FileName(size_t file) const { return "'" + files_[file].path + "'"; }

std::optional<SequenceAudit::Placed> SequenceAudit::PlaceRecord(size_t source, const LogRecord& record) const {
  const platform::LocalDateTime day = DayOf(record);
  std::vector<size_t> candidates;
  if (const auto& file = file_of_source_[source]) {
    if (files_[*file].untrusted.empty()) candidates.push_back(*file);
  } else {
    for (size_t i = 0; i < files_.size(); ++i)
      if (!files_[i].on_server && files_[i].untrusted.empty()) candidates.push_back(i);
  }
  // The present formats first, then the earlier texts; among several files
  // that fit, the one whose sequence the value continues, else one that has
  // no record yet, else the first.
  const auto choose = [&](auto match) -> std::optional<Placed> {
    std::optional<Placed> unused, first;
    for (size_t i : candidates) {
      const std::optional<CounterInNumber> found = match(i);
      if (!found) continue;
      const auto& last = last_of_file_[i];
      if (last && found->counter == *last + files_[i].increment) return Placed{i, *found};
      if (!last && !unused) unused = Placed{i, *found};
      if (!first) first = Placed{i, *found};
    }
    return unused ? unused : first;
  };
  // The record's day first; a counter that restarts may have composed the
  // number in a later period than its record's (a clock behind).
  const auto on_days = [&](size_t i, const auto& match) -> std::optional<CounterInNumber> {
    if (auto found = match(day)) return found;
    if (files_[i].restart == CounterRestart::Never) return std::nullopt;
    for (const platform::LocalDateTime& start : LaterPeriodStarts(i, day))
      if (auto found = match(start)) return found;
    return std::nullopt;
  };
  if (record.counter)
    return choose([&](size_t i) -> std::optional<CounterInNumber> {
      const auto found = on_days(i, [&](const platform::LocalDateTime& on) {
        return MatchKnownCounter(files_[i].format, record.number, *record.counter, on);
      });
      if (found) return found;
      return OwnSeries(record.number, *record.counter, day);
    });
  if (auto placed = choose([&](size_t i) {
        return on_days(
            i, [&](const platform::LocalDateTime& on) { return MatchFormat(files_[i].format, record.number, on); });
      }))
    return placed;
  // An earlier format comes before the present one: once a file has issued a
  // number of its present format, a number of other texts is none of its own.
  return choose([&](size_t i) -> std::optional<CounterInNumber> {
    if (present_seen_[i]) return std::nullopt;
    return on_days(
        i, [&](const platform::LocalDateTime& on) { return MatchEarlierTexts(files_[i].format, record.number, on); });
  });
}

std::vector<platform::LocalDateTime> SequenceAudit::LaterPeriodStarts(size_t file,
                                                                      const platform::LocalDateTime& day) const {
  // A workstation whose clock is behind composes on the first day of the
  // period its range has moved on to: the one after the record's own (the
  // clock behind at a turn of the period), or the file's present or closed one.
  const AuditedCounterFile& audited = files_[file];
  const platform::LocalDateTime next = NextPeriodStart(audited.restart, day);
  std::vector<platform::LocalDateTime> starts{next};
  const std::string next_period = PeriodOf(audited.restart, next);
  for (const std::string* period : {&audited.closed_period, &audited.period})
    if (*period > next_period)
      if (const auto start = StartOf(audited.restart, *period)) starts.push_back(*start);
  return starts;
}

std::string SequenceAudit::SeriesKeyOf(size_t file, const CounterInNumber& match) const {
  return std::to_string(sequence_of_[file]) + "|" + std::to_string(files_[file].increment) + "|" +
         SeriesKey(match.format, match.year, SeriesMonth(files_[file].restart, {match.year, match.month, 1, 0, 0, 0}));
}

std::string SequenceAudit::PresentKeyOn(size_t file, const platform::LocalDateTime& day) const {
  return SeriesKeyOf(file, CounterInNumber{0, files_[file].format, day.year, day.month, ""});
}

void SequenceAudit::Take(const Place& place, const ParsedLine& line) {
  const bool unread_change =
      line.record && line.record->number == kCounterSetMarker && !ParseCounterChange(line.record->application);
  if (!line.record || unread_change) {
    Tally& tally = not_records_[unread_change ? "Zähleränderung ohne 'von … auf …: Zählerdatei'" : line.problem];
    ++tally.count;
    if (tally.places.size() < kMaxPlacesPerFinding) tally.places.push_back(place);
    return;
  }
  TakeRecord(place, *line.record);
}

void SequenceAudit::TakeRecord(const Place& place, const LogRecord& record) {
  const bool in_period = InPeriod(record.date);
  if (in_period) ++result_.sources[place.source].records;
  const std::string when =
      record.date + " " + record.time.substr(0, 2) + ":" + record.time.substr(3, 2) + ":" + record.time.substr(6, 2);
  const int64_t seconds = Seconds(record);
  if (last_place_ && last_place_->source == place.source && seconds < last_seconds_ - kWritersSlackSeconds &&
      in_period && ++backwards_ <= kMaxSingleFindings)
    AddFinding(Finding::Kind::Backwards,
               result_.PlaceName(place) + ": " + when + " liegt vor " + result_.PlaceName(*last_place_) + " (" +
                   last_when_ + ")",
               {*last_place_, place});
  last_when_ = when;
  last_seconds_ = seconds;
  last_place_ = place;

  if (record.number == kLockedMarker) {
    if (!in_period) return;
    auto& [count, places] = refused_[{record.user, record.date}];
    ++count;
    if (places.size() < kMaxPlacesPerFinding) places.push_back(place);
    return;
  }
  // A counter changed by hand is no number: it is placed nowhere.
  if (record.number == kCounterSetMarker)
    return TakeCounterChange(place, record, *ParseCounterChange(record.application), when, in_period);

  const auto placed = PlaceRecord(place.source, record);
  if (!placed) {
    if (!in_period) return;
    ++unplaced_.count;
    if (unplaced_.places.size() < kMaxPlacesPerFinding) unplaced_.places.push_back(place);
    auto& examples = unplaced_.examples;
    if (std::find(examples.begin(), examples.end(), record.number) == examples.end()) {
      if (examples.size() < kMaxExamples)
        examples.push_back(record.number);
      else
        unplaced_.more_examples = true;
    }
    return;
  }
  Count(place, record, when, in_period, *placed);
}

SequenceAudit::SeriesState& SequenceAudit::SeriesOf(const Placed& placed) {
  const size_t file = placed.file;
  const std::string key = SeriesKeyOf(file, placed.match);
  auto [found, made] = series_.try_emplace(key);
  SeriesState& state = found->second;
  if (made) {
    const CounterRestart restart = files_[file].restart;
    const platform::LocalDateTime composed{placed.match.year, placed.match.month, 1, 0, 0, 0};
    state.summary.series = SeriesName(placed.match.format, placed.match.year, SeriesMonth(restart, composed));
    state.period = PeriodOf(restart, composed);
    state.step = files_[file].increment;
    state.order = series_made_++;
    state.sequence = sequence_of_[file];
    state.key = key;
  }
  state.summary.counter_file = files_[file].path;
  return state;
}

void SequenceAudit::Count(const Place& place, const LogRecord& record, const std::string& when, bool in_period,
                          const Placed& placed) {
  const size_t file = placed.file;
  const int64_t value = placed.match.counter;
  if (!present_seen_[file] && placed.match.format.width == files_[file].format.width &&
      SeriesKey(placed.match.format, 0) == SeriesKey(files_[file].format, 0))
    present_seen_[file] = true;
  SeriesState& state = SeriesOf(placed);
  SeriesSummary& summary = state.summary;
  if (in_period) {
    if (summary.count == 0) {
      summary.first_number = record.number;
      summary.first_date = record.date;
    }
    ++summary.count;
    ++result_.issued_per_day[record.date][record.user];
    summary.last_number = record.number;
    summary.last_date = record.date;
    summary.users.insert(record.user);
  }

  const End end{place, when};
  const bool new_number = placed.match.skeleton.empty() || Insert(numbers_[placed.match.skeleton], value, 1, end);
  // The step is the present increment unless the values show a finer one (an
  // increment changed within the series): then the values between count too,
  // for the audit cannot tell which were skipped by the step and which lost.
  if (!state.runs.empty()) {
    const int64_t difference = value > state.last ? value - state.last : state.last - value;
    if (difference > 0 && difference % state.step != 0) Restep(state, std::gcd(state.step, difference));
  }
  const bool new_value = Insert(state.runs, value, state.step, end);
  state.last = value;
  last_of_file_[file] = value;
  last_series_[state.sequence] = state.key;
  if (new_number && new_value) return;
  ++summary.duplicates;
  if (++duplicates_told_ > kMaxSingleFindings) return;
  const std::string text =
      !new_number ? "Nummer '" + record.number + "' doppelt vergeben (" + result_.PlaceName(place) + ")"
                  : "Zählerwert " + std::to_string(value) + " in " + summary.series + " zum zweiten Mal vergeben: '" +
                        record.number + "' (" + result_.PlaceName(place) + ")";
  AddFinding(Finding::Kind::Duplicate, text, {place});
  result_.findings.back().number = new_number ? "" : record.number;
  result_.findings.back().when = when;
}

std::vector<size_t> SequenceAudit::FilesNamed(size_t source, const CounterChange& change) const {
  if (const auto& file = file_of_source_[source]) return {*file};
  std::vector<size_t> named;
  for (size_t i = 0; i < files_.size(); ++i)
    if (!files_[i].on_server && SameFileName(FileNameOf(files_[i].path), change.subject)) named.push_back(i);
  return named;
}

void SequenceAudit::TakeCounterChange(const Place& place, const LogRecord& record, const CounterChange& change,
                                      const std::string& when, bool in_period) {
  CounterJump jump{change, std::nullopt, 0, {place, when}, record.user, in_period, false};
  std::vector<size_t> named = FilesNamed(place.source, change);
  jump.named = named.size();
  // Files of one name in several folders: the one whose last value the change goes on from.
  if (named.size() > 1) std::erase_if(named, [&](size_t file) { return last_of_file_[file] != change.from; });
  if (named.size() == 1) jump.file = named.front();
  if (jump.file) {
    const size_t file = *jump.file, sequence = sequence_of_[file];
    // The period its counter counted in when it was set: that of its last
    // record (a counter set before the first draw of a new period still
    // counts in the one that draw closes); before any, the record's own.
    std::string period = PeriodOf(files_[file].restart, DayOf(record));
    if (!last_series_[sequence].empty()) {
      SeriesState& state = series_.at(last_series_[sequence]);
      period = state.period;
      state.last = change.to;  // the next value goes on from here, in the step it had
    }
    last_of_file_[file] = change.to;
    // Above its new value the next draw skips what its increment skips.
    if (change.to > change.from)
      skipped_.Add(sequence, period, change.from, change.to + files_[file].increment - 1, jumps_.size());
  }
  jumps_.push_back(std::move(jump));
}

void SequenceAudit::TellGaps(const std::string& series_key, size_t sequence, const std::string& period, int64_t first,
                             int64_t last, int64_t step, const GapText& text, const std::vector<Place>& places) {
  std::set<size_t> explaining;
  for (const auto& [from, to] : skipped_.Unexplained(sequence, period, first, last, step, explaining)) {
    if (!series_key.empty()) ++series_.at(series_key).summary.gaps;
    if (++gaps_told_ > kMaxSingleFindings) continue;
    AddFinding(Finding::Kind::Gap, text(from, to), places);
    result_.findings.back().first_value = from;
    result_.findings.back().last_value = to;
  }
  for (size_t jump : explaining) jumps_[jump].explains = true;
}

void SequenceAudit::TellCounterJumps() {
  // Each jump recorded in the period, and each that explains a gap told in
  // it; one set back stands against the verdict.
  size_t told[2] = {0, 0};
  for (const CounterJump& jump : jumps_) {
    const CounterChange& change = jump.change;
    const bool back = change.to < change.from, against = back && jump.named > 0;
    if (!jump.in_period && !jump.explains) continue;
    if (++told[against] > kMaxSingleFindings) continue;
    const std::string set = "Zähler von " + std::to_string(change.from) + " auf " + std::to_string(change.to) +
                            (back ? " zurückgesetzt" : " gesetzt") + " durch " + jump.user + " am " + jump.end.when +
                            " (" + result_.PlaceName(jump.end.place) + ")";
    std::string text;
    if (jump.file)
      text = FileName(*jump.file) + ": " + set;
    else if (jump.named == 0)
      text = set + " für '" + change.subject + "': keine geprüfte Zählerdatei heißt so";
    else
      text = set + " für '" + change.subject + "': " + std::to_string(jump.named) +
             " geprüfte Zählerdateien heißen so; die Änderung ist keiner zugerechnet";
    if (against)
      text += ": die Nummern der Zählerwerte über " + std::to_string(change.to) + " bis " +
              std::to_string(change.from) + " können ein zweites Mal vergeben werden";
    AddFinding(against ? Finding::Kind::CounterSetBack : Finding::Kind::CounterSet, text, {jump.end.place});
  }
  if (told[0] > kMaxSingleFindings) {
    AddFinding(
        Finding::Kind::CounterSet,
        Counted(told[0] - kMaxSingleFindings, "weitere Zähleränderung", "weitere Zähleränderungen") + " von Hand", {});
    result_.findings.back().count = told[0] - kMaxSingleFindings;
  }
  if (told[1] > kMaxSingleFindings) {
    AddFinding(Finding::Kind::CounterSetBack,
               Counted(told[1] - kMaxSingleFindings, "weiterer Zähler", "weitere Zähler") + " von Hand zurückgesetzt",
               {});
    result_.findings.back().count = told[1] - kMaxSingleFindings;
  }
}

void SequenceAudit::Restep(SeriesState& state, int64_t step) {
  Runs runs;
  for (const auto& [first, run] : state.runs)
    for (int64_t value = first; value <= run.last; value += state.step)
      Insert(runs, value, step, value == run.last ? run.last_end : run.first);
  state.runs = std::move(runs);
  state.step = step;
}

void SequenceAudit::FindGaps(const std::vector<const SeriesState*>& series, size_t file) {
  // Within each series: the values between its runs.
  for (const SeriesState* state : series) {
    const Runs& runs = state->runs;
    const std::string name = FileName(file) + " (" + state->summary.series + ")";
    for (auto run = runs.begin(); run != runs.end(); ++run) {
      const auto next = std::next(run);
      if (next == runs.end()) break;
      const int64_t from = run->second.last + state->step, to = next->first - state->step;
      const End& before = run->second.last_end;
      const End& after = next->second.first;
      if (to < from || !TouchesPeriod(before.when, after.when)) continue;
      TellGaps(state->key, file, state->period, from, to, state->step,
               [&](int64_t first, int64_t last) {
                 return name + ": " + Values(first, last) + " ohne Datensatz, zwischen " + before.when + " (" +
                        result_.PlaceName(before.place) + ") und " + after.when + " (" +
                        result_.PlaceName(after.place) + ")";
               },
               {before.place, after.place});
    }
  }
  // From one series to the next of the range: a series that begins above
  // where the one before ended leaves the values between without a record
  // (one that begins at or below it is a new count, a year's restart); a
  // period that a restarting counter began again starts at its increment.
  for (size_t i = 0; i < series.size(); ++i) {
    const SeriesState* before_state = i > 0 ? series[i - 1] : nullptr;
    const SeriesState& after = *series[i];
    if (Restarted(file, before_state, after)) {
      FindRestartGap(after, file);
      continue;
    }
    if (!before_state) continue;
    const SeriesState& before = *before_state;
    const auto& last = std::prev(before.runs.end())->second;
    const auto& first = after.runs.begin()->second;
    const int64_t from = last.last + after.step, to = after.runs.begin()->first - after.step;
    if (to < from || !TouchesPeriod(last.last_end.when, first.first.when)) continue;
    // The counter goes on from the series before: a jump of its period skipped the values.
    TellGaps(after.key, file, before.period, from, to, after.step,
             [&](int64_t first_value, int64_t last_value) {
               return FileName(file) + " (" + before.summary.series + " bis " + after.summary.series +
                      "): " + Values(first_value, last_value) + " ohne Datensatz, zwischen " + last.last_end.when +
                      " (" + result_.PlaceName(last.last_end.place) + ") und " + first.first.when + " (" +
                      result_.PlaceName(first.first.place) + ")";
             },
             {last.last_end.place, first.first.place});
  }
  CheckPresentCounter(series, file);
  CheckClosedPeriod(series, file);
}

bool SequenceAudit::Restarted(size_t file, const SeriesState* before, const SeriesState& after) const {
  const AuditedCounterFile& audited = files_[file];
  if (audited.restart == CounterRestart::Never || (before && before->period == after.period)) return false;
  // The file tells of its present period: a restart closed the one before.
  if (after.period == audited.period && StartOf(audited.restart, audited.closed_period)) return true;
  // An earlier period tells by its values: one that begins at or below where
  // the one before ended counts anew (one above it carries the counter on,
  // as in the period the restart was switched on in).
  return before && before->period < after.period &&
         after.runs.begin()->first <= std::prev(before->runs.end())->second.last;
}

void SequenceAudit::FindRestartGap(const SeriesState& state, size_t file) {
  const End& first = state.runs.begin()->second.first;
  const int64_t from = files_[file].increment, to = state.runs.begin()->first - state.step;
  const auto start = PeriodStart(state.period);
  if (to < from || !start || !TouchesPeriod(FormatLogTime(*start, ":"), first.when)) return;
  TellGaps(state.key, file, state.period, from, to, state.step,
           [&](int64_t first_value, int64_t last_value) {
             return FileName(file) + " (" + state.summary.series + "): " + Values(first_value, last_value) +
                    " ohne Datensatz, zwischen dem Neubeginn des Zählers im Zeitraum " + state.period + " und " +
                    first.when + " (" + result_.PlaceName(first.place) + ")";
           },
           {first.place});
}

void SequenceAudit::FindUnlogged(const SeriesState& state, size_t file, int64_t counter, const std::string& until) {
  const Run& last = std::prev(state.runs.end())->second;
  const int64_t increment = files_[file].increment;
  if (counter <= last.last || !TouchesPeriod(last.last_end.when, until)) return;
  // A jump by hand after the last record skipped the values up to its new counter.
  TellGaps(state.key, sequence_of_[file], state.period, last.last + increment, counter, increment,
           [&](int64_t first_value, int64_t last_value) {
             return FileName(file) + " (" + state.summary.series + "): " + Values(first_value, last_value) +
                    " gezogen, aber nicht protokolliert (nach " + last.last_end.when + ", " +
                    result_.PlaceName(last.last_end.place) + ")";
           },
           {last.last_end.place});
}

void SequenceAudit::CheckPresentCounter(const std::vector<const SeriesState*>& series, size_t file) {
  // The present counter: values drawn after the last record, or a counter set
  // back below it, so that the next draw repeats a number. A counter that
  // restarts counts in its period (Period), which a clock behind draws in too.
  const AuditedCounterFile& present = files_[file];
  const auto period_start = StartOf(present.restart, present.period);
  const std::string present_key = PresentKeyOn(file, period_start ? *period_start : today_);
  const SeriesState* current = nullptr;
  for (const SeriesState* state : series)
    if (state->key == present_key) current = state;
  // Numbers of the period under another format only: its last series.
  if (!current && period_start)
    for (const SeriesState* state : series)
      if (state->period == present.period) current = state;
  if (!current && period_start && StartOf(present.restart, present.closed_period)) {
    // A restart began the period, and not one of its numbers is in the log.
    if (present.counter < present.increment ||
        !TouchesPeriod(FormatLogTime(*period_start, ":"), FormatLogTime(today_, ":")))
      return;
    const std::string name =
        SeriesName(present.format, period_start->year, SeriesMonth(present.restart, *period_start));
    return TellGaps(
        "", file, present.period, present.increment, present.counter, present.increment,
        [&](int64_t first_value, int64_t last_value) {
          return FileName(file) + " (" + name + "): " + Values(first_value, last_value) +
                 " gezogen, aber nicht protokolliert (kein Datensatz seit dem Neubeginn des Zählers im Zeitraum " +
                 present.period + ")";
        },
        {});
  }
  if (!current) current = series.back();
  const Run& last = std::prev(current->runs.end())->second;
  if (present.counter > last.last) return FindUnlogged(*current, file, present.counter, FormatLogTime(today_, ":"));
  // The next draw of a restarting counter repeats nothing once the period of
  // the moment is later than its own: it begins again.
  const std::string today_period = PeriodOf(present.restart, today_);
  if (period_start && today_period > present.period) return;
  const int64_t next = present.counter + present.increment;
  if (current->key == present_key && next <= last.last && next >= current->runs.begin()->first) {
    const platform::LocalDateTime composed_on = period_start && today_period < present.period ? *period_start : today_;
    AddFinding(
        Finding::Kind::Reset,
        FileName(file) + ": Zähler zurückgesetzt: die nächste Nummer wiederholt '" +
            ComposeNumber(present.format, static_cast<int32_t>(present.counter), present.increment, composed_on) +
            "' (Zähler " + std::to_string(present.counter) + ", belegt bis " + std::to_string(last.last) + ", " +
            result_.PlaceName(last.last_end.place) + ")",
        {last.last_end.place});
  }
}

void SequenceAudit::CheckClosedPeriod(const std::vector<const SeriesState*>& series, size_t file) {
  // The period the last restart closed, up to the counter it closed with.
  const AuditedCounterFile& present = files_[file];
  if (present.restart == CounterRestart::Never || present.closed_period.empty()) return;
  if (!PeriodStart(present.closed_period)) {
    AddFinding(Finding::Kind::CounterFile,
               FileName(file) + ": ClosedPeriod '" + present.closed_period + "'" +
                   " nennt keinen Zeitraum; der abgeschlossene Zeitraum ist nicht geprüft",
               {});
    return;
  }
  const auto start = StartOf(present.restart, present.closed_period);
  if (!start) return;  // of the kind before the restart's kind changed: no series of its kind
  const SeriesState* closed = nullptr;
  for (const SeriesState* state : series)
    if (state->period == present.closed_period) closed = state;
  // Its numbers were drawn before the period ended: a later draw would have begun the next.
  if (closed)
    return FindUnlogged(*closed, file, present.closed_counter,
                        FormatLogTime(NextPeriodStart(present.restart, *start), ":"));
  // Not one record of the closed period: told where the log reaches back
  // before it (a log begun later holds none of it).
  const bool reaches_back = std::any_of(series.begin(), series.end(), [&](const SeriesState* state) {
    return !state->period.empty() && state->period < present.closed_period;
  });
  if (!reaches_back || present.closed_counter <= 0) return;
  AddFinding(Finding::Kind::CounterFile,
             FileName(file) + " (" + SeriesName(present.format, start->year, SeriesMonth(present.restart, *start)) +
                 "): kein Datensatz, obwohl der Zeitraum " + present.closed_period + " mit Zähler " +
                 std::to_string(present.closed_counter) + " abgeschlossen wurde",
             {});
}

void SequenceAudit::TellTallies() {
  for (const auto& [source, reason] : unreadable_)
    AddFinding(Finding::Kind::Unreadable,
               "Das Protokoll '" + result_.sources[source].name + "' ist nicht zeilenweise lesbar: " + reason, {});
  for (auto& [problem, tally] : not_records_) {
    AddFinding(Finding::Kind::NotARecord,
               (tally.count == 1
                    ? result_.PlaceName(tally.places.front()) + " ist kein Datensatz: "
                    : Counted(tally.count, "Zeile", "Zeilen") + " sind keine Datensätze (" +
                          result_.PlaceNames(tally.places) + (tally.count > tally.places.size() ? ", …" : "") + "): ") +
                   problem,
               tally.places);
    result_.findings.back().count = tally.count;
  }
  if (unplaced_.count > 0) {
    std::string examples;
    for (const std::string& number : unplaced_.examples) examples += (examples.empty() ? "'" : ", '") + number + "'";
    AddFinding(Finding::Kind::Unplaced,
               Counted(unplaced_.count, "Datensatz", "Datensätze") +
                   " nicht zuzuordnen: keine Zählerdatei bildet diese Nummer (" + examples +
                   (unplaced_.more_examples ? ", …" : "") + "; " + result_.PlaceNames(unplaced_.places) +
                   (unplaced_.count > unplaced_.places.size() ? ", …" : "") + ")",
               unplaced_.places);
    result_.findings.back().count = unplaced_.count;
  }
  if (duplicates_told_ > kMaxSingleFindings)
    AddFinding(Finding::Kind::Duplicate,
               Counted(duplicates_told_ - kMaxSingleFindings, "weitere doppelte Nummer", "weitere doppelte Nummern"),
               {});
  if (duplicates_told_ > kMaxSingleFindings) result_.findings.back().count = duplicates_told_ - kMaxSingleFindings;
}

void SequenceAudit::TellRanges() {
  // Each range (its counter files across a move) with its series in order.
  for (size_t file = 0; file < files_.size(); ++file) {
    if (!files_[file].untrusted.empty()) {
      AddFinding(Finding::Kind::CounterFile, FileName(file) + ": " + files_[file].untrusted, {});
      continue;
    }
    if (sequence_of_[file] != file) continue;
    std::vector<const SeriesState*> series;
    for (const auto& [key, state] : series_)
      if (state.sequence == file) series.push_back(&state);
    std::sort(series.begin(), series.end(), [](auto* a, auto* b) { return a->order < b->order; });
    if (series.empty()) {
      AddFinding(
          Finding::Kind::CounterFile,
          FileName(file) + ": kein Datensatz, obwohl der Zähler bei " + std::to_string(files_[file].counter) + " steht",
          {});
      continue;
    }
    FindGaps(series, file);
  }
}

AuditResult SequenceAudit::Finish() {
  TellTallies();
  TellRanges();
  TellCounterJumps();
  if (gaps_told_ > kMaxSingleFindings) {
    AddFinding(Finding::Kind::Gap, Counted(gaps_told_ - kMaxSingleFindings, "weitere Lücke", "weitere Lücken"), {});
    result_.findings.back().count = gaps_told_ - kMaxSingleFindings;
  }
  if (!period_.from.empty() || !period_.to.empty()) {
    size_t records = 0;
    for (const AuditSource& source : result_.sources) records += source.records;
    if (records == 0)
      AddFinding(Finding::Kind::EmptyPeriod,
                 "Kein Datensatz im Zeitraum " + (period_.from.empty() ? std::string("…") : period_.from) + " bis " +
                     (period_.to.empty() ? std::string("…") : period_.to),
                 {});
  }
  if (backwards_ > kMaxSingleFindings)
    AddFinding(Finding::Kind::Backwards,
               Counted(backwards_ - kMaxSingleFindings, "weitere Zeit", "weitere Zeiten") + " rückwärts", {});
  for (const auto& [key, entry] : refused_) {
    AddFinding(Finding::Kind::Refused,
               std::to_string(entry.first) + " verweigerte Ziehung" + (entry.first == 1 ? "" : "en") + " von '" +
                   key.first + "' am " + key.second + " (gesperrte Zählerdatei; " + result_.PlacesText(entry.second) +
                   (entry.first > entry.second.size() ? ", …" : "") + ")",
               entry.second);
    result_.findings.back().count = entry.first;
  }
  std::vector<const SeriesState*> ordered;
  for (const auto& [key, state] : series_)
    if (state.summary.count > 0) ordered.push_back(&state);
  std::sort(ordered.begin(), ordered.end(),
            [](auto* a, auto* b) { return std::tie(a->sequence, a->order) < std::tie(b->sequence, b->order); });
  for (const SeriesState* state : ordered) result_.series.push_back(state->summary);
  result_.Settle();
  return std::move(result_);
}

}  // namespace trelvo::engine::audit
