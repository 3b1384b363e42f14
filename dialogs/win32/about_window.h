#pragma once
// The About dialog: a band in the active title bar's colours with the
// add-in's icon, name, version and revision, and the maker's notice with the
// link to the maker's page.
#include "dialogs/win32/dialog_window.h"
#include <memory>
#include <string>
#include <type_traits>

namespace trelvo::dialogs::win32 {

class AboutWindow : public DialogWindow {
 public:
  void Run(HWND owner);

 protected:
  void OnInit() override;
  void OnCommand(int id, int code) override;
  bool OnMessage(UINT message, WPARAM wparam, LPARAM lparam, INT_PTR& result) override;

 private:
  void PaintBand(HDC dc) const;
  struct FontDeleter {
    void operator()(HFONT font) const { DeleteObject(font); }
  };
  std::unique_ptr<std::remove_pointer_t<HFONT>, FontDeleter> bold_, title_, underlined_;
  bool hot_ = false;
  bool visited_ = false;
};

// The version text of the add-in's own library (not the host's program).
std::string LibraryVersionText();

}  // namespace trelvo::dialogs::win32
