#include "engine/usage_log.h"

#include <cstdio>
#include <string_view>

#include "engine/ini/ini_file.h"
#include "engine/settings.h"
#include "platform/cp1252.h"
#include "platform/error.h"
#include "platform/quoting.h"
#include "platform/user_interface.h"

namespace trelvo::engine {
namespace {

std::string IoErrorMessage(int code, const std::string& path, const std::string& reason) {
  return "E/A-Fehler " + std::to_string(code) + " beim Schreiben der Protokolldatei " + platform::Quoted(path) + ": " +
         reason;
}

std::string Header() { return std::string(kUsageLogHeader) + "\r\n"; }

// The record's line as the log holds it: Windows-1252, with its line break.
std::string RecordLine(platform::Environment& env, const std::string& number, const std::string& application,
                       const platform::LocalDateTime& when) {
  return platform::Utf8ToCp1252(UsageLogRecord(number, FormatLogTime(when, env.system.TimeSeparator()), application,
                                               GetCurrentUserName(env)) +
                                "\r\n");
}

}  // namespace

// A line break inside a field would split the record.
std::string QuoteLogField(const std::string& text) { return platform::Enquoted(platform::OnOneLine(text), '"'); }

std::string FormatLogTime(const platform::LocalDateTime& when, const std::string& time_separator) {
  char date[32];
  std::snprintf(date, sizeof date, "%04d-%02d-%02d %02d", when.year, when.month, when.day, when.hour);
  char minute[8];
  char second[8];
  std::snprintf(minute, sizeof minute, "%02d", when.minute);
  std::snprintf(second, sizeof second, "%02d", when.second);
  return date + time_separator + minute + time_separator + second;
}

std::string UsageLogRecord(const std::string& number, const std::string& time, const std::string& application,
                           const std::string& user) {
  return QuoteLogField(number) + "; " + time + "; " + QuoteLogField(application) + "; " + QuoteLogField(user) + "; ";
}

std::string GetUsageLogPath(platform::Environment& env) { return UsableLogFolder(env) + "sabulog.csv"; }

UsageLogForRecord::UsageLogForRecord(platform::Environment& env, std::string path)
    : UsageLogForRecord(env, std::move(path), true) {}

std::optional<UsageLogForRecord> UsageLogForRecord::IfThere(platform::Environment& env, std::string path) {
  UsageLogForRecord log(env, std::move(path), false);
  if (!log.file_) return std::nullopt;
  return log;
}

UsageLogForRecord::UsageLogForRecord(platform::Environment& env, std::string path, bool create)
    : env_(env), path_(std::move(path)) {
  try {
    // Held from before a draw until its record: another workstation's hold is
    // waited for as the counter file's lock is.
    file_ = env.files.OpenAppending(path_, Header(), create, kFileLockWait);
  } catch (const platform::FileError& error) {
    throw Error("In die Protokolldatei " + platform::Quoted(path_) + " kann nicht geschrieben werden: " + error.what() +
                "\r\nEs wurde keine Nummer vergeben.");
  }
}

void UsageLogForRecord::Append(const std::string& number, const std::string& application,
                               const platform::LocalDateTime& when) {
  const std::string line = RecordLine(env_, number, application, when);
  try {
    file_->Append(line);
  } catch (const platform::FileError& error) {
    throw Error(IoErrorMessage(error.code(), path_, error.what()));
  }
}

void AppendUsageLog(platform::Environment& env, const std::string& number, const std::string& application,
                    const platform::LocalDateTime& when) {
  AppendUsageLog(env, GetUsageLogPath(env), number, application, when);
}

void AppendUsageLog(platform::Environment& env, const std::string& path, const std::string& number,
                    const std::string& application, const platform::LocalDateTime& when) {
  const std::string line = RecordLine(env, number, application, when);
  try {
    env.files.AppendShared(path, Header(), line);
  } catch (const platform::FileError& error) {
    throw Error(IoErrorMessage(error.code(), path, error.what()));
  }
}

}  // namespace trelvo::engine
