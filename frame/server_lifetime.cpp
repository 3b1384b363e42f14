#include "frame/server_lifetime.h"

#include <atomic>

namespace trelvo::frame {
namespace {
HMODULE g_module = nullptr;
std::atomic<long> g_objects{0};
std::atomic<long> g_locks{0};
}  // namespace

void SetModuleHandle(HMODULE module) { g_module = module; }
HMODULE ModuleHandle() { return g_module; }

std::wstring ModuleFilePath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(g_module, path.data(), static_cast<DWORD>(path.size()));
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

void ObjectCreated() { ++g_objects; }
void ObjectDestroyed() { --g_objects; }
void LockServer(bool lock) { lock ? ++g_locks : --g_locks; }
bool CanUnload() { return g_objects == 0 && g_locks == 0; }

}  // namespace trelvo::frame
