#include "platform/win32/registry_key.h"

#include "platform/error.h"

namespace trelvo::win32 {

RegistryKey& RegistryKey::operator=(RegistryKey&& other) noexcept {
  if (this != &other) {
    if (key_) RegCloseKey(key_);
    key_ = std::exchange(other.key_, nullptr);
  }
  return *this;
}

RegistryKey::~RegistryKey() {
  if (key_) RegCloseKey(key_);
}

RegistryKey RegistryKey::Create(HKEY root, const std::wstring& path) {
  HKEY key = nullptr;
  if (RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, &key, nullptr) != ERROR_SUCCESS)
    return {};
  return RegistryKey(key);
}

RegistryKey RegistryKey::Open(HKEY root, const std::wstring& path, REGSAM access) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(root, path.c_str(), 0, access, &key) != ERROR_SUCCESS) return {};
  return RegistryKey(key);
}

bool RegistryKey::SetString(const std::wstring& name, const std::wstring& value) const {
  const auto bytes = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
  return RegSetValueExW(key_, name.empty() ? nullptr : name.c_str(), 0, REG_SZ,
                        reinterpret_cast<const BYTE*>(value.c_str()), bytes) == ERROR_SUCCESS;
}

bool RegistryKey::SetDword(const std::wstring& name, DWORD value) const {
  return RegSetValueExW(key_, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value) ==
         ERROR_SUCCESS;
}

std::optional<std::wstring> RegistryKey::GetString(const std::wstring& name) const {
  DWORD type = 0;
  DWORD bytes = 0;
  const wchar_t* value_name = name.empty() ? nullptr : name.c_str();
  if (RegQueryValueExW(key_, value_name, nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS ||
      (type != REG_SZ && type != REG_EXPAND_SZ))
    return std::nullopt;
  std::wstring value(bytes / sizeof(wchar_t) + 1, L'\0');
  bytes = static_cast<DWORD>(value.size() * sizeof(wchar_t));
  if (RegQueryValueExW(key_, value_name, nullptr, &type, reinterpret_cast<BYTE*>(value.data()), &bytes) !=
      ERROR_SUCCESS)
    return std::nullopt;
  value.resize(wcsnlen(value.c_str(), value.size()));
  return value;
}

std::optional<DWORD> RegistryKey::GetDword(const std::wstring& name) const {
  DWORD type = 0;
  DWORD value = 0;
  DWORD bytes = sizeof value;
  if (RegQueryValueExW(key_, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&value), &bytes) != ERROR_SUCCESS ||
      type != REG_DWORD)
    return std::nullopt;
  return value;
}

std::vector<std::wstring> RegistryKey::ValueNames() const {
  std::vector<std::wstring> names;
  for (DWORD index = 0;; ++index) {
    wchar_t name[16384];
    DWORD length = static_cast<DWORD>(std::size(name));
    if (RegEnumValueW(key_, index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    names.emplace_back(name, length);
  }
  return names;
}

std::vector<std::wstring> RegistryKey::SubkeyNames() const {
  std::vector<std::wstring> names;
  for (DWORD index = 0;; ++index) {
    wchar_t name[256];  // the longest key name the registry allows, and its terminator
    DWORD length = static_cast<DWORD>(std::size(name));
    if (RegEnumKeyExW(key_, index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    names.emplace_back(name, length);
  }
  return names;
}

void WriteRegistryText(HKEY root, const std::wstring& path, const std::wstring& name, const std::wstring& value) {
  const auto key = RegistryKey::Create(root, path);
  if (!key || !key.SetString(name, value))
    throw Error("Fehler beim Erstellen eines Eintrages in der Systemregistrierung");
}

bool DeleteRegistryTree(HKEY root, const std::wstring& path) {
  // Given a subkey path, RegDeleteTree removes the subkey itself as well.
  const LSTATUS status = RegDeleteTreeW(root, path.c_str());
  return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND || status == ERROR_PATH_NOT_FOUND;
}

}  // namespace trelvo::win32
