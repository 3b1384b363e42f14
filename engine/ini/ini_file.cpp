#include "engine/ini/ini_file.h"

#include "platform/user_interface.h"

namespace trelvo::engine {

using platform::FileBusy;
using platform::FileError;
using platform::LockMode;

IniFile::IniFile(platform::FileSystem& files, std::string path, IniFileTexts texts)
    : files_(files), path_(std::move(path)), texts_(std::move(texts)) {}

void IniFile::ThrowBusy() const { throw FileBusyError(FillIn(texts_.busy, platform::Quoted(FileNameOf(path_)))); }

IniDocument IniFile::Parse(const std::string& bytes) const {
  try {
    return IniDocument(bytes);
  } catch (const NotIniText&) {
    throw Error(FillIn(texts_.not_ini, platform::Quoted(path_)));
  }
}

IniDocument IniFile::Load() const {
  std::string bytes;
  try {
    const auto file = files_.OpenLocked(path_, LockMode::Shared, false, kFileLockWait);
    if (!file) return IniDocument();
    bytes = file->ReadAll();
  } catch (const FileBusy&) {
    ThrowBusy();
  } catch (const FileError& error) {
    throw Error(CannotReadMessage(path_, error.what()));
  }
  return Parse(bytes);
}

void IniFile::Update(const std::function<void(IniDocument&)>& change) const {
  std::unique_ptr<platform::LockedFile> file;
  std::string before;
  try {
    file = files_.OpenLocked(path_, LockMode::Exclusive, true, kFileLockWait);
  } catch (const FileBusy&) {
    ThrowBusy();
  } catch (const FileError&) {
    throw Error(CannotWriteMessage(path_));
  }
  try {
    before = file->ReadAll();
  } catch (const FileError& error) {
    throw Error(CannotReadMessage(path_, error.what()));
  }
  IniDocument document = Parse(before);
  change(document);
  const std::string after = document.Bytes();
  if (after == before) return;
  try {
    file->ReplaceContent(after, before);
  } catch (const FileError&) {
    throw Error(CannotWriteMessage(path_));
  }
}

std::string IniFile::ReadString(std::string_view section, std::string_view key, std::string_view fallback) const {
  return Load().ReadString(section, key, fallback);
}
bool IniFile::ReadBool(std::string_view section, std::string_view key, bool fallback) const {
  return Load().ReadBool(section, key, fallback);
}
void IniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) const {
  Update([&](IniDocument& document) { document.WriteString(section, key, value); });
}

}  // namespace trelvo::engine
