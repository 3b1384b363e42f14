#include "cli/audit_command.h"

#include <algorithm>
#include <chrono>
#include <functional>
#include <map>
#include <string_view>

#include "cli/audit_report.h"
#include "engine/audit/sequence_audit.h"
#include "engine/counter_file.h"
#include "engine/range_list.h"
#include "engine/settings.h"
#include "engine/usage_log.h"
#include "platform/cp1252.h"
#include "platform/error.h"
#include "platform/user_interface.h"

namespace trelvo::cli {
namespace {

using namespace engine::audit;

constexpr int kAuditClean = 0, kAuditFindings = 1, kAuditUnreadable = 2;

// The range list's counter files and the current one, each once.
std::vector<std::string> DefaultCounterFiles(platform::Environment& env) {
  std::vector<std::string> paths;
  try {
    for (const std::string& line : engine::ReadRangeList(env)) paths.push_back(engine::GetRangePath(line));
  } catch (const std::exception&) {
    // No range list: the current counter file alone.
  }
  paths.push_back(engine::UsableCounterFilePath(env));
  std::vector<std::string> unique;
  for (const std::string& path : paths)
    if (std::find(unique.begin(), unique.end(), path) == unique.end()) unique.push_back(path);
  return unique;
}

AuditedCounterFile ReadCounterFile(const engine::CounterFile& file) {
  if (!file.Exists()) throw Error("Die Zählerdatei " + platform::Quoted(file.path()) + " existiert nicht.");
  const engine::CounterState state = engine::ReadCounterState(file.Load());
  return {file.path(), state.format, state.increment, state.counter};
}

const char* KindLabel(Finding::Kind kind) {
  switch (kind) {
    case Finding::Kind::Duplicate: return "DOPPELT       ";
    case Finding::Kind::Gap: return "LÜCKE         ";
    case Finding::Kind::Refused: return "VERWEIGERT    ";
    case Finding::Kind::Backwards: return "ZEIT RÜCKWÄRTS";
    case Finding::Kind::NotARecord: return "KEIN DATENSATZ";
  }
  return "";
}

void PrintSummary(const AuditResult& result, const std::string& log, std::ostream& out) {
  out << "Prüfung der Nummernfolge\n"
      << "Protokoll: " << log << " (" << result.lines << " Zeilen, " << result.records << " Datensätze)\n";
  for (const SeriesSummary& series : result.series) {
    std::string users;
    for (const std::string& user : series.users) users += (users.empty() ? "" : ", ") + user;
    out << "\nNummernkreis " << series.series << "  ("
        << (series.counter_file.empty() ? std::string("keine Zählerdatei passt")
                                        : "Zählerdatei " + platform::Quoted(series.counter_file))
        << ")\n"
        << "  Erste Nummer:  " << series.first_number << " (" << series.first_date << ")\n"
        << "  Letzte Nummer: " << series.last_number << " (" << series.last_date << ")\n"
        << "  Anzahl:        " << series.count << "\n"
        << "  Lücken:        " << series.gaps << "\n"
        << "  Doppelte:      " << series.duplicates << "\n"
        << "  Benutzer:      " << users << "\n";
  }
  out << "\nBefunde: " << (result.findings.empty() ? "keine" : std::to_string(result.findings.size())) << "\n";
  for (const Finding& finding : result.findings) out << "  " << KindLabel(finding.kind) << "  " << finding.text << "\n";
  out << "\nErgebnis: " << result.Verdict() << "\n";
}

// A line of the records (UTF-8), with its number.
using LineHandler = std::function<void(size_t line_number, const std::string& line, bool complete)>;

// Reads the log piece by piece and calls take for each line but its header:
// only the line being read is held, however long the log. Throws when the log
// does not exist.
void ForEachLogLine(platform::Environment& env, const std::string& path, const LineHandler& take) {
  size_t line_number = 0;
  std::string pending;  // the line read so far
  const auto line_done = [&](bool complete) {
    std::string_view line = pending;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    ++line_number;
    if (!(line_number == 1 && line == engine::kUsageLogHeader))
      take(line_number, platform::Cp1252ToUtf8(line), complete);
    pending.clear();
  };
  const bool exists = env.files.ReadInPieces(path, [&](std::string_view piece) {
    for (size_t at = 0; at < piece.size();) {
      const size_t end = piece.find('\n', at);
      pending.append(piece.substr(at, end == std::string_view::npos ? std::string_view::npos : end - at));
      if (end == std::string_view::npos) break;
      line_done(true);
      at = end + 1;
    }
  });
  if (!exists) throw Error("Die Protokolldatei " + platform::Quoted(path) + " existiert nicht.");
  if (!pending.empty()) line_done(false);
}

// Where the audited records come from: the usage log, or the records of the
// server ranges that the counter files point at (numbered in their order as
// the log's lines would be).
struct RecordSource {
  std::string name;  // as the summary and the report name it
  std::function<void(const LineHandler&)> for_each_line;
};

// files: how many counter files are audited; ranges: the server ranges among them.
RecordSource SourceOf(const AuditCall& call, platform::Environment& env, size_t files,
                      std::vector<engine::server::ServerRange> ranges) {
  if (ranges.empty()) {
    const std::string log = call.log ? *call.log : engine::GetUsageLogPath(env);
    return {log, [&env, log](const LineHandler& take) { ForEachLogLine(env, log, take); }};
  }
  if (ranges.size() != files || call.log)
    throw Error(
        "Ein Nummernkreis auf einem Server wird mit seinen eigenen Datensätzen geprüft: geben Sie nur "
        "Verweise auf Server mit --counter-file an, ohne --log.");
  std::string name;
  for (const auto& range : ranges)
    name += (name.empty() ? "Server, Nummernkreis " : ", ") + platform::Quoted(range.pointer().range);
  return {name, [ranges](const LineHandler& take) {
            size_t line_number = 0;
            for (const auto& range : ranges)
              range.ForEachRecord([&](const engine::server::StoredRecord& record) {
                take(++line_number, engine::UsageLogRecord(record.number, record.time, record.application, record.user),
                     true);
              });
          }};
}

// What the audit leaves to one more pass over the records, taken only when
// there is something for it: the line where each duplicated number was first
// issued, and for the report the text of the lines the findings rest on.
void SecondPass(const RecordSource& source, AuditResult& result, LogLines* lines) {
  std::map<std::string, size_t> first;
  for (const Finding& finding : result.findings) {
    if (finding.kind == Finding::Kind::Duplicate) first.emplace(finding.number, 0);
    if (lines)
      for (size_t line : finding.lines) lines->emplace(line, "");
  }
  if (first.empty() && (!lines || lines->empty())) return;
  source.for_each_line([&](size_t line_number, const std::string& line, bool complete) {
    bool keep = lines && lines->count(line_number);
    if (!first.empty()) {
      const ParsedLine parsed = ParseLogLine(line, complete);
      const auto found = parsed.record ? first.find(parsed.record->number) : first.end();
      if (found != first.end() && found->second == 0) {
        found->second = line_number;
        keep = lines != nullptr;
      }
    }
    if (keep) (*lines)[line_number] = line;
  });
  for (Finding& finding : result.findings) {
    if (finding.kind != Finding::Kind::Duplicate) continue;
    const size_t line = first[finding.number];
    finding.text.insert(finding.text.size() - 1, ", zuerst in Zeile " + std::to_string(line));
    finding.lines.insert(finding.lines.begin(), line);
  }
}

// A report file, written whole (Windows-1252, CR LF for the CSV table).
void WriteReport(platform::Environment& env, const std::string& path, const std::string& bytes) {
  const auto file = env.files.OpenLocked(path, platform::LockMode::Exclusive, true, std::chrono::seconds(5));
  if (!file) throw Error("Der Bericht " + platform::Quoted(path) + " kann nicht angelegt werden.");
  file->ReplaceContent(bytes, file->ReadAll());
}

}  // namespace

AuditResult AuditUsageLog(const AuditCall& call, platform::Environment& env, LogLines* lines,
                          std::string* source_name) {
  const std::vector<std::string> paths = call.counter_files.empty() ? DefaultCounterFiles(env) : call.counter_files;
  std::vector<AuditedCounterFile> files;
  std::vector<engine::server::ServerRange> ranges;
  for (const std::string& path : paths) {
    const engine::CounterFile file(env, path);
    files.push_back(ReadCounterFile(file));
    if (auto range = file.Server()) ranges.push_back(std::move(*range));  // known from the read: no second one
  }
  const RecordSource source = SourceOf(call, env, paths.size(), std::move(ranges));
  if (source_name) *source_name = source.name;
  SequenceAudit audit(std::move(files), {call.from, call.to});
  source.for_each_line([&](size_t line_number, const std::string& line, bool complete) {
    audit.Take(line_number, ParseLogLine(line, complete));
  });
  AuditResult result = audit.Finish();
  SecondPass(source, result, lines);
  return result;
}

int RunAudit(const AuditCall& call, platform::Environment& env, std::ostream& out) {
  AuditResult result;
  std::string source_name;
  try {
    LogLines lines;
    result = AuditUsageLog(call, env, call.html ? &lines : nullptr, &source_name);
    if (call.html) WriteReport(env, *call.html, AuditHtml(result, source_name, lines));
    if (call.csv) WriteReport(env, *call.csv, platform::Utf8ToCp1252(AuditCsv(result)));
  } catch (const Aborted&) {
    return kAuditUnreadable;  // the message has been shown
  } catch (const std::exception& error) {
    platform::ShowErrorBox(env.ui, error.what());
    return kAuditUnreadable;
  }
  PrintSummary(result, source_name, out);
  return result.failed() ? kAuditFindings : kAuditClean;
}

}  // namespace trelvo::cli
