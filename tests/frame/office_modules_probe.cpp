// A process of the simulated Excel's own, for tests that must see what a
// host's start loads: nothing of a test program is loaded in it before. It
// starts the simulated Excel 11.0 from the registered SimOffice.dll, which
// loads the add-ins the registry announces as Office does (Trelvo.dll among
// them), and, given --insert, clicks "Sabu einfügen" in a new workbook. After
// each step it writes a line to REPORT: the step (with the cell's text after
// the click) and whether Trelvo.dll and odbc32.dll are among the process's
// modules; the host's messages, if any, follow on a line of their own.
//
//   office_modules_probe REPORT [--insert]
#include <exception>
#include <fstream>
#include <stdexcept>
#include <string>
#include <windows.h>

#include "commands/toolbar_definition.h"
#include "platform/win32/dispatch_object.h"

namespace {

using trelvo::win32::DispatchObject;
using trelvo::win32::Variant;

constexpr CLSID kExcelClassId = {0x00024500, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

std::string Modules() {
  const auto state = [](const wchar_t* module) { return GetModuleHandleW(module) ? "loaded" : "not loaded"; };
  return std::string("Trelvo.dll ") + state(L"Trelvo.dll") + ", odbc32.dll " + state(L"odbc32.dll");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  const bool insert = argc > 2 && std::string(argv[2]) == "--insert";
  std::ofstream report(argv[1], std::ios::binary);
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  int status = 0;
  try {
    Microsoft::WRL::ComPtr<IDispatch> application;
    if (FAILED(CoCreateInstance(kExcelClassId, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&application))))
      throw std::runtime_error("the simulated Excel is not registered");
    const DispatchObject excel(application);
    report << "start: " << Modules() << "\n";
    if (insert) {
      excel.GetObject("Workbooks").Call("Add");
      excel.GetObject("CommandBars")
          .GetObject("FindControl", {Variant::Int(1), Variant::Omitted(),
                                     Variant::Text(trelvo::commands::kTrelvoToolbar.controls[1].tag)})
          .Call("Execute");
      report << "insert " << excel.GetObject("ActiveCell").Get("Text").ToText() << ": " << Modules() << "\n";
    }
    const std::string messages = excel.GetObject("SimUser").Get("Messages").ToText();
    if (!messages.empty()) report << "messages: " << messages << "\n";
    excel.Call("Quit");
  } catch (const std::exception& error) {
    report << "failed: " << error.what() << "\n";
    status = 1;
  }
  CoUninitialize();
  return status;
}
