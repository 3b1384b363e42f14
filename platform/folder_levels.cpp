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
