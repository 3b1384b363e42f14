#pragma once
// The host operations on Excel's or Word's Application object, late-bound by
// member name through IDispatch, in the user's default locale.
#include <wrl/client.h>

#include "commands/office_host.h"
#include "platform/win32/dispatch_object.h"

namespace trelvo::commands {

class DispatchOfficeHost : public OfficeHost {
 public:
  DispatchOfficeHost(Microsoft::WRL::ComPtr<IDispatch> application, HostKind kind);

  std::string Version() override;
  void SetStatusBar(const std::optional<std::string>& text) override;
  int32_t WorkbookCount() override;
  void SetActiveCellText(const std::string& text) override;
  int32_t DefaultSaveFormat() override;
  void ShowExcelSaveAs(const std::string& name, std::optional<int32_t> format) override;
  int32_t DocumentCount() override;
  void TypeText(const std::string& text) override;
  ProtectionType ActiveDocumentProtection() override;
  int32_t FormFieldCount() override;
  std::string FormFieldName(int32_t index) override;
  bool FormFieldIsTextInput(const std::string& name) override;
  void SetFormFieldResult(const std::string& name, const std::string& text) override;
  void ShowWordSaveAs(const std::string& name) override;
  void AddDocumentProperty(const std::string& name, const std::string& value) override;
  std::string DocumentPropertyValue(const std::string& name) override;
  void SetDocumentPropertyValue(const std::string& name, const std::string& value) override;

 private:
  win32::DispatchObject FormFields() const;
  win32::DispatchObject CustomProperties() const;

  win32::DispatchObject application_;
  HostKind kind_;
};

}  // namespace trelvo::commands
