// What a draw costs: the file-system calls of one Insert (a draw with its
// record) on the counter file and the log, as a file server sees them, and the
// time they take on a share with 5 ms per call; draws per second in one
// process against the key-by-key profile-function baseline, and the times
// users feel (preview and draw in a crowded folder, a draw's log record with a
// large usage log). Prints figures; no verdicts except the call counts.
// With a server (bench/server_connection.h: the environment variable
// TRELVO_BENCH_CONNECTION, or --server-pointer FILE), the same draws from a
// range on that database server beside the counter file's, and the audit of
// that range. Its folder goes when it ends, however it ends.
//
//   draw_bench [--draws N] [--server-pointer FILE]
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iomanip>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "bench/moved_home.h"
#include "bench/profile_baseline.h"
#include "bench/server_connection.h"
#include "cli/audit_command.h"
#include "cli/trelvo_tool.h"
#include "engine/number_drawing.h"
#include "engine/number_store.h"
#include "engine/server/connection_string.h"
#include "engine/server/server_range.h"
#include "engine/usage_log.h"
#include "platform/console_user_interface.h"
#include "platform/counting_file_system.h"
#include "platform/kept_connections.h"
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

// The least one draw with its record needs on the counter file and the log
// together (README: "Ein Einfügen, so schnell wie die Freigabe erlaubt").
constexpr long kMostCallsPerInsert = 10;
// A file server's round trip as a branch office's VPN gives it.
constexpr std::chrono::milliseconds kShareRoundTrip{5};

// The calls of one operation on the counter file, on the log, and on every
// other file (the settings file in the user's own folder).
struct OperationCalls {
  platform::FileCallCounts counter, log, other;
  double milliseconds = 0;
};

// Runs operation once against the real files, each call counted (and, with a
// round trip, taking that long).
OperationCalls CountCalls(platform::SystemPlatform& real, platform::SystemServices& system,
                          platform::UserInterface& ui, const std::string& counter_path,
                          std::chrono::microseconds round_trip,
                          const std::function<void(platform::Environment&)>& operation) {
  platform::Environment uncounted{*real.files, system, ui};
  const std::string log_path = engine::GetUsageLogPath(uncounted);
  platform::CountingFileSystem counting(*real.files, round_trip);
  platform::Environment env{counting, system, ui};
  const auto started = Clock::now();
  operation(env);
  OperationCalls calls;
  calls.milliseconds = std::chrono::duration<double, std::milli>(Clock::now() - started).count();
  calls.counter = counting.CountsFor(counter_path);
  calls.log = counting.CountsFor(log_path);
  calls.other = counting.Total() - calls.counter - calls.log;
  return calls;
}

// text padded to width characters (not bytes: the names have umlauts).
std::string Padded(const std::string& text, std::size_t width, bool right) {
  std::size_t characters = 0;
  for (unsigned char c : text) characters += (c & 0xC0) != 0x80;
  const std::string padding(width > characters ? width - characters : 0, ' ');
  return right ? padding + text : text + padding;
}

// The table of one operation's calls; true when counter file and log together
// take no more than the least.
bool PrintCalls(const std::string& title, const OperationCalls& calls) {
  const auto row = [](const std::string& name, const std::string& counter, const std::string& log,
                      const std::string& both) {
    std::cout << "  " << Padded(name, 12, false) << Padded(counter, 13, true) << Padded(log, 11, true)
              << Padded(both, 10, true) << '\n';
  };
  std::cout << "== " << title << '\n';
  row("Aufruf", "Zählerdatei", "Protokoll", "zusammen");
  for (std::size_t kind = 0; kind < platform::kFileCallKinds; ++kind) {
    const auto call = static_cast<platform::FileCall>(kind);
    const long counter = calls.counter[call], log = calls.log[call];
    if (counter + log > 0)
      row(platform::FileCallName(call), std::to_string(counter), std::to_string(log), std::to_string(counter + log));
  }
  const long total = calls.counter.Total() + calls.log.Total();
  row("zusammen", std::to_string(calls.counter.Total()), std::to_string(calls.log.Total()), std::to_string(total));
  std::cout << "  Aufrufe im eigenen Benutzerordner (Einstellungsdatei, Ordner; nicht mitgezählt): "
            << calls.other.Total() << '\n';
  const bool least = total <= kMostCallsPerInsert;
  std::cout << "  " << (least ? "OK" : "FEHLER") << "  höchstens " << kMostCallsPerInsert
            << " Aufrufe auf Zählerdatei und Protokoll\n\n";
  return least;
}

// The measurements in folder; server: a connection string, or "" for none.
// True when a draw takes the expected accesses.
bool Measure(platform::SystemPlatform& real, const std::string& folder, int draws, const std::string& server) {
  platform::ConsoleUserInterface ui(std::cerr);
  std::cout << std::fixed << std::setprecision(1) << "Ordner: " << folder << '\n';
  if (!server.empty()) std::cout << "Server: " << engine::server::WithoutPassword(server) << '\n';
  std::cout << '\n';
  // The per-user folder, and with it the usage log that every draw writes, in the bench's own folder.
  const std::string user_folder =
      folder + "home" + testing::PathSeparator() + "Orvant" + testing::PathSeparator() + "Trelvo 2006";
  real.files->CreateDirectories(user_folder);
  bench::MovedHome moved(*real.system, folder + "home");
  platform::Environment env{*real.files, moved, ui};

  // The calls of one Insert on an existing counter file and log: the store
  // opened on the path, then the draw with its record, as the add-in does.
  const std::string counter_path = folder + "counter.ini";
  engine::DrawUnderLock(env, *engine::OpenNumberStore(env, counter_path));
  const auto insert = [&](platform::Environment& counted) {
    engine::DrawUnderLock(counted, *engine::OpenNumberStore(counted, counter_path), "Excel 11.0");
  };
  const auto tool = [&](platform::Environment& counted) {
    std::ostringstream out, err;
    if (cli::RunTrelvoTool({"draw", "--counter-file", counter_path}, counted, out, err) != cli::kExitOk)
      throw Error("trelvo draw: " + err.str());
  };
  bool least = PrintCalls("Dateisystem-Aufrufe eines Einfügens (Nummernkreis öffnen, ziehen, protokollieren)",
                          CountCalls(real, moved, ui, counter_path, {}, insert));
  least = PrintCalls("Dateisystem-Aufrufe von trelvo draw", CountCalls(real, moved, ui, counter_path, {}, tool)) &&
          least;
  const OperationCalls insert_on_share = CountCalls(real, moved, ui, counter_path, kShareRoundTrip, insert);
  const OperationCalls tool_on_share = CountCalls(real, moved, ui, counter_path, kShareRoundTrip, tool);
  const auto all = [](const OperationCalls& calls) {
    return calls.counter.Total() + calls.log.Total() + calls.other.Total();
  };
  std::cout << "== Auf einer Freigabe mit " << kShareRoundTrip.count()
            << " ms je Aufruf (die Einstellungsdatei ebenso)\n"
            << "  Einfügen:    " << insert_on_share.milliseconds << " ms (" << all(insert_on_share) << " Aufrufe)\n"
            << "  trelvo draw: " << tool_on_share.milliseconds << " ms (" << all(tool_on_share) << " Aufrufe)\n\n";

  const auto counter_store = engine::OpenNumberStore(env, counter_path);
  const engine::NumberStore& counter = *counter_store;

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
    // The same draws over a connection kept for the session, as the add-in draws.
    platform::KeptConnections kept;
    platform::Environment kept_env{env.files, env.system, env.ui, kept};
    const auto kept_store = engine::OpenNumberStore(kept_env, folder + "server.ini");
    const double kept_us =
        MicrosecondsPerCall(server_draws, [&] { engine::DrawUnderLock(kept_env, *kept_store, "Excel 11.0"); });
    cli::AuditCall call;
    call.counter_files = {pointer.path()};
    const auto audit_started = Clock::now();
    const auto audit = cli::AuditUsageLog(call, env);
    const double audit_ms = std::chrono::duration<double, std::milli>(Clock::now() - audit_started).count();
    std::cout << "== Nummernkreis auf dem Server (" << server_draws
              << " Ziehungen, je eine Verbindung und Transaktion)\n"
              << "  Ziehung mit Datensatz: " << 1e6 / server_us << "/s (" << server_us << " µs je Ziehung)\n"
              << "  über eine gehaltene Verbindung: " << 1e6 / kept_us << "/s (" << kept_us << " µs je Ziehung, "
              << server_us / kept_us << " mal so schnell)\n"
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
  return least;
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
