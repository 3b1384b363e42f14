#pragma once
// One connection of the add-in to a host, from OnConnection to
// OnDisconnection: the module is made, start-up recognises the host and runs
// once, Word's application events are received, and the end tidies up after
// the user unloads the add-in. The co-class's IDTExtensibility2 methods
// delegate here.
#include <memory>

#include "commands/add_in_definition.h"
#include "commands/win32/add_in_module.h"
#include "frame/toolbar.h"
#include "platform/win32/event_connection.h"
#include "platform/win32/message_box_user_interface.h"
#include "platform/win32/office_interfaces.h"
#include "platform/win32/registry_key.h"
#include "ribbon/win32/ribbon_dispatch.h"

namespace trelvo::frame {

class AddInConnection {
 public:
  // Makes the module (its OnCreate runs here); add_in_object is what the
  // host's COMAddIn entry hands to macros.
  AddInConnection(const commands::AddInDefinition& definition, const commands::ModuleFactory& make_module, IDispatch* application,
                  ext_ConnectMode mode, IDispatch* add_in_instance, IDispatch* add_in_object);
  ~AddInConnection();
  AddInConnection(const AddInConnection&) = delete;
  AddInConnection& operator=(const AddInConnection&) = delete;

  // The start-up body; it runs once, however often the host calls it.
  void StartupComplete();
  void BeginShutdown();
  // Ends the connection; the object is destroyed afterwards.
  void Disconnect(ext_DisconnectMode mode);

  // An error of the module's handlers: its OnError, or the error box. It
  // never throws, not even when the module's handling or the box fails: it
  // runs inside the catch of every boundary to the host.
  void HandleAddInError(const std::exception& error) noexcept;

  // The ribbon markup for a host ribbon id; the id tells the host's kind, and
  // a host that asks has the ribbon.
  std::string RibbonMarkup(const std::string& ribbon_id);
  // The module's ribbon for the callbacks (nullptr: none), and what they raise.
  ribbon::Ribbon* ribbon() { return module_->ribbon(); }
  const ribbon::win32::RibbonEvents& ribbon_events() const { return ribbon_events_; }

  const commands::HostConnection& host() const { return host_; }
  commands::AddInModule& module() { return *module_; }

 private:
  // Runs one of the module's handlers; what it throws goes to HandleAddInError.
  template <class Handler>
  void Run(Handler&& handler);
  void ShowErrorBox(const std::string& text) noexcept;
  // The owner of the add-in's windows, asked for as each one opens.
  win32::OwnerWindow HostOwner();
  HWND ActiveWindowNow() const;
  void RecognizeTheHost();
  commands::StartMode ReadStartMode() const;
  void OnWordEvent(DISPID event, const DISPPARAMS& arguments);
  void ListAsAutomationAddIn() noexcept;
  void BuildToolbar();
  void RemoveToolbar();

  const commands::AddInDefinition& definition_;
  win32::MessageBoxUserInterface ui_;
  std::unique_ptr<commands::AddInModule> module_;
  commands::HostConnection host_;
  Microsoft::WRL::ComPtr<IDispatch> com_add_in_;
  win32::RegistryKey registry_;  // the add-in key under HKEY_CURRENT_USER, while started
  int startups_ = 0;
  // The host is asked for the owner from its recognition until shutdown
  // begins: before, its kind is unknown; afterwards its windows may be going.
  bool owner_from_host_ = false;
  std::unique_ptr<win32::EventConnection> word_events_;
  std::unique_ptr<Toolbar> toolbar_;  // goes before the module: its events call the module
  ribbon::win32::RibbonEvents ribbon_events_;
};

}  // namespace trelvo::frame
