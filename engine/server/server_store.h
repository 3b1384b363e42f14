#pragma once
// The store of a range on a server: the range's row, and its usage table,
// whose record a draw inserts in the draw's own transaction.
#include <memory>
#include <string>

#include "engine/number_store.h"
#include "engine/server/server_range.h"

namespace trelvo::engine::server {

// pointer_path: the pointer file, named in messages.
std::unique_ptr<NumberStore> OpenServerStore(platform::Environment& env, ServerPointer pointer,
                                             const std::string& pointer_path);

}  // namespace trelvo::engine::server
