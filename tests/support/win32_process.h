#pragma once
// Helpers for tests that run under Wine: start a program and wait for its exit
// code, and find files next to the test program.
#include <string>
#include <windows.h>

namespace trelvo::testing {

// Runs a command line to its end; returns its exit code (or -1 if it cannot start).
int RunProcess(const std::wstring& command_line, DWORD timeout_ms = 60000);

// Folder of the running test program, ending in a backslash.
std::wstring ProgramFolder();

}  // namespace trelvo::testing
