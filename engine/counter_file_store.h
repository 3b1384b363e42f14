#pragma once
// The store of a counter file: the range in an INI file on a share, changed
// under the operating-system lock, its records appended to the usage log.
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "engine/ini/ini_file.h"
#include "engine/number_store.h"

namespace trelvo::engine {

class CounterFileStore : public NumberStore {
 public:
  CounterFileStore(platform::Environment& env, const std::string& path);

  bool Exists() const override;
  IniDocument Read() const override;
  void Update(const std::function<void(IniDocument&)>& change) const override;
  StoreDraw Draw(const DrawPlan& take, const std::string& application) const override;
  void RecordRefusal(const std::string& application) const override;
  void RecordCounterChange(const std::string& change) const override;
  void ForEachRecord(const std::function<void(const StoredEntry&)>& take) const override;

  // A draw from a path not known yet to hold a counter file: names_another is
  // asked about the content read under the draw's own lock, and when it says
  // that the file names another store (a pointer to a server range), the file
  // is let go unchanged, nothing is recorded, and nullopt comes back.
  using NamesAnotherStore = std::function<bool(const IniDocument&)>;
  std::optional<StoreDraw> DrawUnless(const NamesAnotherStore& names_another, const DrawPlan& take,
                                      const std::string& application) const;

 private:
  const std::string& LogPath() const;

  platform::Environment& env_;
  IniFile file_;
  mutable std::optional<std::string> log_path_;
};

std::unique_ptr<CounterFileStore> OpenCounterFileStore(platform::Environment& env, const std::string& path);

// The file's content as it is now (a missing file reads as empty). A file held
// by another workstation beyond the wait is told in its error box (Aborted).
IniDocument LoadCounterFile(platform::Environment& env, const std::string& path);

}  // namespace trelvo::engine
