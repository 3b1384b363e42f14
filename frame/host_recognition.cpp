#include "frame/host_recognition.h"

#include <wrl/client.h>

#include "commands/shared_host.h"

#include "platform/win32/dispatch_object.h"
#include "platform/win32/office_interfaces.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/window_handle.h"

namespace trelvo::frame {

using commands::HostKind;

std::optional<HostKind> RecognizeHost(IDispatch* application) {
  if (!application) return std::nullopt;
  for (const auto& [iid, kind] :
       {std::pair{office::kWordApplication, HostKind::Word}, std::pair{office::kExcelApplication, HostKind::Excel}}) {
    Microsoft::WRL::ComPtr<IUnknown> typed;
    if (SUCCEEDED(application->QueryInterface(iid, reinterpret_cast<void**>(typed.GetAddressOf())))) return kind;
  }
  return std::nullopt;
}

std::string Capitals(std::string text) {
  for (char& c : text)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return text;
}

const char* HostName(HostKind kind) { return kind == HostKind::Word ? "Word" : "Excel"; }

std::wstring AddInRegistryKey(HostKind kind, const std::string& prog_id) {
  return L"Software\\Microsoft\\Office\\" + win32::Widen(HostName(kind)) + L"\\AddIns\\" + win32::Widen(prog_id);
}

namespace {

// EnumThreadWindows' callback: stops at the first window of the class XLMAIN.
BOOL CALLBACK TakeExcelMainWindow(HWND window, LPARAM found) {
  wchar_t name[16] = {};
  GetClassNameW(window, name, static_cast<int>(std::size(name)));
  if (std::wstring_view(name) != L"XLMAIN") return TRUE;
  *reinterpret_cast<HWND*>(found) = window;
  return FALSE;
}

HWND FindExcelMainWindow() {
  HWND found = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), TakeExcelMainWindow, reinterpret_cast<LPARAM>(&found));
  return found;
}

HWND WindowOf(const win32::Variant& hwnd) { return win32::HandleFromLong(static_cast<int32_t>(hwnd.ToInt())); }

// From Word 2013 on every document has its own top-level window.
constexpr int kFirstWindowPerDocument = 15;

}  // namespace

HWND ActiveHostWindow(IDispatch* application, HostKind kind, const std::string& version) {
  const win32::DispatchObject host(application);
  if (kind == HostKind::Word) {
    if (commands::HostMajorVersion(version) < kFirstWindowPerDocument) return nullptr;
    return WindowOf(host.GetObject("ActiveWindow").Get("Hwnd"));
  }
  try {
    return WindowOf(host.Get("Hwnd"));
  } catch (const std::exception&) {
    return FindExcelMainWindow();  // a host before Hwnd: its one main window
  }
}

}  // namespace trelvo::frame
