#include "commands/win32/dispatch_office_host.h"

namespace trelvo::commands {

using win32::DispatchObject;
using win32::Variant;

namespace {
constexpr long kExcelSaveAsDialog = 5;  // xlDialogSaveAs
constexpr long kWordSaveAsDialog = 84;  // wdDialogFileSaveAs
constexpr long kTextPropertyType = 4;   // msoPropertyTypeString
}  // namespace

DispatchOfficeHost::DispatchOfficeHost(Microsoft::WRL::ComPtr<IDispatch> application, HostKind kind)
    : application_(std::move(application)), kind_(kind) {}

std::string DispatchOfficeHost::Version() { return application_.Get("Version").ToText(); }

void DispatchOfficeHost::SetStatusBar(const std::optional<std::string>& text) {
  // Excel takes the bar back at False; Word's StatusBar takes text only, and an empty text clears it.
  const Variant host_own = kind_ == HostKind::Excel ? Variant::Bool(false) : Variant::Text("");
  application_.Put("StatusBar", text ? Variant::Text(*text) : host_own);
}

int32_t DispatchOfficeHost::WorkbookCount() { return application_.GetObject("Workbooks").Get("Count").ToInt(); }

void DispatchOfficeHost::SetActiveCellText(const std::string& text) {
  // A leading apostrophe makes Excel keep the text as typed, without touching the number format.
  application_.GetObject("ActiveCell").Put("Value", Variant::Text("'" + text));
}

int32_t DispatchOfficeHost::DefaultSaveFormat() { return application_.Get("DefaultSaveFormat").ToInt(); }

void DispatchOfficeHost::ShowExcelSaveAs(const std::string& name, std::optional<int32_t> format) {
  const DispatchObject dialog = application_.GetObject("Dialogs").GetObject("Item", {Variant::Int(kExcelSaveAsDialog)});
  std::vector<Variant> arguments = {Variant::Text(name)};
  if (format) arguments.push_back(Variant::Int(*format));
  dialog.Call("Show", std::move(arguments));
}

int32_t DispatchOfficeHost::DocumentCount() { return application_.GetObject("Documents").Get("Count").ToInt(); }

void DispatchOfficeHost::TypeText(const std::string& text) {
  application_.GetObject("Selection").Call("TypeText", {}, {{"Text", Variant::Text(text)}});
}

ProtectionType DispatchOfficeHost::ActiveDocumentProtection() {
  return static_cast<ProtectionType>(application_.GetObject("ActiveDocument").Get("ProtectionType").ToInt());
}

DispatchObject DispatchOfficeHost::FormFields() const {
  return application_.GetObject("ActiveDocument").GetObject("FormFields");
}

int32_t DispatchOfficeHost::FormFieldCount() { return FormFields().Get("Count").ToInt(); }

std::string DispatchOfficeHost::FormFieldName(int32_t index) {
  return FormFields().GetObject("Item", {Variant::Int(index)}).Get("Name").ToText();
}

bool DispatchOfficeHost::FormFieldIsTextInput(const std::string& name) {
  return FormFields().GetObject("Item", {Variant::Text(name)}).GetObject("TextInput").Get("Valid").ToBool();
}

void DispatchOfficeHost::SetFormFieldResult(const std::string& name, const std::string& text) {
  FormFields().GetObject("Item", {Variant::Text(name)}).Put("Result", Variant::Text(text));
}

void DispatchOfficeHost::ShowWordSaveAs(const std::string& name) {
  const DispatchObject dialog = application_.GetObject("Dialogs").GetObject("Item", {Variant::Int(kWordSaveAsDialog)});
  dialog.Put("Name", Variant::Text(name));
  dialog.Call("Show");
}

DispatchObject DispatchOfficeHost::CustomProperties() const {
  return application_.GetObject(kind_ == HostKind::Excel ? "ActiveWorkbook" : "ActiveDocument")
      .GetObject("CustomDocumentProperties");
}

void DispatchOfficeHost::AddDocumentProperty(const std::string& name, const std::string& value) {
  CustomProperties().Call("Add", {Variant::Text(name), Variant::Bool(false), Variant::Int(kTextPropertyType),
                                  Variant::Text(value), Variant::Omitted()});
}

std::string DispatchOfficeHost::DocumentPropertyValue(const std::string& name) {
  return CustomProperties().GetObject("Item", {Variant::Text(name)}).Get("Value").ToText();
}

void DispatchOfficeHost::SetDocumentPropertyValue(const std::string& name, const std::string& value) {
  CustomProperties().GetObject("Item", {Variant::Text(name)}).Put("Value", Variant::Text(value));
}

}  // namespace trelvo::commands
