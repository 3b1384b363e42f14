#include "platform/folder_levels.h"

#include <string_view>

namespace trelvo::platform {
namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// The position behind `parts` further names (each with its separator) from at.
size_t SkipNames(std::string_view path, size_t at, int parts) {
  for (int part = 0; part < parts && at < path.size(); ++part) {
    while (at < path.size() && !IsSeparator(path[at])) ++at;
    if (at < path.size()) ++at;
  }
  return at;
}

// Where the first level below the root begins.
size_t RootLength(std::string_view path) {
  if (path.starts_with("\\\\?\\UNC\\")) return SkipNames(path, 8, 2);
  size_t at = 0;
  if (path.starts_with("\\\\?\\") || path.starts_with("\\\\.\\"))
    at = 4;
  else if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1]))
    return SkipNames(path, 2, 2);  // server and share
  if (path.size() >= at + 2 && path[at + 1] == ':') at += 2;
  while (at < path.size() && IsSeparator(path[at])) ++at;
  return at;
}

}  // namespace

bool IsFullWindowsPath(const std::string& path) {
  const auto letter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
  if (path.size() > 2 && letter(path[0]) && path[1] == ':' && IsSeparator(path[2])) return true;
  if (path.size() < 2 || !IsSeparator(path[0]) || !IsSeparator(path[1])) return false;
  // Two separators, a server's name, one separator, a share's name.
  size_t server_end = 2;
  while (server_end < path.size() && !IsSeparator(path[server_end])) ++server_end;
  return server_end > 2 && server_end + 1 < path.size() && !IsSeparator(path[server_end + 1]);
}

std::vector<std::string> FolderLevels(const std::string& path) {
  std::vector<std::string> levels;
  for (size_t start = RootLength(path); start < path.size();) {
    size_t end = start;
    while (end < path.size() && !IsSeparator(path[end])) ++end;
    if (end > start) levels.push_back(path.substr(0, end));
    start = end + 1;
  }
  return levels;
}

}  // namespace trelvo::platform
