#pragma once
// The About dialog's version text, from the version information of the
// add-in's own library: the string "FileVersion" of its first translation,
// else the four numbers of the fixed file version, else "0.0.0.0".
#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace trelvo::dialogs {

struct VersionInfo {
  std::optional<std::string> file_version;       // the string table's "FileVersion"
  std::optional<std::array<uint16_t, 4>> fixed;  // major, minor, release, build
};

// info: nullopt when the library has no version information.
std::string VersionText(const std::optional<VersionInfo>& info);

}  // namespace trelvo::dialogs
