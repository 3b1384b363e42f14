#pragma once
// The byte range that the operating-system lock of a shared file covers: one
// byte far beyond any real file size, so that the lock never blocks reads and
// writes of the content (by programs that do not lock, too). It lies at 1 GiB,
// below 2^31, because file servers that take only 32-bit lock offsets refuse a
// lock beyond. Every workstation of an office must lock the same byte: a
// version that locked elsewhere does not exclude this one.
#include <chrono>
#include <cstdint>

namespace trelvo::platform {

inline constexpr uint64_t kLockRangeOffset = uint64_t{1} << 30;
inline constexpr uint64_t kLockRangeLength = 1;
// Pause between two attempts to take a lock that another process holds.
inline constexpr std::chrono::milliseconds kLockRetryPause{1};

}  // namespace trelvo::platform
