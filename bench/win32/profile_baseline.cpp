#include "bench/profile_baseline.h"

#include <chrono>
#include <windows.h>

#include "platform/win32/wide_text.h"

namespace trelvo::bench {
namespace {

class ProfileFile {
 public:
  explicit ProfileFile(const std::string& path) : path_(win32::Widen(path)) {}
  std::wstring Read(const wchar_t* section, const wchar_t* key, const wchar_t* fallback) const {
    wchar_t value[2048];
    GetPrivateProfileStringW(section, key, fallback, value, 2048, path_.c_str());
    return value;
  }
  void Write(const wchar_t* section, const wchar_t* key, const std::wstring& value) const {
    WritePrivateProfileStringW(section, key, value.c_str(), path_.c_str());
  }
  void Flush() const { WritePrivateProfileStringW(nullptr, nullptr, nullptr, path_.c_str()); }

 private:
  std::wstring path_;
};

// One draw as the protocol reads: query the lock, take it, read the nine keys,
// write the counter, release the lock; each write sequence ends in a flush.
void DrawKeyByKey(const ProfileFile& file) {
  if (file.Read(L"Locking", L"IsLocked", L"0") != L"0") file.Read(L"Locking", L"LockedBy", L"Unbekannt");
  file.Write(L"Locking", L"IsLocked", L"1");
  file.Write(L"Locking", L"LockedBy", L"\"benchmark\"");
  file.Flush();
  const int counter = _wtoi(file.Read(L"Zaehler", L"Counter", L"0").c_str());
  const int increment = _wtoi(file.Read(L"Zaehler", L"Increment", L"1").c_str());
  for (const wchar_t* key :
       {L"Prefix", L"Sep", L"Padding", L"LeadingText", L"TextCounter", L"TextAfter", L"TextBefore"})
    file.Read(L"Optionen", key, L"");
  file.Write(L"Zaehler", L"Counter", std::to_wstring(counter + increment));
  file.Flush();
  file.Write(L"Locking", L"IsLocked", L"0");
  file.Write(L"Locking", L"LockedBy", L"\"#nouser#\"");
  file.Flush();
}

}  // namespace

std::optional<double> MeasureProfileFunctionDraws(const std::string& path, int draws) {
  const ProfileFile file(path);
  file.Write(L"Zaehler", L"Counter", L"0");
  file.Flush();
  const auto started = std::chrono::steady_clock::now();
  for (int i = 0; i < draws; ++i) DrawKeyByKey(file);
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  if (_wtoi(file.Read(L"Zaehler", L"Counter", L"0").c_str()) != draws) return std::nullopt;  // the baseline went wrong
  return draws / seconds;
}

}  // namespace trelvo::bench
