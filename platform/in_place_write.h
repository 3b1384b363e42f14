#pragma once
// Writing a file's whole content in place so that it ends up either as it was
// or wholly new: a file that readers share is never renamed or deleted (no
// reader may take a missing file for a new one), so the new content overwrites
// the old one, and a failure must not leave a mixture of both behind.
#include <cstdint>
#include <string_view>

namespace trelvo::platform {

// The steps of an in-place write on one open file; each throws FileError.
class InPlaceFile {
 public:
  virtual ~InPlaceFile() = default;
  // Sets aside disk space for size bytes without changing the file's length,
  // so that a full disk refuses here, before any byte has changed.
  virtual void Reserve(uint64_t size) = 0;
  // Writes bytes at offset, through to disk: they are stored, together with a
  // length they extend, when it returns (the file was opened to write through).
  virtual void WriteAt(uint64_t offset, std::string_view bytes) = 0;
  // Sets the end of the file.
  virtual void Truncate(uint64_t size) = 0;
  virtual void Flush() = 0;
};

// Replaces previous (the file's content now, read under the same lock) by
// bytes: one write, written through; only a shorter content needs the end of
// the file set behind it, and that flushed. When growing the file is refused
// nothing changes; when a later step fails the previous bytes are written
// back. Either way the failure is thrown.
void ReplaceInPlace(InPlaceFile& file, std::string_view previous, std::string_view bytes);

}  // namespace trelvo::platform
