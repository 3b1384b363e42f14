#pragma once
// The range list file "nummernkreise.txt": named number ranges, one per line,
// "name|path of its counter file".
#include <string>
#include <vector>

#include "platform/environment.h"

namespace trelvo::engine {

// The selectors' first entry: the counter file the settings file names now.
inline constexpr char kDefaultRangeName[] = "(Standard Zähler)";

std::string GetRangeName(const std::string& line);
std::string GetRangePath(const std::string& line);

std::string GetRangeListPath(platform::Environment& env);
// Creates the file empty when it is missing.
void CreateRangeList(platform::Environment& env);
// Every line of the file (CR LF, CR or LF end a line); fails when it is missing.
std::vector<std::string> ReadRangeList(platform::Environment& env);
// Replaces the file's content by these lines, each ended by CR LF.
void WriteRangeList(platform::Environment& env, const std::vector<std::string>& lines);
// The path of the first entry with exactly this name, or "".
std::string FindRangePath(platform::Environment& env, const std::string& name);

}  // namespace trelvo::engine
