#pragma once
// One INI file on disk, named by its full path. Nothing is cached: every read
// loads the file afresh under a shared lock, every write is one
// read-modify-write under the exclusive lock, written in one piece and flushed.
#include <chrono>
#include <functional>
#include <string>

#include "engine/ini/ini_document.h"
#include "engine/messages.h"
#include "platform/error.h"
#include "platform/file_system.h"

namespace trelvo::engine {

// How long an operation waits for another workstation's hold on a file.
inline constexpr std::chrono::milliseconds kFileLockWait{5000};

// The file stayed held by another process beyond the wait.
class FileBusyError : public Error {
 public:
  using Error::Error;
};

class IniFile {
 public:
  // texts: how this kind of file is named when it is busy or no INI text.
  IniFile(platform::FileSystem& files, std::string path, IniFileTexts texts = PlainIniFileTexts());

  const std::string& path() const { return path_; }

  // The whole file as it is now; a missing file is an empty document.
  IniDocument Load() const;
  // Runs change on the current content and writes the result back, creating a
  // missing file (its folder must exist). A refused write raises
  // "In %s kann nicht geschrieben werden"; the file has been closed by then,
  // and it holds either its old bytes or the whole new content. A file that is
  // no INI text is refused and never written.
  void Update(const std::function<void(IniDocument&)>& change) const;

  std::string ReadString(std::string_view section, std::string_view key, std::string_view fallback) const;
  bool ReadBool(std::string_view section, std::string_view key, bool fallback) const;
  void WriteString(std::string_view section, std::string_view key, std::string_view value) const;

 private:
  IniDocument Parse(const std::string& bytes) const;
  [[noreturn]] void ThrowBusy() const;

  platform::FileSystem& files_;
  std::string path_;
  IniFileTexts texts_;
};

}  // namespace trelvo::engine
