#pragma once
// The add-in's toolbar in a host with command bars: found by name or added,
// its controls found by tag or added, their properties written only when the
// design revision differs from the one the registry records (so the user's
// changes in the host survive), stale controls removed, the controls' events
// delivered, and everything removed again when the user unloads the add-in.
#include <functional>
#include <memory>
#include <string>
#include <vector>
#include <windows.h>
#include <wrl/client.h>

#include "commands/toolbar_definition.h"
#include "commands/win32/add_in_module.h"
#include "frame/control_events.h"
#include "platform/win32/dispatch_object.h"
#include "platform/win32/event_connection.h"
#include "platform/win32/registry_key.h"

namespace trelvo::frame {

class Toolbar : public commands::HostToolbar {
 public:
  struct Callbacks {
    // A control's event: the command it runs, and its position in the toolbar.
    std::function<void(commands::Command, size_t)> on_command;
    // Host errors while building and in events.
    std::function<void(const std::exception&)> report;
  };
  // add_in_key: the add-in's key under HKEY_CURRENT_USER (the bookkeeping
  // keys "CommandBars" and "Controls" lie below it).
  // host_version: the host's Version text (9.0 takes button faces from the
  // clipboard); first_start: nothing has been built before (controls are then
  // not moved back into place); temporary: bar and controls are added for
  // this run only, and so built anew at every start (a lasting bar that an
  // earlier version left in the host is found and kept up to date).
  Toolbar(const commands::ToolbarDefinition& definition, Microsoft::WRL::ComPtr<IDispatch> command_bars,
          std::wstring add_in_key, std::string host_version, bool first_start, bool temporary, Callbacks callbacks);
  ~Toolbar() override;
  Toolbar(const Toolbar&) = delete;
  Toolbar& operator=(const Toolbar&) = delete;

  void Build();
  // Word, when another document becomes active: the toolbar is found again in
  // these command bars (or built there) and its controls linked anew; no
  // property is written.
  void Reattach(Microsoft::WRL::ComPtr<IDispatch> command_bars);
  // Deletes the controls (last to first) and then the bar, when nothing else is left on it.
  void Remove();

  // Run-time state of the linked controls; nothing happens for an unlinked one.
  void SetEnabled(size_t index, bool enabled) override;
  // A drop-down's entries: the host control is cleared and filled again; a
  // control that no longer answers is looked up again by its tag first.
  void SetItems(size_t index, const std::vector<std::string>& items) override;
  std::string Text(size_t index) override;
  // A drop-down's chosen entry, counted from 1; a failure is reported, as for the other setters.
  void SetListIndex(size_t index, int list_index) override;
  bool linked(size_t index) const { return index < links_.size() && links_[index].control; }

 private:
  struct Link {
    Microsoft::WRL::ComPtr<IDispatch> control;
    std::unique_ptr<win32::EventConnection> events;
  };
  std::optional<win32::DispatchObject> FindCommandBar() const;
  std::optional<win32::DispatchObject> FindControl(size_t index) const;
  // Finds or adds the bar; true when it had to be added anew.
  bool LinkBar();
  void RemoveStaleControls();
  // bar_added: the bar has just been added anew, so every control belongs on it.
  void BuildControl(size_t index, bool bar_added);
  void WriteControl(size_t index, const win32::DispatchObject& control);
  void LinkControl(size_t index, Microsoft::WRL::ComPtr<IDispatch> control);
  bool LinkWorks(size_t index) const;
  std::optional<DWORD> Recorded(const wchar_t* part, const std::string& name) const;
  void Record(const wchar_t* part, const std::string& name, DWORD revision) const;

  const commands::ToolbarDefinition& definition_;
  win32::DispatchObject command_bars_;
  std::wstring add_in_key_;
  std::string host_version_;
  bool first_start_;
  bool temporary_;
  Callbacks callbacks_;
  std::optional<win32::DispatchObject> bar_;
  std::vector<Link> links_;
};

}  // namespace trelvo::frame
