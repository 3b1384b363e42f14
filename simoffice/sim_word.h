#pragma once
// The simulated Word: Application with its documents, the active document and
// window, the selection, form fields, protection, the built-in dialogs, the
// templates, the command bars and the application events (ApplicationEvents4).
#include <vector>

#include "simoffice/sim_application.h"
#include "simoffice/sim_documents.h"

namespace trelvo::simoffice {

// Word's form field types.
inline constexpr long kFieldFormTextInput = 70;
inline constexpr long kFieldFormCheckBox = 71;
inline constexpr long kFieldFormDropDown = 83;

class SimFormField : public SimObject {
 public:
  SimFormField(std::string name, long type);
  std::string name;
  long type;
  std::string result;
};

class SimWordApplication;

class SimDocument : public SimObject {
 public:
  // window: the document's own top-level window (from version 15 on), or none.
  SimDocument(SimWordApplication& word, std::string name, HostWindow window);
  const std::string& name() const { return name_; }
  HWND window() const { return window_.get(); }
  // The document is closed: its window goes, also while scripts still hold it.
  void Close() { window_.reset(); }
  SimCustomProperties& properties() { return *properties_.Get(); }
  SimFormField& AddFormField(const std::string& name, long type = kFieldFormTextInput);
  SimFormField* FormField(const std::string& name) const;

  // The text typed into the document.
  std::string content;
  // wdNoProtection -1, wdAllowOnlyRevisions 0, wdAllowOnlyComments 1, wdAllowOnlyFormFields 2, wdAllowOnlyReading 3.
  long protection_type = -1;

 private:
  SimWordApplication& word_;
  std::string name_;
  Microsoft::WRL::ComPtr<SimCustomProperties> properties_;
  std::vector<Microsoft::WRL::ComPtr<SimFormField>> fields_;
  HostWindow window_;
};

class SimTemplate : public SimObject {
 public:
  explicit SimTemplate(std::string full_name);
  std::string full_name;
  bool saved = true;
  int saves = 0;
};

class SimWordApplication : public SimApplication {
 public:
  SimWordApplication();

  // A new document becomes the active one.
  SimDocument& OpenDocument(const std::string& name);
  // Makes an open document the active one, with WindowActivate as Word raises
  // it; raises Word's error for a document that is no longer open.
  void Activate(SimDocument& document);
  void CloseAllDocuments();
  SimDocument* active_document() const { return active_; }
  SimTemplate& normal_template() { return *templates_.front().Get(); }
  SimTemplate& AddTemplate(const std::string& full_name);

  struct OrganizerDeleteCall {
    std::string source;
    std::string name;
    long object;
  };
  std::vector<OrganizerDeleteCall> organizer_deletes;

  // Application events, as Word raises them.
  void FireWindowActivate(SimDocument* document);
  void FireDocumentChange();
  void FireDocumentOpen(SimDocument& document);
  void FireNewDocument(SimDocument& document);

 protected:
  // Word keeps toolbars that are not temporary in its customization context,
  // Normal.dot: a change to one leaves Normal.dot unsaved, and Quit asks the
  // user whether to save it ("Ja" keeps the toolbars for the next start,
  // "Nein" lets this run's changes go, "Abbrechen" cancels the Quit).
  bool ConfirmQuit(bool& keep_bars) override;

 private:
  SimDocument& RequireActiveDocument() const;

  std::vector<Microsoft::WRL::ComPtr<SimDocument>> documents_;
  SimDocument* active_ = nullptr;  // one of documents_
  std::vector<Microsoft::WRL::ComPtr<SimTemplate>> templates_;
};

}  // namespace trelvo::simoffice
