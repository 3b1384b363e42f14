#pragma once
// The per-user folder and the settings file "trelvo.ini" in it: which counter
// file this workstation draws from, where the usage log lies, and whether the
// user works as administrator. Every call reads the settings file afresh.
#include <string>

#include "platform/environment.h"

namespace trelvo::engine {

// Appends a backslash unless the text already ends in one ("" becomes "\").
std::string WithTrailingSeparator(std::string path);

// The counter file and the log folder must be full paths (FileSystem::
// IsFullPath): a relative path would name another file in each folder a host
// runs in, and split a number range in two. The refusal of one that is not;
// what: "Die Zählerdatei" or "Der Ordner der Logdatei".
inline constexpr char kCounterFileWhat[] = "Die Zählerdatei";
inline constexpr char kLogFolderWhat[] = "Der Ordner der Logdatei";
std::string NotAFullPathMessage(const std::string& what, const std::string& path);

std::string GetSettingsFolder(platform::Environment& env);
std::string GetSettingsFilePath(platform::Environment& env);
// The current counter file and the log folder as the settings file holds them
// (with their defaults), for showing them.
std::string GetCounterFilePath(platform::Environment& env);
std::string GetLogFolder(platform::Environment& env);
// The same for drawing from and logging to: a stored path that is not full is
// refused with an error that names the setting, never resolved against the
// working folder.
std::string UsableCounterFilePath(platform::Environment& env);
std::string UsableLogFolder(platform::Environment& env);
// Both refuse a path that is not full (the error of NotAFullPathMessage) and
// store nothing then.
void SetCounterFilePath(platform::Environment& env, const std::string& path);
// Records the counter file and the log folder in one write; the admin flag is
// written back as it was read.
void SetPaths(platform::Environment& env, const std::string& counter_file, const std::string& log_folder);
bool IsAdminMode(platform::Environment& env);
std::string GetCurrentUserName(platform::Environment& env);
std::string GetModulePath(platform::Environment& env);

// Creates the per-user folder with every missing level (the add-in module and
// the command-line tool do this at their start; the engine itself never does).
void CreateSettingsFolder(platform::Environment& env);

}  // namespace trelvo::engine
