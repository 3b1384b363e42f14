#include "engine/range_list.h"

#include "engine/ini/ini_file.h"
#include "engine/messages.h"
#include "engine/settings.h"
#include "platform/cp1252.h"
#include "platform/error.h"
#include "platform/user_interface.h"

namespace trelvo::engine {

std::string GetRangeName(const std::string& line) {
  const size_t bar = line.find('|');
  return bar == std::string::npos ? std::string() : line.substr(0, bar);
}

std::string GetRangePath(const std::string& line) {
  const size_t bar = line.find('|');
  return bar == std::string::npos ? line : line.substr(bar + 1);
}

std::string GetRangeListPath(platform::Environment& env) { return GetSettingsFolder(env) + "nummernkreise.txt"; }

void CreateRangeList(platform::Environment& env) {
  const std::string path = GetRangeListPath(env);
  if (!env.files.FileExists(path)) env.files.AppendShared(path, "", "");
}

std::vector<std::string> ReadRangeList(platform::Environment& env) {
  const std::string path = GetRangeListPath(env);
  std::optional<std::string> bytes;
  std::string reason = "Das System kann die angegebene Datei nicht finden.";
  try {
    bytes = env.files.ReadFile(path);
  } catch (const platform::FileError& error) {
    reason = error.what();
  }
  if (!bytes) throw Error("Datei " + platform::Quoted(path) + " kann nicht geöffnet werden. " + reason);

  std::vector<std::string> lines;
  const std::string text = platform::Cp1252ToUtf8(*bytes);
  size_t start = 0;
  while (start < text.size()) {
    const size_t stop = text.find_first_of("\r\n", start);
    if (stop == std::string::npos) {
      lines.push_back(text.substr(start));
      break;
    }
    lines.push_back(text.substr(start, stop - start));
    start = stop + (text.compare(stop, 2, "\r\n") == 0 ? 2 : 1);
  }
  return lines;
}

void WriteRangeList(platform::Environment& env, const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  const std::string path = GetRangeListPath(env);
  try {
    const auto file = env.files.OpenLocked(path, platform::LockMode::Exclusive, true, kFileLockWait);
    file->ReplaceContent(platform::Utf8ToCp1252(text), file->ReadAll());
  } catch (const platform::FileError& error) {
    throw Error(CannotWriteMessage(path) + " " + error.what());
  }
}

std::string FindRangePath(platform::Environment& env, const std::string& name) {
  for (const std::string& line : ReadRangeList(env))
    if (GetRangeName(line) == name) return GetRangePath(line);
  return "";
}

}  // namespace trelvo::engine
