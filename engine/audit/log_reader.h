#pragma once
// The usage log read for the audit, piece by piece: its lines in UTF-8 with
// their numbers, and what a report must say of the file it vouches for (size,
// lines, SHA-256, encoding). The add-in writes Windows-1252; a log that an
// editor saved as UTF-8 (with or without its byte-order mark) is read as
// UTF-8. A log in UTF-16 or with line ends of CR alone cannot be read line by
// line at all: that is said once, and no line of it is taken. Only the line
// being read is held, however long the log, and at most kMaxLineBytes of it.
#include <cstdint>
#include <functional>
#include <string>

#include "platform/file_system.h"

namespace trelvo::engine::audit {

inline constexpr size_t kMaxLineBytes = 4096;

struct LogFileFacts {
  uint64_t size = 0;
  size_t lines = 0;  // line ends counted, and a last line without one
  std::string sha256;
  std::string encoding;    // "Windows-1252", "UTF-8 mit Byte-Order-Mark", "UTF-8 ohne Byte-Order-Mark"
  std::string unreadable;  // why no line of it can be read, or empty
};

// line: UTF-8 without its line break; complete: it ended in a line break;
// problem: why the line's bytes cannot be a record (too long, not UTF-8), or empty.
using LogLineHandler =
    std::function<void(size_t line_number, const std::string& line, bool complete, const std::string& problem)>;

// Hands on each line but the header; false when the log does not exist.
bool ReadUsageLog(platform::FileSystem& files, const std::string& path, const LogLineHandler& take,
                  LogFileFacts& facts);

}  // namespace trelvo::engine::audit
