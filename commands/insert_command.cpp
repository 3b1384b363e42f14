#include "commands/insert_command.h"

#include "commands/shared_host.h"
#include "engine/counter_lock.h"
#include "engine/messages.h"
#include "engine/number_drawing.h"
#include "engine/settings.h"
#include "engine/usage_log.h"
#include "platform/error.h"
#include "platform/user_interface.h"

namespace trelvo::commands {
namespace {

// Where the number goes, found before it is drawn.
enum class Target { None, Cell, Cursor, FormField };

void ShowPlain(platform::Environment& env, const std::string& text) {
  env.ui.Show({platform::MessageKind::Plain, "Trelvo", text, platform::MessageButtons::Ok});
}

bool HasTextField(OfficeHost& host) {
  bool found = false;
  const int32_t fields = host.FormFieldCount();
  for (int32_t i = 1; i <= fields; ++i)
    if (host.FormFieldName(i) == kNumberField && host.FormFieldIsTextInput(kNumberField)) found = true;
  return found;
}

Target FindTarget(platform::Environment& env, OfficeHost& host, HostKind kind) {
  if (kind == HostKind::Excel) {
    if (host.WorkbookCount() > 0) return Target::Cell;
    ShowPlain(env, "Kein aktives Arbeitsblatt geöffnet.\r\nBitte öffnen Sie erst eine Arbeitsmappe.");
    return Target::None;
  }
  if (host.DocumentCount() == 0) {
    ShowPlain(env, "Kein aktives Dokument geöffnet.\r\nBitte öffnen Sie erst ein Dokument.");
    return Target::None;
  }
  const ProtectionType protection = host.ActiveDocumentProtection();
  if (protection == ProtectionType::None) return Target::Cursor;
  if (protection == ProtectionType::FormFields) {
    if (HasTextField(host)) return Target::FormField;
    ShowPlain(env,
              "In diesem geschützten Dokument wurde kein Textformularfeld mit dem Namen \"Sabu\" gefunden.\r\n"
              "Heben Sie den Dokumentschutz auf und fügen Sie ein entsprechendes Formularfeld ein.");
    return Target::None;
  }
  ShowPlain(env, "Dieses Dokument ist geschützt.\r\nGeschützte Dokumente werden von diesem Add-In nicht unterstützt.");
  return Target::None;
}

std::string LockedMessage(const engine::NumberStore& store, const std::string& holder, const std::string& place) {
  if (auto moved = engine::MovedFileMessage(store.path(), holder)) return *moved;
  return engine::LockedSubject(store) + " wird zur Zeit durch den Benutzer " + platform::Quoted(holder) + place +
         " bearbeitet \r\nund ist daher gesperrt. Bitten Sie den Benutzer, den Trelvo Dialog Optionen\r\n"
         "zu schließen oder probieren Sie es später erneut.";
}

}  // namespace

void ExecuteInsert(platform::Environment& env, OfficeHost& host, HostKind kind, const std::function<void()>& drawn) {
  const Target target = FindTarget(env, host, kind);
  if (target == Target::None) return;

  // The application text of the record, known before anything is drawn.
  const std::string application = std::string(target == Target::Cell        ? "Excel "
                                              : target == Target::FormField ? "Word Formular "
                                                                            : "Word ") +
                                  host.Version();
  engine::DrawResult draw;
  std::unique_ptr<engine::NumberStore> store;
  try {
    store = engine::OpenNumberStore(env, engine::UsableCounterFilePath(env));
    draw = engine::DrawUnderLock(env, *store, application);
  } catch (const Aborted&) {
    return;  // the engine has told why nothing was drawn
  }
  if (!draw.issued) {
    store->RecordRefusal(ApplicationWord(static_cast<int>(kind)) + host.Version());
    platform::ShowErrorBox(env.ui, LockedMessage(*store, draw.holder, draw.holder_place));
    return;
  }

  if (drawn) drawn();
  // The store has kept the number's record with the draw. A record that could
  // not be stored is told once the number is placed: the number stands.
  const auto told = [&] {
    if (draw.unrecorded) throw Error(*draw.unrecorded);
  };
  try {
    switch (target) {
      case Target::Cell: host.SetActiveCellText(draw.number); break;
      case Target::FormField: host.SetFormFieldResult(kNumberField, draw.number); break;
      default: host.TypeText(draw.number); break;
    }
  } catch (...) {
    told();
    throw;
  }
  told();
  SetDocumentProperty(host, kNumberProperty, draw.number);
}

}  // namespace trelvo::commands
