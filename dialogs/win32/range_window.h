#pragma once
// The range edit dialog: a name and a counter file, chosen or typed.
#include <optional>
#include <string>

#include "dialogs/win32/dialog_window.h"
#include "platform/environment.h"

namespace trelvo::dialogs::win32 {

class RangeWindow : public DialogWindow {
 public:
  RangeWindow(platform::Environment& env, std::string name, std::string path)
      : env_(env), name_(std::move(name)), path_(std::move(path)) {}
  // "name|path" on OK, nullopt on Cancel.
  std::optional<std::string> Run(HWND owner);

 protected:
  void OnInit() override;
  void OnCommand(int id, int code) override;

 private:
  platform::Environment& env_;
  std::string name_, path_;
  bool accepted_ = false;
};

}  // namespace trelvo::dialogs::win32
