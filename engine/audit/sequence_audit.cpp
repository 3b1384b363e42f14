#include "engine/audit/sequence_audit.h"

#include <algorithm>
#include <iterator>

#include "engine/number_drawing.h"
#include "platform/civil_date.h"

namespace trelvo::engine::audit {
namespace {

constexpr size_t kMaxLinesPerFinding = 20;
// A record is stamped before it is appended, and an append may wait about two
// seconds for another workstation's: times that run back by less are the
// order of concurrent writers, not a clock to question.
constexpr int64_t kWritersSlackSeconds = 3;

// Seconds of a record's date and time, for comparing two of them.
int64_t Seconds(const LogRecord& record) {
  const auto number = [](std::string_view digits) {
    int64_t value = 0;
    for (char c : digits) value = value * 10 + (c - '0');
    return value;
  };
  const int64_t days = platform::DaysFromCivil({static_cast<int>(number(record.date.substr(0, 4))),
                                               static_cast<int>(number(record.date.substr(5, 2))),
                                               static_cast<int>(number(record.date.substr(8, 2)))});
  return days * 86400 + number(record.time.substr(0, 2)) * 3600 + number(record.time.substr(3, 2)) * 60 +
         number(record.time.substr(6, 2));
}

// "Zählerwert 43" or "Zählerwerte 43 bis 45".
std::string Values(int64_t from, int64_t to) {
  if (from == to) return "Zählerwert " + std::to_string(from);
  return "Zählerwerte " + std::to_string(from) + " bis " + std::to_string(to);
}

}  // namespace

std::string LineNumbers(const std::vector<size_t>& lines) {
  std::string text;
  for (size_t line : lines) text += (text.empty() ? "" : ", ") + std::to_string(line);
  return text;
}

std::string AuditResult::Verdict() const {
  if (!failed()) return "Keine doppelte Nummer und keine Lücke: die Folge ist lückenlos belegt.";
  return std::to_string(duplicates) + (duplicates == 1 ? " doppelte Nummer, " : " doppelte Nummern, ") +
         std::to_string(gaps) + (gaps == 1 ? " Lücke" : " Lücken") +
         " ohne Datensatz: die Folge ist nicht lückenlos belegt.";
}

SequenceAudit::SequenceAudit(std::vector<AuditedCounterFile> counter_files, AuditPeriod period)
    : files_(std::move(counter_files)), file_states_(files_.size()), period_(std::move(period)) {
  for (const AuditedCounterFile& file : files_) patterns_.emplace_back(file.format);
}

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

void SequenceAudit::AddFinding(Finding::Kind kind, std::string text, std::vector<size_t> lines) {
  result_.findings.push_back({kind, std::move(text), std::move(lines), "", 0, 0});
}

std::optional<std::pair<size_t, CounterInNumber>> SequenceAudit::Attribute(const std::string& number) const {
  // Several files of one format: the one whose sequence the value continues,
  // else one that has no number yet, else the first.
  std::optional<std::pair<size_t, CounterInNumber>> unused, first;
  for (size_t i = 0; i < files_.size(); ++i) {
    const auto match = patterns_[i].Match(number);
    if (!match) continue;
    const auto& last = file_states_[i].last;
    if (last && match->counter == *last + files_[i].increment) return std::pair{i, *match};
    if (!last && !unused) unused = std::pair{i, *match};
    if (!first) first = std::pair{i, *match};
  }
  if (unused) return unused;
  if (first) return first;
  // A format the files have no longer: the number that continues a file's sequence.
  for (size_t i = 0; i < files_.size(); ++i) {
    const auto& last = file_states_[i].last;
    if (!last) continue;
    if (auto match = CounterOfValue(number, files_[i].format.leading, *last + files_[i].increment))
      return std::pair{i, *match};
  }
  // The first number of a file in the log, in a format it has no longer: its
  // digits at the counter's end.
  for (size_t i = 0; i < files_.size(); ++i)
    if (!file_states_[i].last)
      if (auto match = CounterOfValue(number, files_[i].format.leading, std::nullopt)) return std::pair{i, *match};
  return std::nullopt;
}

void SequenceAudit::Take(size_t line_number, const ParsedLine& line) {
  result_.lines = std::max(result_.lines, line_number);
  if (!line.record) {
    AddFinding(Finding::Kind::NotARecord, "Zeile " + std::to_string(line_number) + " ist kein Datensatz: " + line.problem,
               {line_number});
    return;
  }
  const LogRecord& record = *line.record;
  if ((!period_.from.empty() && record.date < period_.from) || (!period_.to.empty() && record.date > period_.to))
    return;
  TakeRecord(line_number, record);
}

void SequenceAudit::TakeRecord(size_t line_number, const LogRecord& record) {
  ++result_.records;
  const std::string when = record.date + " " + record.time;
  const int64_t seconds = Seconds(record);
  if (last_line_ != 0 && seconds < last_seconds_ - kWritersSlackSeconds)
    AddFinding(Finding::Kind::Backwards,
               "Zeile " + std::to_string(line_number) + ": " + when + " liegt vor Zeile " +
                   std::to_string(last_line_) + " (" + last_when_ + ")",
               {last_line_, line_number});
  last_when_ = when;
  last_seconds_ = seconds;
  last_line_ = line_number;

  if (record.number == kLockedMarker) {
    auto& [count, lines] = refused_[{record.user, record.date}];
    ++count;
    if (lines.size() < kMaxLinesPerFinding) lines.push_back(line_number);
    return;
  }

  const auto attributed = Attribute(record.number);
  const std::string series = attributed ? attributed->second.series : record.number;
  SeriesState& state = series_[series];
  SeriesSummary& summary = state.summary;
  if (summary.count == 0) {
    summary.series = series;
    summary.counter_file = attributed ? files_[attributed->first].path : "";
    summary.first_number = record.number;
    summary.first_date = record.date;
    state.step = attributed ? files_[attributed->first].increment : 1;
  }
  ++summary.count;
  ++result_.issued_per_day[record.date][record.user];
  summary.last_number = record.number;
  summary.last_date = record.date;
  summary.users.insert(record.user);

  // The same number twice: within its series, the same counter value.
  const int64_t value = attributed ? attributed->second.counter : 0;
  const End end{line_number, when, series};
  if (!Insert(state.runs, value, 1, end)) {
    ++summary.duplicates;
    ++result_.duplicates;
    AddFinding(Finding::Kind::Duplicate,
               "Nummer '" + record.number + "' doppelt vergeben (Zeile " + std::to_string(line_number) + ")",
               {line_number});
    result_.findings.back().number = record.number;
  }
  if (!attributed) return;
  FileState& file = file_states_[attributed->first];
  Insert(file.runs, value, files_[attributed->first].increment, end);
  file.last = value;
}

AuditResult SequenceAudit::Finish() {
  // Gaps: the values between a file's runs, and from its last value to its present counter.
  for (size_t i = 0; i < files_.size(); ++i) {
    const Runs& runs = file_states_[i].runs;
    const int64_t step = files_[i].increment;
    const std::string name = "'" + files_[i].path + "'";
    for (auto run = runs.begin(); run != runs.end(); ++run) {
      const auto next = std::next(run);
      if (next == runs.end()) break;
      const int64_t from = run->second.last + step, to = next->first - step;
      if (to < from) continue;  // values off the step (the increment was changed): no gap to name
      ++result_.gaps;
      ++series_[next->second.first.series].summary.gaps;
      const End& before = run->second.last_end;
      const End& after = next->second.first;
      AddFinding(Finding::Kind::Gap,
                 name + ": " + Values(from, to) + " ohne Datensatz, zwischen " + before.when + " (Zeile " +
                     std::to_string(before.line) + ") und " + after.when + " (Zeile " + std::to_string(after.line) +
                     ")",
                 {before.line, after.line});
      result_.findings.back().first_value = from;
      result_.findings.back().last_value = to;
    }
    if (runs.empty() || !period_.to.empty()) continue;
    const Run& last = std::prev(runs.end())->second;
    if (files_[i].counter > last.last) {
      ++result_.gaps;
      ++series_[last.last_end.series].summary.gaps;
      AddFinding(Finding::Kind::Gap,
                 name + ": " + Values(last.last + step, files_[i].counter) +
                     " gezogen, aber nicht protokolliert (nach " + last.last_end.when + ", Zeile " +
                     std::to_string(last.last_end.line) + ")",
                 {last.last_end.line});
      result_.findings.back().first_value = last.last + step;
      result_.findings.back().last_value = files_[i].counter;
    }
  }
  for (const auto& [key, entry] : refused_)
    AddFinding(Finding::Kind::Refused,
               std::to_string(entry.first) + " verweigerte Ziehung" + (entry.first == 1 ? "" : "en") + " von '" +
                   key.first + "' am " + key.second + " (gesperrte Zählerdatei; Zeilen " + LineNumbers(entry.second) +
                   (entry.first > entry.second.size() ? ", …" : "") + ")",
               entry.second);
  for (auto& [key, state] : series_) result_.series.push_back(std::move(state.summary));
  return std::move(result_);
}

}  // namespace trelvo::engine::audit
