#pragma once
// The per-user folder and the settings file "trelvo.ini" in it: which counter
// file this workstation draws from, where the usage log lies, and whether the
// user works as administrator. Every call reads the settings file afresh.
#include <string>

#include "platform/environment.h"

namespace trelvo::engine {

// Appends a backslash unless the text already ends in one ("" becomes "\").
std::string WithTrailingSeparator(std::string path);

std::string GetSettingsFolder(platform::Environment& env);
std::string GetSettingsFilePath(platform::Environment& env);
std::string GetCounterFilePath(platform::Environment& env);
void SetCounterFilePath(platform::Environment& env, const std::string& path);
// Records the counter file and the log folder in one write; the admin flag is
// written back as it was read.
void SetPaths(platform::Environment& env, const std::string& counter_file, const std::string& log_folder);
std::string GetLogFolder(platform::Environment& env);
bool IsAdminMode(platform::Environment& env);
std::string GetCurrentUserName(platform::Environment& env);
std::string GetModulePath(platform::Environment& env);

// Creates the per-user folder with every missing level (the add-in module and
// the command-line tool do this at their start; the engine itself never does).
void CreateSettingsFolder(platform::Environment& env);

}  // namespace trelvo::engine
