// Pictures of every dialog as a user sees it: Options in admin mode with each
// tab and in client mode, the range edit dialog, About and the customer-name
// input, each written as a 24-bit bitmap file into the folder given (for
// review; tools/screenshots runs it under Xvfb at 100 %, 150 % and 200 %).
// With --images, one sheet of every image of the toolbar, the ribbon and the
// dialogs at every size it is drawn at, as the ribbon hands it to the host
// (premultiplied alpha), blended by AlphaBlend over a light and a dark ground.
//
//   dialog_screenshots FOLDER
//   dialog_screenshots --images FILE
#include <windows.h>
#include <commctrl.h>
#include <fstream>
#include <iostream>
#include <vector>

#include "dialogs/dialog_texts.h"
#include "dialogs/win32/about_window.h"
#include "dialogs/win32/options_window.h"
#include "dialogs/win32/text_input_window.h"
#include "platform/fake/fake_system.h"
#include "platform/system_platform.h"
#include "platform/win32/pictures.h"
#include "resources/dialog_ids.h"
#include "resources/glyph_ids.h"
#include "resources/image_sizes.h"
#include "ribbon/win32/ribbon_pictures.h"
#include "tests/dialogs/win32/dialog_driver.h"
#include "tests/support/child_process.h"

namespace {

using namespace trelvo;

std::string g_folder;

// A bitmap of a device context's pixels as a 24-bit bitmap file.
void WriteBitmapFile(HDC dc, HBITMAP bitmap, int width, int height, const std::string& path) {
  BITMAPINFOHEADER info{sizeof info, width, height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
  const int stride = (width * 3 + 3) / 4 * 4;
  std::vector<char> pixels(static_cast<size_t>(stride) * height);
  GetDIBits(dc, bitmap, 0, static_cast<UINT>(height), pixels.data(), reinterpret_cast<BITMAPINFO*>(&info),
            DIB_RGB_COLORS);
  BITMAPFILEHEADER file{0x4D42, static_cast<DWORD>(sizeof(BITMAPFILEHEADER) + sizeof info + pixels.size()), 0, 0,
                        sizeof(BITMAPFILEHEADER) + sizeof info};
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(&file), sizeof file);
  out.write(reinterpret_cast<const char*>(&info), sizeof info);
  out.write(pixels.data(), static_cast<std::streamsize>(pixels.size()));
}

// Every image in a row, at its sizes from left to right, on the ribbon's
// light ground and on a dark one, named on the left.
void WriteImageSheet(const std::string& path) {
  const std::pair<int, const wchar_t*> images[] = {
      {IDB_GLYPH_SAVE, L"Speichern"},   {IDB_GLYPH_INSERT, L"Einfügen"},   {IDB_GLYPH_OPTIONS, L"Einstellungen"},
      {IDB_GLYPH_CUSTOMER, L"Kunde"},   {IDB_GLYPH_INFO, L"Info"},         {IDB_RANGE_ADD, L"Kreis hinzu"},
      {IDB_RANGE_REMOVE, L"Kreis weg"}, {IDB_RANGE_EDIT, L"Kreis ändern"}, {IDB_RANGE_UP, L"Kreis hoch"},
      {IDB_RANGE_DOWN, L"Kreis runter"}};
  constexpr int kLabel = 110, kGap = 8, kCell = 64 + kGap;
  const int half = static_cast<int>(resources::kImageSizes.size()) * kCell + kGap;
  const int width = kLabel + 2 * half, height = kCell * static_cast<int>(std::size(images)) + 24;
  const HDC screen = GetDC(nullptr);
  const HDC dc = CreateCompatibleDC(screen);
  const HBITMAP sheet = CreateCompatibleBitmap(screen, width, height);
  const HGDIOBJ previous = SelectObject(dc, sheet);
  const RECT all{0, 0, width, height}, dark{kLabel + half, 0, width, height};
  FillRect(dc, &all, GetSysColorBrush(COLOR_WINDOW));
  const HBRUSH light_ground = CreateSolidBrush(RGB(0xF3, 0xF3, 0xF3)),
               dark_ground = CreateSolidBrush(RGB(0x2B, 0x2B, 0x2B));
  const RECT light{kLabel, 0, kLabel + half, height};
  FillRect(dc, &light, light_ground);
  FillRect(dc, &dark, dark_ground);
  SetBkMode(dc, TRANSPARENT);
  // Labels in pixels of their own, whatever the screen's resolution.
  const HFONT font = CreateFontW(-12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                 CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, L"Tahoma");
  const HGDIOBJ previous_font = SelectObject(dc, font);
  for (size_t column = 0; column < resources::kImageSizes.size(); ++column) {
    const std::wstring size = std::to_wstring(resources::kImageSizes[column]);
    for (const int ground : {kLabel, kLabel + half}) {
      SetTextColor(dc, ground == kLabel ? RGB(0x40, 0x40, 0x40) : RGB(0xD0, 0xD0, 0xD0));
      TextOutW(dc, ground + kGap + static_cast<int>(column) * kCell, 4, size.c_str(), static_cast<int>(size.size()));
    }
  }
  for (size_t row = 0; row < std::size(images); ++row) {
    const int top = 24 + static_cast<int>(row) * kCell;
    SetTextColor(dc, RGB(0, 0, 0));
    TextOutW(dc, 4, top + 24, images[row].second, static_cast<int>(wcslen(images[row].second)));
    for (size_t column = 0; column < resources::kImageSizes.size(); ++column) {
      const int size = resources::kImageSizes[column];
      const win32::UniqueBitmap image = ribbon::win32::ControlBitmap(ribbon::Picture{images[row].first, false, size});
      BITMAP shape{};
      GetObjectW(image.get(), sizeof shape, &shape);
      const HDC source = CreateCompatibleDC(screen);
      const HGDIOBJ before = SelectObject(source, image.get());
      const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
      for (const int ground : {kLabel, kLabel + half})
        AlphaBlend(dc, ground + kGap + static_cast<int>(column) * kCell, top, shape.bmWidth, shape.bmHeight, source, 0,
                   0, shape.bmWidth, shape.bmHeight, blend);
      SelectObject(source, before);
      DeleteDC(source);
    }
  }
  SelectObject(dc, previous_font);
  DeleteObject(font);
  SelectObject(dc, previous);
  WriteBitmapFile(dc, sheet, width, height, path);
  DeleteObject(light_ground);
  DeleteObject(dark_ground);
  DeleteObject(sheet);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  std::cout << path << " " << width << " x " << height << "\n";
}

// Lets the dialog paint, then copies its window from the screen.
void Capture(HWND window, const std::string& name) {
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
  const DWORD until = GetTickCount() + 400;
  while (GetTickCount() < until) {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    Sleep(10);
  }
  RECT frame{};
  GetWindowRect(window, &frame);
  const int width = frame.right - frame.left, height = frame.bottom - frame.top;
  const HDC screen = GetDC(nullptr);
  const HDC memory = CreateCompatibleDC(screen);
  const HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  const HGDIOBJ previous = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, frame.left, frame.top, SRCCOPY);
  SelectObject(memory, previous);
  WriteBitmapFile(memory, bitmap, width, height, g_folder + name + ".bmp");
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  std::cout << name << ".bmp " << width << " x " << height << "\n";
}

void ChooseTab(HWND dialog, int tab) {
  HWND tabs = GetDlgItem(dialog, IDC_TABS);
  TabCtrl_SetCurSel(tabs, tab);
  NMHDR change{tabs, IDC_TABS, static_cast<UINT>(TCN_SELCHANGE)};
  SendMessageW(dialog, WM_NOTIFY, IDC_TABS, reinterpret_cast<LPARAM>(&change));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == "--images") {
    WriteImageSheet(argv[2]);
    return 0;
  }
  if (argc != 2) {
    std::cerr << "Aufruf: dialog_screenshots ORDNER | --images DATEI\n";
    return 2;
  }
  g_folder = argv[1];
  if (!g_folder.ends_with('\\')) g_folder += '\\';
  const std::string home = testing::MakeTempFolder();
  platform::SystemPlatform real = platform::MakeSystemPlatform();
  platform::FakeSystem system;
  system.app_data = home.substr(0, home.size() - 1);
  platform::RecordingUserInterface ui;
  platform::Environment env{*real.files, system, ui};
  const std::string settings = home + "Orvant\\Trelvo 2006\\";
  CreateDirectoryW(win32::Widen(home + "Orvant").c_str(), nullptr);
  CreateDirectoryW(win32::Widen(settings).c_str(), nullptr);
  std::ofstream(settings + "sabu_counter.ini", std::ios::binary)
      << "[Zaehler]\r\nCounter=41\r\n[Optionen]\r\nTextBefore=\"RE-\"\r\nPrefix=1\r\nSep=2\r\nPadding=3\r\n"
         "[Hinweis]\r\nConfigDesc=\"Rechnungen der Zentrale\"\r\n";
  std::ofstream(settings + "firma_b.ini", std::ios::binary) << "[Zaehler]\r\n";
  std::ofstream(settings + "nummernkreise.txt", std::ios::binary)
      << "Zentrale|" << settings << "sabu_counter.ini\r\nFiliale Nord|" << settings << "firma_b.ini\r\n";

  for (const bool admin : {true, false}) {
    std::ofstream(settings + "trelvo.ini", std::ios::binary) << "[Mode]\r\nAdminMode=" << (admin ? 1 : 0) << "\r\n";
    testing::WhenDialogOpens(dialogs::texts::kOptionsCaption, [&](HWND dialog) {
      const char* names[] = {"zaehler", "pfade", "nummernkreise"};
      const int first = admin ? 0 : 1;
      for (int tab = first; tab < 3; ++tab) {
        ChooseTab(dialog, tab - first);
        Capture(dialog, std::string("optionen-") + (admin ? "admin-" : "client-") + names[tab]);
      }
      if (admin) {
        testing::WhenDialogOpens(dialogs::texts::kRangeCaption, [](HWND range) {
          testing::SetItemText(range, IDC_RANGE_NAME, "Filiale Süd");
          Capture(range, "nummernkreis");
          testing::Click(range, IDCANCEL);
        });
        testing::Click(dialog, IDC_ADD_RANGE);
      }
      testing::Click(dialog, IDCANCEL);
    });
    dialogs::win32::OptionsWindow(env).Run(nullptr);
  }
  testing::WhenDialogOpens(dialogs::texts::kAboutCaption, [](HWND dialog) {
    Capture(dialog, "info");
    testing::Click(dialog, IDCANCEL);
  });
  dialogs::win32::AboutWindow().Run(nullptr);
  testing::WhenDialogOpens(dialogs::texts::kCustomerCaption, [](HWND dialog) {
    Capture(dialog, "kunde");
    testing::Click(dialog, IDCANCEL);
  });
  dialogs::win32::TextInputWindow(dialogs::texts::kCustomerCaption, dialogs::texts::kCustomerPrompt, "Müller & Co.")
      .Run(nullptr);
  return 0;
}
