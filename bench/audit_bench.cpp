// What an audit of a year costs: a usage log of N records (one counter file,
// a change of its format's texts in the middle, refused draws, and numbers no
// format composes) audited through the trelvo tool, its time and the
// process's peak memory, which must not grow with the log: a log of a tenth
// of the records is audited first, and the peak after it and after the whole
// log are printed side by side. Prints figures.
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

// A year of records: "RE-2026-0000001" onwards, the second half "R2026/…";
// one in a thousand a refused draw, one in ten thousand a number that no
// format composes. The last number drawn is returned.
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
    else if (i % 10000 == 500)
      std::snprintf(line, sizeof line,
                    "\"RE-2026-X\"; 2026-%02d-%02d %02ld:%02ld:%02ld; \"Excel 11.0\"; \"akoch\"; \r\n", month, mday,
                    second / 3600, second / 60 % 60, second % 60);
    else
      std::snprintf(line, sizeof line,
                    "\"%s%07ld\"; 2026-%02d-%02d %02ld:%02ld:%02ld; \"Excel 11.0\"; \"mmuster\"; \r\n",
                    i <= records / 2 ? "RE-2026-" : "R2026/", ++number, month, mday, second / 3600, second / 60 % 60,
                    second % 60);
    log << line;
  }
  return number;
}


struct Audited {
  double seconds, peak;
  int exit;
  std::string summary;
};

Audited AuditLog(const std::string& folder, const std::string& name, long records) {
  const std::string log = folder + name + ".csv", counter = folder + name + ".ini";
  const long last = WriteLog(log, records);
  std::ofstream(counter, std::ios::binary) << "[Zaehler]\r\nCounter=" << last
                                           << "\r\n[Optionen]\r\nTextBefore=\"R\"\r\nPrefix=1\r\nTextAfter=\"/\"\r\n"
                                              "Padding=6\r\n";
  auto real = platform::MakeSystemPlatform();
  std::ostringstream out, err;
  platform::ConsoleUserInterface ui(err);
  platform::Environment env{*real.files, *real.system, ui};
  const auto started = Clock::now();
  const int exit = cli::RunTrelvoTool({"audit", "--log", log, "--counter-file", counter}, env, out, err);
  const double seconds = std::chrono::duration<double>(Clock::now() - started).count();
  return {seconds, PeakMemory(), exit, out.str() + err.str()};
}

}  // namespace

int main(int argc, char** argv) {
  long records = 1000000;
  if (argc == 3 && std::string(argv[1]) == "--records") records = std::stol(argv[2]);
  const std::string folder = testing::MakeTempFolder();
  const double memory_before = PeakMemory();
  const Audited tenth = AuditLog(folder, "zehntel", records / 10);
  const Audited whole = AuditLog(folder, "sabulog", records);
  std::cout << std::fixed << std::setprecision(2) << "Protokoll: " << records << " Datensätze in " << folder
            << "sabulog.csv\n"
            << "Prüfung:   " << whole.seconds << " s, Exit " << whole.exit << " (" << records / 10
            << " Datensätze: " << tenth.seconds << " s)\n"
            << "Speicher:  Spitze " << whole.peak << " MiB nach " << records << " Datensätzen, " << tenth.peak
            << " MiB nach " << records / 10 << " (vor der Prüfung " << memory_before << " MiB)\n";
  const std::string& summary = whole.summary;
  const size_t findings = summary.rfind("Befunde:");
  if (findings == std::string::npos) {
    std::cout << summary;
    return 1;
  }
  std::cout << summary.substr(findings);
  return whole.exit == 2 ? 1 : 0;
}
