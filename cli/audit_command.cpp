#include "cli/audit_command.h"

#include <algorithm>
#include <chrono>
#include <functional>
#include <map>
#include <memory>

#include "cli/audit_report.h"
#include "cli/trelvo_tool.h"
#include "engine/audit/log_reader.h"
#include "engine/audit/tool_version.h"
#include "engine/counter_file.h"
#include "engine/counter_lock.h"
#include "engine/number_store.h"
#include "engine/range_list.h"
#include "engine/server/server_range.h"
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

// A counter file or pointer as the audit reads it: its store, opened once.
struct OpenedFile {
  AuditedCounterFile audited;
  std::unique_ptr<engine::NumberStore> store;
  std::string moved_to_range;  // the range on a server the file's holder names
};

OpenedFile OpenCounterFile(platform::Environment& env, const std::string& path) {
  std::unique_ptr<engine::NumberStore> store = engine::OpenNumberStore(env, path);
  if (!store->Exists()) throw Error("Die Zählerdatei " + platform::Quoted(path) + " existiert nicht.");
  const engine::IniDocument content = store->Read();
  AuditedCounterFile audited;
  audited.path = path;
  if (const auto untrusted = engine::UntrustedCounterValue(content, path)) {
    audited.untrusted = *untrusted;
  } else {
    const engine::CounterState state = engine::ReadCounterState(content);
    audited.format = state.format;
    audited.increment = state.increment;
    audited.counter = state.counter;
    audited.restart = state.restart;
    audited.period = state.period;
    audited.closed_period = state.closed_period;
    audited.closed_counter = state.closed_counter;
  }
  audited.on_server = store->Server() != nullptr;
  return {std::move(audited), std::move(store), engine::MovedToRange(content).value_or("")};
}

bool Shaped(std::string_view text, std::string_view shape) {
  if (text.size() != shape.size()) return false;
  for (size_t i = 0; i < shape.size(); ++i)
    if (shape[i] == '9' ? !(text[i] >= '0' && text[i] <= '9') : text[i] != shape[i]) return false;
  return true;
}

// A store's record as the audit takes it: the counter value where the store
// knows it, and a time of the log's shape.
ParsedLine StoredLine(const engine::UsageRecord& stored) {
  ParsedLine parsed;
  if (!Shaped(stored.date, "9999-99-99") || !Shaped(stored.time, "99:99:99")) {
    parsed.problem = "keine Zeit im Datensatz";
    return parsed;
  }
  parsed.record = LogRecord{stored.number, stored.date, stored.time, stored.application, stored.user, stored.counter};
  return parsed;
}

// The text of a store's record as the report quotes it.
std::string StoredText(const engine::UsageRecord& stored) {
  return engine::UsageLogRecord(stored.number, stored.date + " " + stored.time, stored.application, stored.user) +
         (stored.counter ? " (Zählerwert " + std::to_string(*stored.counter) + ")" : "");
}

// One source of records: read whole, each line or record handed on with its
// text and what it holds.
using SourceHandler = std::function<void(size_t index, const std::string& text, const ParsedLine& parsed)>;
struct RecordSource {
  AuditSource facts;
  std::optional<size_t> file;  // the server range's counter file
  std::function<void(RecordSource& self, const SourceHandler&)> read;
  std::string unreadable;
};

RecordSource LogSource(platform::Environment& env, const std::string& path) {
  RecordSource source;
  source.facts.name = path;
  source.read = [&env, path](RecordSource& source, const SourceHandler& take) {
    LogFileFacts facts;
    const bool exists = ReadUsageLog(
        env.files, path,
        [&](size_t line_number, const std::string& line, bool complete, const std::string& problem) {
          take(line_number, line, problem.empty() ? ParseLogLine(line, complete) : ParsedLine{std::nullopt, problem});
        },
        facts);
    if (!exists) throw Error("Die Protokolldatei " + platform::Quoted(path) + " existiert nicht.");
    source.facts.size = facts.size;
    source.facts.lines = facts.lines;
    source.facts.sha256 = facts.sha256;
    source.facts.encoding = facts.encoding;
    source.unreadable = facts.unreadable;
  };
  return source;
}

// The records of a server range as its store hands them on.
RecordSource ServerSource(const engine::NumberStore& store, size_t file) {
  RecordSource source;
  source.facts.name = store.Server()->pointer().range;
  source.facts.server = true;
  source.facts.pointer = store.path();
  source.file = file;
  source.read = [&store](RecordSource& source, const SourceHandler& take) {
    size_t count = 0;
    store.ForEachRecord([&](const engine::StoredEntry& entry) {
      ++count;
      if (!entry.record) return take(entry.place, "", ParsedLine{std::nullopt, entry.problem});
      take(entry.place, StoredText(*entry.record), StoredLine(*entry.record));
    });
    source.facts.lines = count;
  };
  return source;
}

// What the audit leaves to one more pass over the records, taken only when
// there is something for it: where each duplicated number was first issued,
// and for the report the text of the lines the findings rest on.
void SecondPass(std::vector<RecordSource>& sources, AuditResult& result, LogLines* lines) {
  std::map<std::string, std::optional<std::pair<Place, std::string>>> first;  // number: place and time
  for (const Finding& finding : result.findings) {
    if (finding.kind == Finding::Kind::Duplicate && !finding.number.empty())
      first.emplace(finding.number, std::nullopt);
    if (lines)
      for (const Place& place : finding.places) lines->emplace(place, "");
  }
  if (first.empty() && (!lines || lines->empty())) return;
  for (size_t s = 0; s < sources.size(); ++s)
    sources[s].read(sources[s], [&](size_t index, const std::string& text, const ParsedLine& parsed) {
      const Place place{s, index};
      bool keep = lines && lines->count(place);
      const auto found = parsed.record ? first.find(parsed.record->number) : first.end();
      if (found != first.end() && !found->second) {
        found->second = {place, parsed.record->date + " " + parsed.record->time};
        keep = lines != nullptr;
      }
      if (keep) (*lines)[place] = text;
    });
  for (Finding& finding : result.findings) {
    if (finding.kind != Finding::Kind::Duplicate || finding.number.empty() || !first[finding.number]) continue;
    const auto& [place, when] = *first[finding.number];
    finding.text.insert(finding.text.size() - 1, ", zuerst in " + result.PlaceName(place));
    finding.places.insert(finding.places.begin(), place);
    finding.first_when = when;
  }
}

const char* KindLabel(Finding::Kind kind) {
  switch (kind) {
    case Finding::Kind::Duplicate: return "DOPPELT         ";
    case Finding::Kind::Gap: return "LÜCKE           ";
    case Finding::Kind::Unplaced: return "NICHT ZUZUORDNEN";
    case Finding::Kind::NotARecord: return "KEIN DATENSATZ  ";
    case Finding::Kind::Reset: return "ZÄHLER ZURÜCK   ";
    case Finding::Kind::CounterFile: return "ZÄHLERDATEI     ";
    case Finding::Kind::EmptyPeriod: return "ZEITRAUM LEER   ";
    case Finding::Kind::Unreadable: return "UNLESBAR        ";
    case Finding::Kind::Refused: return "VERWEIGERT      ";
    case Finding::Kind::Backwards: return "ZEIT RÜCKWÄRTS  ";
    case Finding::Kind::CounterSet: return "ZÄHLER GESETZT  ";
    case Finding::Kind::CounterSetBack: return "VON HAND ZURÜCK ";
  }
  return "";
}

void PrintSummary(const AuditReport& report, std::ostream& out) {
  const AuditResult& result = report.result;
  out << "Prüfung der Nummernfolge\n"
      << "Erstellt: " << report.made << " mit trelvo " << report.version << "\n";
  if (!report.period.from.empty() || !report.period.to.empty())
    out << "Zeitraum: " << (report.period.from.empty() ? "…" : report.period.from) << " bis "
        << (report.period.to.empty() ? "…" : report.period.to) << "\n";
  for (const AuditSource& source : result.sources) {
    if (source.server) {
      out << "Server: Nummernkreis " << platform::Quoted(source.name) << " über " << platform::Quoted(source.pointer)
          << " (" << Counted(source.lines, "Datensatz", "Datensätze") << ", davon " << source.records << " geprüft)\n";
      continue;
    }
    out << "Protokoll: " << source.name << " (" << Counted(source.lines, "Zeile", "Zeilen") << ", "
        << Counted(source.records, "Datensatz", "Datensätze") << ")\n"
        << "  " << Counted(source.size, "Byte", "Bytes") << ", " << source.encoding << ", SHA-256 " << source.sha256
        << "\n";
  }
  for (const SeriesSummary& series : result.series) {
    std::string users;
    for (const std::string& user : series.users) users += (users.empty() ? "" : ", ") + user;
    out << "\nNummernkreis " << series.series << "  (Zählerdatei " << platform::Quoted(series.counter_file) << ")\n"
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

// A report file, written whole (Windows-1252, CR LF for the CSV table).
void WriteReport(platform::Environment& env, const std::string& path, const std::string& bytes) {
  const auto file = env.files.OpenLocked(path, platform::LockMode::Exclusive, true, std::chrono::seconds(5));
  if (!file) throw Error("Der Bericht " + platform::Quoted(path) + " kann nicht angelegt werden.");
  file->ReplaceContent(bytes, file->ReadAll());
}

}  // namespace

AuditResult AuditUsageLog(const AuditCall& call, platform::Environment& env, LogLines* lines) {
  const std::vector<std::string> paths = call.counter_files.empty() ? DefaultCounterFiles(env) : call.counter_files;
  std::vector<OpenedFile> opened;
  for (const std::string& path : paths) opened.push_back(OpenCounterFile(env, path));
  // A file whose range moved to a server goes on as the range it names, when that is audited too.
  for (OpenedFile& file : opened) {
    if (file.moved_to_range.empty()) continue;
    for (size_t i = 0; i < opened.size(); ++i)
      if (const auto* range = opened[i].store->Server(); range && range->pointer().range == file.moved_to_range)
        file.audited.moved_to = i;
  }
  std::vector<AuditedCounterFile> files;
  for (const OpenedFile& file : opened) files.push_back(file.audited);
  const bool log_needed = call.log || std::any_of(files.begin(), files.end(), [](auto& f) { return !f.on_server; });

  std::vector<RecordSource> sources;
  if (log_needed) sources.push_back(LogSource(env, call.log ? *call.log : engine::GetUsageLogPath(env)));
  for (size_t i = 0; i < opened.size(); ++i)
    if (opened[i].store->Server()) sources.push_back(ServerSource(*opened[i].store, i));

  SequenceAudit audit(std::move(files), {call.from, call.to}, env.system.Now());
  for (size_t s = 0; s < sources.size(); ++s) {
    audit.AddSource(sources[s].facts, sources[s].file);
    sources[s].read(sources[s], [&](size_t index, const std::string&, const ParsedLine& parsed) {
      audit.Take({s, index}, parsed);
    });
    if (!sources[s].unreadable.empty()) audit.Unreadable(s, sources[s].unreadable);
  }
  AuditResult result = audit.Finish();
  for (size_t s = 0; s < sources.size(); ++s) {
    const size_t records = result.sources[s].records;
    result.sources[s] = sources[s].facts;
    result.sources[s].records = records;
  }
  SecondPass(sources, result, lines);
  result.KeepDuplicatesOf({call.from, call.to});
  result.Settle();
  return result;
}

int RunAudit(const AuditCall& call, platform::Environment& env, std::ostream& out) {
  if (!call.from.empty() && !call.to.empty() && call.to < call.from) {
    platform::ShowErrorBox(
        env.ui, "Der Zeitraum endet vor seinem Beginn: --from " + call.from + " liegt nach --to " + call.to + ".");
    return kExitUsage;
  }
  AuditReport report;
  report.made = engine::FormatLogTime(env.system.Now(), ":");
  report.version = AuditToolVersion();
  report.period = {call.from, call.to};
  try {
    LogLines lines;
    report.result = AuditUsageLog(call, env, call.html ? &lines : nullptr);
    if (call.html) WriteReport(env, *call.html, AuditHtml(report, lines));
    if (call.csv) WriteReport(env, *call.csv, platform::Utf8ToCp1252(AuditCsv(report)));
  } catch (const Aborted&) {
    return kAuditUnreadable;  // the message has been shown
  } catch (const std::exception& error) {
    platform::ShowErrorBox(env.ui, error.what());
    return kAuditUnreadable;
  }
  PrintSummary(report, out);
  return report.result.failed() ? kAuditFindings : kAuditClean;
}

}  // namespace trelvo::cli
