#pragma once
// The built-in dialogs of a simulated host (Application.Dialogs): each dialog
// records what it was shown with, so tests can see which name was proposed
// (scripts read it as SimShows).
#include <map>
#include <vector>

#include "simoffice/sim_object.h"

namespace trelvo::simoffice {

class SimDialog : public SimObject {
 public:
  SimDialog(const std::string& source, long number);
  long number() const { return number_; }
  // The arguments of every Show, as text (omitted arguments left out); Word's
  // File Save As dialog has a Name, which comes first when it is set.
  std::vector<std::vector<std::string>> shows;
  std::string name;

 private:
  long number_;
};

class SimDialogs : public SimObject {
 public:
  explicit SimDialogs(const std::string& source);
  // The dialog of that number, made on first use.
  SimDialog& dialog(long number);

 private:
  std::map<long, Microsoft::WRL::ComPtr<SimDialog>> dialogs_;
};

}  // namespace trelvo::simoffice
