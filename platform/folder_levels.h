#pragma once
// The folders to create, outermost first, for a Windows folder path: every
// level below the root. The root is a drive ("C:\"), or the server and share of
// a network path ("\\server\share\"), which can never be created; a "\\?\"
// prefix belongs to the root as well.
#include <string>
#include <vector>

namespace trelvo::platform {

std::vector<std::string> FolderLevels(const std::string& path);

// Whether a Windows path names the same file from every working folder: it
// begins with a drive and a separator ("C:\..."), or with a server and a
// share ("\\server\share..."; "\\?\" paths are such too). "rel.ini",
// "C:rel.ini" and "\rel.ini" depend on the working folder or drive.
bool IsFullWindowsPath(const std::string& path);

}  // namespace trelvo::platform
