#pragma once
// The Save command and the customer name: the host's own Save As dialog with
// "customer number" filled in, from the custom document properties
// "SabuKunde" (written by the customer-name command) and "SabuCounter"
// (written by Insert).
#include <functional>
#include <optional>
#include <string>

#include "commands/office_host.h"
#include "platform/environment.h"

namespace trelvo::commands {

inline constexpr char kCustomerProperty[] = "SabuKunde";
inline constexpr char kNumberFallback[] = "Rechnungsnummer";

// Whether the host has an open workbook or document; tells why not.
bool CheckActiveDocument(platform::Environment& env, OfficeHost& host, HostKind kind);

// The text usable as a file name (Windows-1252 rules): a blank or full stop
// first or last becomes "_", as do control characters and " * / : < > ? \ |.
std::string CleanFileName(const std::string& text);
// "customer number", or the number alone, cleaned.
std::string BuildSaveFileName(OfficeHost& host);

// ribbon_host: Excel's dialog also gets the host's default save format.
void ExecuteSave(platform::Environment& env, OfficeHost& host, HostKind kind, bool ribbon_host);

// ask: the input dialog with the current name; the entered text, or nullopt on Cancel.
using AskText = std::function<std::optional<std::string>(const std::string& current)>;
void ExecuteCustomerName(platform::Environment& env, OfficeHost& host, HostKind kind, const AskText& ask);

}  // namespace trelvo::commands
