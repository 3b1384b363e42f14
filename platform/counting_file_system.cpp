#include "platform/counting_file_system.h"

#include <numeric>
#include <utility>
#include <thread>

namespace trelvo::platform {

long FileCallCounts::Total() const { return std::accumulate(calls.begin(), calls.end(), 0L); }

FileCallCounts& FileCallCounts::operator+=(const FileCallCounts& other) {
  for (std::size_t kind = 0; kind < kFileCallKinds; ++kind) calls[kind] += other.calls[kind];
  return *this;
}

FileCallCounts FileCallCounts::operator-(const FileCallCounts& other) const {
  FileCallCounts difference = *this;
  for (std::size_t kind = 0; kind < kFileCallKinds; ++kind) difference.calls[kind] -= other.calls[kind];
  return difference;
}

CountingFileSystem::CountingFileSystem(FileSystem& inner, std::chrono::microseconds round_trip)
    : ForwardingFileSystem(inner), round_trip_(round_trip) {
  // Told once every member is ready; the observer told so far is told on after each count.
  told_before_ = inner.ObserveCalls(this);
  next_ = told_before_;
}

CountingFileSystem::~CountingFileSystem() { inner().ObserveCalls(told_before_); }

FileCallCounts CountingFileSystem::CountsFor(const std::string& path) const {
  const std::lock_guard<std::mutex> guard(mutex_);
  const auto found = counts_.find(path);
  return found == counts_.end() ? FileCallCounts{} : found->second;
}

FileCallCounts CountingFileSystem::Total() const {
  const std::lock_guard<std::mutex> guard(mutex_);
  FileCallCounts total;
  for (const auto& [path, counts] : counts_) total += counts;
  return total;
}

FileCallObserver* CountingFileSystem::ObserveCalls(FileCallObserver* observer) {
  const std::lock_guard<std::mutex> guard(mutex_);
  return std::exchange(next_, observer);
}

void CountingFileSystem::Calling(FileCall call, const std::string& path) {
  FileCallObserver* next = nullptr;
  {
    const std::lock_guard<std::mutex> guard(mutex_);
    ++counts_[path][call];
    next = next_;
  }
  if (round_trip_.count() > 0) std::this_thread::sleep_for(round_trip_);
  if (next) next->Calling(call, path);
}

const char* FileCallName(FileCall call) {
  switch (call) {
    case FileCall::Open: return "Öffnen";
    case FileCall::Read: return "Lesen";
    case FileCall::Write: return "Schreiben";
    case FileCall::Resize: return "Länge";
    case FileCall::Flush: return "Flush";
    case FileCall::Lock: return "Sperren";
    case FileCall::Unlock: return "Entsperren";
    case FileCall::Query: return "Abfrage";
    case FileCall::Lookup: return "Ordner";
    case FileCall::Close: return "Schließen";
  }
  return "?";
}

}  // namespace trelvo::platform
