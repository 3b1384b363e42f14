#pragma once
// The content of one INI file in memory: typed reads and writes of keys, while
// every line that a write does not change stays byte for byte as it was.
// Section and key names match without regard to case; blanks around names and
// values are not part of them. Text is UTF-8 here; in the bytes it is
// Windows-1252 or UTF-8 (with or without the byte order mark), and a document
// writes its bytes in the encoding they came in.
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace trelvo::engine {

// Bytes that are no INI text: they hold NUL bytes (binary data, UTF-16).
class NotIniText : public std::runtime_error {
 public:
  NotIniText() : std::runtime_error("Die Datei enthält Binärdaten.") {}
};

class IniDocument {
 public:
  IniDocument() = default;
  // Throws NotIniText for bytes that hold a NUL byte.
  explicit IniDocument(std::string_view bytes);

  // The file's bytes: unchanged lines as read, written lines with CR LF.
  std::string Bytes() const;

  // Strings lose one pair of enclosing quotes (double or single); inside double
  // quotes a doubled double quote stands for one. Values are cut to 2,047 characters.
  std::string ReadString(std::string_view section, std::string_view key, std::string_view fallback) const;
  // Integers and booleans that do not convert read as the fallback; a boolean is
  // true for every number other than 0.
  int32_t ReadInteger(std::string_view section, std::string_view key, int32_t fallback) const;
  bool ReadBool(std::string_view section, std::string_view key, bool fallback) const;
  bool HasKey(std::string_view section, std::string_view key) const;
  // The value as it stands in the file (quotes included, blanks around it
  // removed), or nullopt when the key is missing.
  std::optional<std::string> ReadRawValue(std::string_view section, std::string_view key) const;

  // A string is written in double quotes with inner double quotes doubled;
  // CR, LF and NUL inside it are written as blanks.
  void WriteString(std::string_view section, std::string_view key, std::string_view value);
  void WriteInteger(std::string_view section, std::string_view key, int32_t value);
  void WriteBool(std::string_view section, std::string_view key, bool value);

 private:
  struct Line {
    std::string text;  // without its line break
    std::string end;   // "\r\n", "\n", "\r" or "" for a last line without one
  };
  enum class Encoding { Cp1252, Utf8, Utf8WithMark };
  // How a file's bytes are read, and so how they are written back.
  static Encoding EncodingOf(std::string_view bytes);
  bool IsUtf8() const { return encoding_ != Encoding::Cp1252; }
  // The trimmed raw value (still quoted, in the file's encoding, cut to the
  // longest value), or nullopt.
  std::optional<std::string> RawValue(std::string_view section, std::string_view key) const;
  // Text between this document and its bytes.
  std::string ToFileText(std::string_view utf8) const;
  std::string FromFileText(std::string_view bytes) const;
  void WriteRaw(std::string_view section, std::string_view key, const std::string& raw);
  bool SameName(std::string_view a, std::string_view b) const;
  std::optional<size_t> FindSection(std::string_view section) const;
  std::optional<size_t> FindKey(size_t section_line, std::string_view key) const;

  Encoding encoding_ = Encoding::Cp1252;  // a new file is Windows-1252
  std::vector<Line> lines_;
};

}  // namespace trelvo::engine
