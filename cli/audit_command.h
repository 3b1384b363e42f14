#pragma once
// "trelvo audit": the usage log checked against the counter files, with a
// German summary per series and every finding on standard output.
#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "engine/audit/sequence_audit.h"
#include "platform/environment.h"

namespace trelvo::cli {

struct AuditCall {
  std::optional<std::string> log;          // default: the user's log folder's sabulog.csv
  std::vector<std::string> counter_files;  // default: the range list's and the current one
  std::string from, to;                    // "JJJJ-MM-TT", empty: open
  std::optional<std::string> html, csv;    // the reports to write as well
};

// 0: no duplicate and no unexplained gap; 1: there is one; 2: a file cannot be read.
int RunAudit(const AuditCall& call, platform::Environment& env, std::ostream& out);

// The log's lines by number (UTF-8), as the report quotes them.
using LogLines = std::map<size_t, std::string>;

// The audit's result itself (the stress runs check it); throws when a file
// cannot be read. lines: when given, it receives the lines the findings rest
// on; source_name: the log's path, or the server ranges whose records stand
// in for it when the counter files point at a server.
engine::audit::AuditResult AuditUsageLog(const AuditCall& call, platform::Environment& env, LogLines* lines = nullptr,
                                         std::string* source_name = nullptr);

}  // namespace trelvo::cli
