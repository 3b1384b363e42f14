#include "engine/audit/tool_version.h"

// Set by the build from the project's version, for every build alike.
#ifndef TRELVO_VERSION
#error "TRELVO_VERSION is set by the build"
#endif

namespace trelvo::engine::audit {

const char* AuditToolVersion() { return TRELVO_VERSION; }

}  // namespace trelvo::engine::audit
