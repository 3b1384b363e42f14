#pragma once
// The audit's findings for others to read: a table for Excel (CSV, Windows-1252
// with ";" between fields) and one self-contained HTML page for an auditor
// (no outside scripts, fonts or images; it prints on A4), with the summary per
// series, each finding with the log lines it rests on, and a chart of the
// numbers issued per day and user.
#include <string>

#include "cli/audit_command.h"
#include "engine/audit/sequence_audit.h"

namespace trelvo::cli {

// UTF-8 with CR LF; the caller writes it in Windows-1252.
std::string AuditCsv(const engine::audit::AuditResult& result);
std::string AuditHtml(const engine::audit::AuditResult& result, const std::string& log_path, const LogLines& lines);

}  // namespace trelvo::cli
