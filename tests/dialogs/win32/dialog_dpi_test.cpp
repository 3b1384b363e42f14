// The dialogs at the resolutions of offices' screens: each dialog, moved to a
// monitor of 100, 125, 150, 200 and 250 % (WM_DPICHANGED, as Windows sends it),
// lays itself out for it: its font at that size, its client area as much
// larger, every control inside it and none over another (a group box or the
// tab control holds whole controls), no text cut, the range list's button
// faces drawn for the size. The dialogs and boxes are made aware of each
// monitor's resolution, and the thread's awareness comes back afterwards.
#include <windows.h>
#include <commctrl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <map>

#include "dialogs/dialog_texts.h"
#include "dialogs/win32/about_window.h"
#include "dialogs/win32/options_window.h"
#include "dialogs/win32/range_window.h"
#include "dialogs/win32/text_input_window.h"
#include "platform/win32/message_box_user_interface.h"
#include "tests/dialogs/win32/dialog_driver.h"
#include "tests/dialogs/win32/dialog_fixture.h"

namespace trelvo {
namespace {

using testing::Click;
using testing::WhenDialogOpens;

constexpr unsigned kResolutions[] = {96, 120, 144, 192, 240};

int Scaled(int pixels, unsigned dpi) { return MulDiv(pixels, static_cast<int>(dpi), 96); }

std::wstring ClassOf(HWND window) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  return name;
}

std::wstring TextOf(HWND window) {
  wchar_t text[512] = {};
  GetWindowTextW(window, text, 512);
  return text;
}

// A child's rectangle in the dialog's client area.
RECT PlaceOf(HWND dialog, HWND child) {
  RECT rect{};
  GetWindowRect(child, &rect);
  MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

// Group boxes and the tab control hold other controls by design.
bool HoldsOthers(HWND control) {
  const std::wstring name = ClassOf(control);
  const LONG style = GetWindowLongW(control, GWL_STYLE);
  return name == WC_TABCONTROLW || (_wcsicmp(name.c_str(), L"Button") == 0 && (style & BS_TYPEMASK) == BS_GROUPBOX);
}

bool Contains(const RECT& outer, const RECT& inner) {
  return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
         inner.bottom <= outer.bottom;
}

// The space a control's text takes in the control's font, wrapped at its width where it wraps.
SIZE TextExtent(HWND control, UINT format, int width) {
  const std::wstring text = TextOf(control);
  const HDC dc = GetDC(control);
  const HGDIOBJ previous = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
  RECT needed{0, 0, width, 0};
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &needed, format | DT_CALCRECT);
  SelectObject(dc, previous);
  ReleaseDC(control, dc);
  return SIZE{needed.right - needed.left, needed.bottom - needed.top};
}

// What does not fit in a control: its text or its face.
std::string CutOff(HWND control, unsigned dpi) {
  const std::wstring name = ClassOf(control);
  const LONG style = GetWindowLongW(control, GWL_STYLE);
  RECT rect{};
  GetClientRect(control, &rect);
  const int width = rect.right, height = rect.bottom;
  if (_wcsicmp(name.c_str(), L"Static") == 0) {
    const LONG kind = style & SS_TYPEMASK;
    if (TextOf(control).empty() || (kind != SS_LEFT && kind != SS_CENTER && kind != SS_RIGHT)) return "";
    const SIZE needed = TextExtent(control, DT_WORDBREAK | ((style & SS_NOPREFIX) ? DT_NOPREFIX : 0), width);
    return needed.cy > height || needed.cx > width
               ? "text needs " + std::to_string(needed.cx) + " x " + std::to_string(needed.cy)
               : "";
  }
  if (_wcsicmp(name.c_str(), L"Button") != 0) return "";
  if (style & BS_BITMAP) {
    const auto face = reinterpret_cast<HBITMAP>(SendMessageW(control, BM_GETIMAGE, IMAGE_BITMAP, 0));
    BITMAP shape{};
    if (!face || !GetObjectW(face, sizeof shape, &shape)) return "no face";
    if (shape.bmWidth != Scaled(16, dpi)) return "face of " + std::to_string(shape.bmWidth) + " pixels";
    return shape.bmWidth > width || shape.bmHeight > height ? "face larger than the button" : "";
  }
  if (TextOf(control).empty()) return "";
  const SIZE text = TextExtent(control, DT_SINGLELINE, 0);
  switch (style & BS_TYPEMASK) {
    case BS_GROUPBOX: return text.cx + Scaled(12, dpi) > width ? "title cut" : "";
    case BS_AUTOCHECKBOX:
    case BS_CHECKBOX:
      // The box (13 pixels at 100 %) and the space after it.
      return text.cx + Scaled(17, dpi) > width || text.cy > height ? "text beside the box cut" : "";
    default: return text.cx + Scaled(6, dpi) > width || text.cy > height ? "text cut" : "";
  }
}

std::string Describe(HWND dialog, HWND control) {
  const RECT r = PlaceOf(dialog, control);
  return std::to_string(GetDlgCtrlID(control)) + " (" + std::to_string(r.left) + "," + std::to_string(r.top) + "-" +
         std::to_string(r.right) + "," + std::to_string(r.bottom) + ")";
}

// Every fault of the visible controls' layout: outside the client area, over
// another control, or with its text cut.
std::vector<std::string> LayoutFaults(HWND dialog, unsigned dpi) {
  RECT client{};
  GetClientRect(dialog, &client);
  std::vector<HWND> shown;
  for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    if (IsWindowVisible(child)) shown.push_back(child);
  std::vector<std::string> faults;
  for (size_t i = 0; i < shown.size(); ++i) {
    const RECT place = PlaceOf(dialog, shown[i]);
    if (!Contains(client, place)) faults.push_back(Describe(dialog, shown[i]) + " leaves the dialog");
    if (const std::string cut = CutOff(shown[i], dpi); !cut.empty())
      faults.push_back(Describe(dialog, shown[i]) + ": " + cut);
    for (size_t j = i + 1; j < shown.size(); ++j) {
      const RECT other = PlaceOf(dialog, shown[j]);
      RECT common{};
      if (!IntersectRect(&common, &place, &other)) continue;
      if ((HoldsOthers(shown[i]) && Contains(place, other)) || (HoldsOthers(shown[j]) && Contains(other, place)))
        continue;
      faults.push_back(Describe(dialog, shown[i]) + " overlaps " + Describe(dialog, shown[j]));
    }
  }
  return faults;
}

// Moves the dialog to a monitor of this resolution, as Windows tells it: the
// new resolution and a place scaled from the present one.
void MoveToMonitorOf(HWND dialog, unsigned dpi, unsigned from) {
  RECT window{};
  GetWindowRect(dialog, &window);
  RECT suggested{window.left, window.top,
                 window.left + MulDiv(window.right - window.left, static_cast<int>(dpi), static_cast<int>(from)),
                 window.top + MulDiv(window.bottom - window.top, static_cast<int>(dpi), static_cast<int>(from))};
  SendMessageW(dialog, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
}

int FontHeight(HWND window) {
  LOGFONTW font{};
  GetObjectW(reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0)), sizeof font, &font);
  return font.lfHeight;
}

void ChooseTab(HWND dialog, int tab) {
  HWND tabs = GetDlgItem(dialog, IDC_TABS);
  TabCtrl_SetCurSel(tabs, tab);
  NMHDR change{tabs, IDC_TABS, static_cast<UINT>(TCN_SELCHANGE)};
  SendMessageW(dialog, WM_NOTIFY, IDC_TABS, reinterpret_cast<LPARAM>(&change));
}

// The scrolling widths of the dialog's lists that scroll across, by id.
std::map<int, LRESULT> ListWidths(HWND dialog) {
  std::map<int, LRESULT> widths;
  for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    if (_wcsicmp(ClassOf(child).c_str(), L"ListBox") == 0 && (GetWindowLongW(child, GWL_STYLE) & WS_HSCROLL))
      widths[GetDlgCtrlID(child)] = SendMessageW(child, LB_GETHORIZONTALEXTENT, 0, 0);
  return widths;
}

// Moves the open dialog through every resolution and back, and checks each
// of its pages (tabs) there; what it found goes to faults.
void CheckEveryResolution(HWND dialog, int pages, std::vector<std::string>& faults) {
  RECT client{};
  GetClientRect(dialog, &client);
  const LONG width_at_100 = client.right;
  const auto list_widths_at_100 = ListWidths(dialog);
  unsigned dpi = 96;
  for (const unsigned next : kResolutions) {
    MoveToMonitorOf(dialog, next, dpi);
    dpi = next;
    const std::string at = " at " + std::to_string(dpi) + " dpi: ";
    // Every dialog has its Cancel button (Esc), in the dialog's font: 8 points.
    if (const int height = FontHeight(GetDlgItem(dialog, IDCANCEL)); height != -MulDiv(8, static_cast<int>(dpi), 72))
      faults.push_back(at + "the font is " + std::to_string(height) + " pixels high");
    GetClientRect(dialog, &client);
    const double ratio = static_cast<double>(client.right) / width_at_100, expected = dpi / 96.0;
    if (ratio < expected * 0.9 || ratio > expected * 1.1)
      faults.push_back(at + "the dialog is " + std::to_string(ratio) + " times as wide as at 96 dpi");
    // A list's entries grow with the font, and its scrolling width with them.
    for (const auto& [id, width] : ListWidths(dialog)) {
      const double grown = static_cast<double>(width) / static_cast<double>(list_widths_at_100.at(id));
      if (list_widths_at_100.at(id) == 0 || grown < expected * 0.85 || grown > expected * 1.15)
        faults.push_back(at + "the list " + std::to_string(id) + " scrolls " + std::to_string(width) + " pixels wide");
    }
    for (int page = 0; page < pages; ++page) {
      if (pages > 1) ChooseTab(dialog, page);
      for (const std::string& fault : LayoutFaults(dialog, dpi))
        faults.push_back(at + "page " + std::to_string(page) + ": " + fault);
    }
  }
  MoveToMonitorOf(dialog, 96, dpi);
  GetClientRect(dialog, &client);
  if (client.right != width_at_100) faults.push_back("back at 96 dpi, the dialog is not as wide as before");
}

TEST_F(DialogWindows, EveryDialogLaysItselfOutForEachResolution) {
  Write(CounterPath(), "[Zaehler]\r\nCounter=41\r\n[Optionen]\r\nPadding=3\r\n");
  Write(SettingsFolder() + "nummernkreise.txt", "Kunde A mit einem recht langen Namen|" + folder + "a.ini\r\n");
  std::vector<std::string> faults;
  int checked = 0;
  for (const bool admin : {true, false}) {
    Write(SettingsFolder() + "trelvo.ini", std::string("[Mode]\r\nAdminMode=") + (admin ? "1" : "0") + "\r\n");
    WhenDialogOpens(dialogs::texts::kOptionsCaption, [&](HWND dialog) {
      ++checked;
      CheckEveryResolution(dialog, TabCtrl_GetItemCount(GetDlgItem(dialog, IDC_TABS)), faults);
      Click(dialog, IDCANCEL);
    });
    dialogs::win32::OptionsWindow(env).Run(nullptr);
  }
  const auto check = [&](const std::string& caption) {
    WhenDialogOpens(caption, [&](HWND dialog) {
      ++checked;
      CheckEveryResolution(dialog, 1, faults);
      SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    });
  };
  check(dialogs::texts::kRangeCaption);
  dialogs::win32::RangeWindow(env, "Filiale Süd", CounterPath()).Run(nullptr);
  check(dialogs::texts::kAboutCaption);
  dialogs::win32::AboutWindow().Run(nullptr);
  check(dialogs::texts::kCustomerCaption);
  dialogs::win32::TextInputWindow(dialogs::texts::kCustomerCaption, dialogs::texts::kCustomerPrompt, "Müller & Co.")
      .Run(nullptr);
  EXPECT_EQ(checked, 5);
  EXPECT_THAT(faults, ::testing::IsEmpty());
}

// The awareness functions of Windows 10, which Wine has too.
struct Awareness {
  using Context = DPI_AWARENESS_CONTEXT;
  Awareness() {
    const HMODULE user32 = GetModuleHandleW(L"user32.dll");
    const auto look_up = [user32](const char* name) {
      return reinterpret_cast<void (*)()>(GetProcAddress(user32, name));
    };
    set_thread = reinterpret_cast<Context(WINAPI*)(Context)>(look_up("SetThreadDpiAwarenessContext"));
    of_thread = reinterpret_cast<Context(WINAPI*)()>(look_up("GetThreadDpiAwarenessContext"));
    of_window = reinterpret_cast<Context(WINAPI*)(HWND)>(look_up("GetWindowDpiAwarenessContext"));
    awareness = reinterpret_cast<int(WINAPI*)(Context)>(look_up("GetAwarenessFromDpiAwarenessContext"));
  }
  bool there() const { return set_thread && of_thread && of_window && awareness; }
  int OfWindow(HWND window) const { return awareness(of_window(window)); }
  int OfThread() const { return awareness(of_thread()); }

  Context(WINAPI* set_thread)(Context) = nullptr;
  Context(WINAPI* of_thread)() = nullptr;
  Context(WINAPI* of_window)(HWND) = nullptr;
  int(WINAPI* awareness)(Context) = nullptr;
};

// A host calls in the system's awareness (DPI_AWARENESS_SYSTEM_AWARE, 1):
// the dialog and the boxes it shows are aware of each monitor (2), and the
// thread is system aware again after each.
TEST_F(DialogWindows, DialogsAndBoxesAreAwareOfEachMonitorAndTheThreadGetsItsAwarenessBack) {
  const Awareness awareness;
  ASSERT_TRUE(awareness.there());
  const Awareness::Context before = awareness.set_thread(DPI_AWARENESS_CONTEXT_SYSTEM_AWARE);
  win32::MessageBoxUserInterface boxes;
  int dialog_awareness = -1, box_awareness = -1, thread_in_dialog = -1;
  WhenDialogOpens(dialogs::texts::kCustomerCaption, [&](HWND dialog) {
    dialog_awareness = awareness.OfWindow(dialog);
    thread_in_dialog = awareness.OfThread();
    Click(dialog, IDCANCEL);
  });
  dialogs::win32::TextInputWindow(dialogs::texts::kCustomerCaption, "Text:", "").Run(nullptr);
  const int thread_after_dialog = awareness.OfThread();
  WhenDialogOpens("Fehler", [&](HWND box) {
    box_awareness = awareness.OfWindow(box);
    SendMessageW(box, WM_COMMAND, IDOK, 0);
  });
  platform::ShowErrorBox(boxes, "Ein Fehler");
  const int thread_after_box = awareness.OfThread();
  awareness.set_thread(before);

  EXPECT_EQ(dialog_awareness, 2);
  EXPECT_EQ(thread_in_dialog, 2);
  EXPECT_EQ(box_awareness, 2);
  EXPECT_EQ(thread_after_dialog, 1);
  EXPECT_EQ(thread_after_box, 1);
}

}  // namespace
}  // namespace trelvo
