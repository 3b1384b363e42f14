// An in-place write leaves the file as it was or wholly new, whichever step fails.
#include "platform/in_place_write.h"

#include <gtest/gtest.h>

#include "platform/file_system.h"

namespace trelvo::platform {
namespace {

// A file in memory whose disk has `free_space` bytes beyond its allocation,
// and whose writes can be made to fail after a number of bytes.
class FailingFile : public InPlaceFile {
 public:
  std::string content;
  uint64_t allocated = 0;
  uint64_t free_space = 0;
  // Bytes that writes may still write before one of them fails (an I/O error
  // that passes: the next write succeeds again); -1: no failure.
  long long writable = -1;

  void Reserve(uint64_t size) override {
    if (size > allocated + free_space) throw FileError(112, "disk full");
    free_space -= size > allocated ? size - allocated : 0;
    allocated = std::max(allocated, size);
  }
  void WriteAt(uint64_t offset, std::string_view bytes) override {
    for (char c : bytes) {
      if (writable == 0) {
        writable = -1;
        throw FileError(1117, "I/O error");
      }
      if (writable > 0) --writable;
      if (offset >= allocated) {
        // Writing beyond the allocation needs free space, as a real file system does.
        if (free_space == 0) throw FileError(112, "disk full");
        --free_space;
        ++allocated;
      }
      if (offset < content.size())
        content[offset] = c;
      else
        content.push_back(c);
      ++offset;
    }
  }
  void Truncate(uint64_t size) override { content.resize(size); }
  void Flush() override {}
};

constexpr std::string_view kOld = "[Zaehler]\r\nCounter=999\r\nIncrement=10\r\n";
constexpr std::string_view kNew = "[Zaehler]\r\nCounter=1009\r\nIncrement=10\r\n";

FailingFile FileHolding(std::string_view content, uint64_t free_space) {
  FailingFile file;
  file.content = content;
  file.allocated = content.size();
  file.free_space = free_space;
  return file;
}

TEST(InPlaceWrite, ANewContentReplacesTheOldOneWhole) {
  FailingFile file = FileHolding(kOld, 100);
  ReplaceInPlace(file, kOld, kNew);
  EXPECT_EQ(file.content, kNew);
  ReplaceInPlace(file, kNew, "[Zaehler]\r\n");
  EXPECT_EQ(file.content, "[Zaehler]\r\n");
}

TEST(InPlaceWrite, AFullDiskRefusesTheGrowthBeforeAnyByteChanges) {
  FailingFile file = FileHolding(kOld, 0);
  EXPECT_THROW(ReplaceInPlace(file, kOld, kNew), FileError);
  EXPECT_EQ(file.content, kOld);
}

TEST(InPlaceWrite, AWriteThatFailsHalfWayIsUndone) {
  for (long long writable : {0LL, 1LL, 20LL, static_cast<long long>(kNew.size()) - 1}) {
    FailingFile file = FileHolding(kOld, 100);
    file.writable = writable;
    EXPECT_THROW(ReplaceInPlace(file, kOld, kNew), FileError);
    EXPECT_EQ(file.content, kOld) << "failed after " << writable << " bytes";
  }
}

// The steps a replacement takes: the write alone is stored through to disk,
// so only an end set apart from it needs a flush.
TEST(InPlaceWrite, OnlyAShorterContentSetsTheEndAndFlushes) {
  struct Steps : FailingFile {
    std::string taken;
    void Reserve(uint64_t size) override {
      taken += "R";
      FailingFile::Reserve(size);
    }
    void WriteAt(uint64_t offset, std::string_view bytes) override {
      taken += "W";
      FailingFile::WriteAt(offset, bytes);
    }
    void Truncate(uint64_t size) override {
      taken += "T";
      FailingFile::Truncate(size);
    }
    void Flush() override { taken += "F"; }
  };
  const struct {
    std::string_view before, after, taken;
  } cases[] = {
      {kOld, "[Zaehler]\r\nCounter=998\r\nIncrement=10\r\n", "W"},
      {kOld, kNew, "RW"},
      {kNew, kOld, "WTF"},
  };
  for (const auto& c : cases) {
    Steps file;
    file.content = c.before;
    file.allocated = c.before.size();
    file.free_space = 100;
    ReplaceInPlace(file, c.before, c.after);
    EXPECT_EQ(file.content, c.after);
    EXPECT_EQ(file.taken, c.taken) << c.after;
  }
}

}  // namespace
}  // namespace trelvo::platform
