#include "dialogs/win32/about_window.h"

#include <shellapi.h>
#include <vector>
#include <windowsx.h>

#include "dialogs/about.h"
#include "dialogs/dialog_texts.h"
#include "dialogs/win32/tooltips.h"
#include "platform/win32/com_module.h"
#include "platform/win32/wide_text.h"
#include "resources/dialog_ids.h"
#include "resources/image_sizes.h"

namespace trelvo::dialogs::win32 {
namespace {

constexpr int kIconSize = 32;  // pixels at 100 %
constexpr COLORREF kVisitedLink = RGB(204, 0, 0);
constexpr COLORREF kHotLink = RGB(255, 0, 0);

std::optional<VersionInfo> ReadVersionInfo(const std::wstring& path) {
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
  if (size == 0) return std::nullopt;
  std::vector<char> data(size);
  if (!GetFileVersionInfoW(path.c_str(), 0, size, data.data())) return std::nullopt;
  VersionInfo info;
  struct Translation {
    WORD language, code_page;
  };
  Translation* translations = nullptr;
  UINT length = 0;
  if (VerQueryValueW(data.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translations), &length) &&
      length >= sizeof(Translation)) {
    wchar_t key[64];
    swprintf(key, 64, L"\\StringFileInfo\\%04x%04x\\FileVersion", translations[0].language, translations[0].code_page);
    wchar_t* text = nullptr;
    if (VerQueryValueW(data.data(), key, reinterpret_cast<void**>(&text), &length) && text && length > 0)
      info.file_version = trelvo::win32::Narrow(text);
  }
  VS_FIXEDFILEINFO* fixed = nullptr;
  if (VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) && fixed)
    info.fixed = std::array<uint16_t, 4>{HIWORD(fixed->dwFileVersionMS), LOWORD(fixed->dwFileVersionMS),
                                         HIWORD(fixed->dwFileVersionLS), LOWORD(fixed->dwFileVersionLS)};
  return info;
}

}  // namespace

std::string LibraryVersionText() { return VersionText(ReadVersionInfo(trelvo::win32::ModuleFilePath())); }

void AboutWindow::Run(HWND owner) { ShowModal(owner, IDD_ABOUT); }

void AboutWindow::OnInit() {
  SetWindowTextUtf8(hwnd(), texts::kAboutCaption);
  const std::pair<int, std::string> shown[] = {
      {IDC_ABOUT_TITLE, texts::kAboutTitle},
      {IDC_ABOUT_SUBTITLE, texts::kAboutSubtitle},
      {IDC_VERSION, texts::kVersionLabel + LibraryVersionText()},
      {IDC_REVISION, texts::kRevisionLabel + std::string(texts::kRevision)},
      {IDC_CONTACT, texts::kContactHeading},
      {IDC_MAKER, texts::kMakerText},
      {IDC_HOME_LINK, texts::kMakerLink},
      {IDC_NOTICE, texts::kRightsNotice},
      {IDCANCEL, texts::kClose},
  };
  for (const auto& [id, text] : shown) SetText(id, text);
  AddTooltips(hwnd(), {{IDC_HOME_LINK, texts::kHomeHint}});
}

void AboutWindow::OnLayout() {
  // Bold heading and title, the link underlined: from the dialog's own font.
  LOGFONTW font{};
  GetObjectW(DialogFont(), sizeof font, &font);
  font.lfWeight = FW_BOLD;
  bold_.reset(CreateFontIndirectW(&font));
  const LONG height = font.lfHeight;
  font.lfHeight = MulDiv(height, 10, 8);  // 10 pt
  title_.reset(CreateFontIndirectW(&font));
  font.lfHeight = height;
  font.lfWeight = FW_NORMAL;
  font.lfUnderline = TRUE;
  underlined_.reset(CreateFontIndirectW(&font));
  SendMessageW(Item(IDC_ABOUT_TITLE), WM_SETFONT, reinterpret_cast<WPARAM>(title_.get()), TRUE);
  SendMessageW(Item(IDC_CONTACT), WM_SETFONT, reinterpret_cast<WPARAM>(bold_.get()), TRUE);
  SendMessageW(Item(IDC_HOME_LINK), WM_SETFONT, reinterpret_cast<WPARAM>(underlined_.get()), TRUE);
  // The icon file holds every size: the one drawn for this resolution's.
  const int icon_size = resources::ScaledImage(kIconSize, Dpi());
  icon_.reset(static_cast<HICON>(
      LoadImageW(trelvo::win32::ModuleHandle(), MAKEINTRESOURCEW(IDI_TRELVO), IMAGE_ICON, icon_size, icon_size, 0)));
  InvalidateRect(Item(IDC_ABOUT_BAND), nullptr, FALSE);

  const auto place = [this](int id) {
    RECT rect{};
    GetWindowRect(Item(id), &rect);
    MapWindowPoints(nullptr, hwnd(), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
  };
  const auto text_width = [](HWND control, HFONT control_font) {
    return TextWidth(control, control_font, Widen(WindowText(control)));
  };
  // The link follows the maker's text on its line, as wide as its own text.
  const RECT maker = place(IDC_MAKER), link = place(IDC_HOME_LINK);
  const int maker_width = text_width(Item(IDC_MAKER), DialogFont());
  const int space = MulDiv(2, static_cast<int>(Dpi()), 96);
  SetWindowPos(Item(IDC_MAKER), nullptr, 0, 0, maker_width, maker.bottom - maker.top, SWP_NOMOVE | SWP_NOZORDER);
  SetWindowPos(Item(IDC_HOME_LINK), nullptr, maker.left + maker_width, maker.top,
               text_width(Item(IDC_HOME_LINK), underlined_.get()) + space, link.bottom - link.top, SWP_NOZORDER);
  // The heading as wide as its bold text ("&&" shows as one "&"), its rule from there to the right edge.
  const RECT heading = place(IDC_CONTACT), rule = place(IDC_CONTACT_RULE);
  const int heading_width = text_width(Item(IDC_CONTACT), bold_.get()) + 2 * space;
  SetWindowPos(Item(IDC_CONTACT), nullptr, 0, 0, heading_width, heading.bottom - heading.top,
               SWP_NOMOVE | SWP_NOZORDER);
  SetWindowPos(Item(IDC_CONTACT_RULE), nullptr, heading.left + heading_width + 2 * space, rule.top,
               rule.right - heading.left - heading_width - 2 * space, rule.bottom - rule.top, SWP_NOZORDER);
}

void AboutWindow::OnCommand(int id, int code) {
  if (id == IDCANCEL || id == IDOK) return End(IDCANCEL);
  if (id == IDC_HOME_LINK && code == STN_CLICKED) {
    visited_ = true;
    InvalidateRect(Item(IDC_HOME_LINK), nullptr, TRUE);
    ShellExecuteW(hwnd(), L"open", Widen(texts::kHomePage).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
  }
}

// The band in the active title bar's colours, the add-in's icon centred at its top.
void AboutWindow::PaintBand(HDC dc, const RECT& band) const {
  const COLORREF top = GetSysColor(COLOR_GRADIENTACTIVECAPTION);
  const COLORREF bottom = GetSysColor(COLOR_ACTIVECAPTION);
  TRIVERTEX vertices[2] = {
      {band.left, band.top, static_cast<COLOR16>(GetRValue(top) << 8), static_cast<COLOR16>(GetGValue(top) << 8),
       static_cast<COLOR16>(GetBValue(top) << 8), 0},
      {band.right, band.bottom, static_cast<COLOR16>(GetRValue(bottom) << 8),
       static_cast<COLOR16>(GetGValue(bottom) << 8), static_cast<COLOR16>(GetBValue(bottom) << 8), 0}};
  GRADIENT_RECT rectangle{0, 1};
  GradientFill(dc, vertices, 2, &rectangle, 1, GRADIENT_FILL_RECT_V);
  const int width = band.right - band.left;
  const int icon_size = resources::ScaledImage(kIconSize, Dpi());
  if (icon_)
    DrawIconEx(dc, band.left + (width - icon_size) / 2, band.top + (width - icon_size) / 2, icon_.get(), icon_size,
               icon_size, 0, nullptr, DI_NORMAL);
}

bool AboutWindow::OnMessage(UINT message, WPARAM wparam, LPARAM lparam, INT_PTR& result) {
  switch (message) {
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lparam);
      if (item->CtlID != IDC_ABOUT_BAND) return false;
      PaintBand(item->hDC, item->rcItem);
      result = TRUE;
      return true;
    }
    case WM_CTLCOLORSTATIC:
      if (reinterpret_cast<HWND>(lparam) != Item(IDC_HOME_LINK)) return false;
      SetTextColor(reinterpret_cast<HDC>(wparam), visited_ ? kVisitedLink
                                                  : hot_   ? kHotLink
                                                           : GetSysColor(COLOR_HOTLIGHT));
      SetBkMode(reinterpret_cast<HDC>(wparam), TRANSPARENT);
      result = reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_BTNFACE));
      return true;
    case WM_SETCURSOR: {
      const bool over_link = reinterpret_cast<HWND>(wparam) == Item(IDC_HOME_LINK);
      if (over_link != hot_) {
        hot_ = over_link;
        InvalidateRect(Item(IDC_HOME_LINK), nullptr, TRUE);
      }
      if (!over_link) return false;
      SetCursor(LoadCursorW(nullptr, IDC_HAND));
      result = TRUE;
      return true;
    }
    default: return false;
  }
}

}  // namespace trelvo::dialogs::win32
