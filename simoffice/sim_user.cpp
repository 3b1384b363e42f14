#include "simoffice/sim_user.h"

#include <algorithm>
#include <utility>

#include "platform/win32/wide_text.h"
#include "platform/win32/window_handle.h"
#include "platform/win32/window_text.h"
#include "simoffice/sim_names.h"

namespace trelvo::simoffice {
namespace {

using win32::WindowText;

// The scripted users of this thread; the newest one answers. One hook serves
// them all while any lives: a hook of each would record and answer every
// dialog once per host living on the thread.
thread_local std::vector<SimUser*> t_users;
thread_local HHOOK t_hook = nullptr;

std::string ClassOf(HWND window) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, static_cast<int>(std::size(name)));
  return win32::Narrow(name);
}

// The message box's text stands in its static control 0xFFFF; other dialogs
// give the texts of all their static controls, one after the other.
std::string DialogText(HWND dialog) {
  if (HWND text = GetDlgItem(dialog, 0xFFFF)) return WindowText(text);
  std::string texts;
  for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    if (SameName(ClassOf(child), "Static") && !WindowText(child).empty()) {
      if (!texts.empty()) texts += '\n';
      texts += WindowText(child);
    }
  return texts;
}

// Runs a command line to its end, with this process's console.
void RunMeanwhile(const std::string& command_line) {
  std::wstring line = win32::Widen(command_line);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process)) return;
  WaitForSingleObject(process.hProcess, INFINITE);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
}

int ButtonId(const std::string& answer) {
  const struct {
    const char* name;
    int id;
  } buttons[] = {{"OK", IDOK},   {"Abbrechen", IDCANCEL}, {"Cancel", IDCANCEL}, {"Ja", IDYES},
                 {"Yes", IDYES}, {"Nein", IDNO},          {"No", IDNO}};
  for (const auto& button : buttons)
    if (SameName(answer, button.name)) return button.id;
  return IDOK;
}

LRESULT CALLBACK AfterWindowProcedure(int code, WPARAM wparam, LPARAM lparam) {
  const auto* call = reinterpret_cast<const CWPRETSTRUCT*>(lparam);
  if (code == HC_ACTION && call->message == WM_INITDIALOG && !t_users.empty()) t_users.back()->Answer(call->hwnd);
  return CallNextHookEx(nullptr, code, wparam, lparam);
}

}  // namespace

SimUser::SimUser(const std::string& source) : SimObject(source) {
  if (t_users.empty())
    t_hook = SetWindowsHookExW(WH_CALLWNDPROCRET, AfterWindowProcedure, nullptr, GetCurrentThreadId());
  t_users.push_back(this);
  AddField("Answer", answer);
  AddField("Text", text);
  AddField("Meanwhile", meanwhile);
  AddProperty("Messages", {}, [this](const CallArguments&) { return Variant::Text(MessagesText()); });
  AddProperty("Owners", {}, [this](const CallArguments&) { return Variant::Text(OwnersText()); });
  AddMethod("Clear", {}, [this](const CallArguments&) {
    shown.clear();
    return Variant();
  });
}

SimUser::~SimUser() {
  t_users.erase(std::remove(t_users.begin(), t_users.end(), this), t_users.end());
  if (t_users.empty() && t_hook) UnhookWindowsHookEx(std::exchange(t_hook, nullptr));
}

std::string SimUser::MessagesText() const {
  std::string lines;
  for (const Shown& box : shown) {
    std::string text;
    for (size_t i = 0; i < box.text.size(); ++i) {
      if (box.text.compare(i, 2, "\r\n") == 0) ++i;
      text += box.text[i] == '\n' || box.text[i] == '\r' ? std::string("\\n") : std::string(1, box.text[i]);
    }
    lines += box.caption + "|" + text + "\r\n";
  }
  return lines;
}

std::string SimUser::OwnersText() const {
  std::string lines;
  for (const Shown& box : shown) lines += std::to_string(win32::HandleAsLong(box.owner)) + "\r\n";
  return lines;
}

void SimUser::Answer(HWND dialog) {
  Shown box{WindowText(dialog), DialogText(dialog), {}, GetWindow(dialog, GW_OWNER)};
  for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    if (SameName(ClassOf(child), "Button")) box.buttons.push_back(WindowText(child));
  shown.push_back(std::move(box));
  if (!meanwhile.empty()) RunMeanwhile(std::exchange(meanwhile, ""));
  if (!text.empty()) {
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
      if (SameName(ClassOf(child), "Edit")) {
        SetWindowTextW(child, win32::Widen(text).c_str());
        break;
      }
    text.clear();
  }
  if (answer.empty()) return;  // the test acts on the dialog itself
  // The button that reads as the answer, else the standard button of its name.
  int id = ButtonId(answer);
  for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    std::string caption;
    for (char c : WindowText(child))
      if (c != '&') caption += c;
    if (SameName(ClassOf(child), "Button") && SameName(caption, answer)) id = GetDlgCtrlID(child);
  }
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

void PumpMessages(DWORD milliseconds) {
  const DWORD start = GetTickCount();
  for (;;) {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    const DWORD elapsed = GetTickCount() - start;
    if (elapsed >= milliseconds) return;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, milliseconds - elapsed, QS_ALLINPUT);
  }
}

}  // namespace trelvo::simoffice
