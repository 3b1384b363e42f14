#pragma once
// Test programs that start helper processes: start, wait, kill; and a fresh
// temporary folder. Paths are native to the platform.
#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace trelvo::testing {

class ChildProcess {
 public:
  virtual ~ChildProcess() = default;  // kills a child that still runs
  // The exit status, waiting for the end.
  virtual int Wait() = 0;
  // The exit status, or nullopt when the child still runs after limit.
  virtual std::optional<int> WaitFor(std::chrono::milliseconds limit) = 0;
  // Ends the child at once, as a crash would (SIGKILL, TerminateProcess).
  virtual void Kill() = 0;
};

std::unique_ptr<ChildProcess> StartChild(const std::string& program, const std::vector<std::string>& args);

// The running program's folder, ending in the platform's separator.
std::string ProgramFolder();
// A program that lies next to the running program (".exe" added on Windows).
std::string SiblingProgram(const std::string& name);

// "\\" on Windows, "/" elsewhere.
std::string PathSeparator();

// A new empty folder, ending in the platform's separator.
std::string MakeTempFolder();

}  // namespace trelvo::testing
