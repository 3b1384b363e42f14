#pragma once
// The module-wide copy of the host state: filled when a module is initialised,
// read by the automation object (also by one that has no module of its own),
// and kept after the module is gone until the library is unloaded or the host
// shuts down.
#include <memory>
#include <optional>
#include <string>

#include "commands/office_host.h"

namespace trelvo::commands {

struct SharedHost {
  HostKind kind = HostKind::Excel;
  std::string version;                      // the host's Version text, "12.0"
  std::shared_ptr<OfficeHost> application;  // the host's Application object
};
SharedHost& SharedHostState();
// Shows text in the status bar of the host the add-in was loaded into, if
// any; nullopt gives the bar back to the host.
void ShowInHostStatusBar(const std::optional<std::string>& text);

// The whole-number part of a host's version text ("16.0": 16; 0 when it has none).
int HostMajorVersion(const std::string& version);
// Whether the host has the ribbon: its major version is 12 or more.
bool IsRibbonHost(const std::string& version);

// The word for the kind of host that begins an application text of the usage
// log: "Excel ", "Word ", or "Makro " for any other kind.
std::string ApplicationWord(int host_kind);

// A custom document property of the active workbook or document as text, or
// fallback when it cannot be read (no such property, nothing open).
std::string GetDocumentProperty(OfficeHost& host, const std::string& name, const std::string& fallback);
// Adds it as a text property, or sets the existing one's value.
void SetDocumentProperty(OfficeHost& host, const std::string& name, const std::string& value);

}  // namespace trelvo::commands
