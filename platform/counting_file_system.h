#pragma once
// A file system that passes every call on and counts the calls that the file
// system beneath makes, file by file, as a file server sees them: opens,
// reads, writes, resizes, flushes, locks and unlocks, attribute and size
// queries, folder look-ups and closes. Given a round trip, it also waits that
// long at each call, as a share does. Benchmarks use it to show what a draw
// costs on a share.
#include <array>
#include <chrono>
#include <map>
#include <mutex>
#include <string>

#include "platform/forwarding_file_system.h"

namespace trelvo::platform {

struct FileCallCounts {
  std::array<long, kFileCallKinds> calls{};

  long operator[](FileCall call) const { return calls[static_cast<std::size_t>(call)]; }
  long& operator[](FileCall call) { return calls[static_cast<std::size_t>(call)]; }
  long Total() const;
  FileCallCounts& operator+=(const FileCallCounts& other);
  FileCallCounts operator-(const FileCallCounts& other) const;
};

class CountingFileSystem : public ForwardingFileSystem, private FileCallObserver {
 public:
  explicit CountingFileSystem(FileSystem& inner, std::chrono::microseconds round_trip = {});
  ~CountingFileSystem() override;
  CountingFileSystem(const CountingFileSystem&) = delete;
  CountingFileSystem& operator=(const CountingFileSystem&) = delete;

  // The calls on the file (or folder) at path, named as the caller named it.
  FileCallCounts CountsFor(const std::string& path) const;
  // Every file's calls.
  FileCallCounts Total() const;
  // Another observer is told of each call after it is counted.
  FileCallObserver* ObserveCalls(FileCallObserver* observer) override;

 private:
  void Calling(FileCall call, const std::string& path) override;

  std::chrono::microseconds round_trip_;
  FileCallObserver* told_before_ = nullptr;  // the inner file system's observer, given back at the end
  FileCallObserver* next_ = nullptr;
  mutable std::mutex mutex_;
  std::map<std::string, FileCallCounts> counts_;
};

// The German name of a kind of call, for the benchmarks' tables.
const char* FileCallName(FileCall call);

}  // namespace trelvo::platform
