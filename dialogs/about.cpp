#include "dialogs/about.h"

namespace trelvo::dialogs {

std::string VersionText(const std::optional<VersionInfo>& info) {
  if (!info) return "0.0.0.0";
  if (info->file_version && !info->file_version->empty()) return *info->file_version;
  if (!info->fixed) return "0.0.0.0";
  const auto& [major, minor, release, build] = *info->fixed;
  return std::to_string(major) + "." + std::to_string(minor) + "." + std::to_string(release) + "." +
         std::to_string(build);
}

}  // namespace trelvo::dialogs
