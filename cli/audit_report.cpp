#include "cli/audit_report.h"

#include <algorithm>
#include <set>
#include <vector>

namespace trelvo::cli {
namespace {

using engine::audit::AuditResult;
using engine::audit::AuditSource;
using engine::audit::Counted;
using engine::audit::Finding;

const char* KindName(Finding::Kind kind) {
  switch (kind) {
    case Finding::Kind::Duplicate: return "Doppelte Nummer";
    case Finding::Kind::Gap: return "Lücke";
    case Finding::Kind::Unplaced: return "Nicht zuzuordnen";
    case Finding::Kind::NotARecord: return "Kein Datensatz";
    case Finding::Kind::Reset: return "Zähler zurückgesetzt";
    case Finding::Kind::CounterFile: return "Zählerdatei";
    case Finding::Kind::EmptyPeriod: return "Zeitraum ohne Datensatz";
    case Finding::Kind::Unreadable: return "Protokoll nicht lesbar";
    case Finding::Kind::Refused: return "Verweigerte Ziehung";
    case Finding::Kind::Backwards: return "Zeit rückwärts";
    case Finding::Kind::CounterSet: return "Zähler von Hand gesetzt";
    case Finding::Kind::CounterSetBack: return "Zähler von Hand zurückgesetzt";
  }
  return "";
}

std::string CsvField(const std::string& text) {
  std::string field = "\"";
  for (char c : text) field += c == '"' ? std::string("\"\"") : std::string(1, c);
  return field + "\"";
}

std::string Html(const std::string& text) {
  std::string escaped;
  for (char c : text) {
    switch (c) {
      case '&': escaped += "&amp;"; break;
      case '<': escaped += "&lt;"; break;
      case '>': escaped += "&gt;"; break;
      case '"': escaped += "&quot;"; break;
      default: escaped += c;
    }
  }
  return escaped;
}

// Stacked bars of the numbers issued per day, a colour per user, with a legend.
std::string Chart(const AuditResult& result) {
  if (result.issued_per_day.empty()) return "<p>Keine Nummern im Zeitraum.</p>\n";
  static const char* const kColours[] = {"#1f5fa8", "#e07b10", "#2e8b3a", "#b8322a", "#7a4fa3",
                                         "#8c6d31", "#d45c9e", "#5f6b73", "#a3a31f", "#1fa3a3"};
  std::vector<std::string> users;
  size_t highest = 0;
  for (const auto& [day, per_user] : result.issued_per_day) {
    size_t total = 0;
    for (const auto& [user, count] : per_user) {
      total += count;
      if (std::find(users.begin(), users.end(), user) == users.end()) users.push_back(user);
    }
    highest = std::max(highest, total);
  }
  std::sort(users.begin(), users.end());
  const auto colour = [&](const std::string& user) {
    const size_t index = static_cast<size_t>(std::find(users.begin(), users.end(), user) - users.begin());
    return kColours[index % std::size(kColours)];
  };
  const double width = 640, height = 180, left = 40, top = 10;
  const double bar = width / static_cast<double>(result.issued_per_day.size());
  // It scales with the page: the width of A4 or of a narrow window.
  const int svg_height = static_cast<int>(height + 60 + 16 * users.size());
  std::string svg = "<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 700 " + std::to_string(svg_height) +
                    "\" style=\"width: 100%; height: auto;\" role=\"img\" "
                    "aria-label=\"Ausgegebene Nummern je Tag und Benutzer\">\n";
  svg += "<line x1=\"40\" y1=\"190\" x2=\"680\" y2=\"190\" stroke=\"#333\"/>\n";
  svg += "<text x=\"0\" y=\"18\" font-size=\"10\">" + std::to_string(highest) + "</text>\n";
  double x = left;
  for (const auto& [day, per_user] : result.issued_per_day) {
    double y = top + height;
    for (const auto& [user, count] : per_user) {
      const double h = height * static_cast<double>(count) / static_cast<double>(highest);
      y -= h;
      svg += "<rect x=\"" + std::to_string(x) + "\" y=\"" + std::to_string(y) + "\" width=\"" +
             std::to_string(std::max(bar - 0.5, 0.5)) + "\" height=\"" + std::to_string(h) + "\" fill=\"" +
             colour(user) + "\"><title>" + Html(day + " " + user + ": " + std::to_string(count)) + "</title></rect>\n";
    }
    x += bar;
  }
  svg += "<text x=\"40\" y=\"204\" font-size=\"10\">" + Html(result.issued_per_day.begin()->first) + "</text>\n";
  svg += "<text x=\"680\" y=\"204\" font-size=\"10\" text-anchor=\"end\">" +
         Html(result.issued_per_day.rbegin()->first) + "</text>\n";
  double legend = 226;
  for (const std::string& user : users) {
    svg += "<rect x=\"40\" y=\"" + std::to_string(legend - 9) + "\" width=\"10\" height=\"10\" fill=\"" + colour(user) +
           "\"/><text x=\"56\" y=\"" + std::to_string(legend) + "\" font-size=\"11\">" + Html(user) + "</text>\n";
    legend += 16;
  }
  return svg + "</svg>\n";
}


// The sources the report vouches for, each with what identifies it.
std::vector<std::pair<std::string, std::string>> SourceLines(const AuditReport& report) {
  std::vector<std::pair<std::string, std::string>> lines;
  for (const AuditSource& source : report.result.sources) {
    if (source.server)
      lines.emplace_back("Server", "Nummernkreis '" + source.name + "' über '" + source.pointer + "', " +
                                       Counted(source.lines, "Datensatz", "Datensätze"));
    else
      lines.emplace_back("Protokoll", source.name + ", " + Counted(source.lines, "Zeile", "Zeilen") + ", " +
                                          Counted(source.size, "Byte", "Bytes") + ", " + source.encoding +
                                          ", SHA-256 " + source.sha256);
  }
  return lines;
}

std::string Period(const engine::audit::AuditPeriod& period) {
  if (period.from.empty() && period.to.empty()) return "";
  return (period.from.empty() ? std::string("…") : period.from) + " bis " +
         (period.to.empty() ? std::string("…") : period.to);
}

}  // namespace

std::string AuditCsv(const AuditReport& report) {
  const AuditResult& result = report.result;
  // What the table vouches for comes first, as rows of their own kind.
  std::string csv = "Art;Befund;Zeilen\r\n";
  csv += CsvField("Bericht") + ";" + CsvField("erstellt " + report.made + " mit trelvo " + report.version) + ";\"\"\r\n";
  if (!Period(report.period).empty()) csv += CsvField("Zeitraum") + ";" + CsvField(Period(report.period)) + ";\"\"\r\n";
  for (const auto& [kind, text] : SourceLines(report)) csv += CsvField(kind) + ";" + CsvField(text) + ";\"\"\r\n";
  csv += CsvField("Ergebnis") + ";" + CsvField(result.Verdict()) + ";\"\"\r\n";
  for (const Finding& finding : result.findings)
    csv += CsvField(KindName(finding.kind)) + ";" + CsvField(finding.text) + ";" +
           CsvField(result.PlaceNames(finding.places)) + "\r\n";
  return csv;
}

std::string AuditHtml(const AuditReport& report, const LogLines& lines) {
  const AuditResult& result = report.result;
  std::string html =
      "<!DOCTYPE html>\n<html lang=\"de\">\n<head>\n<meta charset=\"utf-8\">\n"
      "<meta name=\"viewport\" content=\"width=device-width\">\n"
      "<title>Prüfung der Nummernfolge</title>\n<style>\n"
      "@page { size: A4 portrait; margin: 15mm 12mm; }\n"
      "body { font-family: sans-serif; font-size: 10pt; color: #111; max-width: 186mm; margin: auto; padding: 0 8px; }\n"
      "h1 { font-size: 16pt; } h2 { font-size: 12pt; margin-top: 1.5em; }\n"
      "table { border-collapse: collapse; width: 100%; table-layout: fixed; }\n"
      "th, td { border: 1px solid #999; padding: 2px 4px; text-align: left; vertical-align: top; "
      "overflow-wrap: anywhere; }\n"
      "th { background: #eee; overflow-wrap: normal; font-size: 9pt; } .n { white-space: nowrap; } .ok { color: #2e7d32; } .fail { color: #b71c1c; } .num { text-align: right; }\n"
      "dl { display: grid; grid-template-columns: max-content 1fr; gap: 2px 8px; } dt { font-weight: bold; }\n"
      "dd { margin: 0; overflow-wrap: anywhere; }\n"
      "pre { margin: 2px 0 0 0; font-size: 8pt; white-space: pre-wrap; overflow-wrap: anywhere; }\n"
      "li { margin-bottom: 6px; page-break-inside: avoid; overflow-wrap: anywhere; }\n"
      "</style>\n</head>\n<body>\n<h1>Prüfung der Nummernfolge</h1>\n<dl>\n";
  html += "<dt>Erstellt</dt><dd>" + Html(report.made) + " mit trelvo " + Html(report.version) + "</dd>\n";
  if (!Period(report.period).empty()) html += "<dt>Zeitraum</dt><dd>" + Html(Period(report.period)) + "</dd>\n";
  for (const auto& [kind, text] : SourceLines(report)) html += "<dt>" + Html(kind) + "</dt><dd>" + Html(text) + "</dd>\n";
  html += "</dl>\n";
  html += std::string("<p class=\"") + (result.failed() ? "fail" : "ok") + "\"><strong>" + Html(result.Verdict()) +
          "</strong></p>\n";
  html += "<h2>Nummernkreise</h2>\n<table>\n"
          "<colgroup><col style=\"width: 17%\"><col style=\"width: 17%\"><col style=\"width: 23%\">"
          "<col style=\"width: 9%\"><col style=\"width: 9%\"><col style=\"width: 11%\"><col style=\"width: 14%\">"
          "</colgroup>\n<tr><th>Nummernkreis</th><th>Zählerdatei</th><th>Erste und letzte Nummer</th>"
          "<th>Anzahl</th><th>Lücken</th><th>Doppelte</th><th>Benutzer</th></tr>\n";
  for (const auto& series : result.series) {
    std::string users;
    for (const std::string& user : series.users) users += (users.empty() ? "" : ", ") + user;
    html += "<tr><td>" + Html(series.series) + "</td><td>" + Html(series.counter_file) + "</td><td>" +
            Html(series.first_number) + " <span class=\"n\">(" + Html(series.first_date) + ")</span><br>bis " +
            Html(series.last_number) + " <span class=\"n\">(" + Html(series.last_date) + ")</span></td><td class=\"num\">" + std::to_string(series.count) +
            "</td><td class=\"num\">" + std::to_string(series.gaps) + "</td><td class=\"num\">" +
            std::to_string(series.duplicates) + "</td><td>" + Html(users) + "</td></tr>\n";
  }
  html += "</table>\n<h2>Befunde</h2>\n";
  if (result.findings.empty()) html += "<p>Keine.</p>\n";
  html += "<ol>\n";
  for (const Finding& finding : result.findings) {
    html += "<li><strong>" + Html(KindName(finding.kind)) + ":</strong> " + Html(finding.text);
    for (const auto& place : finding.places) {
      const auto found = lines.find(place);
      if (found != lines.end()) html += "<pre>" + Html(result.PlaceName(place)) + ": " + Html(found->second) + "</pre>";
    }
    html += "</li>\n";
  }
  html += "</ol>\n<h2>Ausgegebene Nummern je Tag und Benutzer</h2>\n" + Chart(result) + "</body>\n</html>\n";
  return html;
}

}  // namespace trelvo::cli
