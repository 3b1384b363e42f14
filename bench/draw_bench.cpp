// What a draw costs: accesses to the counter file per draw, draws per second in
// one process against the key-by-key profile-function baseline, and the times
// users feel (preview and draw in a crowded folder, a draw's log record with a
// large usage log). Prints figures; no verdicts except the access counts.
// With --server, the same draws from a range on that database server (an ODBC
// connection string) beside the counter file's, and the audit of that range.
//
//   draw_bench [--draws N] [--server CONNECTION]
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iomanip>
#include <iostream>

#include "bench/moved_home.h"
#include "bench/profile_baseline.h"
#include "cli/audit_command.h"
#include "engine/number_drawing.h"
#include "engine/number_store.h"
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

}  // namespace

int main(int argc, char** argv) {
  int draws = 2000;
  std::string server;
  for (int i = 1; i + 1 < argc; i += 2) {
    if (std::string(argv[i]) == "--draws") draws = std::stoi(argv[i + 1]);
    if (std::string(argv[i]) == "--server") server = argv[i + 1];
  }

  auto real = platform::MakeSystemPlatform();
  platform::CountingFileSystem counting(*real.files);
  platform::ConsoleUserInterface ui(std::cerr);
  const std::string folder = testing::MakeTempFolder();
  std::cout << std::fixed << std::setprecision(1) << "Ordner: " << folder << "\n\n";
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

  std::error_code ignored;
  std::filesystem::remove_all(folder, ignored);
  return one_each ? 0 : 1;
}
