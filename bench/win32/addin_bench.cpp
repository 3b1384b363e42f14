// What the add-in costs in a host: start-up in the simulated Excel 11.0 from
// OnConnection to the end of OnStartupComplete, on a first start (the toolbar
// is built) and on a later one (found by name and tag, with the property
// writes counted), and one Insert from the button's Execute to the number in
// the cell with its log record and property. Prints figures.
//
//   addin_bench [--runs N]
#include <chrono>
#include <fstream>
#include <iomanip>
#include <iostream>
#include <shlobj.h>

#include "commands/win32/trelvo_module.h"
#include "frame/add_in_connection.h"
#include "platform/win32/registry_key.h"
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

}  // namespace

int main(int argc, char** argv) {
  int runs = 20;
  if (argc == 3 && std::string(argv[1]) == "--runs") runs = std::stoi(argv[2]);
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
  win32::DeleteRegistryTree(HKEY_CURRENT_USER, kAddInKey);
  CoUninitialize();
  return 0;
}
