#include "tests/support/win32_process.h"

#include "platform/win32/unique_handle.h"

namespace trelvo::testing {

int RunProcess(const std::wstring& command_line, DWORD timeout_ms) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  std::wstring mutable_line = command_line;
  if (!CreateProcessW(nullptr, mutable_line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
    return -1;
  const win32::UniqueHandle thread(process.hThread);
  const win32::UniqueHandle child(process.hProcess);
  DWORD exit_code = static_cast<DWORD>(-1);
  if (WaitForSingleObject(child.get(), timeout_ms) == WAIT_OBJECT_0)
    GetExitCodeProcess(child.get(), &exit_code);
  else
    TerminateProcess(child.get(), 1);
  return static_cast<int>(exit_code);
}

std::wstring ProgramFolder() {
  wchar_t path[MAX_PATH];
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path, length);
  return folder.substr(0, folder.find_last_of(L'\\') + 1);
}

}  // namespace trelvo::testing
