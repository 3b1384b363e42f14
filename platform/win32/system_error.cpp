#include "platform/win32/system_error.h"

#include "platform/win32/wide_text.h"

namespace trelvo::win32 {

std::string SystemMessage(DWORD code) {
  wchar_t buffer[512] = {};
  const DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                                      buffer, static_cast<DWORD>(std::size(buffer)), nullptr);
  std::wstring text(buffer, length);
  while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ')) text.pop_back();
  if (text.empty()) return "Systemfehler " + std::to_string(code);
  return Narrow(text);
}

}  // namespace trelvo::win32
