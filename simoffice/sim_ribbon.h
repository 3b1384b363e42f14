#pragma once
// The simulated ribbon of hosts from version 12 on. It loads each add-in's
// markup with the system's XML parser, as Office does, calls the add-in's
// onLoad with its IRibbonUI, then every get-callback that the markup names
// for each control, and keeps the answers; InvalidateControl and Invalidate
// make it ask again when a script next reads the control. Scripts reach it as
// Application.SimRibbon:
//   Markup, Failures (refused markup and failed callbacks, a line each), Label(id), Enabled(id), Visible(id),
//   KeyTip(id), Size(id), ItemCount(id), ItemLabel(id, index), SelectedIndex(id), Answer(id, attribute)   the answer of
//   any get-callback, by its attribute, Click(id)               onAction, as a user's click, Select(id, index)       a
//   user's pick in a drop-down, SavePicture(id, path)   the control's image as a bitmap file.
// A control is named by its id or, failing that, by its label (a button or
// list before a tab, group or box of the same label).
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "simoffice/sim_object.h"
#include "simoffice/sim_office_addin.h"

namespace trelvo::simoffice {

class SimRibbon : public SimObject {
 public:
  explicit SimRibbon(const std::string& source);
  ~SimRibbon() override;

  // An add-in's markup; one that the parser refuses is recorded and not shown.
  void Load(IDispatch* add_in, const std::string& markup);
  // The ribbon shows: onLoad, then every control is read.
  void Show(IDispatch* add_in);
  // The add-in is disconnected: its controls go.
  void Unload(IDispatch* add_in);

  // What failed: refused markup, failing callbacks ("name: description").
  std::vector<std::string> failures;
  // How often the add-ins' callbacks were called.
  int callbacks = 0;

 private:
  struct AddInUI;
  struct Control {
    AddInUI* owner = nullptr;
    std::string element;
    std::string id;
    std::map<std::string, std::string> attributes;
    std::map<std::string, Variant> answers;             // by callback attribute
    std::vector<std::map<std::string, Variant>> items;  // drop-downs: each item's answers
    long selected = -1;
    bool stale = true;
  };
  struct AddInUI {
    Microsoft::WRL::ComPtr<IDispatch> add_in;
    std::string markup;
    std::string on_load;
    Microsoft::WRL::ComPtr<SimRibbonUI> ui;
    std::vector<Control> controls;
    std::map<std::string, DISPID> dispids;
  };

  AddInUI* Of(IDispatch* add_in);
  // The control by id, else by label; raises the host's error when none is.
  Control& Find(const std::string& key);
  // The control with its answers up to date.
  Control& Fresh(const std::string& key);
  void Read(Control& control);
  // Calls a callback of the control's add-in with the control first; a
  // failure is recorded and, with raise, raised.
  Variant Call(AddInUI& ui, const std::string& callback, std::vector<Variant> arguments, bool raise);
  Variant ControlArgument(const Control& control) const;
  std::string Text(const Control& control, const std::string& callback, const std::string& plain) const;
  bool Flag(const Control& control, const std::string& callback, const std::string& plain) const;

  std::vector<std::unique_ptr<AddInUI>> uis_;
};

}  // namespace trelvo::simoffice
