// Proof under load: several processes draw from one counter file at once,
// through the engine's lock protocol, while drawing processes are killed and
// an administrator locks the file. Prints figures and a verdict per check;
// exits 1 when a check fails.
//
//   stress_run [--processes N] [--draws M] [--increment I] [--kills K] [--time-limit S]
//              [--server-pointer FILE]
//
// With a server (bench/server_connection.h: the environment variable
// TRELVO_BENCH_CONNECTION, or --server-pointer FILE), the same against ranges
// on that database server, each scenario's counter file pointing at a range of
// its own. A draw and its record are one transaction there, so the scenario of
// workstations stopped between the two has no place.
//
// A scenario whose processes have not ended within the time limit (default
// 600 s) fails with its verdict; its processes are killed.
#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <map>
#include <optional>
#include <random>
#include <regex>
#include <set>
#include <thread>

#include "bench/server_connection.h"
#include "cli/audit_command.h"
#include "engine/counter_lock.h"
#include "engine/number_drawing.h"
#include "engine/server/connection_string.h"
#include "engine/server/server_range.h"
#include "engine/settings.h"
#include "engine/usage_log.h"
#include "platform/console_user_interface.h"
#include "platform/system_platform.h"
#include "tests/support/child_process.h"

namespace {

using namespace trelvo;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr int32_t kStart = 1000;

struct Options {
  int processes = 4;
  int draws = 2000;
  int increment = 1;
  int kills = 5;
  int time_limit = 600;  // seconds for each scenario
  std::string server;    // a connection string: ranges on that server
  std::optional<std::string> server_pointer;  // the file that names the server
};

// The moment a scenario gives up waiting.
Clock::time_point GiveUpAt(const Options& options) { return Clock::now() + std::chrono::seconds(options.time_limit); }

// Waits for every process until the deadline; one that has not ended by then
// is killed. True when all ended in time with exit status 0.
bool AllEndWell(std::vector<std::unique_ptr<testing::ChildProcess>>& processes, Clock::time_point give_up,
                bool& in_time) {
  bool ended_well = true;
  for (auto& process : processes) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(give_up - Clock::now());
    const auto status = process->WaitFor(std::max(left, std::chrono::milliseconds(0)));
    if (!status) {
      process->Kill();
      process->Wait();
      in_time = false;
    }
    ended_well &= status == 0;
  }
  return ended_well;
}

std::vector<std::string> ReadLines(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

class Report {
 public:
  void Figure(const std::string& name, long long value) { std::cout << "  " << name << ": " << value << '\n'; }
  void Check(const std::string& name, bool ok) {
    std::cout << "  " << (ok ? "OK     " : "FEHLER ") << name << '\n';
    failed_ |= !ok;
  }
  bool failed() const { return failed_; }

 private:
  bool failed_ = false;
};

// One scenario's folder: a per-user folder (for the usage log), a counter file
// starting at kStart, and the output files of the drawing processes.
class Scenario {
 public:
  // server: a connection string, for a range on that server instead of a counter file.
  Scenario(platform::Environment& env, const std::string& root, const std::string& name, int increment,
           const std::string& server)
      : env_(env), folder_(root + name + testing::PathSeparator()), counter_path_(folder_ + "counter.ini") {
    env_.files.CreateDirectories(folder_ + "home" + testing::PathSeparator() + "Orvant" + testing::PathSeparator() +
                                 "Trelvo 2006");
    engine::IniDocument start;
    start.WriteInteger("Zaehler", "Counter", kStart);
    start.WriteInteger("Zaehler", "Increment", increment);
    if (server.empty()) {
      engine::OpenNumberStore(env_, counter_path_)->Update([&](engine::IniDocument& file) { file = start; });
      return;
    }
    engine::OpenNumberStore(env_, counter_path_)->Update([&](engine::IniDocument& file) {
      file.WriteString("Server", "Connection", server);
      file.WriteString("Server", "Range", "Last " + name + " " + folder_);
    });
    Counter()->Server()->Create(start);
  }

  std::string Output(const std::string& name) { return folder_ + name + ".txt"; }
  // extra: further options of the worker.
  std::unique_ptr<testing::ChildProcess> StartWorker(const std::string& output, int draws, int pause_ms = 0,
                                                     const std::string& holding_file = "",
                                                     const std::vector<std::string>& extra = {}) {
    std::vector<std::string> args = {"draw",           counter_path_, std::to_string(draws), output, "--home",
                                     folder_ + "home", "--log"};
    if (pause_ms) args.insert(args.end(), {"--pause-in-lock", std::to_string(pause_ms)});
    if (!holding_file.empty()) args.insert(args.end(), {"--holding-file", holding_file});
    args.insert(args.end(), extra.begin(), extra.end());
    outputs_.push_back(output);
    return testing::StartChild(testing::SiblingProgram("draw_worker"), args);
  }
  std::unique_ptr<engine::NumberStore> Counter() const { return engine::OpenNumberStore(env_, counter_path_); }
  const std::string& CounterPath() const { return counter_path_; }
  std::string LogPath() const {
    const std::string s = testing::PathSeparator();
    return folder_ + "home" + s + "Orvant" + s + "Trelvo 2006" + s + "sabulog.csv";
  }
  long LinesSoFar() const {
    long lines = 0;
    for (const auto& output : outputs_) lines += static_cast<long>(ReadLines(output).size());
    return lines;
  }

  // Reads every output; reports the figures and checks that all scenarios share.
  struct Outcome {
    std::vector<long long> issued;
    long refused = 0;
    int32_t counter = 0;
  };
  Outcome Collect(Report& report) const {
    Outcome outcome;
    for (const auto& output : outputs_)
      for (const auto& line : ReadLines(output)) {
        if (line == engine::kLockedMarker)
          ++outcome.refused;
        else
          outcome.issued.push_back(std::stoll(line));
      }
    const std::set<long long> unique(outcome.issued.begin(), outcome.issued.end());
    const engine::IniDocument file = Counter()->Read();
    outcome.counter = file.ReadInteger("Zaehler", "Counter", INT32_MIN);
    report.Figure("Nummern ausgegeben", static_cast<long long>(outcome.issued.size()));
    report.Figure("Ziehungen abgewiesen (#ini gesperrt#)", outcome.refused);
    report.Figure("Doppelte Nummern", static_cast<long long>(outcome.issued.size() - unique.size()));
    report.Figure("Zähler am Ende", outcome.counter);
    report.Check("keine Nummer doppelt", unique.size() == outcome.issued.size());
    report.Check("Zählerdatei lesbar, Counter vorhanden", file.HasKey("Zaehler", "Counter"));
    report.Check("Sperre am Ende frei", engine::LockOwnerIn(file) == engine::kNoUser);
    return outcome;
  }

  // Checks the usage log, or the server range's records: one well-formed
  // record per draw attempt.
  void CheckLog(Report& report, long expected_records, long expected_refusals) const {
    long records = 0, malformed = 0, refusals = 0;
    bool header = true;  // the server's records have none to check
    const auto store = Counter();
    if (store->Server()) {
      // The range's records as the store hands them on: an issued number has its counter value.
      static const std::regex number(R"re(^\d+$)re");
      store->ForEachRecord([&](const engine::StoredEntry& entry) {
        ++records;
        const auto& stored = entry.record;
        const bool refusal = stored && stored->number == engine::kLockedMarker;
        refusals += refusal ? 1 : 0;
        if (!stored || stored->application != "Last " || stored->date.size() != 10 ||
            (!refusal && (!std::regex_match(stored->number, number) || !stored->counter ||
                          *stored->counter != std::stoll(stored->number))))
          ++malformed;
      });
    } else {
      const auto lines = ReadLines(LogPath());
      static const std::regex record(
          R"re(^"(\d+|#ini gesperrt#)"; \d{4}-\d\d-\d\d \d\d.\d\d.\d\d; "Last "; "[^"]*"; $)re");
      for (size_t i = 1; i < lines.size(); ++i) {
        ++records;
        if (!std::regex_match(lines[i], record)) ++malformed;
        if (lines[i].starts_with("\"#ini gesperrt#\"")) ++refusals;
      }
      header = !lines.empty() && lines[0] == "SABU:$255;DATUM:@;ANWENDUNG:$255;BENUTZER:$255";
    }
    report.Figure("Protokollsätze", records);
    report.Check("Kopfzeile des Protokolls", header);
    report.Check("ein wohlgeformter Protokollsatz je Ziehung", records == expected_records && malformed == 0);
    report.Check("jede Abweisung protokolliert", refusals == expected_refusals);
  }

 private:
  platform::Environment& env_;
  std::string folder_;
  std::string counter_path_;
  std::vector<std::string> outputs_;
};

void RunConcurrentDraws(platform::Environment& env, const std::string& root, const Options& options, Report& report) {
  std::cout << "\n== " << options.processes << " Prozesse ziehen je " << options.draws << " Nummern\n";
  Scenario scenario(env, root, "gleichzeitig", options.increment, options.server);
  const auto started = Clock::now();
  std::vector<std::unique_ptr<testing::ChildProcess>> workers;
  for (int p = 0; p < options.processes; ++p)
    workers.push_back(scenario.StartWorker(scenario.Output("p" + std::to_string(p)), options.draws));
  bool in_time = true;
  const bool all_ended_well = AllEndWell(workers, GiveUpAt(options), in_time);
  const double seconds = std::chrono::duration<double>(Clock::now() - started).count();

  const long total = static_cast<long>(options.processes) * options.draws;
  const auto outcome = scenario.Collect(report);
  report.Figure("Ziehungen je Sekunde (alle Prozesse)", static_cast<long long>(outcome.issued.size() / seconds));
  report.Check("alle Prozesse in der Frist beendet", in_time);
  report.Check("alle Prozesse ohne Fehler beendet", all_ended_well);
  report.Check("jede Ziehung hat eine Nummer", static_cast<long>(outcome.issued.size()) == total);
  report.Check("Zähler = Start + N*M*Schrittweite", outcome.counter == kStart + total * options.increment);
  scenario.CheckLog(report, total, 0);
}

// Victims one after another, each drawing with a pause in its draws during
// which its marker file exists: after some draws of its own it is killed as
// soon as the marker is seen. A marker that outlives its victim shows that it
// died inside the pause; died_in_pause(marker) counts such a kill. A kill that
// a busy machine delays past the pause does not count, and another victim
// follows, at most 4 * kills of them.
struct Kills {
  int victims = 0, in_pause = 0;
};
Kills KillVictimsInTheirPause(
    platform::Environment& env, Scenario& scenario, const Options& options, Clock::time_point give_up, unsigned seed,
    const std::string& name,
    const std::function<std::unique_ptr<testing::ChildProcess>(const std::string& output, const std::string& marker)>&
        start,
    const std::function<bool(const std::string& marker)>& died_in_pause) {
  std::mt19937 random(seed);
  Kills kills;
  for (; kills.in_pause < options.kills && kills.victims < 4 * options.kills && Clock::now() < give_up;
       ++kills.victims) {
    const std::string output = scenario.Output(name + std::to_string(kills.victims));
    const std::string marker = output + ".pause";
    auto victim = start(output, marker);
    std::this_thread::sleep_for(std::chrono::milliseconds(std::uniform_int_distribution<int>(200, 500)(random)));
    const auto victim_gives_up = std::min(give_up, Clock::now() + 30s);
    while (!env.files.FileExists(marker) && Clock::now() < victim_gives_up) std::this_thread::sleep_for(1ms);
    victim->Kill();
    victim->Wait();
    if (died_in_pause(marker)) ++kills.in_pause;
  }
  return kills;
}

void RunKilledDrawers(platform::Environment& env, const std::string& root, const Options& options, Report& report) {
  std::cout << "\n== " << options.processes << " Prozesse ziehen je " << options.draws << " Nummern, " << options.kills
            << " ziehende Prozesse werden mit der Sperre in der Hand abgebrochen\n";
  Scenario scenario(env, root, "abgebrochen", options.increment, options.server);
  std::vector<std::unique_ptr<testing::ChildProcess>> workers;
  for (int p = 0; p < options.processes; ++p)
    workers.push_back(scenario.StartWorker(scenario.Output("p" + std::to_string(p)), options.draws));
  const auto give_up = GiveUpAt(options);
  // Each of a victim's draws holds the lock 50 ms between reading and writing,
  // its marker (the holding file) existing exactly then.
  const Kills kills = KillVictimsInTheirPause(
      env, scenario, options, give_up, 42, "opfer",
      [&](const std::string& output, const std::string& holding) {
        return scenario.StartWorker(output, 1000000, 50, holding);
      },
      [&](const std::string& holding) { return env.files.FileExists(holding); });
  const int killed_holding = kills.in_pause, missed = kills.victims - kills.in_pause;
  bool in_time = true;
  const bool all_ended_well = AllEndWell(workers, give_up, in_time);

  const auto outcome = scenario.Collect(report);
  const long long advanced = (static_cast<long long>(outcome.counter) - kStart) / options.increment;
  report.Figure("Abgebrochene Prozesse", killed_holding + missed);
  report.Figure("davon mit der Sperre in der Hand", killed_holding);
  report.Figure("Abbrüche außerhalb der Sperre (nicht gezählt)", missed);
  report.Figure("Zählerschritte ohne ausgegebene Nummer", advanced - static_cast<long long>(outcome.issued.size()));
  report.Check("alle Prozesse in der Frist beendet", in_time);
  report.Check("die übrigen Prozesse ohne Fehler beendet", all_ended_well);
  report.Check("jeder Abbruch traf einen Prozess mit der Sperre in der Hand", killed_holding == options.kills);
  report.Check("jede ausgegebene Nummer im Zähler enthalten",
               advanced >= static_cast<long long>(outcome.issued.size()));
  if (options.server.empty()) return;
  // On a server a killed draw leaves both its counter step and its record, or neither.
  cli::AuditCall call;
  call.counter_files = {scenario.CounterPath()};
  const auto audit = cli::AuditUsageLog(call, env);
  for (const auto& finding : audit.findings) std::cout << "  " << finding.text << '\n';
  report.Figure("Befunde der Prüfung des Nummernkreises", static_cast<long long>(audit.findings.size()));
  report.Check("jeder Zählerschritt hat seinen Datensatz", advanced == static_cast<long long>(outcome.issued.size()));
  report.Check("die Prüfung findet keine Lücke ohne Datensatz und keine doppelte Nummer", audit.findings.empty());
}

// Workstations that stop between drawing a number and logging it (killed in
// that pause): the audit of the log names each of their numbers as a gap, with
// the time window it falls into, and finds nothing else.
void RunStoppedBeforeTheirRecord(platform::Environment& env, const std::string& root, const Options& options,
                                 Report& report) {
  std::cout << "\n== " << options.processes << " Prozesse ziehen je " << options.draws << " Nummern, " << options.kills
            << " ziehende Prozesse werden zwischen Ziehen und Protokollieren abgebrochen; das Protokoll wird geprüft\n";
  Scenario scenario(env, root, "ungeloggt", options.increment, options.server);
  std::vector<std::unique_ptr<testing::ChildProcess>> workers;
  for (int p = 0; p < options.processes; ++p)
    workers.push_back(scenario.StartWorker(scenario.Output("p" + std::to_string(p)), options.draws));
  const auto give_up = GiveUpAt(options);
  // Each of a victim's draws waits 50 ms between the draw and its record, its
  // marker (the drawn file, holding the number) existing exactly then.
  std::set<long long> stopped;  // the counter values drawn and never logged
  KillVictimsInTheirPause(
      env, scenario, options, give_up, 7, "gestoppt",
      [&](const std::string& output, const std::string& drawn) {
        return scenario.StartWorker(output, 1000000, 0, "", {"--pause-before-log", "50", "--drawn-file", drawn});
      },
      [&](const std::string& drawn) {
        const auto lines = ReadLines(drawn);
        if (lines.empty() || lines[0].empty()) return false;
        stopped.insert(std::stoll(lines[0]));
        return true;
      });
  bool in_time = true;
  const bool all_ended_well = AllEndWell(workers, give_up, in_time);
  scenario.Collect(report);

  cli::AuditCall call;
  call.log = scenario.LogPath();
  call.counter_files = {scenario.CounterPath()};
  const auto audit = cli::AuditUsageLog(call, env);
  std::set<long long> gaps;
  size_t other_findings = 0;
  for (const auto& finding : audit.findings) {
    if (finding.kind != engine::audit::Finding::Kind::Gap) {
      ++other_findings;
      continue;
    }
    std::cout << "  " << finding.text << '\n';
    for (long long value = finding.first_value; value <= finding.last_value; value += options.increment)
      gaps.insert(value);
  }
  report.Figure("zwischen Ziehen und Protokollieren abgebrochen", static_cast<long long>(stopped.size()));
  report.Figure("Lücken der Prüfung (Zählerwerte)", static_cast<long long>(gaps.size()));
  report.Check("alle Prozesse in der Frist beendet", in_time);
  report.Check("die übrigen Prozesse ohne Fehler beendet", all_ended_well);
  report.Check("jeder Abbruch traf einen Prozess zwischen Ziehen und Protokollieren",
               static_cast<int>(stopped.size()) == options.kills);
  report.Check("die Prüfung nennt jede nicht protokollierte Nummer als Lücke, und nur diese", gaps == stopped);
  report.Check("die Prüfung findet sonst nichts", other_findings == 0 && audit.duplicates == 0);
}

void RunAdministratorLock(platform::Environment& env, const std::string& root, const Options& options, Report& report) {
  std::cout << "\n== " << options.processes << " Prozesse ziehen je " << options.draws
            << " Mal, ein Administrator sperrt die Zählerdatei mittendrin\n";
  Scenario scenario(env, root, "admin", options.increment, options.server);
  std::vector<std::unique_ptr<testing::ChildProcess>> workers;
  // Each attempt holds the lock a millisecond, so that refusals (which write nothing)
  // do not use up the attempts at once.
  for (int p = 0; p < options.processes; ++p)
    workers.push_back(scenario.StartWorker(scenario.Output("p" + std::to_string(p)), options.draws, 1));
  const long total = static_cast<long>(options.processes) * options.draws;
  const auto give_up = GiveUpAt(options);
  while (scenario.LinesSoFar() < total / 4 && Clock::now() < give_up) std::this_thread::sleep_for(1ms);

  const auto counter = scenario.Counter();
  engine::AcquireLock(env, *counter);
  const int32_t at_lock = engine::ReadCounterState(counter->Read()).counter;
  const long lines_at_lock = scenario.LinesSoFar();
  // One more workstation tries while the lock is held, whatever the others
  // have left by now: every one of its attempts must be refused.
  const int extra = std::max(options.draws / 4, 1);
  const std::string during = scenario.Output("waehrend");
  bool in_time = true;
  std::vector<std::unique_ptr<testing::ChildProcess>> during_worker;
  during_worker.push_back(scenario.StartWorker(during, extra, 1));
  const bool during_ended_well = AllEndWell(during_worker, give_up, in_time);
  const auto lock_gives_up = std::min(give_up, Clock::now() + 30s);
  while (scenario.LinesSoFar() < lines_at_lock + total / 4 && Clock::now() < lock_gives_up)
    std::this_thread::sleep_for(1ms);
  const int32_t at_release = engine::ReadCounterState(counter->Read()).counter;
  const long lines_at_release = scenario.LinesSoFar();
  engine::ReleaseLock(env, *counter);
  // And one after the release: every one of its draws must be issued.
  const std::string after = scenario.Output("danach");
  workers.push_back(scenario.StartWorker(after, extra, 1));
  const bool all_ended_well = AllEndWell(workers, give_up, in_time) && during_ended_well;
  const auto outcome = scenario.Collect(report);
  const auto during_lines = ReadLines(during);
  const auto after_lines = ReadLines(after);
  const long attempts = total + 2 * extra;
  report.Figure("Ziehungen während der Sperre", lines_at_release - lines_at_lock);
  report.Figure("Zähler bei der Freigabe", at_release);
  report.Check("alle Prozesse in der Frist beendet", in_time);
  report.Check("alle Prozesse ohne Fehler beendet", all_ended_well);
  report.Check("Zähler bewegt sich während der Sperre nicht", at_lock == at_release);
  report.Check("jede Ziehung während der Sperre abgewiesen",
               static_cast<int>(std::count(during_lines.begin(), during_lines.end(), engine::kLockedMarker)) == extra);
  report.Check("nach der Freigabe wird weiter gezogen",
               static_cast<int>(after_lines.size()) == extra &&
                   std::count(after_lines.begin(), after_lines.end(), engine::kLockedMarker) == 0);
  report.Check("jeder Versuch hat eine Nummer oder eine Abweisung",
               static_cast<long>(outcome.issued.size()) + outcome.refused == attempts);
  report.Check("Zähler = Start + ausgegebene Nummern * Schrittweite",
               outcome.counter == kStart + static_cast<long long>(outcome.issued.size()) * options.increment);
  scenario.CheckLog(report, attempts, outcome.refused);
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  const std::map<std::string, int*> flags = {{"--processes", &options.processes},
                                             {"--draws", &options.draws},
                                             {"--increment", &options.increment},
                                             {"--kills", &options.kills},
                                             {"--time-limit", &options.time_limit}};
  for (int i = 1; i < argc; ++i) {
    const auto flag = flags.find(argv[i]);
    if (std::string(argv[i]) == "--server") {
      std::cerr << "stress_run: " << bench::ServerOptionRefusal() << '\n';
      return 64;
    }
    if (argv[i] == std::string(bench::kServerPointerOption) && i + 1 < argc) {
      options.server_pointer = argv[++i];
      continue;
    }
    if (flag == flags.end() || i + 1 >= argc) {
      std::cerr << "Aufruf: stress_run [--processes N] [--draws M] [--increment I] [--kills K] [--time-limit S]\n"
                   "                  [--server-pointer DATEI]\n"
                   "  Server: die Zeigerdatei ([Server] Connection=…) oder die Umgebungsvariable "
                   "TRELVO_BENCH_CONNECTION\n";
      return 64;
    }
    *flag->second = std::stoi(argv[++i]);
  }

  auto real = platform::MakeSystemPlatform();
  platform::ConsoleUserInterface ui(std::cerr);
  platform::Environment env{*real.files, *real.system, ui};
  try {
    options.server = bench::ServerConnection(*real.files, options.server_pointer);
  } catch (const std::exception& error) {
    std::cerr << "stress_run: " << error.what() << '\n';
    return 64;
  }
  const std::string root = testing::MakeTempFolder();
  std::cout << "Ordner: " << root << '\n';
  if (!options.server.empty()) std::cout << "Server: " << engine::server::WithoutPassword(options.server) << '\n';

  Report report;
  try {
    RunConcurrentDraws(env, root, options, report);
    RunKilledDrawers(env, root, options, report);
    if (options.server.empty()) RunStoppedBeforeTheirRecord(env, root, options, report);
    RunAdministratorLock(env, root, options, report);
  } catch (const std::exception& error) {
    // The text may repeat a driver's, and with it the connection.
    std::cerr << "stress_run: " << engine::server::MaskedIn(error.what(), options.server) << '\n';
    return 1;
  }
  std::cout << '\n' << (report.failed() ? "Ergebnis: FEHLER" : "Ergebnis: alle Prüfungen bestanden") << '\n';
  std::error_code ignored;
  if (!report.failed()) std::filesystem::remove_all(root, ignored);
  return report.failed() ? 1 : 0;
}
