#pragma once
// A host in memory for the tests of the command logic: its state is plain
// fields; failures are switched on per operation.
#include <algorithm>
#include <cctype>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "commands/office_host.h"
#include "platform/error.h"

namespace trelvo::commands {

class InMemoryOfficeHost : public OfficeHost {
 public:
  explicit InMemoryOfficeHost(HostKind kind) : kind(kind) {}

  struct FormField {
    std::string name;
    bool text_input = true;
    std::string result;
  };
  struct SaveAsCall {
    std::string name;
    std::optional<int32_t> format;
  };

  HostKind kind;
  std::string version = "11.0";
  int32_t open_files = 1;
  int32_t default_save_format = 51;
  std::string active_cell;
  std::string typed_text;
  ProtectionType protection = ProtectionType::None;
  std::vector<FormField> form_fields;
  // Custom properties of the active workbook or document; Office compares their names without case.
  struct NoCase {
    bool operator()(const std::string& a, const std::string& b) const {
      return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](unsigned char x, unsigned char y) {
        return std::tolower(x) < std::tolower(y);
      });
    }
  };
  std::map<std::string, std::string, NoCase> properties;
  std::vector<SaveAsCall> save_as_calls;
  std::set<std::string> failing;  // names of operations that raise the host's error

  std::string Version() override { return Checked("Version", version); }
  std::vector<std::optional<std::string>> status_bar;  // every text set, nullopt: given back
  void SetStatusBar(const std::optional<std::string>& text) override { status_bar.push_back(text); }
  int32_t WorkbookCount() override { return Checked("WorkbookCount", kind == HostKind::Excel ? open_files : 0); }
  void SetActiveCellText(const std::string& text) override {
    active_cell = ActiveFile("SetActiveCellText", text);
  }
  int32_t DefaultSaveFormat() override { return Checked("DefaultSaveFormat", default_save_format); }
  void ShowExcelSaveAs(const std::string& name, std::optional<int32_t> format) override {
    save_as_calls.push_back({ActiveFile("ShowExcelSaveAs", name), format});
  }
  int32_t DocumentCount() override { return Checked("DocumentCount", kind == HostKind::Word ? open_files : 0); }
  void TypeText(const std::string& text) override {
    ActiveFile("TypeText", text);
    if (protection != ProtectionType::None)
      throw Error("Diese Methode oder Eigenschaft ist nicht verfügbar, weil das Dokument geschützt ist.");
    typed_text += text;
  }
  ProtectionType ActiveDocumentProtection() override { return Checked("ActiveDocumentProtection", protection); }
  int32_t FormFieldCount() override { return Checked("FormFieldCount", static_cast<int32_t>(form_fields.size())); }
  std::string FormFieldName(int32_t index) override {
    if (index < 1 || index > static_cast<int32_t>(form_fields.size()))
      throw Error("Der angeforderte Member der Auflistung ist nicht vorhanden.");
    return Checked("FormFieldName", form_fields[static_cast<size_t>(index - 1)].name);
  }
  bool FormFieldIsTextInput(const std::string& name) override {
    return Checked("FormFieldIsTextInput", Field(name).text_input);
  }
  void SetFormFieldResult(const std::string& name, const std::string& text) override {
    Field(name).result = Checked("SetFormFieldResult", text);
  }
  void ShowWordSaveAs(const std::string& name) override {
    save_as_calls.push_back({ActiveFile("ShowWordSaveAs", name), std::nullopt});
  }
  void AddDocumentProperty(const std::string& name, const std::string& value) override {
    ActiveFile("AddDocumentProperty", value);
    if (!properties.emplace(name, value).second) throw Error("Die Eigenschaft " + name + " ist bereits vorhanden.");
  }
  std::string DocumentPropertyValue(const std::string& name) override {
    return Property(ActiveFile("DocumentPropertyValue", name));
  }
  void SetDocumentPropertyValue(const std::string& name, const std::string& value) override {
    Property(ActiveFile("SetDocumentPropertyValue", name)) = value;
  }

 private:
  template <class T>
  T Checked(const std::string& operation, T value) {
    if (failing.count(operation)) throw Error(operation + " ist in der Anwendung fehlgeschlagen.");
    return value;
  }
  // Operations on the active workbook or document fail without one.
  std::string ActiveFile(const std::string& operation, const std::string& value) {
    if (open_files == 0) throw Error("Es ist kein Dokument geöffnet.");
    return Checked(operation, value);
  }
  FormField& Field(const std::string& name) {
    for (auto& field : form_fields)
      if (field.name == name) return field;
    throw Error("Der angeforderte Member der Auflistung ist nicht vorhanden.");
  }
  std::string& Property(const std::string& name) {
    const auto found = properties.find(name);
    if (found == properties.end()) throw Error("Die Eigenschaft " + name + " ist nicht vorhanden.");
    return found->second;
  }
};

}  // namespace trelvo::commands
