#pragma once
// "trelvo audit": the issued numbers checked against the counter files, from
// the usage log and from the records of server ranges, with a German summary
// per series and every finding on standard output.
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

// 0: every record placed and every value of each series with exactly one
// record; 1: a finding stands against it; 2: a file cannot be read; 64: a
// period that ends before it begins.
int RunAudit(const AuditCall& call, platform::Environment& env, std::ostream& out);

// The text of the lines and records the findings rest on, as the report quotes them.
using LogLines = std::map<engine::audit::Place, std::string>;

// The audit's result itself (the stress runs check it); throws when a file
// cannot be read. lines: when given, it receives the lines the findings rest on.
engine::audit::AuditResult AuditUsageLog(const AuditCall& call, platform::Environment& env, LogLines* lines = nullptr);

}  // namespace trelvo::cli
