#include "commands/shared_host.h"

#include <cstdlib>
#include <exception>

namespace trelvo::commands {

SharedHost& SharedHostState() {
  static SharedHost state;
  return state;
}

void ShowInHostStatusBar(const std::optional<std::string>& text) {
  if (const auto& host = SharedHostState().application) host->SetStatusBar(text);
}

int HostMajorVersion(const std::string& version) { return std::atoi(version.c_str()); }

bool IsRibbonHost(const std::string& version) { return HostMajorVersion(version) >= 12; }

std::string ApplicationWord(int host_kind) {
  switch (host_kind) {
    case static_cast<int>(HostKind::Excel): return "Excel ";
    case static_cast<int>(HostKind::Word): return "Word ";
    default: return "Makro ";
  }
}

std::string GetDocumentProperty(OfficeHost& host, const std::string& name, const std::string& fallback) {
  try {
    return host.DocumentPropertyValue(name);
  } catch (const std::exception&) {
    return fallback;
  }
}

void SetDocumentProperty(OfficeHost& host, const std::string& name, const std::string& value) {
  try {
    host.AddDocumentProperty(name, value);
  } catch (const std::exception&) {
    // It exists already (or could not be added): its value is set instead.
    host.SetDocumentPropertyValue(name, value);
  }
}

}  // namespace trelvo::commands
