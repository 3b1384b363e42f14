#pragma once
// An open registry key that closes itself.
#include <optional>
#include <utility>
#include <string>
#include <vector>
#include <windows.h>

namespace trelvo::win32 {

class RegistryKey {
 public:
  RegistryKey() = default;
  RegistryKey(RegistryKey&& other) noexcept : key_(std::exchange(other.key_, nullptr)) {}
  RegistryKey& operator=(RegistryKey&& other) noexcept;
  RegistryKey(const RegistryKey&) = delete;
  RegistryKey& operator=(const RegistryKey&) = delete;
  ~RegistryKey();

  // Opens or creates the key with every missing level; empty key on failure.
  static RegistryKey Create(HKEY root, const std::wstring& path);
  // Opens an existing key; empty key when it is missing or refused.
  static RegistryKey Open(HKEY root, const std::wstring& path, REGSAM access = KEY_READ);

  explicit operator bool() const { return key_ != nullptr; }
  HKEY get() const { return key_; }

  // Writes return false when the registry refuses the value.
  bool SetString(const std::wstring& name, const std::wstring& value) const;
  bool SetDword(const std::wstring& name, DWORD value) const;
  std::optional<std::wstring> GetString(const std::wstring& name) const;
  std::optional<DWORD> GetDword(const std::wstring& name) const;
  std::vector<std::wstring> ValueNames() const;
  std::vector<std::wstring> SubkeyNames() const;

 private:
  explicit RegistryKey(HKEY key) : key_(key) {}
  HKEY key_ = nullptr;
};

// Writes a text value, creating the key with every missing level; throws
// trelvo::Error "Fehler beim Erstellen eines Eintrages in der Systemregistrierung"
// when the registry refuses it.
void WriteRegistryText(HKEY root, const std::wstring& path, const std::wstring& name, const std::wstring& value);

// Deletes a key with all its subkeys; a missing key is not an error.
bool DeleteRegistryTree(HKEY root, const std::wstring& path);

}  // namespace trelvo::win32
