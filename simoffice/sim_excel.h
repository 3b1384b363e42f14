#pragma once
// The simulated Excel: Application with its workbooks, the active cell, the
// built-in dialogs, the default save format and the command bars.
#include <memory>
#include <vector>

#include "simoffice/sim_application.h"
#include "simoffice/sim_cell.h"
#include "simoffice/sim_documents.h"

namespace trelvo::simoffice {

class SimWorkbook : public SimObject {
 public:
  explicit SimWorkbook(std::string name);
  const std::string& name() const { return name_; }
  SimCustomProperties& properties() { return *properties_.Get(); }
  // The cells that were given something, by address in R1C1 form.
  std::map<std::string, SimCell> cells;

 private:
  std::string name_;
  Microsoft::WRL::ComPtr<SimCustomProperties> properties_;
};

class SimExcelApplication : public SimApplication {
 public:
  SimExcelApplication();

  long default_save_format = -4143;  // xlWorkbookNormal
  // The active cell of the active workbook ("R1C1" until moved).
  std::string active_cell = "R1C1";

  SimWorkbook& OpenWorkbook(const std::string& name);
  void CloseAllWorkbooks() { workbooks_.clear(); }
  SimWorkbook* active_workbook() const { return workbooks_.empty() ? nullptr : workbooks_.back().Get(); }
  // Excel's main window: a hidden top-level window of the class "XLMAIN" on
  // the thread that made the application (the add-in owns its dialogs by it).
  HWND main_window();

 private:
  struct WindowDestroyer {
    void operator()(HWND window) const { DestroyWindow(window); }
  };
  std::unique_ptr<std::remove_pointer_t<HWND>, WindowDestroyer> main_window_;
  std::vector<Microsoft::WRL::ComPtr<SimWorkbook>> workbooks_;
};

}  // namespace trelvo::simoffice
