#include "simoffice/sim_excel.h"

#include <algorithm>

#include "platform/win32/window_handle.h"

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

SimWorkbook::SimWorkbook(SimExcelApplication& excel, std::string name, HostWindow window)
    : SimObject(kExcel),
      excel_(excel),
      name_(std::move(name)),
      properties_(Make<SimCustomProperties>(kExcel)),
      window_(std::move(window)) {
  AddProperty("Name", {}, [this](const CallArguments&) { return Variant::Text(name_); });
  AddProperty("CustomDocumentProperties", {}, [this](const CallArguments&) { return ObjectValue(properties_.Get()); });
  AddMethod("Activate", {}, [this](const CallArguments&) {
    excel_.Activate(*this);
    return Variant();
  });
}

SimExcelApplication::SimExcelApplication()
    : SimApplication(kExcel, "Excel", office::kExcelApplication, {"Worksheet Menu Bar", "Standard", "Formatting"}),
      main_window_(MakeHostWindow(L"XLMAIN", kExcel)) {
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
  // A Long, as in Excel; a window handle fits it on 64-bit Windows too.
  AddProperty("Hwnd", {}, [this](const CallArguments&) { return Variant::Int(win32::HandleAsLong(window())); });
}

HWND SimExcelApplication::window() const {
  return window_per_document() && active_ && active_->window() ? active_->window() : main_window();
}

SimWorkbook& SimExcelApplication::OpenWorkbook(const std::string& name) {
  workbooks_.push_back(
      Make<SimWorkbook>(*this, name, window_per_document() ? MakeHostWindow(L"XLMAIN", name) : HostWindow()));
  active_ = workbooks_.back().Get();
  return *active_;
}

void SimExcelApplication::Activate(SimWorkbook& workbook) {
  if (std::none_of(workbooks_.begin(), workbooks_.end(), [&](const auto& open) { return open.Get() == &workbook; }))
    throw OfficeError("Die Arbeitsmappe ist nicht mehr geöffnet.");
  active_ = &workbook;
}

void SimExcelApplication::CloseAllWorkbooks() {
  for (const auto& workbook : workbooks_) workbook->Close();
  workbooks_.clear();
  active_ = nullptr;
}

}  // namespace trelvo::simoffice
