#include "engine/audit/log_line.h"

#include <vector>

namespace trelvo::engine::audit {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// "JJJJ-MM-TT HH:MM:SS" with any one separator between the time's parts.
bool SplitTime(std::string_view text, LogRecord& record) {
  if (text.size() != 19 || text[4] != '-' || text[7] != '-' || text[10] != ' ' || text[13] != text[16] ||
      IsDigit(text[13]))
    return false;
  for (size_t i : {0, 1, 2, 3, 5, 6, 8, 9, 11, 12, 14, 15, 17, 18})
    if (!IsDigit(text[i])) return false;
  record.date = std::string(text.substr(0, 10));
  record.time = std::string(text.substr(11));
  return true;
}

// The fields between "; ": quoted ones with inner quotes doubled. nullopt with
// the problem when a quote is not closed.
std::optional<std::vector<std::string>> SplitFields(std::string_view line, std::string& problem) {
  std::vector<std::string> fields;
  size_t at = 0;
  while (at < line.size()) {
    std::string field;
    if (line[at] == '"') {
      ++at;
      for (;;) {
        if (at >= line.size()) {
          problem = "Anführungszeichen nicht geschlossen";
          return std::nullopt;
        }
        if (line[at] == '"') {
          if (at + 1 < line.size() && line[at + 1] == '"') {
            field += '"';
            at += 2;
            continue;
          }
          ++at;
          break;
        }
        field += line[at++];
      }
      if (at < line.size() && line[at] != ';') {
        problem = "Text hinter einem Feld in Anführungszeichen";
        return std::nullopt;
      }
    } else {
      const size_t end = line.find(';', at);
      field = std::string(line.substr(at, end == std::string_view::npos ? std::string_view::npos : end - at));
      at = end == std::string_view::npos ? line.size() : end;
    }
    fields.push_back(std::move(field));
    if (at < line.size()) ++at;  // the ';'
    if (at < line.size() && line[at] == ' ') ++at;
  }
  return fields;
}

}  // namespace

ParsedLine ParseLogLine(std::string_view line, bool complete) {
  ParsedLine parsed;
  std::string problem;
  const auto fields = SplitFields(line, problem);
  LogRecord record;
  if (line.find(';') == std::string_view::npos && line.find(',') != std::string_view::npos) {
    parsed.problem = "Komma statt Semikolon als Trennzeichen";
  } else if (!fields) {
    parsed.problem = problem;
  } else if (fields->size() < 4 || (fields->size() > 4 && !(fields->size() == 5 && (*fields)[4].empty()))) {
    parsed.problem = "nicht vier Felder";
  } else if (!SplitTime((*fields)[1], record)) {
    parsed.problem = "kein Zeitstempel im zweiten Feld";
  } else if (line.empty() || line.front() != '"') {
    parsed.problem = "die Nummer steht nicht in Anführungszeichen";
  } else {
    record.number = (*fields)[0];
    record.application = (*fields)[2];
    record.user = (*fields)[3];
    parsed.record = std::move(record);
    return parsed;
  }
  if (!complete) parsed.problem = "unvollständige letzte Zeile (" + parsed.problem + ")";
  return parsed;
}

}  // namespace trelvo::engine::audit
