#include "engine/counter_lock.h"

#include <string_view>

#include "engine/server/server_range.h"
#include "engine/usage_log.h"
#include "platform/error.h"
#include "platform/quoting.h"
#include "platform/user_interface.h"

namespace trelvo::engine {
namespace k = counter_keys;

std::string QueryLockOwner(const NumberStore& store) { return LockOwnerIn(store.Read()); }

void AcquireLock(platform::Environment& env, const NumberStore& store) {
  const std::string user = env.system.UserName();
  // Where and when: a lock that a dialog no longer holds shows its age.
  const std::string on = env.system.ComputerName();
  const std::string at = FormatLogTime(env.system.Now(), ":").substr(0, 16);
  store.Update([&](IniDocument& document) {
    RefuseMovedRange(document, store.path());
    document.WriteBool(k::kLockingSection, k::kIsLocked, true);
    document.WriteString(k::kLockingSection, k::kLockedBy, user);
    document.WriteString(k::kLockingSection, k::kLockedOn, on);
    document.WriteString(k::kLockingSection, k::kLockedAt, at);
  });
}

void ReleaseLock(platform::Environment& env, const NumberStore& store) {
  if (!store.Exists()) {
    platform::ShowErrorBox(env.ui, "Die Locking Informationen konnten nicht zurückgesetzt werden!");
    return;
  }
  store.Update([&](IniDocument& document) {
    RefuseMovedRange(document, store.path());
    WriteFreeLock(document);
  });
}

std::string QueryLockOwner(platform::Environment& env) { return QueryLockOwner(*OpenCurrentNumberStore(env)); }
void AcquireLock(platform::Environment& env) { AcquireLock(env, *OpenCurrentNumberStore(env)); }
void ReleaseLock(platform::Environment& env) { ReleaseLock(env, *OpenCurrentNumberStore(env)); }

bool IsLockHolder(const std::string& owner) { return owner != kNoUser; }

std::optional<std::string> MovedToRange(const IniDocument& file) {
  const std::string holder = LockOwnerIn(file);
  if (!holder.starts_with(kMovedToServerHolder)) return std::nullopt;
  return holder.substr(std::string_view(kMovedToServerHolder).size());
}

void RefuseMovedRange(const IniDocument& file, const std::string& path) {
  const std::string kept = " Ihre Sperre bleibt, damit sie keine Nummer ausgibt, die der Server schon vergeben hat.";
  if (const auto range = MovedToRange(file))
    throw Error("Die Zählerdatei " + platform::Quoted(path) + " ist auf den Server umgezogen (Nummernkreis " +
                platform::Quoted(*range) + ")." + kept + " Gezogen wird aus dem Nummernkreis auf dem Server.");
  if (LockOwnerIn(file) == kMovingToServerHolder)
    throw Error("Die Zählerdatei " + platform::Quoted(path) +
                " wird gerade auf einen Server umgezogen (trelvo server-init)." + kept +
                " Ist der Umzug abgebrochen, prüft ein Administrator zuerst den Nummernkreis auf dem Server.");
}

std::optional<std::string> MovedFileMessage(const std::string& counter_file_path, const std::string& holder) {
  // A file whose range an administrator moved to a server is no one's to close.
  const std::string file = platform::Quoted(FileNameOf(counter_file_path));
  if (holder.starts_with(kMovedToServerHolder))
    return "Die Zählerdatei " + file + " ist auf einen Server umgezogen: ein Administrator hat ihren Nummernkreis " +
           "als " + platform::Quoted(holder.substr(std::string_view(kMovedToServerHolder).size())) +
           " auf einen Datenbankserver verlegt.\r\nAus dieser Datei wird keine Nummer mehr vergeben. Bitte "
           "wählen Sie die Zählerdatei, die auf den Server verweist (Ihr Administrator nennt sie Ihnen).";
  if (holder == kMovingToServerHolder)
    return "Die Zählerdatei " + file +
           " wird gerade von einem Administrator auf einen Server umgezogen (trelvo server-init).\r\nBitte "
           "versuchen Sie es später erneut.";
  return std::nullopt;
}

std::string LockedSubject(const NumberStore& store) {
  const std::string file = platform::Quoted(FileNameOf(store.path()));
  if (const server::ServerRange* range = store.Server())
    return "Der Nummernkreis " + platform::Quoted(range->pointer().range) + " (Zählerdatei " + file + ")";
  return "Die Datei " + file;
}

std::string LockMessage(const std::string& counter_file_path, const std::string& holder, const std::string& place,
                        const std::string& subject) {
  if (auto moved = MovedFileMessage(counter_file_path, holder)) return *moved;
  return (subject.empty() ? "Die Datei " + platform::Quoted(FileNameOf(counter_file_path)) : subject) +
         " wird zur Zeit durch den Benutzer " + platform::Quoted(holder) + place +
         " bearbeitet \r\nund ist daher gesperrt. Bitten Sie den Benutzer, den Trelvo Dialog Optionen\r\n"
         "zu schließen oder probieren Sie es später erneut, damit die Sperre aufgehoben wird.";
}

void ShowLockMessage(platform::Environment& env, const NumberStore& store, const std::string& holder,
                     const std::string& place) {
  platform::ShowErrorBox(env.ui, LockMessage(store.path(), holder, place, LockedSubject(store)));
}

}  // namespace trelvo::engine
