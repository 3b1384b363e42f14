#pragma once
// A one-line text input with a prompt, as the customer name is asked for.
#include <optional>
#include <string>

#include "dialogs/win32/dialog_window.h"

namespace trelvo::dialogs::win32 {

class TextInputWindow : public DialogWindow {
 public:
  TextInputWindow(std::string caption, std::string prompt, std::string value)
      : caption_(std::move(caption)), prompt_(std::move(prompt)), value_(std::move(value)) {}
  // The text on OK (empty when the field was emptied), nullopt on Cancel.
  std::optional<std::string> Run(HWND owner);

 protected:
  void OnInit() override;
  void OnCommand(int id, int code) override;

 private:
  std::string caption_, prompt_, value_;
  bool accepted_ = false;
};

}  // namespace trelvo::dialogs::win32
