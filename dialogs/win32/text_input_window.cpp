#include "dialogs/win32/text_input_window.h"

#include "dialogs/dialog_texts.h"
#include "resources/dialog_ids.h"

namespace trelvo::dialogs::win32 {

std::optional<std::string> TextInputWindow::Run(HWND owner) {
  ShowModal(owner, IDD_TEXT_INPUT);
  if (!accepted_) return std::nullopt;
  return value_;
}

void TextInputWindow::OnInit() {
  SetWindowTextUtf8(hwnd(), caption_);
  SetText(IDC_INPUT_PROMPT, prompt_);
  SetText(IDC_INPUT_TEXT, value_);
  SetText(IDOK, texts::kOk);
  SetText(IDCANCEL, texts::kCancel);
  SendMessageW(Item(IDC_INPUT_TEXT), EM_SETSEL, 0, -1);
}

void TextInputWindow::OnCommand(int id, int) {
  if (id == IDOK) {
    value_ = Text(IDC_INPUT_TEXT);
    accepted_ = true;
    End(IDOK);
  } else if (id == IDCANCEL) {
    End(IDCANCEL);
  }
}

}  // namespace trelvo::dialogs::win32
