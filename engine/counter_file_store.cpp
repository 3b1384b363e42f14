#include "engine/counter_file_store.h"

#include "engine/audit/log_line.h"
#include "engine/audit/log_reader.h"
#include "engine/counter_change.h"
#include "engine/counter_file.h"
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

}  // namespace

CounterFileStore::CounterFileStore(platform::Environment& env, const std::string& path)
    : NumberStore(path), env_(env), file_(env.files, path, CounterFileTexts()) {}

bool CounterFileStore::Exists() const { return env_.files.FileExists(path()); }

IniDocument CounterFileStore::Read() const {
  return TellWhenBusy(env_, [&] { return file_.Load(); });
}

void CounterFileStore::Update(const std::function<void(IniDocument&)>& change) const {
  TellWhenBusy(env_, [&] { file_.Update(change); });
}

StoreDraw CounterFileStore::Draw(const DrawPlan& take, const std::string& application) const {
  return *DrawUnless(nullptr, take, application);
}

// The log is opened first: it must take the record before the counter moves,
// and no workstation may hold the counter file while it waits for the log.
// The record is written once the counter file is let go (other workstations
// never wait for the log), through the log opened then. Should that write
// fail, the number stands and the failure is told with it: it was issued. A
// busy counter file is told once the log is let go as well: no box ever
// keeps a file held while the user reads it.
std::optional<StoreDraw> CounterFileStore::DrawUnless(const NamesAnotherStore& names_another, const DrawPlan& take,
                                                      const std::string& application) const {
  return TellWhenBusy(env_, [&]() -> std::optional<StoreDraw> {
    std::optional<UsageLogForRecord> log;
    if (!names_another) {
      log.emplace(env_, LogPath());
    } else {
      // A pointer keeps no log here, so none is created for a path not yet
      // known to hold a counter file: where the log is missing or refuses,
      // the file's content, read without writing, tells first.
      try {
        if (auto there = UsageLogForRecord::IfThere(env_, LogPath())) log.emplace(std::move(*there));
      } catch (const Error&) {
        if (names_another(file_.Load())) return std::nullopt;
        throw;
      }
      if (!log) {
        if (names_another(file_.Load())) return std::nullopt;
        log.emplace(env_, LogPath());
      }
    }
    std::optional<Drawn> drawn;
    bool handed_over = false;
    const platform::LocalDateTime now = env_.system.Now();
    file_.Update([&](IniDocument& document) {
      handed_over = names_another && names_another(document);
      if (!handed_over) drawn = take(document, now);
    });
    if (handed_over) return std::nullopt;
    if (!drawn) return StoreDraw{};
    StoreDraw result{drawn->number, std::nullopt};
    try {
      log->Append(drawn->number, application, now);
    } catch (const Error& error) {
      result.unrecorded = error.what();
    }
    return result;
  });
}

void CounterFileStore::RecordRefusal(const std::string& application) const {
  AppendUsageLog(env_, LogPath(), kLockedMarker, application, env_.system.Now());
}

void CounterFileStore::RecordCounterChange(const std::string& change) const {
  AppendUsageLog(env_, LogPath(), kCounterSetMarker, change, env_.system.Now());
}

// The usage log's lines, each a record or why not, read as the audit reads
// them. The log is shared by every counter file that logs there; a log not
// written yet holds none, one that cannot be read line by line says so once.
void CounterFileStore::ForEachRecord(const std::function<void(const StoredEntry&)>& take) const {
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

// The settings name the log once for the store, when it is first needed:
// a path whose log setting is refused can still be read and unlocked.
const std::string& CounterFileStore::LogPath() const {
  if (!log_path_) log_path_ = GetUsageLogPath(env_);
  return *log_path_;
}

std::unique_ptr<CounterFileStore> OpenCounterFileStore(platform::Environment& env, const std::string& path) {
  return std::make_unique<CounterFileStore>(env, path);
}

IniDocument LoadCounterFile(platform::Environment& env, const std::string& path) {
  const IniFile file(env.files, path, CounterFileTexts());
  return TellWhenBusy(env, [&] { return file.Load(); });
}

}  // namespace trelvo::engine
