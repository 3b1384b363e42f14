#pragma once
// The usage log "sabulog.csv": one line per issued number and per draw refused
// because the counter file was locked. The system only ever appends to it.
#include <memory>
#include <optional>
#include <string>

#include "platform/environment.h"

namespace trelvo::engine {

inline constexpr char kUsageLogHeader[] = "SABU:$255;DATUM:@;ANWENDUNG:$255;BENUTZER:$255";

// A field in double quotes, inner double quotes doubled, CR and LF as blanks.
std::string QuoteLogField(const std::string& text);
// "2024-03-05 14:07:09" with the regional time separator.
std::string FormatLogTime(const platform::LocalDateTime& when, const std::string& time_separator);
// One record line without its line break (UTF-8).
std::string UsageLogRecord(const std::string& number, const std::string& time, const std::string& application,
                           const std::string& user);

std::string GetUsageLogPath(platform::Environment& env);

// The log at path (GetUsageLogPath) held open for the record of one draw:
// opened (created with its header when absent) before the number is drawn, so
// that a log that cannot take the record refuses before the counter moves,
// and kept open until the record is written, so that it is opened once.
// Meanwhile other workstations may only read it, and wait for it as for the
// counter file's lock; it is let go when the object goes.
class UsageLogForRecord {
 public:
  // Throws the refusal, saying that no number was drawn, when the log does not open.
  UsageLogForRecord(platform::Environment& env, std::string path);
  // The log only if it is there: nullopt for a missing one, which is not
  // created (a draw that may turn out to be a server's creates none).
  static std::optional<UsageLogForRecord> IfThere(platform::Environment& env, std::string path);
  // Appends the record in one write; a failure raises an input/output error
  // with the system's code.
  void Append(const std::string& number, const std::string& application, const platform::LocalDateTime& when);

 private:
  UsageLogForRecord(platform::Environment& env, std::string path, bool create);

  platform::Environment& env_;
  std::string path_;
  std::unique_ptr<platform::AppendingFile> file_;
};

// Appends one record. While another workstation appends, the file system tries
// again for about two seconds (RetryTransient); every failure raises an
// input/output error with the system's code.
void AppendUsageLog(platform::Environment& env, const std::string& number, const std::string& application,
                    const platform::LocalDateTime& when);
// The same to the log at path, named once by the caller.
void AppendUsageLog(platform::Environment& env, const std::string& path, const std::string& number,
                    const std::string& application, const platform::LocalDateTime& when);

}  // namespace trelvo::engine
