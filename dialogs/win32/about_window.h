#pragma once
// The About dialog: a band in the active title bar's colours with the
// add-in's icon, name, version and revision, and the maker's notice with the
// link to the maker's page.
#include <string>

#include "dialogs/win32/dialog_window.h"
#include "platform/win32/gdi_objects.h"
#include "platform/win32/pictures.h"

namespace trelvo::dialogs::win32 {

class AboutWindow : public DialogWindow {
 public:
  void Run(HWND owner);

 protected:
  void OnInit() override;
  // The bold heading and title and the underlined link, from the dialog's
  // font at its resolution; the link and the heading's rule fitted to their
  // texts; the icon at the resolution's size.
  void OnLayout() override;
  void OnCommand(int id, int code) override;
  bool OnMessage(UINT message, WPARAM wparam, LPARAM lparam, INT_PTR& result) override;

 private:
  void PaintBand(HDC dc, const RECT& band) const;
  trelvo::win32::UniqueFont bold_, title_, underlined_;
  trelvo::win32::UniqueIcon icon_;  // at the size for the resolution
  bool hot_ = false;
  bool visited_ = false;
};

// The version text of the add-in's own library (not the host's program).
std::string LibraryVersionText();

}  // namespace trelvo::dialogs::win32
