// Pictures of every dialog as a user sees it: Options in admin mode with each
// tab and in client mode, the range edit dialog, About and the customer-name
// input, each written as a 24-bit bitmap file into the folder given (for
// review; tools/screenshots runs it under Xvfb at 100 % and 150 %).
//
//   dialog_screenshots FOLDER
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
#include "resources/dialog_ids.h"
#include "tests/dialogs/win32/dialog_driver.h"
#include "tests/support/child_process.h"

namespace {

using namespace trelvo;

std::string g_folder;

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
  BITMAPINFOHEADER info{sizeof info, width, height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
  const int stride = (width * 3 + 3) / 4 * 4;
  std::vector<char> pixels(static_cast<size_t>(stride) * height);
  GetDIBits(memory, bitmap, 0, static_cast<UINT>(height), pixels.data(), reinterpret_cast<BITMAPINFO*>(&info),
            DIB_RGB_COLORS);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  BITMAPFILEHEADER file{0x4D42, static_cast<DWORD>(sizeof(BITMAPFILEHEADER) + sizeof info + pixels.size()), 0, 0,
                        sizeof(BITMAPFILEHEADER) + sizeof info};
  std::ofstream out(g_folder + name + ".bmp", std::ios::binary);
  out.write(reinterpret_cast<const char*>(&file), sizeof file);
  out.write(reinterpret_cast<const char*>(&info), sizeof info);
  out.write(pixels.data(), static_cast<std::streamsize>(pixels.size()));
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
  if (argc != 2) {
    std::cerr << "Aufruf: dialog_screenshots ORDNER\n";
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
