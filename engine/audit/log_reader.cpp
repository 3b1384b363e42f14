#include "engine/audit/log_reader.h"

#include <string_view>

#include "engine/audit/sha256.h"
#include "engine/usage_log.h"
#include "platform/cp1252.h"

namespace trelvo::engine::audit {
namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

bool HasHighBytes(std::string_view line) {
  for (char c : line)
    if (static_cast<unsigned char>(c) >= 0x80) return true;
  return false;
}

class LineSplitter {
 public:
  LineSplitter(const LogLineHandler& take, LogFileFacts& facts) : take_(take), facts_(facts) {}

  void Add(std::string_view piece) {
    if (facts_.size == 0 && !piece.empty()) Start(piece);
    facts_.size += piece.size();
    hash_.Add(piece);
    for (size_t at = 0; at < piece.size();) {
      const size_t end = piece.find('\n', at);
      const std::string_view part = piece.substr(at, end == std::string_view::npos ? std::string_view::npos : end - at);
      Append(part);
      if (end == std::string_view::npos) break;
      ++facts_.lines;
      LineDone(true);
      at = end + 1;
    }
  }

  void Finish() {
    if (!pending_.empty() || pending_bytes_ > 0) {
      ++facts_.lines;
      LineDone(false);
    }
    if (facts_.encoding.empty()) facts_.encoding = "Windows-1252";
    facts_.sha256 = hash_.Hex();
  }

 private:
  void Start(std::string_view first) {
    if (first.starts_with("\xFF\xFE") || first.starts_with("\xFE\xFF"))
      facts_.unreadable = "in UTF-16 gespeichert (mit Byte-Order-Mark)";
  }

  void Append(std::string_view part) {
    if (!facts_.unreadable.empty()) return;
    if (part.find('\0') != std::string_view::npos) {
      facts_.unreadable = "enthält Nullbytes (UTF-16 ohne Byte-Order-Mark oder keine Textdatei)";
      return;
    }
    // A CR inside the line: the lines end in CR alone, and the whole log would be one line.
    const size_t cr = part.find('\r');
    if ((last_cr_ && !part.empty()) || (cr != std::string_view::npos && cr + 1 < part.size())) {
      facts_.unreadable = "Zeilenenden nur aus CR (ohne LF): die Zeilen sind nicht zu trennen";
      return;
    }
    if (!part.empty()) last_cr_ = part.back() == '\r';
    pending_bytes_ += part.size();
    if (pending_.size() < kMaxLineBytes + 1) pending_.append(part.substr(0, kMaxLineBytes + 1 - pending_.size()));
  }

  void LineDone(bool complete) {
    std::string_view line = pending_;
    const size_t bytes = pending_bytes_;
    ++line_number_;
    pending_bytes_ = 0;
    last_cr_ = false;
    if (!facts_.unreadable.empty()) return pending_.clear();
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line_number_ == 1 && line.starts_with(kUtf8Mark)) {
      line.remove_prefix(kUtf8Mark.size());
      facts_.encoding = "UTF-8 mit Byte-Order-Mark";
    }
    std::string problem;
    if (bytes > kMaxLineBytes + 1) problem = "länger als " + std::to_string(kMaxLineBytes) + " Bytes";
    std::string text;
    if (facts_.encoding.empty() && HasHighBytes(line))
      facts_.encoding = platform::ValidUtf8(line) == line ? "UTF-8 ohne Byte-Order-Mark" : "Windows-1252";
    if (facts_.encoding.starts_with("UTF-8")) {
      text = platform::ValidUtf8(line);
      if (problem.empty() && text != line) problem = "kein gültiges UTF-8 in einem Protokoll in UTF-8";
    } else {
      text = platform::Cp1252ToUtf8(line);
    }
    if (!(line_number_ == 1 && line == kUsageLogHeader)) take_(line_number_, text, complete, problem);
    pending_.clear();
  }

  const LogLineHandler& take_;
  LogFileFacts& facts_;
  Sha256 hash_;
  std::string pending_;  // the line read so far, at most kMaxLineBytes + 1 of it
  size_t pending_bytes_ = 0;
  size_t line_number_ = 0;
  bool last_cr_ = false;  // the last byte of the line so far is a CR
};

}  // namespace

bool ReadUsageLog(platform::FileSystem& files, const std::string& path, const LogLineHandler& take,
                  LogFileFacts& facts) {
  facts = {};
  LineSplitter splitter(take, facts);
  if (!files.ReadInPieces(path, [&](std::string_view piece) { splitter.Add(piece); })) return false;
  splitter.Finish();
  return true;
}

}  // namespace trelvo::engine::audit
