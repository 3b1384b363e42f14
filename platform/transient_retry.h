#pragma once
// One policy for transient failures of a file access, used by every file
// operation of the platform layer, for counter files and the usage log alike:
// a program that holds a file for a moment without sharing it (another
// workstation's append, an editor, a virus scanner opening a file just
// written), or a network share that is lost for a moment. The access is tried
// again a bounded number of times with growing pauses, as SQLite's Windows
// layer does; a failure that stays is thrown on.
#include <chrono>
#include <functional>

#include "platform/file_system.h"

namespace trelvo::platform {

inline constexpr int kTransientAttempts = 13;
// The pause after attempt n is n times this: about two seconds in all.
inline constexpr std::chrono::milliseconds kTransientPauseStep{25};

using Sleeper = std::function<void(std::chrono::milliseconds)>;

// Runs access until it succeeds, throws a FileError that is not transient, or
// has failed kTransientAttempts times; sleep pauses between the attempts.
template <class Access>
auto RetryTransient(Access&& access, const Sleeper& sleep) -> decltype(access()) {
  for (int attempt = 1;; ++attempt) {
    try {
      return access();
    } catch (const FileError& error) {
      if (!error.transient() || attempt == kTransientAttempts) throw;
    }
    sleep(kTransientPauseStep * attempt);
  }
}

}  // namespace trelvo::platform
