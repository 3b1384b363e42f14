#include "dialogs/win32/range_window.h"

#include "dialogs/dialog_texts.h"
#include "dialogs/range_list_editor.h"
#include "dialogs/win32/control_keys.h"
#include "dialogs/win32/file_dialogs.h"
#include "dialogs/win32/tooltips.h"
#include "resources/dialog_ids.h"

namespace trelvo::dialogs::win32 {

std::optional<std::string> RangeWindow::Run(HWND owner) {
  ShowModal(owner, IDD_RANGE);
  if (!accepted_) return std::nullopt;
  return name_ + "|" + path_;
}

void RangeWindow::OnInit() {
  SetWindowTextUtf8(hwnd(), texts::kRangeCaption);
  SetText(IDC_RANGE_GROUP, texts::kRangeGroup);
  SetText(IDC_RANGE_NAME_LABEL, texts::kRangeNameLabel);
  SetText(IDC_RANGE_FILE_LABEL, texts::kCounterFileLabel);
  SetText(IDOK, texts::kOk);
  SetText(IDCANCEL, texts::kCancel);
  SetText(IDC_RANGE_NAME, name_);
  SetText(IDC_RANGE_FILE, path_);
  ClickOnAltDown(Item(IDC_RANGE_FILE), Item(IDC_RANGE_BROWSE));
  AddTooltips(hwnd(), {{IDC_RANGE_NAME, texts::kRangeNameHint},
                       {IDC_RANGE_FILE, texts::kCounterFileHint},
                       {IDC_RANGE_BROWSE, texts::kOpenCounterFileHint}});
}

void RangeWindow::OnCommand(int id, int code) {
  if (code != BN_CLICKED) return;
  switch (id) {
    case IDC_RANGE_BROWSE: {
      const std::string current = Text(IDC_RANGE_FILE);
      const auto chosen = ShowOpenDialog(
          hwnd(), {texts::kOpenCounterFileTitle, texts::kCounterFileFilter, texts::kCounterFileExtension,
                   current.empty() ? texts::kRangeFileName : current, kCounterFileFlags | OFN_FILEMUSTEXIST});
      if (chosen) SetText(IDC_RANGE_FILE, *chosen);
      return;
    }
    case IDOK:
      name_ = Text(IDC_RANGE_NAME);
      path_ = Text(IDC_RANGE_FILE);
      if (!AcceptRange(env_, name_, path_)) return;  // stays open
      accepted_ = true;
      return End(IDOK);
    case IDCANCEL: return End(IDCANCEL);
    default: return;
  }
}

}  // namespace trelvo::dialogs::win32
