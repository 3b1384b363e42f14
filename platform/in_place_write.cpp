#include "platform/in_place_write.h"

namespace trelvo::platform {

void ReplaceInPlace(InPlaceFile& file, std::string_view previous, std::string_view bytes) {
  if (bytes.size() > previous.size()) file.Reserve(bytes.size());
  try {
    file.WriteAt(0, bytes);
    // A length that grows is stored with the write; one that shrinks is set apart from it.
    if (bytes.size() < previous.size()) {
      file.Truncate(bytes.size());
      file.Flush();
    }
  } catch (...) {
    // The old bytes fit where they were: restoring them needs no new space.
    try {
      file.WriteAt(0, previous);
      if (bytes.size() > previous.size()) {
        file.Truncate(previous.size());
        file.Flush();
      }
    } catch (...) {
      // The first failure is the one to report.
    }
    throw;
  }
}

}  // namespace trelvo::platform
