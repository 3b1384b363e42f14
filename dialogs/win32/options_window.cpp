#include "dialogs/win32/options_window.h"

#include <commctrl.h>
#include <uxtheme.h>

#include "dialogs/dialog_texts.h"
#include "dialogs/win32/control_keys.h"
#include "dialogs/win32/file_dialogs.h"
#include "dialogs/win32/range_window.h"
#include "dialogs/win32/tooltips.h"
#include "platform/win32/pictures.h"
#include "resources/dialog_ids.h"
#include "resources/image_sizes.h"

namespace trelvo::dialogs::win32 {
namespace {

constexpr int kCounterPage = 0, kPathsPage = 1, kRangesPage = 2;
constexpr int kMaxFieldValue = 999999999;

// The controls of each page: a range of ids.
constexpr std::pair<int, int> kPageIds[] = {{IDC_TEXT_DATE_GROUP, IDC_COUNTER_TAB_LAST},
                                            {IDC_FILES_GROUP, IDC_PATHS_TAB_LAST},
                                            {IDC_RANGES_GROUP, IDC_RANGES_TAB_LAST}};
constexpr const char* kPageNames[] = {texts::kCounterTab, texts::kPathsTab, texts::kRangesTab};

const std::pair<int, const char*> kTexts[] = {
    {IDC_TEXT_DATE_GROUP, texts::kTextAndDateGroup},
    {IDC_TEXT_BEFORE_LABEL, texts::kTextBeforeLabel},
    {IDC_DATE_LABEL, texts::kDateLabel},
    {IDC_SEPARATOR_LABEL, texts::kSeparatorLabel},
    {IDC_TEXT_AFTER_LABEL, texts::kTextAfterLabel},
    {IDC_TEXT_COUNTER_LABEL, texts::kTextBehindCounterLabel},
    {IDC_COUNTER_GROUP, texts::kCounterGroup},
    {IDC_COUNTER_LABEL, texts::kCounterLabel},
    {IDC_DIGITS_LABEL, texts::kDigitsLabel},
    {IDC_INCREMENT_LABEL, texts::kIncrementLabel},
    {IDC_LEADING, texts::kLeadingLabel},
    {IDC_RESTART, texts::kRestartLabel},
    {IDC_PREVIEW_GROUP, texts::kPreviewGroup},
    {IDC_FILES_GROUP, texts::kFilesGroup},
    {IDC_COUNTER_FILE_LABEL, texts::kCounterFileLabel},
    {IDC_LOG_FOLDER_LABEL, texts::kLogFolderLabel},
    {IDC_PREVIEW2_GROUP, texts::kPreviewGroup},
    {IDC_RANGES_GROUP, texts::kRangesGroup},
    {IDC_RANGES_LABEL, texts::kRangesLabel},
    {IDC_OPTIONS_OK, texts::kOk},
    {IDCANCEL, texts::kCancel},
    {IDC_PREVIEW_BUTTON, texts::kPreviewButton},
};

const Hints kHints = {
    {IDC_TEXT_BEFORE, texts::kTextBeforeHint},
    {IDC_DATE, texts::kDateHint},
    {IDC_SEPARATOR, texts::kSeparatorHint},
    {IDC_TEXT_AFTER, texts::kTextAfterHint},
    {IDC_TEXT_COUNTER, texts::kTextCounterHint},
    {IDC_COUNTER, texts::kCounterHint},
    {IDC_DIGITS, texts::kDigitsHint},
    {IDC_INCREMENT, texts::kIncrementHint},
    {IDC_LEADING, texts::kLeadingHint},
    {IDC_RESTART, texts::kRestartHint},
    {IDC_COUNTER_FILE, texts::kCounterFileHint},
    {IDC_OPEN_COUNTER_FILE, texts::kOpenCounterFileHint},
    {IDC_NEW_COUNTER_FILE, texts::kNewCounterFileHint},
    {IDC_DESCRIPTION, texts::kDescriptionHint},
    {IDC_LOG_FOLDER, texts::kLogFolderHint},
    {IDC_BROWSE_LOG_FOLDER, texts::kBrowseLogFolderHint},
    {IDC_RANGES, texts::kRangesHint},
    {IDC_ADD_RANGE, texts::kAddRangeHint},
    {IDC_REMOVE_RANGE, texts::kRemoveRangeHint},
    {IDC_EDIT_RANGE, texts::kEditRangeHint},
    {IDC_RANGE_UP, texts::kRangeUpHint},
    {IDC_RANGE_DOWN, texts::kRangeDownHint},
};

const std::pair<int, int> kRangeButtonFaces[] = {{IDC_ADD_RANGE, IDB_RANGE_ADD},
                                                 {IDC_REMOVE_RANGE, IDB_RANGE_REMOVE},
                                                 {IDC_EDIT_RANGE, IDB_RANGE_EDIT},
                                                 {IDC_RANGE_UP, IDB_RANGE_UP},
                                                 {IDC_RANGE_DOWN, IDB_RANGE_DOWN}};

// "&" in a file name stands for itself in a label.
std::string LabelText(const std::string& text) {
  std::string label;
  for (char c : text) label += c == '&' ? std::string("&&") : std::string(1, c);
  return label;
}

int Selection(HWND box) { return static_cast<int>(SendMessageW(box, CB_GETCURSEL, 0, 0)); }

}  // namespace

OptionsWindow::OptionsWindow(platform::Environment& env) : env_(env), dialog_(env, *this) {
  range_keys_ = [this](UINT key) {
    try {
      return RangeKeyPressed(key);
    } catch (const std::exception& error) {
      Report(*this, &error);
      return true;
    }
  };
}

OptionsWindow::~OptionsWindow() = default;

void OptionsWindow::Run(HWND owner) { ShowModal(owner, IDD_OPTIONS); }

template <class Step>
void OptionsWindow::Quietly(Step&& step) {
  const bool was_quiet = quiet_;
  quiet_ = true;
  struct Restore {
    bool& flag;
    bool value;
    ~Restore() { flag = value; }
  } restore{quiet_, was_quiet};
  step();
}

void OptionsWindow::OnInit() {
  // The tabs' controls stand on the dialog itself: its background becomes the
  // tab page's, as on a property sheet, so that labels match the page.
  EnableThemeDialogTexture(hwnd(), ETDT_ENABLETAB);
  SetWindowTextUtf8(hwnd(), texts::kOptionsCaption);
  for (const auto& [id, text] : kTexts) SetText(id, text);
  FillComboBox(Item(IDC_DATE), texts::kDateItems);
  FillComboBox(Item(IDC_SEPARATOR), texts::kSeparatorItems);
  FillComboBox(Item(IDC_DIGITS), texts::kDigitItems);
  SendMessageW(Item(IDC_COUNTER), EM_LIMITTEXT, 9, 0);
  SendMessageW(Item(IDC_INCREMENT), EM_LIMITTEXT, 9, 0);
  SendMessageW(Item(IDC_COUNTER_SPIN), UDM_SETRANGE32, 0, kMaxFieldValue);
  SendMessageW(Item(IDC_INCREMENT_SPIN), UDM_SETRANGE32, 1, kMaxFieldValue);
  AcceptDigitsAndMinus(Item(IDC_COUNTER));
  AcceptDigitsAndMinus(Item(IDC_INCREMENT));
  ClickOnAltDown(Item(IDC_COUNTER_FILE), Item(IDC_OPEN_COUNTER_FILE));
  HandleListKeys(Item(IDC_RANGES), &range_keys_);
  AddTooltips(hwnd(), kHints);
  Quietly([&] {
    if (!dialog_.Open()) End(IDCANCEL);
  });
}

// The range list's buttons with their faces drawn for the resolution's size
// (16 pixels at 100 %); the faces of the size before go once replaced.
void OptionsWindow::OnLayout() {
  std::vector<trelvo::win32::UniqueBitmap> faces;
  const int size = resources::ScaledImage(resources::kSmallImage, Dpi());
  for (const auto& [id, image] : kRangeButtonFaces) {
    faces.push_back(trelvo::win32::ImageOnButtonFace(image, size));
    SendMessageW(Item(id), BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(faces.back().get()));
  }
  button_faces_ = std::move(faces);
}

void OptionsWindow::ShowMode(bool admin) {
  admin_ = admin;
  pages_ = admin ? std::vector<int>{kCounterPage, kPathsPage, kRangesPage} : std::vector<int>{kPathsPage, kRangesPage};
  HWND tabs = Item(IDC_TABS);
  TabCtrl_DeleteAllItems(tabs);
  for (size_t i = 0; i < pages_.size(); ++i) {
    std::wstring name = Widen(kPageNames[pages_[i]]);
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = name.data();
    SendMessageW(tabs, TCM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&item));
  }
  TabCtrl_SetCurSel(tabs, 0);
  ShowPage(pages_.front());
  SetText(IDC_MODE, admin ? texts::kAdminMode : texts::kClientMode);
  // The description: editable with a border in admin mode; read-only, without
  // border, on the dialog's colour (as read-only fields are drawn) in client mode.
  HWND description = Item(IDC_DESCRIPTION);
  SendMessageW(description, EM_SETREADONLY, !admin, 0);
  const LONG_PTR extended = GetWindowLongPtrW(description, GWL_EXSTYLE);
  SetWindowLongPtrW(description, GWL_EXSTYLE,
                    admin ? extended | WS_EX_CLIENTEDGE : extended & ~static_cast<LONG_PTR>(WS_EX_CLIENTEDGE));
  SetWindowPos(description, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
}

void OptionsWindow::ShowPage(int page) {
  for (int shown = 0; shown < 3; ++shown)
    for (int id = kPageIds[shown].first; id <= kPageIds[shown].second; ++id)
      if (HWND control = Item(id)) ShowWindow(control, shown == page ? SW_SHOW : SW_HIDE);
  if (page == kPathsPage) Show(IDC_NEW_COUNTER_FILE, admin_);
}

void OptionsWindow::ShowFields(const OptionsFields& fields) {
  Quietly([&] {
    SetText(IDC_TEXT_BEFORE, fields.text_before);
    SendMessageW(Item(IDC_DATE), CB_SETCURSEL, fields.date_kind, 0);
    SendMessageW(Item(IDC_SEPARATOR), CB_SETCURSEL, fields.separator_kind, 0);
    SetText(IDC_TEXT_AFTER, fields.text_after);
    SetText(IDC_TEXT_COUNTER, fields.text_counter);
    SetText(IDC_COUNTER, fields.counter);
    SendMessageW(Item(IDC_DIGITS), CB_SETCURSEL, fields.digits - 1, 0);
    SetText(IDC_INCREMENT, fields.increment);
    CheckDlgButton(hwnd(), IDC_LEADING, fields.leading ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(hwnd(), IDC_RESTART, fields.restart ? BST_CHECKED : BST_UNCHECKED);
    OfferRestart(fields);
    SetText(IDC_DESCRIPTION, fields.description);
    SetText(IDC_LOG_FOLDER, fields.log_folder);
  });
}

void OptionsWindow::OfferRestart(const OptionsFields& fields) {
  const bool offered = RestartOffered(fields);
  if (!offered) CheckDlgButton(hwnd(), IDC_RESTART, BST_UNCHECKED);
  EnableWindow(Item(IDC_RESTART), offered);
}

OptionsFields OptionsWindow::Collect() const {
  OptionsFields fields;
  fields.text_before = Text(IDC_TEXT_BEFORE);
  fields.date_kind = std::max(0, Selection(Item(IDC_DATE)));
  fields.separator_kind = std::max(0, Selection(Item(IDC_SEPARATOR)));
  fields.text_after = Text(IDC_TEXT_AFTER);
  fields.text_counter = Text(IDC_TEXT_COUNTER);
  fields.counter = Text(IDC_COUNTER);
  fields.digits = std::max(0, Selection(Item(IDC_DIGITS))) + 1;
  fields.increment = Text(IDC_INCREMENT);
  fields.leading = IsDlgButtonChecked(hwnd(), IDC_LEADING) == BST_CHECKED;
  fields.restart = IsDlgButtonChecked(hwnd(), IDC_RESTART) == BST_CHECKED;
  fields.description = Text(IDC_DESCRIPTION);
  fields.log_folder = Text(IDC_LOG_FOLDER);
  return fields;
}

void OptionsWindow::ShowCounterFile(const std::string& path, const std::string& name_label) {
  SetText(IDC_COUNTER_FILE, path);
  SetText(IDC_DESCRIPTION_LABEL, texts::kDescriptionLabel + LabelText(name_label));
}

void OptionsWindow::ShowPreview(const std::string& preview, const std::string& counter_text_label) {
  SetText(IDC_PREVIEW, preview);
  SetText(IDC_PREVIEW2, preview);
  SetText(IDC_TEXT_COUNTER_LABEL, counter_text_label);
}

void OptionsWindow::FocusCounter() { FocusLater(IDC_COUNTER); }
void OptionsWindow::FocusRanges() { SetFocus(Item(IDC_RANGES)); }

std::optional<std::string> OptionsWindow::OpenCounterFile(const std::string& current, bool admin) {
  return ShowOpenDialog(hwnd(), {texts::kOpenCounterFileTitle, texts::kCounterFileFilter, texts::kCounterFileExtension,
                                 current, kCounterFileFlags | (admin ? OFN_CREATEPROMPT : OFN_FILEMUSTEXIST)});
}

std::optional<std::string> OptionsWindow::CreateCounterFile() {
  const auto created =
      ShowSaveDialog(hwnd(), {texts::kCreateCounterFileTitle, texts::kCounterFileFilter, texts::kCounterFileExtension,
                              last_created_.empty() ? texts::kNewCounterFileName : last_created_,
                              kCounterFileFlags | OFN_OVERWRITEPROMPT | OFN_CREATEPROMPT});
  if (created) last_created_ = *created;
  return created;
}

void OptionsWindow::ShowRanges(const std::vector<std::string>& entries, std::optional<size_t> selected) {
  HWND list = Item(IDC_RANGES);
  SendMessageW(list, LB_RESETCONTENT, 0, 0);
  for (const std::string& entry : entries)
    SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(entry).c_str()));
  FitListWidth(list);
  SendMessageW(list, LB_SETCURSEL, selected ? static_cast<WPARAM>(*selected) : static_cast<WPARAM>(-1), 0);
}

std::optional<std::string> OptionsWindow::EditRange(const std::string& name, const std::string& path) {
  RangeWindow range(env_, name, path);
  return range.Run(hwnd());
}

bool OptionsWindow::RangeKeyPressed(UINT key) {
  const RangeKey range_key = key == VK_RETURN   ? RangeKey::Enter
                             : key == VK_INSERT ? RangeKey::Insert
                             : key == VK_DELETE ? RangeKey::Delete
                             : key == VK_UP     ? RangeKey::Up
                             : key == VK_DOWN   ? RangeKey::Down
                                                : RangeKey::Other;
  const Modifiers modifiers{GetKeyState(VK_CONTROL) < 0, GetKeyState(VK_SHIFT) < 0, GetKeyState(VK_MENU) < 0};
  return dialog_.ranges().Key(range_key, modifiers);
}

// A spin field that is left: a number outside its range comes back into it.
void OptionsWindow::LeaveSpinField(int id, int lowest) {
  const std::string text = Text(id);
  try {
    size_t used = 0;
    const long long value = std::stoll(text, &used);
    if (used == text.size() && (value < lowest || value > kMaxFieldValue)) {
      SetText(id, std::to_string(value < lowest ? lowest : kMaxFieldValue));
      dialog_.Changed(Collect());
    }
  } catch (const std::exception&) {
    // Not a number: the check of the field tells.
  }
}

// Every change reaches the behaviour once: what it changes in the window
// meanwhile (texts set, boxes that take the focus) is not handed on again.
void OptionsWindow::OnCommand(int id, int code) {
  if (quiet_) return;
  Quietly([&] { Handle(id, code); });
}

void OptionsWindow::Handle(int id, int code) {
  switch (id) {
    case IDC_TEXT_BEFORE:
    case IDC_TEXT_AFTER:
    case IDC_TEXT_COUNTER:
    case IDC_INCREMENT:
      if (code == EN_CHANGE) dialog_.Changed(Collect());
      if (id == IDC_INCREMENT && code == EN_KILLFOCUS) LeaveSpinField(IDC_INCREMENT, 1);
      return;
    case IDC_COUNTER:
      if (code == EN_CHANGE) dialog_.Changed(Collect());
      if (code == EN_KILLFOCUS) {
        LeaveSpinField(IDC_COUNTER, 0);
        dialog_.CounterLeft(Text(IDC_COUNTER));
      }
      return;
    case IDC_DATE:
      if (code == CBN_SELCHANGE) {
        OfferRestart(Collect());
        dialog_.Changed(Collect());
      }
      return;
    case IDC_SEPARATOR:
    case IDC_DIGITS:
      if (code == CBN_SELCHANGE) dialog_.Changed(Collect());
      return;
    case IDC_LEADING:
    case IDC_RESTART:
    case IDC_PREVIEW_BUTTON:
      if (code == BN_CLICKED) dialog_.Changed(Collect());
      return;
    case IDC_OPEN_COUNTER_FILE: return dialog_.ChooseCounterFile(Collect());
    case IDC_NEW_COUNTER_FILE: return dialog_.CreateCounterFile(Collect());
    case IDC_BROWSE_LOG_FOLDER: {
      const auto folder = BrowseForFolder(hwnd(), texts::kBrowseLogFolderHint);
      if (folder) SetText(IDC_LOG_FOLDER, *folder + (folder->ends_with('\\') ? "" : "\\"));
      return;
    }
    case IDC_RANGES:
      if (code == LBN_SELCHANGE) {
        const auto selected = SendMessageW(Item(IDC_RANGES), LB_GETCURSEL, 0, 0);
        dialog_.ranges().Select(selected < 0 ? std::nullopt : std::optional<size_t>(static_cast<size_t>(selected)));
      }
      if (code == LBN_DBLCLK) dialog_.ranges().Edit();
      return;
    case IDC_ADD_RANGE: return dialog_.ranges().Add();
    case IDC_REMOVE_RANGE: return dialog_.ranges().Remove();
    case IDC_EDIT_RANGE: return dialog_.ranges().Edit();
    case IDC_RANGE_UP: return dialog_.ranges().MoveUp();
    case IDC_RANGE_DOWN: return dialog_.ranges().MoveDown();
    case IDC_OPTIONS_OK:
      if (dialog_.Close(true, Collect())) End(IDOK);
      return;
    case IDCANCEL:
      if (dialog_.Close(false, Collect())) End(IDCANCEL);
      return;
    default: return;  // Enter (IDOK): the dialog has no default button
  }
}

bool OptionsWindow::OnMessage(UINT message, WPARAM, LPARAM lparam, INT_PTR&) {
  if (message == WM_NOTIFY) {
    const auto* header = reinterpret_cast<const NMHDR*>(lparam);
    if (header->idFrom == IDC_TABS && header->code == TCN_SELCHANGE) {
      const int tab = TabCtrl_GetCurSel(Item(IDC_TABS));
      if (tab >= 0 && static_cast<size_t>(tab) < pages_.size()) ShowPage(pages_[static_cast<size_t>(tab)]);
      return true;
    }
  }
  return false;
}

}  // namespace trelvo::dialogs::win32
