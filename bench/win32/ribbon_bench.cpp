// What the ribbon costs in a host: the real Trelvo.dll (registered by
// regsvr32) in the simulated Excel 12.0, timed from the host's side through
// the calls Office makes: GetCustomUI, one get-callback through IDispatch
// (name resolved once, and resolved with every call), and the whole ribbon's
// first paint (onLoad and every get-callback the markup names, images too).
// Prints figures.
//
//   ribbon_bench [--runs N]
#include <chrono>
#include <iomanip>
#include <iostream>

#include "platform/win32/bstr.h"
#include "platform/win32/dispatch_object.h"
#include "platform/win32/registry_key.h"
#include "simoffice/sim_excel.h"
#include "tests/support/child_process.h"

namespace {

using namespace trelvo;
using Clock = std::chrono::steady_clock;
using Microseconds = std::chrono::duration<double, std::micro>;

const std::wstring kAddInKey = L"Software\\Microsoft\\Office\\Excel\\AddIns\\Trelvo.TrelvoCoClass";

int Regsvr32(bool unregister) {
  std::vector<std::string> args = {"/s", testing::ProgramFolder() + "Trelvo.dll"};
  if (unregister) args.insert(args.begin(), "/u");
  return testing::StartChild("regsvr32.exe", args)->Wait();
}

}  // namespace

int main(int argc, char** argv) {
  int runs = 200;
  if (argc == 3 && std::string(argv[1]) == "--runs") runs = std::stoi(argv[2]);
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  if (Regsvr32(false) != 0) {
    std::cerr << "ribbon_bench: Trelvo.dll cannot be registered\n";
    return 1;
  }
  const auto key = win32::RegistryKey::Create(HKEY_CURRENT_USER, kAddInKey);
  key.SetDword(L"LoadBehavior", 3);
  {
    const auto excel = simoffice::Make<simoffice::SimExcelApplication>();
    excel->version = "12.0";
    excel->Start();
    const auto* entry = excel->add_ins().Find("Trelvo.TrelvoCoClass");
    Microsoft::WRL::ComPtr<IRibbonExtensibility> extensibility;
    Microsoft::WRL::ComPtr<IDispatch> add_in;
    if (!entry || !entry->add_in || FAILED(entry->add_in.As(&extensibility)) || FAILED(entry->add_in.As(&add_in))) {
      std::cerr << "ribbon_bench: the simulated Excel did not load Trelvo\n";
      return 1;
    }

    const win32::Bstr ribbon_id(L"Microsoft.Excel.Workbook");
    auto started = Clock::now();
    size_t markup_length = 0;
    for (int run = 0; run < runs; ++run) {
      win32::Bstr markup;
      extensibility->GetCustomUI(ribbon_id.get(), markup.out());
      markup_length = markup.str().size();
    }
    const Microseconds custom_ui = (Clock::now() - started) / runs;

    const std::wstring name = L"GetLabel_Callback";
    LPOLESTR names[] = {const_cast<LPOLESTR>(name.c_str())};
    const auto control =
        simoffice::Make<simoffice::SimRibbonControl>("oaxRibbonDropDown7CEA2879B244448598BE252E620F105A");
    VARIANT argument;
    argument.vt = VT_DISPATCH;
    argument.pdispVal = control.Get();
    DISPPARAMS parameters{&argument, nullptr, 1, 0};
    DISPID id = 0;
    Microseconds resolve_each{0};
    Microseconds invoke_only{0};
    for (int run = 0; run < runs; ++run) {
      VARIANT result;
      VariantInit(&result);
      started = Clock::now();
      add_in->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
      const auto resolved = Clock::now();
      add_in->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &parameters, &result, nullptr, nullptr);
      const auto answered = Clock::now();
      resolve_each += answered - started;
      invoke_only += answered - resolved;
      VariantClear(&result);
    }

    simoffice::SimRibbon& ribbon = *excel->ribbon();
    Microseconds paint{0};
    const int callbacks_before = ribbon.callbacks;
    const int paints = std::max(1, runs / 10);
    for (int run = 0; run < paints; ++run) {
      ribbon.Unload(add_in.Get());
      ribbon.Load(add_in.Get(), entry->ribbon_markup);
      started = Clock::now();
      ribbon.Show(add_in.Get());
      paint += Clock::now() - started;
    }
    std::cout << std::fixed << std::setprecision(1) << "GetCustomUI (" << markup_length
              << " characters):           " << custom_ui.count() << " us\n"
              << "Get-callback, name resolved once:       " << invoke_only.count() / runs << " us (target < 100)\n"
              << "Get-callback, name resolved each time:  " << resolve_each.count() / runs << " us\n"
              << "First paint, onLoad and " << (ribbon.callbacks - callbacks_before) / paints
              << " callbacks: " << paint.count() / paints / 1000 << " ms (target < 5)\n";
    if (!ribbon.failures.empty()) std::cerr << "ribbon_bench: a callback failed: " << ribbon.failures.front() << "\n";
    win32::DispatchObject(excel->dispatch()).Call("Quit");
  }
  win32::DeleteRegistryTree(HKEY_CURRENT_USER, kAddInKey);
  Regsvr32(true);
  CoUninitialize();
  return 0;
}
