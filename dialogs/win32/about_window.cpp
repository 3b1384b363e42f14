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

namespace trelvo::dialogs::win32 {
namespace {

constexpr int kBandWidth = 57;  // pixels at 96 dpi
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

  // Bold heading and title, the link underlined: from the dialog's own font.
  LOGFONTW font{};
  GetObjectW(reinterpret_cast<HFONT>(SendMessageW(hwnd(), WM_GETFONT, 0, 0)), sizeof font, &font);
  font.lfWeight = FW_BOLD;
  bold_.reset(CreateFontIndirectW(&font));
  font.lfHeight = font.lfHeight * 10 / 8;  // 10 pt
  title_.reset(CreateFontIndirectW(&font));
  font.lfHeight = font.lfHeight * 8 / 10;
  font.lfWeight = FW_NORMAL;
  font.lfUnderline = TRUE;
  underlined_.reset(CreateFontIndirectW(&font));
  SendMessageW(Item(IDC_ABOUT_TITLE), WM_SETFONT, reinterpret_cast<WPARAM>(title_.get()), FALSE);
  SendMessageW(Item(IDC_CONTACT), WM_SETFONT, reinterpret_cast<WPARAM>(bold_.get()), FALSE);
  SendMessageW(Item(IDC_HOME_LINK), WM_SETFONT, reinterpret_cast<WPARAM>(underlined_.get()), FALSE);

  // The link follows the maker's text on its line, as wide as its own text.
  RECT maker{}, link{};
  GetWindowRect(Item(IDC_MAKER), &maker);
  MapWindowPoints(nullptr, hwnd(), reinterpret_cast<POINT*>(&maker), 2);
  const auto text_width = [](HWND control, HFONT control_font) {
    return TextWidth(control, control_font, Widen(WindowText(control)));
  };
  const HFONT dialog_font = reinterpret_cast<HFONT>(SendMessageW(hwnd(), WM_GETFONT, 0, 0));
  const int maker_width = text_width(Item(IDC_MAKER), dialog_font);
  GetWindowRect(Item(IDC_HOME_LINK), &link);
  SetWindowPos(Item(IDC_MAKER), nullptr, 0, 0, maker_width, maker.bottom - maker.top, SWP_NOMOVE | SWP_NOZORDER);
  SetWindowPos(Item(IDC_HOME_LINK), nullptr, maker.left + maker_width, maker.top,
               text_width(Item(IDC_HOME_LINK), underlined_.get()) + 2, link.bottom - link.top, SWP_NOZORDER);
  // The heading as wide as its bold text ("&&" shows as one "&"), its rule from there to the right edge.
  RECT heading{}, rule{};
  GetWindowRect(Item(IDC_CONTACT), &heading);
  GetWindowRect(Item(IDC_CONTACT_RULE), &rule);
  MapWindowPoints(nullptr, hwnd(), reinterpret_cast<POINT*>(&heading), 2);
  MapWindowPoints(nullptr, hwnd(), reinterpret_cast<POINT*>(&rule), 2);
  const int heading_width = text_width(Item(IDC_CONTACT), bold_.get()) + 4;
  SetWindowPos(Item(IDC_CONTACT), nullptr, 0, 0, heading_width, heading.bottom - heading.top,
               SWP_NOMOVE | SWP_NOZORDER);
  SetWindowPos(Item(IDC_CONTACT_RULE), nullptr, heading.left + heading_width + 4, rule.top,
               rule.right - heading.left - heading_width - 4, rule.bottom - rule.top, SWP_NOZORDER);
  AddTooltips(hwnd(), {{IDC_HOME_LINK, texts::kHomeHint}});
}

void AboutWindow::OnCommand(int id, int code) {
  if (id == IDCANCEL || id == IDOK) return End(IDCANCEL);
  if (id == IDC_HOME_LINK && code == STN_CLICKED) {
    visited_ = true;
    InvalidateRect(Item(IDC_HOME_LINK), nullptr, TRUE);
    ShellExecuteW(hwnd(), L"open", Widen(texts::kHomePage).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
  }
}

void AboutWindow::PaintBand(HDC dc) const {
  const UINT dpi = static_cast<UINT>(GetDeviceCaps(dc, LOGPIXELSX));
  RECT client{};
  GetClientRect(hwnd(), &client);
  const LONG width = MulDiv(kBandWidth, static_cast<int>(dpi), 96);
  const COLORREF top = GetSysColor(COLOR_GRADIENTACTIVECAPTION);
  const COLORREF bottom = GetSysColor(COLOR_ACTIVECAPTION);
  TRIVERTEX vertices[2] = {
      {0, 0, static_cast<COLOR16>(GetRValue(top) << 8), static_cast<COLOR16>(GetGValue(top) << 8),
       static_cast<COLOR16>(GetBValue(top) << 8), 0},
      {width, client.bottom, static_cast<COLOR16>(GetRValue(bottom) << 8), static_cast<COLOR16>(GetGValue(bottom) << 8),
       static_cast<COLOR16>(GetBValue(bottom) << 8), 0}};
  GRADIENT_RECT rectangle{0, 1};
  GradientFill(dc, vertices, 2, &rectangle, 1, GRADIENT_FILL_RECT_V);
  const int icon_size = MulDiv(32, static_cast<int>(dpi), 96);
  const HICON icon = static_cast<HICON>(LoadImageW(trelvo::win32::ModuleHandle(), MAKEINTRESOURCEW(IDI_TRELVO),
                                                   IMAGE_ICON, icon_size, icon_size, LR_SHARED));
  if (icon)
    DrawIconEx(dc, (width - icon_size) / 2, MulDiv(8, static_cast<int>(dpi), 96), icon, icon_size, icon_size, 0,
               nullptr, DI_NORMAL);
}

bool AboutWindow::OnMessage(UINT message, WPARAM wparam, LPARAM lparam, INT_PTR& result) {
  switch (message) {
    case WM_PAINT: {
      PAINTSTRUCT paint;
      const HDC dc = BeginPaint(hwnd(), &paint);
      PaintBand(dc);
      EndPaint(hwnd(), &paint);
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
