#pragma once
// What the frame knows of one connection to a host, and the events it raises
// on the program's module in the order of that connection: OnCreate while
// the host connects the add-in, OnAddInInitialize and OnAddInStartupComplete
// when start-up is complete (the toolbar is built between the two), and
// OnAddInBeginShutdown and OnAddInFinalize at the end.
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <vector>
#include <windows.h>
#include <wrl/client.h>

#include "commands/office_host.h"
#include "commands/toolbar_definition.h"
#include "platform/user_interface.h"
#include "platform/win32/owner_window.h"
#include "ribbon/ribbon_controls.h"

namespace trelvo::commands {

// The add-in's toolbar in the host, as the module uses it (the frame builds
// it and keeps it linked). Controls are named by their place in the toolbar's
// definition; nothing happens for one that is not linked.
class HostToolbar {
 public:
  virtual ~HostToolbar() = default;
  virtual void SetEnabled(size_t index, bool enabled) = 0;
  // A drop-down's entries, and its chosen entry counted from 1.
  virtual void SetItems(size_t index, const std::vector<std::string>& items) = 0;
  virtual void SetListIndex(size_t index, int list_index) = 0;
  virtual std::string Text(size_t index) = 0;
};

// "OAXStartMode" under the add-in key, as read at start-up.
enum class StartMode { FirstStart = 0, Normal = 1, Uninstalled = 2, Unrecognised = 255 };

struct HostConnection {
  HostKind kind = HostKind::Excel;
  Microsoft::WRL::ComPtr<IDispatch> application;   // the host's Application object
  std::string version;                             // its Version text
  bool is_version12 = false;                       // version 12 or later: the ribbon, no toolbar
  Microsoft::WRL::ComPtr<IDispatch> command_bars;  // _CommandBars, empty when the host has none
  StartMode start_mode = StartMode::FirstStart;
  // The owner of every window the add-in opens: the active workbook's or
  // document's window, asked for as the window opens.
  win32::OwnerWindow owner_window;
  HostToolbar* toolbar = nullptr;  // the add-in's toolbar, while the host has one
};

class AddInModule {
 public:
  virtual ~AddInModule() = default;
  virtual void OnCreate() {}
  virtual void OnAddInInitialize(const HostConnection&) {}
  virtual void OnAddInStartupComplete(const HostConnection&) {}
  virtual void OnAddInBeginShutdown() {}
  // The module's ribbon, whose markup and callbacks the host asks for; nullptr: none.
  virtual ribbon::Ribbon* ribbon() { return nullptr; }
  // The host's ribbon has loaded (the module's ribbon keeps it already).
  virtual void OnRibbonLoaded(const std::shared_ptr<ribbon::RibbonUI>&) {}
  // A macro made another file the current counter file: the range selectors
  // show "(Standard Zähler)" again.
  virtual void OnCounterFileChosen() {}
  // A toolbar control's event: the command it runs.
  virtual void OnToolbarCommand(Command, const HostConnection&) {}
  // host_shutting_down: the host ends (rather than the user unloading the add-in).
  virtual void OnAddInFinalize(bool /*host_shutting_down*/) {}
  // True when the module has dealt with the error itself (no error box then).
  virtual bool OnError(const std::exception&) { return false; }
};

// Builds the program's module for one connection; ui shows its boxes.
using ModuleFactory = std::function<std::unique_ptr<AddInModule>(platform::UserInterface& ui)>;

}  // namespace trelvo::commands
