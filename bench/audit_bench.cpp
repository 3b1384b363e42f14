// What an audit of a year costs: a usage log of N records (one series, a
// change of format in the middle, refused draws) audited through the trelvo
// tool, its time and the process's peak memory, which must not grow with the
// log. Prints figures.
//
//   audit_bench [--records N]   (default 1000000)
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iomanip>
#include <iostream>
#include <sstream>

#include "cli/trelvo_tool.h"
#include "engine/usage_log.h"
#include "platform/console_user_interface.h"
#include "platform/system_platform.h"
#include "tests/support/child_process.h"

#if defined(_WIN32)
#include <windows.h>
#include <psapi.h>
#else
#include <sys/resource.h>
#endif

namespace {

using namespace trelvo;
using Clock = std::chrono::steady_clock;

// The process's peak resident memory in MiB.
double PeakMemory() {
#if defined(_WIN32)
  PROCESS_MEMORY_COUNTERS counters{};
  GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
  return static_cast<double>(counters.PeakWorkingSetSize) / (1024 * 1024);
#else
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024;
#endif
}

// A year of records: "RE-2026-000001" onwards, the second half "R26/000…".
// The last number drawn is returned.
long WriteLog(const std::string& path, long records) {
  std::ofstream log(path, std::ios::binary);
  log << engine::kUsageLogHeader << "\r\n";
  char line[160];
  long number = 0;
  for (long i = 1; i <= records; ++i) {
    // 336 working days of 28 a month, the records of a day spread over it.
    const long per_day = records / 336 + 1;
    const int day = static_cast<int>(i / per_day);
    const int month = day / 28 + 1, mday = day % 28 + 1;
    const long second = i % per_day * 86000 / per_day;
    if (i % 1000 == 0)
      std::snprintf(line, sizeof line,
                    "\"#ini gesperrt#\"; 2026-%02d-%02d %02ld:%02ld:%02ld; \"Excel 11.0\"; \"akoch\"; \r\n", month,
                    mday, second / 3600, second / 60 % 60, second % 60);
    else
      std::snprintf(line, sizeof line,
                    "\"%s%07ld\"; 2026-%02d-%02d %02ld:%02ld:%02ld; \"Excel 11.0\"; \"mmuster\"; \r\n",
                    i <= records / 2 ? "RE-2026-" : "R26/", ++number, month, mday, second / 3600, second / 60 % 60,
                    second % 60);
    log << line;
  }
  return number;
}

}  // namespace

int main(int argc, char** argv) {
  long records = 1000000;
  if (argc == 3 && std::string(argv[1]) == "--records") records = std::stol(argv[2]);
  const std::string folder = testing::MakeTempFolder();
  const std::string log = folder + "sabulog.csv", counter = folder + "re.ini";
  const long last = WriteLog(log, records);
  std::ofstream(counter, std::ios::binary) << "[Zaehler]\r\nCounter=" << last
                                           << "\r\n[Optionen]\r\nTextBefore=\"R26/\"\r\nPadding=6\r\n";

  auto real = platform::MakeSystemPlatform();
  std::ostringstream out, err;
  platform::ConsoleUserInterface ui(err);
  platform::Environment env{*real.files, *real.system, ui};
  const double memory_before = PeakMemory();
  const auto started = Clock::now();
  const int exit = cli::RunTrelvoTool({"audit", "--log", log, "--counter-file", counter}, env, out, err);
  const double seconds = std::chrono::duration<double>(Clock::now() - started).count();
  std::cout << std::fixed << std::setprecision(2) << "Protokoll: " << records << " Datensätze in " << log << "\n"
            << "Prüfung:   " << seconds << " s, Exit " << exit << "\n"
            << "Speicher:  Spitze " << PeakMemory() << " MiB (vor der Prüfung " << memory_before << " MiB)\n";
  const std::string summary = out.str();
  std::cout << summary.substr(summary.rfind("Befunde:"), 200) << "\n" << summary.substr(summary.rfind("Ergebnis:"));
  return exit == 0 ? 0 : 1;
}
