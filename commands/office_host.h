#pragma once
// Everything the commands ask of Excel and Word, and nothing more. The add-in
// calls the hosts' object models late-bound through this interface; tests of
// the command logic use an in-memory host instead.
#include <cstdint>
#include <optional>
#include <string>

namespace trelvo::commands {

// The Office application the add-in was loaded into.
enum class HostKind { Excel = 0, Word = 1 };

// Word's protection type of the active document.
enum class ProtectionType : int32_t {
  None = -1,
  Revisions = 0,
  Comments = 1,
  FormFields = 2,
  ReadOnly = 3,
};

// Any operation may fail with a trelvo::Error carrying the host's message.
class OfficeHost {
 public:
  virtual ~OfficeHost() = default;

  // Both hosts.
  virtual std::string Version() = 0;
  // The status bar shows text; nullopt gives it back to the host.
  virtual void SetStatusBar(const std::optional<std::string>& text) = 0;

  // Excel.
  virtual int32_t WorkbookCount() = 0;
  // The active cell takes the text as its value, kept as text: Excel would
  // turn "0042" into 42 and "3/26" into a date. The cell's formats stay.
  virtual void SetActiveCellText(const std::string& text) = 0;
  virtual int32_t DefaultSaveFormat() = 0;
  // The Save As dialog (built-in dialog 5) with the name, and the file format when given.
  virtual void ShowExcelSaveAs(const std::string& name, std::optional<int32_t> format) = 0;

  // Word.
  virtual int32_t DocumentCount() = 0;
  // Typed at the cursor (Selection.TypeText with the named argument Text).
  virtual void TypeText(const std::string& text) = 0;
  virtual ProtectionType ActiveDocumentProtection() = 0;
  virtual int32_t FormFieldCount() = 0;
  // Index from 1.
  virtual std::string FormFieldName(int32_t index) = 0;
  virtual bool FormFieldIsTextInput(const std::string& name) = 0;
  virtual void SetFormFieldResult(const std::string& name, const std::string& text) = 0;
  // The File Save As dialog (built-in dialog 84) with its Name set.
  virtual void ShowWordSaveAs(const std::string& name) = 0;

  // Custom document properties of the active workbook (Excel) or active
  // document (Word), type text. Add fails when the property exists; reading
  // or writing a missing one fails.
  virtual void AddDocumentProperty(const std::string& name, const std::string& value) = 0;
  virtual std::string DocumentPropertyValue(const std::string& name) = 0;
  virtual void SetDocumentPropertyValue(const std::string& name, const std::string& value) = 0;
};

}  // namespace trelvo::commands
