#pragma once
// The system's file dialogs and folder browser, with titles, filters and
// flags as the dialogs ask for them.
#include <optional>
#include <string>
#include <windows.h>
#include <commdlg.h>

namespace trelvo::dialogs::win32 {

struct FileDialogSettings {
  std::string title;
  std::string filter;     // "Beschreibung|*.ini", pairs joined by "|"
  std::string extension;  // without the dot
  std::string file;       // the initial file or path
  DWORD flags;            // OFN_ flags besides OFN_EXPLORER
};

// The path chosen, or nullopt when the user cancelled.
std::optional<std::string> ShowOpenDialog(HWND owner, const FileDialogSettings& settings);
std::optional<std::string> ShowSaveDialog(HWND owner, const FileDialogSettings& settings);
// A folder under the desktop, or nullopt.
std::optional<std::string> BrowseForFolder(HWND owner, const std::string& title);

// The counter-file dialogs' flags: the folder must exist, no read-only check
// box or files, resizable, not added to the recent documents.
inline constexpr DWORD kCounterFileFlags =
    OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOREADONLYRETURN | OFN_ENABLESIZING | OFN_DONTADDTORECENT;

}  // namespace trelvo::dialogs::win32
