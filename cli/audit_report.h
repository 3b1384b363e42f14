#pragma once
// The audit's findings for others to read: a table for Excel (CSV, Windows-1252
// with ";" between fields) and one self-contained HTML page for an auditor
// (no outside scripts, fonts or images; it fits an A4 page in portrait and a
// window of 900 pixels), each naming when and by which version it was made
// and every source it vouches for (a log with its size, lines and SHA-256, a
// server range with its records), with the summary per series, each finding
// with the lines it rests on, and a chart of the numbers issued per day and user.
#include <string>

#include "cli/audit_command.h"
#include "engine/audit/sequence_audit.h"

namespace trelvo::cli {

struct AuditReport {
  engine::audit::AuditResult result;
  std::string made;     // "JJJJ-MM-TT HH:MM:SS"
  std::string version;  // the tool's
  engine::audit::AuditPeriod period;
};

// UTF-8 with CR LF; the caller writes it in Windows-1252.
std::string AuditCsv(const AuditReport& report);
std::string AuditHtml(const AuditReport& report, const LogLines& lines);

}  // namespace trelvo::cli
