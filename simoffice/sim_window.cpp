#include "simoffice/sim_window.h"

#include "platform/win32/wide_text.h"
#include "simoffice/sim_object.h"

namespace trelvo::simoffice {

HostWindow MakeHostWindow(const wchar_t* class_name, const std::string& caption) {
  WNDCLASSW window_class{};
  window_class.lpfnWndProc = DefWindowProcW;
  window_class.hInstance = GetModuleHandleW(nullptr);
  window_class.lpszClassName = class_name;
  RegisterClassW(&window_class);  // fails harmlessly when the class exists
  HostWindow window(CreateWindowExW(0, class_name, win32::Widen(caption).c_str(), WS_OVERLAPPEDWINDOW, 0, 0, 800, 600,
                                    nullptr, nullptr, GetModuleHandleW(nullptr), nullptr));
  if (!window) throw OfficeError("Das Fenster kann nicht angelegt werden.");
  return window;
}

}  // namespace trelvo::simoffice
