#pragma once
// The COM add-ins of a simulated host, loaded as Office loads them: at start
// from the add-in keys Software\Microsoft\Office\<host>\AddIns\<ProgID> under
// HKEY_CURRENT_USER and HKEY_LOCAL_MACHINE (the user's entry wins); each with
// LoadBehavior 3 is created, connected (OnConnection, OnAddInsUpdate), asked
// for its ribbon markup in hosts from version 12 on, and told that start-up is
// complete. An add-in whose OnConnection fails is not loaded, and its
// LoadBehavior becomes 2. COMAddIns lists them all; Quit shuts them down.
#include <string>
#include <vector>
#include <windows.h>

#include "platform/win32/office_interfaces.h"
#include "simoffice/sim_office_addin.h"

namespace trelvo::simoffice {

class SimApplication;

class SimAddIns {
 public:
  // host_name: "Excel" or "Word", as in the add-in keys.
  SimAddIns(SimApplication& application, std::string host_name);
  ~SimAddIns();
  SimAddIns(const SimAddIns&) = delete;
  SimAddIns& operator=(const SimAddIns&) = delete;

  void LoadAtStart();
  void Connect(SimComAddIn& entry, ext_ConnectMode mode);
  void Disconnect(SimComAddIn& entry, ext_DisconnectMode mode);
  // Quit: OnBeginShutdown to every connected add-in, then OnDisconnection.
  void ShutDown();

  // The COMAddIns collection: Item by position from 1 or by ProgID.
  Variant Collection();
  SimComAddIn* Find(const std::string& prog_id) const;

  std::vector<Microsoft::WRL::ComPtr<SimComAddIn>> entries;
  // "ProgID: description" of every connection that failed.
  std::vector<std::string> failures;

 private:
  void Fail(SimComAddIn& entry, HRESULT hr);
  // The add-in's controls leave the host's ribbon.
  void LeaveRibbon(IDTExtensibility2& add_in);

  SimApplication& application_;
  std::string host_name_;
};

}  // namespace trelvo::simoffice
