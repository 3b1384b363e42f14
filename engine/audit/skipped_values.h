#pragma once
// The values that counters set by hand skipped ("#Zähler gesetzt#", "von 88
// auf 100: re.ini"): never drawn, so a gap among them is no gap. They are
// kept by the range's sequence and the period its counter counted in when it
// was set, as runs of values: jumps that overlap make one run, with the jumps
// it stands for. Jumps are made by hand and few; each is kept.
#include <algorithm>
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace trelvo::engine::audit {

class SkippedValues {
 public:
  // The values above from up to through were skipped by the jump numbered jump.
  void Add(size_t sequence, const std::string& period, int64_t from, int64_t through, size_t jump) {
    if (through <= from) return;
    Runs& runs = runs_[{sequence, period}];
    int64_t first = from + 1;
    Run merged{through, {jump}};
    for (auto at = runs.upper_bound(through); at != runs.begin();) {
      const auto before = std::prev(at);
      if (before->second.last < first) break;
      first = std::min(first, before->first);
      merged.last = std::max(merged.last, before->second.last);
      merged.jumps.insert(merged.jumps.end(), before->second.jumps.begin(), before->second.jumps.end());
      at = runs.erase(before);
    }
    runs.emplace(first, std::move(merged));
  }

  // The parts of the values first, first + step, ... up to last that no jump
  // skipped; the jumps that skipped any of them are added to explaining. A
  // run of skipped values ends where the next draw after its jump went on.
  std::vector<std::pair<int64_t, int64_t>> Unexplained(size_t sequence, const std::string& period, int64_t first,
                                                       int64_t last, int64_t step, std::set<size_t>& explaining) const {
    std::vector<std::pair<int64_t, int64_t>> parts;
    int64_t at = first;  // the first value not yet looked at
    if (const auto found = runs_.find({sequence, period}); found != runs_.end()) {
      const Runs& runs = found->second;
      auto run = runs.upper_bound(at);
      if (run != runs.begin()) --run;
      for (; run != runs.end() && at <= last && run->first <= last; ++run) {
        const auto& [skipped_first, skipped] = *run;
        if (skipped.last < at) continue;
        // The first value of the part within the run, when there is one.
        const int64_t inside = skipped_first <= at ? at : at + (skipped_first - at + step - 1) / step * step;
        if (inside > std::min(skipped.last, last)) continue;
        if (inside > at) parts.emplace_back(at, inside - step);
        explaining.insert(skipped.jumps.begin(), skipped.jumps.end());
        // The counter goes on from its new value: the values after the run
        // are in its step, whatever the values before it were.
        at = skipped.last + 1;
      }
    }
    if (at <= last) parts.emplace_back(at, last);
    return parts;
  }

 private:
  struct Run {
    int64_t last;
    std::vector<size_t> jumps;
  };
  using Runs = std::map<int64_t, Run>;  // by first value; no two overlap
  std::map<std::pair<size_t, std::string>, Runs> runs_;
};

// Whether two file names name one file on Windows: each character compared
// in upper case alone, as NTFS compares names by its table of single
// uppercase characters ("ß" stays "ß"). The names of the log are
// Windows-1252's characters, whose lower-case letters are those below.
inline bool SameFileName(std::string_view a, std::string_view b) {
  const auto next = [](std::string_view text, size_t& at) -> char32_t {
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    const size_t length = lead < 0xC0 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    if (length == 1 || at + length > text.size()) return byte(at++);
    char32_t c = lead & (0x7F >> length);
    for (size_t i = 1; i < length; ++i) c = (c << 6) | (byte(at + i) & 0x3F);
    at += length;
    return c;
  };
  const auto upper = [](char32_t c) -> char32_t {
    if ((c >= U'a' && c <= U'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7)) return c - 0x20;
    if (c == 0xFF) return 0x178;                               // ÿ
    if (c == 0x161 || c == 0x153 || c == 0x17E) return c - 1;  // š, œ, ž
    return c;
  };
  size_t i = 0, j = 0;
  while (i < a.size() && j < b.size())
    if (upper(next(a, i)) != upper(next(b, j))) return false;
  return i == a.size() && j == b.size();
}

}  // namespace trelvo::engine::audit
