#pragma once
// The advisory lock inside a counter file (section Locking): it stops draws
// while an administrator edits the file. Every operation here runs under the
// operating-system lock, so taking and freeing it are atomic.
#include <optional>
#include <string>

#include "engine/counter_file.h"
#include "engine/number_store.h"
#include "platform/environment.h"

namespace trelvo::engine {

// On the current counter file of the settings file.
std::string QueryLockOwner(platform::Environment& env);
void AcquireLock(platform::Environment& env);
void ReleaseLock(platform::Environment& env);

// The same on an opened store (the command-line tool, the options dialog).
std::string QueryLockOwner(const NumberStore& store);
void AcquireLock(platform::Environment& env, const NumberStore& store);
void ReleaseLock(platform::Environment& env, const NumberStore& store);

// True when the holder text names a holder ("#nouser#" alone means free).
bool IsLockHolder(const std::string& owner);

// The holders that "trelvo server-init" leaves in a counter file whose range
// it moves to a server: while it moves, and for good after it, with the name
// of the range on the server.
inline constexpr char kMovingToServerHolder[] = "Umzug auf den Server (trelvo server-init)";
inline constexpr char kMovedToServerHolder[] = "Auf den Server umgezogen: Nummernkreis ";
// The name of the server range the file's lock says its range moved to, or
// nullopt when it says no such thing.
std::optional<std::string> MovedToRange(const IniDocument& file);
// Throws (naming the range on the server) when the file's lock says that its
// range moved or is moving to a server: freed, the file would issue the
// numbers the server issues. Taking or releasing its lock is refused alike.
void RefuseMovedRange(const IniDocument& file, const std::string& path);

// The message for a file that an administrator moved, or is moving, to a
// server; nullopt for any other holder.
std::optional<std::string> MovedFileMessage(const std::string& counter_file_path, const std::string& holder);
// What a lock message names as locked: "Die Datei 're.ini'", or for a range
// on a server "Der Nummernkreis 'Firma A' (Zählerdatei 're.ini')".
std::string LockedSubject(const NumberStore& store);
// The message that tells a user that a counter file is locked; place: where
// and since when (LockPlaceIn); subject: what is locked, the file by default.
std::string LockMessage(const std::string& counter_file_path, const std::string& holder,
                        const std::string& place = "", const std::string& subject = "");
void ShowLockMessage(platform::Environment& env, const NumberStore& store, const std::string& holder,
                     const std::string& place = "");

}  // namespace trelvo::engine
