#pragma once
// The byte range that the operating-system lock of a shared file covers: one
// byte far beyond any real file size, so that the lock never blocks reads and
// writes of the content (by programs that do not lock, too).
#include <chrono>
#include <cstdint>

namespace trelvo::platform {

inline constexpr uint64_t kLockRangeOffset = uint64_t{1} << 62;
inline constexpr uint64_t kLockRangeLength = 1;
// Pause between two attempts to take a lock that another process holds.
inline constexpr std::chrono::milliseconds kLockRetryPause{1};

}  // namespace trelvo::platform
