#pragma once
// One line of the usage log as the audit reads it: a record
// ("number"; date time; "application"; "user"; ) or the reason it is none.
// A record of a server's usage table is the same record with its counter value.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace trelvo::engine::audit {

struct LogRecord {
  std::string number;
  std::string date;  // "2026-03-05"
  std::string time;  // "14:07:09", with the separator the writer's region used
  std::string application;
  std::string user;
  std::optional<int64_t> counter;  // where the store knows it (a server's record)
};

struct ParsedLine {
  std::optional<LogRecord> record;
  std::string problem;  // why the line is no record (empty for a record)
};

// A line of the log without its line break, already UTF-8. complete: the line
// ended in a line break (a last line without one was cut off while written).
ParsedLine ParseLogLine(std::string_view line, bool complete);

}  // namespace trelvo::engine::audit
