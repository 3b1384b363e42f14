#include "simoffice/sim_names.h"

#include <algorithm>
#include <cwctype>

#include "platform/win32/wide_text.h"

namespace trelvo::simoffice {
namespace {

std::wstring Lower(std::wstring text) {
  std::transform(text.begin(), text.end(), text.begin(), [](wchar_t c) { return std::towlower(c); });
  return text;
}

}  // namespace

bool SameName(const std::string& a, const wchar_t* b) { return Lower(win32::Widen(a)) == Lower(b ? b : L""); }

bool SameName(const std::string& a, const std::string& b) { return SameName(a, win32::Widen(b).c_str()); }

}  // namespace trelvo::simoffice
