#include "simoffice/sim_excel.h"

namespace trelvo::simoffice {
namespace {

constexpr char kExcel[] = "Microsoft Excel";

// The active cell: what is assigned to FormulaR1C1 or Value is taken as typed
// input (see SimCell).
class SimRange : public SimObject {
 public:
  SimRange(SimWorkbook& workbook, std::string address) : SimObject(kExcel), workbook_(&workbook), address_(address) {
    AddProperty("Address", {}, [this](const CallArguments&) { return Variant::Text(address_); });
    const auto enter = [this](const CallArguments&, const Variant& value) { cell().Enter(value.ToText()); };
    AddProperty(
        "FormulaR1C1", {}, [this](const CallArguments&) { return Variant::Text(cell().formula()); }, enter);
    AddProperty(
        "Value", {}, [this](const CallArguments&) { return cell().Value(); }, enter);
    SetDefaultMember("Value");
    AddProperty("Text", {}, [this](const CallArguments&) { return Variant::Text(cell().Text()); });
    AddProperty("PrefixCharacter", {}, [this](const CallArguments&) { return Variant::Text(cell().prefix()); });
    AddProperty(
        "NumberFormat", {}, [this](const CallArguments&) { return Variant::Text(cell().number_format()); },
        [this](const CallArguments&, const Variant& value) { cell().set_number_format(value.ToText()); });
  }

 private:
  SimCell& cell() { return workbook_->cells[address_]; }

  Microsoft::WRL::ComPtr<SimWorkbook> workbook_;
  std::string address_;
};

}  // namespace

SimWorkbook::SimWorkbook(std::string name)
    : SimObject(kExcel), name_(std::move(name)), properties_(Make<SimCustomProperties>(kExcel)) {
  AddProperty("Name", {}, [this](const CallArguments&) { return Variant::Text(name_); });
  AddProperty("CustomDocumentProperties", {}, [this](const CallArguments&) { return ObjectValue(properties_.Get()); });
}

SimExcelApplication::SimExcelApplication()
    : SimApplication(kExcel, "Excel", office::kExcelApplication, {"Worksheet Menu Bar", "Standard", "Formatting"}) {
  AddField("DefaultSaveFormat", default_save_format);
  AddProperty("Workbooks", {}, [this](const CallArguments&) {
    return ListValue(kExcel, workbooks_, "Index außerhalb des gültigen Bereichs",
                     {{"Template"}, [this](const CallArguments&) {
                        return ObjectValue(&OpenWorkbook("Mappe" + std::to_string(workbooks_.size() + 1)));
                      }});
  });
  // Without a workbook, ActiveWorkbook and ActiveCell are Nothing, as in Excel.
  AddProperty("ActiveWorkbook", {}, [this](const CallArguments&) { return ObjectValue(active_workbook()); });
  AddProperty("ActiveCell", {}, [this](const CallArguments&) {
    SimWorkbook* workbook = active_workbook();
    return workbook ? ObjectValue(Make<SimRange>(*workbook, active_cell).Get()) : ObjectValue(nullptr);
  });
  main_window();  // Excel has its main window from the start
}

HWND SimExcelApplication::main_window() {
  if (!main_window_) {
    WNDCLASSW window_class{};
    window_class.lpfnWndProc = DefWindowProcW;
    window_class.hInstance = GetModuleHandleW(nullptr);
    window_class.lpszClassName = L"XLMAIN";
    RegisterClassW(&window_class);  // fails harmlessly when the class exists
    main_window_.reset(CreateWindowExW(0, L"XLMAIN", L"Microsoft Excel", WS_OVERLAPPEDWINDOW, 0, 0, 800, 600, nullptr,
                                       nullptr, GetModuleHandleW(nullptr), nullptr));
    if (!main_window_) throw OfficeError("Das Hauptfenster kann nicht angelegt werden.");
  }
  return main_window_.get();
}

SimWorkbook& SimExcelApplication::OpenWorkbook(const std::string& name) {
  workbooks_.push_back(Make<SimWorkbook>(name));
  return *workbooks_.back().Get();
}

}  // namespace trelvo::simoffice
