#include "engine/number_store.h"

#include "engine/counter_file_store.h"
#include "engine/server/server_store.h"
#include "engine/settings.h"

namespace trelvo::engine {

// The one place that asks what a path holds.
std::unique_ptr<NumberStore> OpenNumberStore(platform::Environment& env, const std::string& path) {
  if (auto pointer = server::ServerPointerIn(LoadCounterFile(env, path), path))
    return server::OpenServerStore(env, std::move(*pointer), path);
  return OpenCounterFileStore(env, path);
}

std::unique_ptr<NumberStore> OpenCurrentNumberStore(platform::Environment& env) {
  return OpenNumberStore(env, UsableCounterFilePath(env));
}

}  // namespace trelvo::engine
