#pragma once
// The advisory lock inside a counter file (section Locking): it stops draws
// while an administrator edits the file. Every operation here runs under the
// operating-system lock, so taking and freeing it are atomic.
#include <string>

#include "engine/counter_file.h"
#include "platform/environment.h"

namespace trelvo::engine {

// On the current counter file of the settings file.
std::string QueryLockOwner(platform::Environment& env);
void AcquireLock(platform::Environment& env);
void ReleaseLock(platform::Environment& env);

// The same on a named counter file (the command-line tool, the options dialog).
std::string QueryLockOwner(const CounterFile& file);
void AcquireLock(platform::Environment& env, const CounterFile& file);
void ReleaseLock(platform::Environment& env, const CounterFile& file);

// True when the holder text names a holder ("#nouser#" alone means free).
bool IsLockHolder(const std::string& owner);

// The message that tells a user that a counter file is locked.
std::string LockMessage(const std::string& counter_file_path, const std::string& holder);
void ShowLockMessage(platform::Environment& env, const std::string& counter_file_path, const std::string& holder);

}  // namespace trelvo::engine
