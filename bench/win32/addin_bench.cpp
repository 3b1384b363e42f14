// What the add-in costs in a host: start-up in the simulated Excel 11.0 from
// OnConnection to the end of OnStartupComplete, on a first start (the toolbar
// is built) and on a later one (found by name and tag, with the property
// writes counted), and one Insert from the button's Execute to the number in
// the cell with its log record and property. Then a host's start as Office
// meets it, once per process: in fresh processes (the bench started again),
// the time from the launch to the add-in started, the process's first start,
// the modules the process holds then and whether the ODBC driver manager is
// among them, and what loading it costs where the start left it out (the
// first draw from a server range pays that). Prints figures.
//
//   addin_bench [--runs N] [--fresh-starts N]
//   addin_bench --fresh-start RESULT_FILE LAUNCH_TICKS  (one fresh start: the bench's own child)
#include <chrono>
#include <fstream>
#include <iomanip>
#include <iostream>
#include <shlobj.h>
#include <string>
#include <tlhelp32.h>

#include "commands/win32/trelvo_module.h"
#include "frame/add_in_connection.h"
#include "platform/win32/registry_key.h"
#include "platform/win32/wide_text.h"
#include "simoffice/sim_excel.h"
#include "tests/support/child_process.h"

namespace {

using namespace trelvo;
using Clock = std::chrono::steady_clock;
using Milliseconds = std::chrono::duration<double, std::milli>;

const std::wstring kAddInKey = L"Software\\Microsoft\\Office\\Excel\\AddIns\\Trelvo.TrelvoCoClass";

int HostWrites(simoffice::SimExcelApplication& excel) {
  int writes = 0;
  for (const auto& bar : excel.command_bars().bars()) {
    writes += bar->property_writes();
    for (const auto& control : bar->controls()) writes += control->property_writes();
  }
  return writes;
}

std::unique_ptr<frame::AddInConnection> Connect(simoffice::SimExcelApplication& excel) {
  auto connection = std::make_unique<frame::AddInConnection>(commands::kTrelvoAddIn, commands::MakeTrelvoModule,
                                                             excel.dispatch(), ext_cm_Startup, nullptr, nullptr);
  connection->StartupComplete();
  return connection;
}

// Points the user's settings at a counter file and log in a new folder.
std::string UseNewCounterFile() {
  wchar_t app_data[MAX_PATH] = {};
  SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, 0, app_data);
  const std::wstring user_folder = std::wstring(app_data) + L"\\Orvant\\Trelvo 2006";
  SHCreateDirectoryExW(nullptr, user_folder.c_str(), nullptr);
  const std::string folder = testing::MakeTempFolder();
  std::ofstream((user_folder + L"\\trelvo.ini").c_str(), std::ios::binary)
      << "[Pfade]\r\nCounterFile=\"" << folder << "counter.ini\"\r\nLogPath=\"" << folder << "\"\r\n";
  return folder;
}

// The performance counter's ticks, the same in every process of the machine.
int64_t Ticks() {
  LARGE_INTEGER now{};
  QueryPerformanceCounter(&now);
  return now.QuadPart;
}

double TicksToMilliseconds(int64_t ticks) {
  LARGE_INTEGER frequency{};
  QueryPerformanceFrequency(&frequency);
  return 1000.0 * static_cast<double>(ticks) / static_cast<double>(frequency.QuadPart);
}

int ModulesOfThisProcess() {
  const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return -1;
  MODULEENTRY32W module{};
  module.dwSize = sizeof module;
  int count = 0;
  for (BOOL more = Module32FirstW(snapshot, &module); more; more = Module32NextW(snapshot, &module)) ++count;
  CloseHandle(snapshot);
  return count;
}

// What one fresh process tells about its start.
struct FreshStart {
  double launch_to_started_ms = 0;
  double start_ms = 0;
  int modules = 0;
  bool driver_manager_loaded = false;
  double driver_manager_load_ms = 0;  // where the start left it out
  int modules_with_driver_manager = 0;
};

// The child: the host's first start in this process, then the driver manager
// loaded as the first draw from a server range would. One line into result_file.
int RunFreshStart(const std::string& result_file, int64_t launch_ticks) {
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  FreshStart start;
  {
    const auto excel = simoffice::Make<simoffice::SimExcelApplication>();
    const int64_t begun = Ticks();
    auto connection = Connect(*excel.Get());
    const int64_t started = Ticks();
    start.start_ms = TicksToMilliseconds(started - begun);
    start.launch_to_started_ms = TicksToMilliseconds(started - launch_ticks);
    start.modules = ModulesOfThisProcess();
    start.driver_manager_loaded = GetModuleHandleW(L"odbc32.dll") != nullptr;
    if (!start.driver_manager_loaded) {
      const int64_t before = Ticks();
      if (!LoadLibraryW(L"odbc32.dll")) std::cerr << "addin_bench: odbc32.dll cannot be loaded\n";
      start.driver_manager_load_ms = TicksToMilliseconds(Ticks() - before);
      start.modules_with_driver_manager = ModulesOfThisProcess();
    }
    connection->Disconnect(ext_dm_HostShutdown);
  }
  CoUninitialize();
  std::ofstream(result_file, std::ios::binary)
      << start.launch_to_started_ms << " " << start.start_ms << " " << start.modules << " "
      << start.driver_manager_loaded << " " << start.driver_manager_load_ms << " " << start.modules_with_driver_manager
      << "\n";
  return 0;
}

void PrintFreshStarts(int count) {
  const std::string result_file = testing::MakeTempFolder() + "fresh-start.txt";
  FreshStart sum;
  int runs = 0;
  int loaded_at_start = 0;
  for (int run = 0; run < count; ++run) {
    win32::DeleteRegistryTree(HKEY_CURRENT_USER, kAddInKey);
    DeleteFileW(win32::Widen(result_file).c_str());
    const int64_t launch = Ticks();
    if (testing::StartChild(testing::SiblingProgram("addin_bench"),
                            {"--fresh-start", result_file, std::to_string(launch)})
            ->Wait() != 0)
      continue;
    FreshStart start;
    if (!(std::ifstream(result_file) >> start.launch_to_started_ms >> start.start_ms >> start.modules >>
          start.driver_manager_loaded >> start.driver_manager_load_ms >> start.modules_with_driver_manager))
      continue;
    ++runs;
    sum.launch_to_started_ms += start.launch_to_started_ms;
    sum.start_ms += start.start_ms;
    sum.modules = start.modules;
    loaded_at_start += start.driver_manager_loaded;
    sum.driver_manager_load_ms += start.driver_manager_load_ms;
    sum.modules_with_driver_manager = start.modules_with_driver_manager;
  }
  if (runs == 0) {
    std::cerr << "addin_bench: no fresh start reported its figures\n";
    return;
  }
  std::cout << "Fresh processes, one start each (" << runs << " runs):\n"
            << "  Launch to the add-in started:           " << sum.launch_to_started_ms / runs << " ms\n"
            << "  Start-up, the process's first:          " << sum.start_ms / runs << " ms\n"
            << "  Modules after the start:                " << sum.modules << ", odbc32.dll "
            << (loaded_at_start == runs ? "loaded"
                : loaded_at_start == 0  ? "not loaded"
                                        : "loaded in some runs")
            << "\n";
  if (loaded_at_start < runs) {
    const int left_out = runs - loaded_at_start;
    std::cout << "  Loading odbc32.dll at the first draw:   " << sum.driver_manager_load_ms / left_out << " ms, "
              << sum.modules_with_driver_manager << " modules then\n";
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && std::string(argv[1]) == "--fresh-start") return RunFreshStart(argv[2], std::stoll(argv[3]));
  int runs = 20;
  int fresh_starts = 5;
  for (int i = 1; i + 1 < argc; i += 2) {
    if (std::string(argv[i]) == "--runs") runs = std::stoi(argv[i + 1]);
    if (std::string(argv[i]) == "--fresh-starts") fresh_starts = std::stoi(argv[i + 1]);
  }
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  UseNewCounterFile();
  Milliseconds first{0};
  Milliseconds later{0};
  Milliseconds insert{0};
  int later_writes = 0;
  for (int run = 0; run < runs; ++run) {
    win32::DeleteRegistryTree(HKEY_CURRENT_USER, kAddInKey);
    const auto excel = simoffice::Make<simoffice::SimExcelApplication>();
    auto started = Clock::now();
    auto connection = Connect(*excel.Get());
    first += Clock::now() - started;

    connection->Disconnect(ext_dm_HostShutdown);
    connection.reset();
    excel->command_bars().Restart();
    const int writes = HostWrites(*excel.Get());
    started = Clock::now();
    connection = Connect(*excel.Get());
    later += Clock::now() - started;
    later_writes += HostWrites(*excel.Get()) - writes;

    excel->OpenWorkbook("Mappe1");
    auto* button = excel->command_bars().ControlsWithTag(commands::kTrelvoToolbar.controls[1].tag).at(0);
    started = Clock::now();
    button->Click();
    insert += Clock::now() - started;
    if (excel->active_workbook()->cells["R1C1"].Text().empty()) std::cerr << "addin_bench: no number was inserted\n";
    connection->Disconnect(ext_dm_HostShutdown);
  }
  std::cout << std::fixed << std::setprecision(2) << "Start-up, first start (toolbar built):   " << first.count() / runs
            << " ms (target < 50)\n"
            << "Start-up, later start (found again):      " << later.count() / runs << " ms (target < 20)\n"
            << "Property writes on a later start:         " << later_writes << " (target 0)\n"
            << "Insert, Execute to number, log, property: " << insert.count() / runs << " ms\n";
  PrintFreshStarts(fresh_starts);
  win32::DeleteRegistryTree(HKEY_CURRENT_USER, kAddInKey);
  CoUninitialize();
  return 0;
}
