#include "platform/win32/com_module.h"

#include <atomic>

#include "platform/error.h"

namespace trelvo::win32 {
namespace {
HMODULE g_module = nullptr;
std::atomic<long> g_objects{0};
std::atomic<long> g_locks{0};
std::wstring g_error_source;
}  // namespace

void SetModuleHandle(HMODULE module) { g_module = module; }
HMODULE ModuleHandle() { return g_module ? g_module : GetModuleHandleW(nullptr); }

std::wstring ModuleFilePath(HMODULE module) {
  // A path may be longer than MAX_PATH: the buffer grows until it holds it.
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) throw Error("Der Pfad der Programmbibliothek kann nicht ermittelt werden.");
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

std::wstring ModuleName() {
  std::wstring name = ModuleFilePath();
  name.erase(0, name.find_last_of(L"\\/") + 1);
  return name.substr(0, name.find_last_of(L'.'));
}

void SetErrorSource(std::wstring source) { g_error_source = std::move(source); }
std::wstring ErrorSource() { return g_error_source.empty() ? ModuleName() : g_error_source; }

void ObjectCreated() { ++g_objects; }
void ObjectDestroyed() { --g_objects; }
void LockServer(bool lock) { lock ? ++g_locks : --g_locks; }
bool CanUnload() { return g_objects == 0 && g_locks == 0; }

}  // namespace trelvo::win32
