#include "engine/ini/ini_document.h"

#include "engine/integer_text.h"
#include "platform/cp1252.h"
#include "platform/quoting.h"

namespace trelvo::engine {
namespace {

constexpr size_t kMaxValueLength = 2047;
constexpr std::string_view kBlanks = " \t";
constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

std::string_view Trim(std::string_view text) {
  const size_t first = text.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

bool IsAscii(std::string_view bytes) {
  for (char c : bytes)
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  return true;
}

// Letters fold like the profile functions fold Windows-1252 text: a to z and
// à to þ (but not ÷) become capitals. In UTF-8 the same letters fold, so
// a name matches alike in either encoding; other characters match exactly.
std::string Folded(std::string_view name, bool utf8) {
  std::string folded(name);
  for (size_t i = 0; i < folded.size(); ++i) {
    const auto byte = static_cast<unsigned char>(folded[i]);
    if (byte >= 'a' && byte <= 'z') {
      folded[i] = static_cast<char>(byte - 0x20);
    } else if (!utf8) {
      if (byte >= 0xE0 && byte <= 0xFE && byte != 0xF7) folded[i] = static_cast<char>(byte - 0x20);
    } else if (byte == 0xC3 && i + 1 < folded.size()) {
      // U+00E0 to U+00FE are C3 A0 to C3 BE; their capitals are C3 80 to C3 9E.
      const auto next = static_cast<unsigned char>(folded[i + 1]);
      if (next >= 0xA0 && next <= 0xBE && next != 0xB7) folded[i + 1] = static_cast<char>(next - 0x20);
      ++i;
    }
  }
  return folded;
}

// The first max_length characters of text: bytes in Windows-1252, whole
// sequences in UTF-8 (a character starts at every byte that is no
// continuation byte), so a cut value never ends inside a character.
std::string_view Cut(std::string_view text, size_t max_length, bool utf8) {
  if (!utf8) return text.substr(0, max_length);
  size_t characters = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) continue;
    if (characters++ == max_length) return text.substr(0, i);
  }
  return text;
}

// The section name of a line "[name]", or nullopt for any other line.
std::optional<std::string_view> SectionName(std::string_view line) {
  line = Trim(line);
  if (line.empty() || line.front() != '[') return std::nullopt;
  const size_t close = line.find(']');
  if (close == std::string_view::npos) return std::nullopt;
  return Trim(line.substr(1, close - 1));
}

std::optional<std::string_view> KeyName(std::string_view line) {
  const size_t equals = line.find('=');
  if (equals == std::string_view::npos || SectionName(line)) return std::nullopt;
  return Trim(line.substr(0, equals));
}

std::string Unquote(std::string_view raw) {
  if (raw.size() >= 2 && raw.front() == raw.back() && (raw.front() == '"' || raw.front() == '\'')) {
    const char quote = raw.front();
    raw = raw.substr(1, raw.size() - 2);
    if (quote == '"') {
      std::string result;
      for (size_t i = 0; i < raw.size(); ++i) {
        result += raw[i];
        if (raw[i] == '"' && i + 1 < raw.size() && raw[i + 1] == '"') ++i;
      }
      return result;
    }
  }
  return std::string(raw);
}

}  // namespace

// The one place where a file's encoding is decided. Windows-1252 is the
// add-in's own encoding and what Notepad saved as "ANSI" on German systems
// until Windows 10 1903; a UTF-8 byte order mark (Notepad's "UTF-8 with BOM")
// says UTF-8. Since 1903 Notepad saves as UTF-8 without the mark by default,
// so a counter file or pointer edited there holds its umlauts as UTF-8
// unannounced; read as Windows-1252, "Müller" would become "MÃ¼ller" and a
// pointer would name another range. Windows-1252 text beyond ASCII is all but
// never valid UTF-8 (each letter from Â to ô would have to be followed by a
// symbol from 0x80 to 0xBF, such as € or „), so bytes that are valid UTF-8
// and not plain ASCII are read as UTF-8. Everything else stays Windows-1252,
// as plain ASCII reads the same either way. The bytes are written back in the
// encoding decided here.
IniDocument::Encoding IniDocument::EncodingOf(std::string_view bytes) {
  if (bytes.starts_with(kUtf8Mark)) return Encoding::Utf8WithMark;
  if (!IsAscii(bytes) && platform::IsValidUtf8(bytes)) return Encoding::Utf8;
  return Encoding::Cp1252;
}

IniDocument::IniDocument(std::string_view bytes) : encoding_(EncodingOf(bytes)) {
  if (bytes.find('\0') != std::string_view::npos) throw NotIniText();
  if (encoding_ == Encoding::Utf8WithMark) bytes.remove_prefix(kUtf8Mark.size());
  size_t start = 0;
  while (start < bytes.size()) {
    const size_t stop = bytes.find_first_of("\r\n", start);
    if (stop == std::string_view::npos) {
      lines_.push_back({std::string(bytes.substr(start)), ""});
      break;
    }
    const size_t end_length = bytes.substr(stop, 2) == "\r\n" ? 2 : 1;
    lines_.push_back({std::string(bytes.substr(start, stop - start)), std::string(bytes.substr(stop, end_length))});
    start = stop + end_length;
  }
}

std::string IniDocument::Bytes() const {
  std::string bytes(encoding_ == Encoding::Utf8WithMark ? kUtf8Mark : "");
  for (const Line& line : lines_) bytes += line.text + line.end;
  return bytes;
}

bool IniDocument::SameName(std::string_view a, std::string_view b) const {
  return a.size() == b.size() && Folded(a, IsUtf8()) == Folded(b, IsUtf8());
}

std::optional<size_t> IniDocument::FindSection(std::string_view section) const {
  for (size_t i = 0; i < lines_.size(); ++i) {
    const auto name = SectionName(lines_[i].text);
    if (name && SameName(*name, section)) return i;
  }
  return std::nullopt;
}

std::optional<size_t> IniDocument::FindKey(size_t section_line, std::string_view key) const {
  for (size_t i = section_line + 1; i < lines_.size() && !SectionName(lines_[i].text); ++i) {
    const auto name = KeyName(lines_[i].text);
    if (name && SameName(*name, key)) return i;
  }
  return std::nullopt;
}

std::string IniDocument::ToFileText(std::string_view utf8) const {
  return IsUtf8() ? platform::ValidUtf8(utf8) : platform::Utf8ToCp1252(utf8);
}

std::string IniDocument::FromFileText(std::string_view bytes) const {
  return IsUtf8() ? platform::ValidUtf8(bytes) : platform::Cp1252ToUtf8(bytes);
}

std::optional<std::string> IniDocument::RawValue(std::string_view section, std::string_view key) const {
  const auto section_line = FindSection(ToFileText(section));
  if (!section_line) return std::nullopt;
  const auto key_line = FindKey(*section_line, ToFileText(key));
  if (!key_line) return std::nullopt;
  const std::string_view text = lines_[*key_line].text;
  return std::string(Cut(Trim(text.substr(text.find('=') + 1)), kMaxValueLength, IsUtf8()));
}

bool IniDocument::HasKey(std::string_view section, std::string_view key) const {
  return RawValue(section, key).has_value();
}

std::optional<std::string> IniDocument::ReadRawValue(std::string_view section, std::string_view key) const {
  const auto raw = RawValue(section, key);
  if (!raw) return std::nullopt;
  return FromFileText(*raw);
}

std::string IniDocument::ReadString(std::string_view section, std::string_view key, std::string_view fallback) const {
  const auto raw = RawValue(section, key);
  if (!raw) return std::string(fallback);
  return FromFileText(Unquote(*raw));
}

int32_t IniDocument::ReadInteger(std::string_view section, std::string_view key, int32_t fallback) const {
  const auto raw = RawValue(section, key);
  if (!raw) return fallback;
  return ParseInteger(*raw).value_or(fallback);
}

bool IniDocument::ReadBool(std::string_view section, std::string_view key, bool fallback) const {
  return ReadInteger(section, key, fallback ? 1 : 0) != 0;
}

void IniDocument::WriteString(std::string_view section, std::string_view key, std::string_view value) {
  WriteRaw(section, key, platform::Enquoted(ToFileText(platform::OnOneLine(value)), '"'));
}

void IniDocument::WriteInteger(std::string_view section, std::string_view key, int32_t value) {
  WriteRaw(section, key, std::to_string(value));
}

void IniDocument::WriteBool(std::string_view section, std::string_view key, bool value) {
  WriteRaw(section, key, value ? "1" : "0");
}

void IniDocument::WriteRaw(std::string_view section_utf8, std::string_view key_utf8, const std::string& raw) {
  const std::string section = ToFileText(section_utf8);
  const std::string key = ToFileText(key_utf8);
  const std::string key_line = key + "=" + raw;

  const auto section_line = FindSection(section);
  if (section_line) {
    if (const auto existing = FindKey(*section_line, key)) {
      lines_[*existing].text = key_line;
      return;
    }
    // Behind the section's last non-empty line, so blank lines before the next section stay there.
    size_t insert_after = *section_line;
    for (size_t i = *section_line + 1; i < lines_.size() && !SectionName(lines_[i].text); ++i)
      if (!Trim(lines_[i].text).empty()) insert_after = i;
    if (lines_[insert_after].end.empty()) lines_[insert_after].end = "\r\n";
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(insert_after + 1), Line{key_line, "\r\n"});
    return;
  }
  if (!lines_.empty() && lines_.back().end.empty()) lines_.back().end = "\r\n";
  lines_.push_back({"[" + section + "]", "\r\n"});
  lines_.push_back({key_line, "\r\n"});
}

}  // namespace trelvo::engine
