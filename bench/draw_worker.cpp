// A workstation in a box: draws numbers from a shared counter file through the
// engine's lock protocol, as many processes of the stress runs and tests do.
//
//   draw_worker draw COUNTER_FILE COUNT OUT_FILE [--home DIR] [--log]
//       Draws COUNT times; writes each issued number, or "#ini gesperrt#" for a
//       refused draw, as one line to OUT_FILE (flushed at once, so a killed
//       worker leaves every number it had issued). Each number drawn gets its
//       record with the draw; --log also records each refused draw; --home
//       DIR puts the per-user folder (and the usage log) under DIR.
//       --pause-in-lock MS holds the operating-system lock MS milliseconds in
//       each draw, between reading and writing the file (a slow workstation,
//       and a process that is killed in the middle of a draw); for a counter
//       file that points at a server range, the range's row lock is held
//       instead. With --holding-file PATH the file PATH exists exactly during
//       these pauses, so that whoever kills the worker knows it held the lock.
//       --pause-before-log MS waits MS milliseconds between a counter file's
//       draw and the append of its record to the usage log (a workstation
//       that stops after drawing); with --drawn-file PATH the file PATH holds
//       the number drawn exactly during these pauses.
//   draw_worker hold COUNTER_FILE READY_FILE
//       Takes the exclusive operating-system lock of the file, creates
//       READY_FILE, and waits to be killed.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "bench/moved_home.h"
#include "engine/number_drawing.h"
#include "engine/number_store.h"
#include "engine/server/server_statements.h"
#include "engine/settings.h"
#include "engine/usage_log.h"
#include "platform/console_user_interface.h"
#include "platform/kept_connections.h"
#include "platform/error.h"
#include "platform/forwarding_file_system.h"
#include "platform/system_platform.h"

namespace {

using namespace trelvo;

struct LogPause {
  std::chrono::milliseconds pause{0};
  std::string drawn_file;
};

// Files whose locked reads take a pause before the caller goes on to write,
// and whose appended records (the usage log's) wait their own pause.
class PausingFileSystem : public platform::ForwardingFileSystem {
 public:
  PausingFileSystem(platform::FileSystem& inner, std::chrono::milliseconds pause, std::string holding_file,
                    LogPause log_pause)
      : ForwardingFileSystem(inner),
        pause_(pause),
        holding_file_(std::move(holding_file)),
        log_pause_(std::move(log_pause)) {}
  std::unique_ptr<platform::LockedFile> OpenLocked(const std::string& path, platform::LockMode mode, bool create,
                                                   std::chrono::milliseconds wait) override {
    auto file = inner().OpenLocked(path, mode, create, wait);
    if (!file) return nullptr;
    return std::make_unique<PausingFile>(std::move(file), pause_, holding_file_);
  }
  // A draw's record goes through the log it opened before the draw.
  std::unique_ptr<platform::AppendingFile> OpenAppending(const std::string& path, std::string_view header,
                                                         bool create, std::chrono::milliseconds wait) override {
    auto log = inner().OpenAppending(path, header, create, wait);
    if (!log) return nullptr;
    return std::make_unique<PausingLog>(std::move(log), log_pause_);
  }

 private:
  class PausingLog : public platform::AppendingFile {
   public:
    PausingLog(std::unique_ptr<platform::AppendingFile> inner, const LogPause& pause)
        : inner_(std::move(inner)), pause_(pause) {}
    void Append(std::string_view bytes) override {
      // A record ("0042"; ...) rather than a refused draw's ("#ini gesperrt#"; ...).
      if (pause_.pause.count() > 0 && bytes.starts_with("\"") && !bytes.starts_with("\"#")) {
        const std::string_view number = bytes.substr(1, bytes.find('"', 1) - 1);
        // Written aside and renamed: whoever sees the file sees the number in it.
        if (!pause_.drawn_file.empty()) {
          const std::string aside = pause_.drawn_file + ".neu";
          std::ofstream(aside) << number << '\n';
          std::rename(aside.c_str(), pause_.drawn_file.c_str());
        }
        std::this_thread::sleep_for(pause_.pause);
        if (!pause_.drawn_file.empty()) std::remove(pause_.drawn_file.c_str());
      }
      inner_->Append(bytes);
    }

   private:
    std::unique_ptr<platform::AppendingFile> inner_;
    const LogPause& pause_;
  };

  class PausingFile : public platform::LockedFile {
   public:
    PausingFile(std::unique_ptr<platform::LockedFile> inner, std::chrono::milliseconds pause,
                const std::string& holding_file)
        : inner_(std::move(inner)), pause_(pause), holding_file_(holding_file) {}
    std::string ReadAll() override {
      std::string content = inner_->ReadAll();
      if (!holding_file_.empty()) std::ofstream(holding_file_) << "in der Sperre\n";
      std::this_thread::sleep_for(pause_);
      if (!holding_file_.empty()) std::remove(holding_file_.c_str());
      return content;
    }
    void ReplaceContent(std::string_view bytes, std::string_view previous) override {
      inner_->ReplaceContent(bytes, previous);
    }

   private:
    std::unique_ptr<platform::LockedFile> inner_;
    std::chrono::milliseconds pause_;
    const std::string& holding_file_;
  };

  std::chrono::milliseconds pause_;
  std::string holding_file_;
  LogPause log_pause_;
};

// Connections whose row locks (the range's lock statement, the engine's own
// text) are held a pause before the draw goes on, the holding file existing
// exactly then.
class PausingConnector : public platform::DatabaseConnector {
 public:
  PausingConnector(std::chrono::milliseconds pause, std::string holding_file)
      : pause_(pause), holding_file_(std::move(holding_file)) {}
  std::unique_ptr<platform::SqlConnection> Connect(const std::string& connection_string) override {
    return std::make_unique<PausingConnection>(platform::OdbcConnector().Connect(connection_string), *this);
  }

 private:
  class PausingConnection : public platform::SqlConnection {
   public:
    PausingConnection(std::unique_ptr<platform::SqlConnection> inner, const PausingConnector& owner)
        : inner_(std::move(inner)), owner_(owner) {}
    void ForEachRow(const std::string& statement, const std::vector<platform::SqlValue>& parameters,
                    const std::function<void(platform::SqlRow&&)>& take) override {
      inner_->ForEachRow(statement, parameters, take);
      if (statement == engine::server::StatementText(engine::server::Statement::LockRange)) {
        if (!owner_.holding_file_.empty()) std::ofstream(owner_.holding_file_) << "in der Sperre\n";
        std::this_thread::sleep_for(owner_.pause_);
        if (!owner_.holding_file_.empty()) std::remove(owner_.holding_file_.c_str());
      }
    }
    void Commit() override { inner_->Commit(); }
    void Rollback() override { inner_->Rollback(); }

   private:
    std::unique_ptr<platform::SqlConnection> inner_;
    const PausingConnector& owner_;
  };

  std::chrono::milliseconds pause_;
  std::string holding_file_;
};

int Draw(platform::Environment& env, const std::string& counter_file, int count, const std::string& out_file,
         bool log) {
  std::ofstream out(out_file, std::ios::binary | std::ios::app);
  const auto store = engine::OpenNumberStore(env, counter_file);
  for (int i = 0; i < count; ++i) {
    const engine::DrawResult result = engine::DrawUnderLock(env, *store, "Last ");
    out << (result.issued ? result.number : engine::kLockedMarker) << '\n' << std::flush;
    if (result.unrecorded) throw Error(*result.unrecorded);
    if (log && !result.issued) store->RecordRefusal("Last ");
  }
  return 0;
}

int Hold(platform::Environment& env, const std::string& counter_file, const std::string& ready_file) {
  const auto held = env.files.OpenLocked(counter_file, platform::LockMode::Exclusive, true, std::chrono::seconds(30));
  std::ofstream(ready_file) << "ready\n";
  for (;;) std::this_thread::sleep_for(std::chrono::seconds(1));
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  auto real = platform::MakeSystemPlatform();
  std::optional<std::string> home;
  bool log = false;
  std::chrono::milliseconds pause{0};
  std::string holding_file;
  LogPause log_pause;
  std::vector<std::string> positional;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--home" && i + 1 < args.size())
      home = args[++i];
    else if (args[i] == "--pause-in-lock" && i + 1 < args.size())
      pause = std::chrono::milliseconds(std::stoi(args[++i]));
    else if (args[i] == "--holding-file" && i + 1 < args.size())
      holding_file = args[++i];
    else if (args[i] == "--pause-before-log" && i + 1 < args.size())
      log_pause.pause = std::chrono::milliseconds(std::stoi(args[++i]));
    else if (args[i] == "--drawn-file" && i + 1 < args.size())
      log_pause.drawn_file = args[++i];
    else if (args[i] == "--log")
      log = true;
    else
      positional.push_back(args[i]);
  }
  bench::MovedHome system(*real.system, home);
  // A worker's waits for the others are its load, not news: only its boxes go to stderr.
  struct WorkerUserInterface : platform::ConsoleUserInterface {
    using ConsoleUserInterface::ConsoleUserInterface;
    void ShowWaiting(const std::string&) noexcept override {}
  } ui(std::cerr);
  try {
    // The pause goes where the lock is: the row of a server range, or the counter file.
    platform::Environment plain{*real.files, system, ui};
    const bool on_server = positional.size() > 1 && engine::OpenNumberStore(plain, positional[1])->Server();
    PausingFileSystem files(*real.files, on_server ? std::chrono::milliseconds(0) : pause,
                            on_server ? "" : holding_file, log_pause);
    PausingConnector databases(on_server ? pause : std::chrono::milliseconds(0), on_server ? holding_file : "");
    // A worker draws as an add-in's session does: over one kept connection.
    platform::KeptConnections kept(databases);
    platform::Environment env{files, system, ui, kept};
    if (positional.size() == 4 && positional[0] == "draw")
      return Draw(env, positional[1], std::stoi(positional[2]), positional[3], log);
    if (positional.size() == 3 && positional[0] == "hold") return Hold(env, positional[1], positional[2]);
  } catch (const std::exception& error) {
    std::cerr << "draw_worker: " << error.what() << '\n';
    return 1;
  }
  std::cerr << "Aufruf: draw_worker draw DATEI ANZAHL AUSGABE [--home ORDNER] [--log] [--pause-in-lock MS]\n"
               "                         [--holding-file PFAD] [--pause-before-log MS] [--drawn-file PFAD]\n"
               "       draw_worker hold DATEI BEREIT\n";
  return 64;
}
