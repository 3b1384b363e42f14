#include "commands/automation.h"

#include "commands/insert_command.h"
#include "engine/number_drawing.h"
#include "engine/number_store.h"
#include "engine/settings.h"
#include "engine/usage_log.h"
#include "platform/error.h"

namespace trelvo::commands {
namespace {

// The draw's target must exist before a number is drawn for it.
void CheckTarget(const SharedHost& host) {
  if (!host.application) throw Error("Trelvo ist mit keiner Anwendung verbunden. Es wurde keine Nummer vergeben.");
  if (host.kind == HostKind::Excel && host.application->WorkbookCount() == 0)
    throw Error("Kein aktives Arbeitsblatt. Bitte öffnen Sie eine Arbeitsmappe. Es wurde keine Nummer vergeben.");
  if (host.kind == HostKind::Word && host.application->DocumentCount() == 0)
    throw Error("Kein aktives Dokument. Bitte öffnen Sie ein Dokument. Es wurde keine Nummer vergeben.");
}

}  // namespace

std::string ReadCounter(platform::Environment& env) { return engine::PreviewNextNumber(env); }

std::string SetCounter(platform::Environment& env, const SharedHost& host) {
  CheckTarget(host);
  const auto store = engine::OpenCurrentNumberStore(env);
  const std::string application = ApplicationWord(static_cast<int>(host.kind)) + host.version;
  const engine::DrawResult draw = engine::DrawUnderLock(env, *store, application);
  const std::string value = draw.issued ? draw.number : engine::kLockedMarker;
  // The draw has kept the number's record; a refusal gets its own, also when
  // the property cannot be written.
  std::exception_ptr property_failure;
  if (draw.issued) {
    try {
      SetDocumentProperty(*host.application, kNumberProperty, value);
    } catch (const std::exception&) {
      property_failure = std::current_exception();
    }
  }
  if (!draw.issued) store->RecordRefusal(application);
  if (draw.unrecorded) throw Error(*draw.unrecorded);
  if (property_failure) std::rethrow_exception(property_failure);
  return value;
}

IniFileChoice SetIniFile(platform::Environment& env, const std::string& path,
                         const std::function<void()>& select_default) {
  if (!path.empty() && !env.files.IsFullPath(path))
    return {false, engine::NotAFullPathMessage(engine::kCounterFileWhat, path)};
  if (path.empty() || !env.files.FileExists(path)) return {};
  // A pointer to a server range is stored only once its range answers: a
  // wrong password or a missing range would otherwise fail the next Insert.
  try {
    const auto store = engine::OpenNumberStore(env, path);
    if (store->Server()) store->Read();
  } catch (const Error& refusal) {  // Aborted too, after its box
    return {false, refusal.what()};
  }
  if (select_default) select_default();
  engine::SetCounterFilePath(env, path);
  return {true, ""};
}

}  // namespace trelvo::commands
