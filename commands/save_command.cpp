#include "commands/save_command.h"

#include "commands/insert_command.h"
#include "commands/shared_host.h"
#include "platform/user_interface.h"

namespace trelvo::commands {
namespace {

void ShowPlain(platform::Environment& env, const std::string& text) {
  env.ui.Show({platform::MessageKind::Plain, "Trelvo", text, platform::MessageButtons::Ok});
}

bool Reserved(unsigned char c) {
  static constexpr std::string_view kReserved = "\"*/:<>?\\|";
  return c < 32 || kReserved.find(static_cast<char>(c)) != std::string_view::npos;
}

}  // namespace

bool CheckActiveDocument(platform::Environment& env, OfficeHost& host, HostKind kind) {
  if (kind == HostKind::Excel) {
    if (host.WorkbookCount() > 0) return true;
    ShowPlain(env, "Kein aktives Arbeitsblatt. Bitte öffnen Sie eine Arbeitsmappe.");
    return false;
  }
  if (host.DocumentCount() > 0) return true;
  ShowPlain(env, "Kein aktives Dokument. Bitte öffnen Sie ein Dokument.");
  return false;
}

// Text is UTF-8 here: bytes from 128 up belong to characters from 128 up,
// which stay as they are, as in Windows-1252.
std::string CleanFileName(const std::string& text) {
  std::string name = text;
  if (name.empty()) return name;
  if (name.front() == ' ' || name.front() == '.') name.front() = '_';
  if (name.back() == ' ' || name.back() == '.') name.back() = '_';
  for (char& c : name)
    if (Reserved(static_cast<unsigned char>(c))) c = '_';
  return name;
}

std::string BuildSaveFileName(OfficeHost& host) {
  const std::string customer = GetDocumentProperty(host, kCustomerProperty, "");
  const std::string number = GetDocumentProperty(host, kNumberProperty, kNumberFallback);
  const std::string name = customer.empty() ? number : customer + " " + number;
  return CleanFileName(name);
}

void ExecuteSave(platform::Environment& env, OfficeHost& host, HostKind kind, bool ribbon_host) {
  if (!CheckActiveDocument(env, host, kind)) return;
  const std::string name = BuildSaveFileName(host);
  if (kind == HostKind::Excel)
    host.ShowExcelSaveAs(name, ribbon_host ? std::optional<int32_t>(host.DefaultSaveFormat()) : std::nullopt);
  else
    host.ShowWordSaveAs(name);
}

void ExecuteCustomerName(platform::Environment& env, OfficeHost& host, HostKind kind, const AskText& ask) {
  if (!CheckActiveDocument(env, host, kind)) return;
  const auto entered = ask(GetDocumentProperty(host, kCustomerProperty, ""));
  if (entered) SetDocumentProperty(host, kCustomerProperty, *entered);
}

}  // namespace trelvo::commands
