#pragma once
// The trelvo command-line tool: the counter engine for administrators and batch
// jobs, with the same settings file, lock protocol and usage log as the add-in.
#include <ostream>
#include <string>
#include <vector>

#include "platform/environment.h"

namespace trelvo::cli {

// Exit statuses.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitLocked = 2;
inline constexpr int kExitNotLogged = 3;  // a number was drawn, its log record failed
inline constexpr int kExitUsage = 64;

inline constexpr char kToolVersion[] = "1.0";

// args: the arguments after the program name. Messages go to err; the
// environment's user interface must write to err as well.
int RunTrelvoTool(const std::vector<std::string>& args, platform::Environment& env, std::ostream& out,
                  std::ostream& err);

}  // namespace trelvo::cli
