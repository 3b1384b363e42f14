#include "simoffice/sim_word.h"

#include <algorithm>

#include "platform/win32/window_handle.h"
#include "simoffice/sim_names.h"

namespace trelvo::simoffice {
namespace {

constexpr char kWord[] = "Microsoft Word";

class SimTextInput : public SimObject {
 public:
  explicit SimTextInput(bool valid) : SimObject(kWord) {
    AddProperty("Valid", {}, [valid](const CallArguments&) { return Variant::Bool(valid); });
  }
};

// A document's window. From version 15 on it is a top-level window of its
// own, whose handle Hwnd answers as a Long; before, it has no handle to give.
class SimWindow : public SimObject {
 public:
  SimWindow(std::string caption, HWND window) : SimObject(kWord), caption_(std::move(caption)) {
    AddProperty("Caption", {}, [this](const CallArguments&) { return Variant::Text(caption_); });
    if (window)
      AddProperty("Hwnd", {}, [window](const CallArguments&) { return Variant::Int(win32::HandleAsLong(window)); });
  }

 private:
  std::string caption_;
};

// The cursor in the active document: TypeText inserts at it, except in a
// protected document, where Word refuses it.
class SimSelection : public SimObject {
 public:
  explicit SimSelection(SimDocument& document) : SimObject(kWord), document_(&document) {
    AddMethod("TypeText", {"Text"}, [this](const CallArguments& arguments) {
      if (document_->protection_type != -1)
        throw OfficeError("Diese Methode oder Eigenschaft ist nicht verfügbar, weil das Dokument geschützt ist.");
      document_->content += arguments.Text(0);
      return Variant();
    });
  }

 private:
  Microsoft::WRL::ComPtr<SimDocument> document_;
};

constexpr char kNoSuchMember[] = "Der angeforderte Member der Auflistung ist nicht vorhanden.";

[[noreturn]] void NoSuchMember() { throw OfficeError(kNoSuchMember); }

}  // namespace

SimFormField::SimFormField(std::string field_name, long field_type)
    : SimObject(kWord), name(std::move(field_name)), type(field_type) {
  AddField("Name", name);
  AddProperty("Type", {}, [this](const CallArguments&) { return Variant::Int(type); });
  // TextInput of a field of another type exists, but is not Valid (Word's documentation of TextInput.Valid).
  AddProperty("TextInput", {}, [this](const CallArguments&) {
    return ObjectValue(Make<SimTextInput>(type == kFieldFormTextInput).Get());
  });
  AddField("Result", result);
}

SimDocument::SimDocument(SimWordApplication& word, std::string name, HostWindow window)
    : SimObject(kWord),
      word_(word),
      name_(std::move(name)),
      properties_(Make<SimCustomProperties>(kWord)),
      window_(std::move(window)) {
  AddProperty("Name", {}, [this](const CallArguments&) { return Variant::Text(name_); });
  AddMethod("Activate", {}, [this](const CallArguments&) {
    word_.Activate(*this);
    return Variant();
  });
  AddField("ProtectionType", protection_type);
  // Test surface: the text typed into the document.
  AddProperty("SimText", {}, [this](const CallArguments&) { return Variant::Text(content); });
  AddProperty("CustomDocumentProperties", {}, [this](const CallArguments&) { return ObjectValue(properties_.Get()); });
  // Word's documents share the application's command bars.
  AddProperty("CommandBars", {}, [this](const CallArguments&) { return ObjectValue(&word_.command_bars()); });
  AddProperty("FormFields", {}, [this](const CallArguments&) {
    return ObjectValue(Make<SimCollection>(
                           kWord, [this] { return static_cast<long>(fields_.size()); },
                           [this](const Variant& index) {
                             if (index.type() == VT_BSTR) {
                               if (SimFormField* field = FormField(index.ToText())) return ObjectValue(field);
                               NoSuchMember();
                             }
                             if (SimFormField* item = AtPosition(fields_, index)) return ObjectValue(item);
                             NoSuchMember();
                           },
                           // A script sets up a form as in Word: FormFields.Add (then Name), then Protect.
                           CollectionAdd{{"Range", "Type"},
                                         [this](const CallArguments& arguments) {
                                           const long type = arguments.Has(1) ? arguments.Int(1) : kFieldFormTextInput;
                                           return ObjectValue(
                                               &AddFormField("Text" + std::to_string(fields_.size() + 1), type));
                                         }})
                           .Get());
  });
  AddMethod("Protect", {"Type", "NoReset", "Password"}, [this](const CallArguments& arguments) {
    if (protection_type != -1) throw OfficeError("Das Dokument ist bereits geschützt.");
    protection_type = arguments.Int(0);
    return Variant();
  });
  AddMethod("Unprotect", {"Password"}, [this](const CallArguments&) {
    protection_type = -1;
    return Variant();
  });
}

SimFormField& SimDocument::AddFormField(const std::string& name, long type) {
  fields_.push_back(Make<SimFormField>(name, type));
  return *fields_.back().Get();
}

SimFormField* SimDocument::FormField(const std::string& name) const {
  for (const auto& field : fields_)
    if (SameName(field->name, name)) return field.Get();
  return nullptr;
}

SimTemplate::SimTemplate(std::string name) : SimObject(kWord), full_name(std::move(name)) {
  AddProperty("FullName", {}, [this](const CallArguments&) { return Variant::Text(full_name); });
  AddField("Saved", saved);
  AddMethod("Save", {}, [this](const CallArguments&) {
    saved = true;
    ++saves;
    return Variant();
  });
}

bool SimWordApplication::ConfirmQuit(bool& keep_bars) {
  SimTemplate& normal = normal_template();
  if (normal.saved) return true;
  const std::wstring question = L"Möchten Sie die Änderungen an der Dokumentvorlage \"Normal.dot\" speichern?";
  switch (MessageBoxW(nullptr, question.c_str(), L"Microsoft Word", MB_YESNOCANCEL | MB_ICONWARNING | MB_TASKMODAL)) {
    case IDYES:
      normal.saved = true;
      ++normal.saves;
      return true;
    case IDNO: keep_bars = false; return true;
    default: return false;
  }
}

SimWordApplication::SimWordApplication()
    : SimApplication(kWord, "Word", office::kWordApplication, {"Menu Bar", "Standard", "Formatting"}) {
  AddConnectionPoint(office::kWordApplicationEvents4);
  templates_.push_back(Make<SimTemplate>("C:\\Users\\mmuster\\AppData\\Roaming\\Microsoft\\Templates\\Normal.dot"));
  command_bars().on_lasting_change = [this] { normal_template().saved = false; };

  AddProperty("Documents", {}, [this](const CallArguments&) {
    return ListValue(kWord, documents_, kNoSuchMember,
                     {{"Template", "NewTemplate", "DocumentType", "Visible"}, [this](const CallArguments&) {
                        return ObjectValue(&OpenDocument("Dokument" + std::to_string(documents_.size() + 1)));
                      }});
  });
  AddProperty("ActiveDocument", {}, [this](const CallArguments&) { return ObjectValue(&RequireActiveDocument()); });
  AddProperty("ActiveWindow", {}, [this](const CallArguments&) {
    const SimDocument& document = RequireActiveDocument();
    return ObjectValue(Make<SimWindow>(document.name(), document.window()).Get());
  });
  AddProperty("Selection", {},
              [this](const CallArguments&) { return ObjectValue(Make<SimSelection>(RequireActiveDocument()).Get()); });
  AddProperty("NormalTemplate", {}, [this](const CallArguments&) { return ObjectValue(templates_.front().Get()); });
  AddProperty("Templates", {}, [this](const CallArguments&) { return ListValue(kWord, templates_, kNoSuchMember); });
  AddMethod("OrganizerDelete", {"Source", "Name", "Object"}, [this](const CallArguments& arguments) {
    organizer_deletes.push_back({arguments.Text(0), arguments.Text(1), arguments.Int(2)});
    return Variant();
  });
}

SimDocument& SimWordApplication::RequireActiveDocument() const {
  if (!active_) throw OfficeError("Dieser Befehl ist nicht verfügbar, weil kein Dokument geöffnet ist.");
  return *active_;
}

SimDocument& SimWordApplication::OpenDocument(const std::string& name) {
  documents_.push_back(
      Make<SimDocument>(*this, name, window_per_document() ? MakeHostWindow(L"OpusApp", name) : HostWindow()));
  active_ = documents_.back().Get();
  return *active_;
}

void SimWordApplication::Activate(SimDocument& document) {
  if (std::none_of(documents_.begin(), documents_.end(), [&](const auto& open) { return open.Get() == &document; }))
    throw OfficeError("Das Dokument ist nicht mehr geöffnet.");
  active_ = &document;
  FireWindowActivate(&document);
}

void SimWordApplication::CloseAllDocuments() {
  for (const auto& document : documents_) document->Close();
  documents_.clear();
  active_ = nullptr;
}

SimTemplate& SimWordApplication::AddTemplate(const std::string& full_name) {
  templates_.push_back(Make<SimTemplate>(full_name));
  return *templates_.back().Get();
}

void SimWordApplication::FireWindowActivate(SimDocument* document) {
  Fire(office::kWordApplicationEvents4, office::kWindowActivateEvent,
       {ObjectValue(document),
        ObjectValue(Make<SimWindow>(document ? document->name() : "", document ? document->window() : nullptr).Get())});
}

void SimWordApplication::FireDocumentChange() {
  Fire(office::kWordApplicationEvents4, office::kDocumentChangeEvent, {});
}

void SimWordApplication::FireDocumentOpen(SimDocument& document) {
  Fire(office::kWordApplicationEvents4, office::kDocumentOpenEvent, {ObjectValue(&document)});
}

void SimWordApplication::FireNewDocument(SimDocument& document) {
  Fire(office::kWordApplicationEvents4, office::kNewDocumentEvent, {ObjectValue(&document)});
}

}  // namespace trelvo::simoffice
