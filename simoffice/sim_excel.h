#pragma once
// The simulated Excel: Application with its workbooks, the active workbook and
// cell, the windows, the built-in dialogs, the default save format and the
// command bars.
#include <vector>

#include "simoffice/sim_application.h"
#include "simoffice/sim_cell.h"
#include "simoffice/sim_documents.h"

namespace trelvo::simoffice {

class SimExcelApplication;

class SimWorkbook : public SimObject {
 public:
  // window: the workbook's own top-level window (from version 15 on), or none.
  SimWorkbook(SimExcelApplication& excel, std::string name, HostWindow window);
  const std::string& name() const { return name_; }
  SimCustomProperties& properties() { return *properties_.Get(); }
  HWND window() const { return window_.get(); }
  // The workbook is closed: its window goes, also while scripts still hold it.
  void Close() { window_.reset(); }
  // The cells that were given something, by address in R1C1 form.
  std::map<std::string, SimCell> cells;

 private:
  SimExcelApplication& excel_;
  std::string name_;
  Microsoft::WRL::ComPtr<SimCustomProperties> properties_;
  HostWindow window_;
};

class SimExcelApplication : public SimApplication {
 public:
  SimExcelApplication();

  long default_save_format = -4143;  // xlWorkbookNormal
  // The active cell of the active workbook ("R1C1" until moved).
  std::string active_cell = "R1C1";

  // A new workbook becomes the active one.
  SimWorkbook& OpenWorkbook(const std::string& name);
  // Raises Excel's error for a workbook that is no longer open.
  void Activate(SimWorkbook& workbook);
  void CloseAllWorkbooks();
  SimWorkbook* active_workbook() const { return active_; }
  // Excel's main window: a hidden top-level window of the class "XLMAIN" on
  // the thread that made the application. From version 15 on it stands for
  // Excel while no workbook is open.
  HWND main_window() const { return main_window_.get(); }
  // What Application.Hwnd answers: the active workbook's window from version
  // 15 on, the main window otherwise.
  HWND window() const;

 private:
  HostWindow main_window_;
  std::vector<Microsoft::WRL::ComPtr<SimWorkbook>> workbooks_;
  SimWorkbook* active_ = nullptr;  // one of workbooks_
};

}  // namespace trelvo::simoffice
