// What a draw costs: accesses to the counter file per draw, draws per second in
// one process against the key-by-key profile-function baseline, and the times
// users feel (preview and draw in a crowded folder, a draw's log record with a
// large usage log). Prints figures; no verdicts except the access counts.
// With a server (bench/server_connection.h: the environment variable
// TRELVO_BENCH_CONNECTION, or --server-pointer FILE), the same draws from a
// range on that database server beside the counter file's, and the audit of
// that range. Its folder goes when it ends, however it ends.
//
//   draw_bench [--draws N] [--server-pointer FILE]
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iomanip>
#include <iostream>
#include <optional>
#include <string>

#include "bench/moved_home.h"
#include "bench/profile_baseline.h"
#include "bench/server_connection.h"
#include "cli/audit_command.h"
#include "engine/number_drawing.h"
#include "engine/number_store.h"
#include "engine/server/connection_string.h"
#include "engine/server/server_range.h"
#include "engine/usage_log.h"
#include "platform/console_user_interface.h"
#include "platform/counting_file_system.h"
#include "platform/system_platform.h"
#include "tests/support/child_process.h"

namespace {

using namespace trelvo;
using Clock = std::chrono::steady_clock;

template <class Body>
double MicrosecondsPerCall(int calls, Body&& body) {
  const auto started = Clock::now();
  for (int i = 0; i < calls; ++i) body();
  return std::chrono::duration<double, std::micro>(Clock::now() - started).count() / calls;
}

// The bench's folder, removed with everything in it when the bench ends.
class ScratchFolder {
 public:
  ScratchFolder() : path_(testing::MakeTempFolder()) {}
  ~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// The measurements in folder; server: a connection string, or "" for none.
// True when a draw takes the expected accesses.
bool Measure(platform::SystemPlatform& real, const std::string& folder, int draws, const std::string& server) {
  platform::CountingFileSystem counting(*real.files);
  platform::ConsoleUserInterface ui(std::cerr);
  std::cout << std::fixed << std::setprecision(1) << "Ordner: " << folder << '\n';
  if (!server.empty()) std::cout << "Server: " << engine::server::WithoutPassword(server) << '\n';
  std::cout << '\n';
  // The per-user folder, and with it the usage log that every draw writes, in the bench's own folder.
  const std::string user_folder =
      folder + "home" + testing::PathSeparator() + "Orvant" + testing::PathSeparator() + "Trelvo 2006";
  real.files->CreateDirectories(user_folder);
  bench::MovedHome moved(*real.system, folder + "home");
  platform::Environment env{counting, moved, ui};

  // Accesses of one draw on an existing counter file.
  const auto counter_store = engine::OpenNumberStore(env, folder + "counter.ini");
  const engine::NumberStore& counter = *counter_store;
  engine::DrawUnderLock(env, counter);
  const platform::FileAccessCounts before = counting.counts();
  engine::DrawUnderLock(env, counter);
  const platform::FileAccessCounts after = counting.counts();
  std::cout << "== Zugriffe auf die Zählerdatei und das Protokoll je Ziehung\n"
            << "  Öffnen: " << after.opens - before.opens << "  Lesen: " << after.reads - before.reads
            << "  Schreiben: " << after.writes - before.writes << "  Flush: " << after.flushes - before.flushes
            << "  Anhängen: " << after.appends - before.appends << '\n';
  // The log: once to make sure it takes the record, once the record itself.
  const bool one_each = after.opens - before.opens == 1 && after.reads - before.reads == 1 &&
                        after.writes - before.writes == 1 && after.flushes - before.flushes == 1 &&
                        after.appends - before.appends == 2;
  std::cout << "  " << (one_each ? "OK" : "FEHLER")
            << "  einmal öffnen, einmal lesen, einmal schreiben mit Flush; zweimal ans Protokoll\n\n";

  // Draws per second in one process, and the baseline.
  const double draw_us = MicrosecondsPerCall(draws, [&] { engine::DrawUnderLock(env, counter); });
  std::cout << "== Ziehungen je Sekunde in einem Prozess (" << draws << " Ziehungen)\n"
            << "  Trelvo (eine atomare Ziehung): " << 1e6 / draw_us << "/s (" << draw_us << " µs je Ziehung)\n";
  const auto baseline = bench::MeasureProfileFunctionDraws(folder + "baseline.ini", draws);
  if (baseline) {
    std::cout << "  Profilfunktionen, Schlüssel für Schlüssel: " << *baseline << "/s\n"
              << "  Verhältnis: " << (1e6 / draw_us) / *baseline << " mal so viele Ziehungen\n\n";
  } else {
    std::cout << "  Profilfunktionen: nur im Windows-Build gemessen\n\n";
  }

  if (!server.empty()) {
    // A range of its own on the server, the pointer beside the counter file.
    engine::OpenNumberStore(env, folder + "server.ini")->Update([&](engine::IniDocument& file) {
      file.WriteString("Server", "Connection", server);
      file.WriteString("Server", "Range", "Messung " + folder);
    });
    const auto pointer_store = engine::OpenNumberStore(env, folder + "server.ini");
    const engine::NumberStore& pointer = *pointer_store;
    pointer.Server()->Create(engine::IniDocument());
    const int server_draws = std::max(draws / 10, 50);
    const double server_us =
        MicrosecondsPerCall(server_draws, [&] { engine::DrawUnderLock(env, pointer, "Excel 11.0"); });
    cli::AuditCall call;
    call.counter_files = {pointer.path()};
    const auto audit_started = Clock::now();
    const auto audit = cli::AuditUsageLog(call, env);
    const double audit_ms = std::chrono::duration<double, std::milli>(Clock::now() - audit_started).count();
    std::cout << "== Nummernkreis auf dem Server (" << server_draws
              << " Ziehungen, je eine Verbindung und Transaktion)\n"
              << "  Ziehung mit Datensatz: " << 1e6 / server_us << "/s (" << server_us << " µs je Ziehung)\n"
              << "  Zählerdatei zum Vergleich: " << 1e6 / draw_us << "/s\n"
              << "  Prüfung des Nummernkreises (" << audit.records << " Datensätze): " << audit_ms << " ms, "
              << audit.findings.size() << " Befunde\n\n";
  }

  // Costs users feel.
  const std::string crowded = folder + "voll" + testing::PathSeparator();
  real.files->CreateDirectories(crowded);
  for (int i = 0; i < 1000; ++i) std::ofstream(crowded + "rechnung" + std::to_string(i) + ".ini") << "[Zaehler]\n";
  const auto crowded_store = engine::OpenNumberStore(env, crowded + "counter.ini");
  const engine::NumberStore& crowded_counter = *crowded_store;
  engine::DrawUnderLock(env, crowded_counter);
  const int calls = std::max(draws / 10, 20);
  std::cout << "== Zählerdatei in einem Ordner mit 1.000 weiteren Dateien\n"
            << "  Vorschau: " << MicrosecondsPerCall(calls, [&] { engine::PreviewNextNumber(env, crowded_counter); })
            << " µs\n"
            << "  Ziehung: " << MicrosecondsPerCall(calls, [&] { engine::DrawUnderLock(env, crowded_counter); })
            << " µs\n\n";

  {
    std::ofstream log(user_folder + testing::PathSeparator() + "sabulog.csv", std::ios::binary);
    log << engine::kUsageLogHeader << "\r\n";
    const std::string record = engine::UsageLogRecord("RE2026-12-0042", "2026-12-10 09:00:00", "Excel 11.0", "mmuster");
    for (size_t size = 0; size < 1024 * 1024; size += record.size() + 2) log << record << "\r\n";
  }
  std::cout << "== Ziehung mit Protokollsatz, Protokoll 1 MB groß\n"
            << "  Ziehung + Protokollsatz: "
            << MicrosecondsPerCall(calls, [&] { engine::DrawUnderLock(env, counter, "Excel 11.0"); }) << " µs\n";
  return one_each;
}

}  // namespace

int main(int argc, char** argv) {
  int draws = 2000;
  std::optional<std::string> pointer_file;
  for (int i = 1; i < argc; ++i) {
    const std::string option = argv[i];
    if (option == "--server") {
      std::cerr << "draw_bench: " << bench::ServerOptionRefusal() << '\n';
      return 64;
    }
    if (i + 1 < argc && option == "--draws") {
      draws = std::stoi(argv[++i]);
    } else if (i + 1 < argc && option == bench::kServerPointerOption) {
      pointer_file = argv[++i];
    } else {
      std::cerr << "Aufruf: draw_bench [--draws N] [--server-pointer DATEI]\n"
                   "  Server: die Zeigerdatei ([Server] Connection=…) oder die Umgebungsvariable "
                   "TRELVO_BENCH_CONNECTION\n";
      return 64;
    }
  }

  std::string server;
  try {
    auto real = platform::MakeSystemPlatform();
    server = bench::ServerConnection(*real.files, pointer_file);
    const ScratchFolder folder;
    return Measure(real, folder.path(), draws, server) ? 0 : 1;
  } catch (const Aborted&) {
    return 1;  // told already; caught, as everything here, so that the folder is removed on the way out
  } catch (const std::exception& error) {
    // The text may repeat a driver's, and with it the connection.
    std::cerr << "draw_bench: " << engine::server::MaskedIn(error.what(), server) << '\n';
    return 1;
  }
}
