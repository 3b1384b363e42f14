#include "tests/support/child_process.h"

#include <stdexcept>
#include <windows.h>

#include "platform/win32/unique_handle.h"
#include "platform/win32/wide_text.h"

namespace trelvo::testing {
namespace {

using win32::UniqueHandle;

class Win32Child : public ChildProcess {
 public:
  explicit Win32Child(UniqueHandle process) : process_(std::move(process)) {}
  ~Win32Child() override {
    if (!finished_) {
      TerminateProcess(process_.get(), 1);
      WaitForSingleObject(process_.get(), INFINITE);
    }
  }
  int Wait() override { return *WaitUpTo(INFINITE); }
  std::optional<int> WaitFor(std::chrono::milliseconds limit) override {
    return WaitUpTo(static_cast<DWORD>(limit.count()));
  }
  void Kill() override { TerminateProcess(process_.get(), 137); }

 private:
  std::optional<int> WaitUpTo(DWORD milliseconds) {
    if (WaitForSingleObject(process_.get(), milliseconds) != WAIT_OBJECT_0) return std::nullopt;
    finished_ = true;
    DWORD code = 0;
    GetExitCodeProcess(process_.get(), &code);
    return static_cast<int>(code);
  }

  UniqueHandle process_;
  bool finished_ = false;
};

std::wstring QuoteArgument(const std::string& arg) { return L"\"" + win32::Widen(arg) + L"\""; }

}  // namespace

std::unique_ptr<ChildProcess> StartChild(const std::string& program, const std::vector<std::string>& args) {
  std::wstring command_line = QuoteArgument(program);
  for (const auto& arg : args) command_line += L" " + QuoteArgument(arg);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, command_line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
    throw std::runtime_error("CreateProcess failed");
  const UniqueHandle thread(process.hThread);
  return std::make_unique<Win32Child>(UniqueHandle(process.hProcess));
}

std::string ProgramFolder() {
  wchar_t path[MAX_PATH];
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  const std::string self = win32::Narrow(std::wstring(path, length));
  return self.substr(0, self.find_last_of('\\') + 1);
}

std::string SiblingProgram(const std::string& name) { return ProgramFolder() + name + ".exe"; }

std::string PathSeparator() { return "\\"; }

std::string MakeTempFolder() {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  for (unsigned attempt = GetTickCount();; ++attempt) {
    const std::wstring folder = std::wstring(temp) + L"trelvo-test-" + std::to_wstring(attempt);
    if (CreateDirectoryW(folder.c_str(), nullptr)) return win32::Narrow(folder) + "\\";
    if (GetLastError() != ERROR_ALREADY_EXISTS) throw std::runtime_error("CreateDirectory failed");
  }
}

}  // namespace trelvo::testing
