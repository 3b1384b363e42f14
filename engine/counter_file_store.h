#pragma once
// The store of a counter file: the range in an INI file on a share, changed
// under the operating-system lock, its records appended to the usage log.
#include <memory>
#include <string>

#include "engine/number_store.h"

namespace trelvo::engine {

std::unique_ptr<NumberStore> OpenCounterFileStore(platform::Environment& env, const std::string& path);

// The file's content as it is now (a missing file reads as empty). A file held
// by another workstation beyond the wait is told in its error box (Aborted).
IniDocument LoadCounterFile(platform::Environment& env, const std::string& path);

}  // namespace trelvo::engine
