#include "engine/ini/ini_file.h"

#include "platform/user_interface.h"

namespace trelvo::engine {

using platform::FileBusy;
using platform::FileError;
using platform::LockMode;

std::string FormatMessage(std::string pattern, const std::string& argument) {
  const size_t at = pattern.find("%s");
  if (at != std::string::npos) pattern.replace(at, 2, argument);
  return pattern;
}

std::string CannotWriteMessage(const std::string& path) {
  return FormatMessage("In %s kann nicht geschrieben werden", platform::Quoted(path));
}

std::string FileNameOf(const std::string& path) {
  const size_t separator = path.find_last_of("\\/:");
  return separator == std::string::npos ? path : path.substr(separator + 1);
}

std::string IniFile::DefaultBusyMessage() {
  return "Die Datei %s ist zur Zeit durch einen anderen Arbeitsplatz belegt.\r\n"
         "Bitte probieren Sie es in einigen Sekunden erneut.";
}

IniFile::IniFile(platform::FileSystem& files, std::string path, std::string busy_message)
    : files_(files), path_(std::move(path)), busy_message_(std::move(busy_message)) {}

void IniFile::ThrowBusy() const {
  throw FileBusyError(FormatMessage(busy_message_, platform::Quoted(FileNameOf(path_))));
}

IniDocument IniFile::Load() const {
  try {
    const auto file = files_.OpenLocked(path_, LockMode::Shared, false, kFileLockWait);
    return file ? IniDocument(file->ReadAll()) : IniDocument();
  } catch (const FileBusy&) {
    ThrowBusy();
  } catch (const FileError& error) {
    throw Error("Datei " + platform::Quoted(path_) + " kann nicht gelesen werden. " + error.what());
  }
}

void IniFile::Update(const std::function<void(IniDocument&)>& change) const {
  std::unique_ptr<platform::LockedFile> file;
  try {
    file = files_.OpenLocked(path_, LockMode::Exclusive, true, kFileLockWait);
  } catch (const FileBusy&) {
    ThrowBusy();
  } catch (const FileError&) {
    throw Error(CannotWriteMessage(path_));
  }
  const std::string before = file->ReadAll();
  IniDocument document(before);
  change(document);
  const std::string after = document.Bytes();
  if (after == before) return;
  try {
    file->ReplaceContent(after);
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
