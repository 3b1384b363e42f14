#include "engine/counter_file_store.h"

#include <optional>

#include "engine/audit/log_line.h"
#include "engine/audit/log_reader.h"
#include "engine/counter_file.h"
#include "engine/ini/ini_file.h"
#include "engine/usage_log.h"
#include "platform/user_interface.h"

namespace trelvo::engine {
namespace {

// The busy message is an error box of its own; the operation then ends quietly.
template <class Operation>
auto TellWhenBusy(platform::Environment& env, Operation&& operation) {
  try {
    return operation();
  } catch (const FileBusyError& error) {
    platform::ShowErrorBox(env.ui, error.what());
    throw Aborted(error.what());
  }
}

class CounterFileStore : public NumberStore {
 public:
  CounterFileStore(platform::Environment& env, const std::string& path)
      : NumberStore(path), env_(env), file_(env.files, path, CounterFileTexts()) {}

  bool Exists() const override { return env_.files.FileExists(path()); }

  IniDocument Read() const override {
    return TellWhenBusy(env_, [&] { return file_.Load(); });
  }

  void Update(const std::function<void(IniDocument&)>& change) const override {
    TellWhenBusy(env_, [&] { file_.Update(change); });
  }

  // The log must take the record before the counter moves; the record is
  // appended once the file is let go (other workstations never wait for the
  // log). Should that append fail, the number stands and the failure is told
  // with it: it was issued.
  StoreDraw Draw(const DrawPlan& take, const std::string& application) const override {
    CheckUsageLogWritable(env_, LogPath());
    std::optional<Drawn> drawn;
    const platform::LocalDateTime now = env_.system.Now();
    Update([&](IniDocument& document) { drawn = take(document, now); });
    if (!drawn) return {};
    StoreDraw result{drawn->number, std::nullopt};
    try {
      AppendUsageLog(env_, LogPath(), drawn->number, application, now);
    } catch (const Error& error) {
      result.unrecorded = error.what();
    }
    return result;
  }

  void RecordRefusal(const std::string& application) const override {
    AppendUsageLog(env_, LogPath(), kLockedMarker, application, env_.system.Now());
  }

  // The usage log's lines, each a record or why not, read as the audit reads
  // them. The log is shared by every counter file that logs there; a log not
  // written yet holds none, one that cannot be read line by line says so once.
  void ForEachRecord(const std::function<void(const StoredEntry&)>& take) const override {
    audit::LogFileFacts facts;
    const auto take_line = [&](size_t line_number, const std::string& line, bool complete, const std::string& problem) {
      const audit::ParsedLine parsed =
          problem.empty() ? audit::ParseLogLine(line, complete) : audit::ParsedLine{std::nullopt, problem};
      StoredEntry entry{line_number, std::nullopt, parsed.problem};
      if (parsed.record)
        entry.record = UsageRecord{parsed.record->number,
                                   std::nullopt,
                                   parsed.record->date,
                                   parsed.record->time,
                                   parsed.record->application,
                                   parsed.record->user,
                                   ""};
      take(entry);
    };
    if (audit::ReadUsageLog(env_.files, LogPath(), take_line, facts) && !facts.unreadable.empty())
      take(StoredEntry{0, std::nullopt, "Das Protokoll ist nicht zeilenweise lesbar: " + facts.unreadable});
  }

 private:
  // The settings name the log once for the store, when it is first needed:
  // a path whose log setting is refused can still be read and unlocked.
  const std::string& LogPath() const {
    if (!log_path_) log_path_ = GetUsageLogPath(env_);
    return *log_path_;
  }

  platform::Environment& env_;
  IniFile file_;
  mutable std::optional<std::string> log_path_;
};

}  // namespace

std::unique_ptr<NumberStore> OpenCounterFileStore(platform::Environment& env, const std::string& path) {
  return std::make_unique<CounterFileStore>(env, path);
}

IniDocument LoadCounterFile(platform::Environment& env, const std::string& path) {
  const IniFile file(env.files, path, CounterFileTexts());
  return TellWhenBusy(env, [&] { return file.Load(); });
}

}  // namespace trelvo::engine
