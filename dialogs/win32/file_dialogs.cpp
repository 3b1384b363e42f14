#include "dialogs/win32/file_dialogs.h"

#include <commdlg.h>
#include <shlobj.h>
#include <memory>
#include <vector>

#include "dialogs/win32/dialog_window.h"
#include "platform/win32/wide_text.h"

namespace trelvo::dialogs::win32 {
namespace {

using FileDialogFunction = BOOL(WINAPI*)(OPENFILENAMEW*);

std::optional<std::string> Show(HWND owner, const FileDialogSettings& settings, FileDialogFunction show) {
  std::wstring filter = Widen(settings.filter) + L"||";
  for (wchar_t& character : filter)
    if (character == L'|') character = L'\0';
  std::vector<wchar_t> file(32768, L'\0');
  const std::wstring initial = Widen(settings.file);
  initial.copy(file.data(), file.size() - 1);
  const std::wstring title = Widen(settings.title);
  const std::wstring extension = Widen(settings.extension);
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner;
  dialog.lpstrFilter = filter.c_str();
  dialog.lpstrFile = file.data();
  dialog.nMaxFile = static_cast<DWORD>(file.size());
  dialog.lpstrTitle = title.c_str();
  dialog.lpstrDefExt = extension.c_str();
  dialog.Flags = settings.flags | OFN_EXPLORER;
  if (!show(&dialog)) return std::nullopt;
  return trelvo::win32::Narrow(file.data());
}

// Releases a shell item list.
struct ItemListDeleter {
  void operator()(LPITEMIDLIST list) const { CoTaskMemFree(list); }
};

}  // namespace

std::optional<std::string> ShowOpenDialog(HWND owner, const FileDialogSettings& settings) {
  return Show(owner, settings, GetOpenFileNameW);
}

std::optional<std::string> ShowSaveDialog(HWND owner, const FileDialogSettings& settings) {
  return Show(owner, settings, GetSaveFileNameW);
}

std::optional<std::string> BrowseForFolder(HWND owner, const std::string& title) {
  const std::wstring text = Widen(title);
  BROWSEINFOW browse{};
  browse.hwndOwner = owner;  // pidlRoot stays empty: the desktop
  browse.lpszTitle = text.c_str();
  browse.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
  const std::unique_ptr<ITEMIDLIST, ItemListDeleter> chosen(SHBrowseForFolderW(&browse));
  wchar_t path[MAX_PATH] = {};
  if (!chosen || !SHGetPathFromIDListW(chosen.get(), path)) return std::nullopt;
  return trelvo::win32::Narrow(path);
}

}  // namespace trelvo::dialogs::win32
