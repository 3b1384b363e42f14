#include "platform/win32/win32_system_services.h"

#include <memory>
#include <shlobj.h>
#include <wrl/client.h>

#include "platform/system_platform.h"
#include "platform/win32/com_module.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_file_system.h"

namespace trelvo::win32 {
namespace {

// An item identifier list, freed through the shell's allocator.
struct ShellFree {
  IMalloc* allocator;
  void operator()(ITEMIDLIST* list) const { allocator->Free(list); }
};

}  // namespace

std::string Win32SystemServices::UserName() {
  wchar_t name[256];
  DWORD size = static_cast<DWORD>(std::size(name));
  if (!GetUserNameW(name, &size)) return "";
  return Narrow(name);
}

std::string Win32SystemServices::ComputerName() {
  wchar_t name[MAX_COMPUTERNAME_LENGTH + 1];
  DWORD size = static_cast<DWORD>(std::size(name));
  if (!GetComputerNameW(name, &size)) return "";
  return Narrow(name);
}

std::string Win32SystemServices::GetSpecialFolderPath(int csidl) {
  Microsoft::WRL::ComPtr<IMalloc> allocator;
  if (FAILED(SHGetMalloc(&allocator))) return "";
  ITEMIDLIST* raw_list = nullptr;
  if (FAILED(SHGetSpecialFolderLocation(nullptr, csidl, &raw_list)) || !raw_list) return "";
  const std::unique_ptr<ITEMIDLIST, ShellFree> list(raw_list, ShellFree{allocator.Get()});
  wchar_t path[MAX_PATH] = {};
  if (!SHGetPathFromIDListW(list.get(), path)) return "";
  return Narrow(path);
}

std::string Win32SystemServices::ModulePath() { return Narrow(ModuleFilePath(module_)); }

platform::LocalDateTime Win32SystemServices::Now() {
  SYSTEMTIME now{};
  GetLocalTime(&now);
  return {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
}

std::string Win32SystemServices::TimeSeparator() {
  wchar_t separator[8] = {};
  if (!GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_STIME, separator, static_cast<int>(std::size(separator)))) return ":";
  return Narrow(separator);
}

void Win32SystemServices::Sleep(std::chrono::milliseconds duration) { ::Sleep(static_cast<DWORD>(duration.count())); }

}  // namespace trelvo::win32

namespace trelvo::platform {

SystemPlatform MakeSystemPlatform(void* module) {
  return {std::make_unique<win32::Win32FileSystem>(),
          std::make_unique<win32::Win32SystemServices>(static_cast<HMODULE>(module))};
}

}  // namespace trelvo::platform
