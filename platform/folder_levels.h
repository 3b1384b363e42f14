#pragma once
// The folders to create, outermost first, for a Windows folder path: every
// level below the root. The root is a drive ("C:\"), or the server and share of
// a network path ("\\server\share\"), which can never be created; a "\\?\"
// prefix belongs to the root as well.
#include <string>
#include <vector>

namespace trelvo::platform {

std::vector<std::string> FolderLevels(const std::string& path);

}  // namespace trelvo::platform
