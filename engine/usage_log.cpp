#include "engine/usage_log.h"

#include <cstdio>
#include <string_view>

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

void CheckUsageLogWritable(platform::Environment& env, const std::string& path) {
  try {
    env.files.AppendShared(path, std::string(kUsageLogHeader) + "\r\n", "");
  } catch (const platform::FileError& error) {
    throw Error("In die Protokolldatei " + platform::Quoted(path) + " kann nicht geschrieben werden: " + error.what() +
                "\r\nEs wurde keine Nummer vergeben.");
  }
}

void AppendUsageLog(platform::Environment& env, const std::string& number, const std::string& application,
                    const platform::LocalDateTime& when) {
  AppendUsageLog(env, GetUsageLogPath(env), number, application, when);
}

void AppendUsageLog(platform::Environment& env, const std::string& path, const std::string& number,
                    const std::string& application, const platform::LocalDateTime& when) {
  const std::string user = GetCurrentUserName(env);
  const std::string line = platform::Utf8ToCp1252(
      UsageLogRecord(number, FormatLogTime(when, env.system.TimeSeparator()), application, user) + "\r\n");
  const std::string header = std::string(kUsageLogHeader) + "\r\n";

  try {
    env.files.AppendShared(path, header, line);
  } catch (const platform::FileError& error) {
    throw Error(IoErrorMessage(error.code(), path, error.what()));
  }
}

}  // namespace trelvo::engine
