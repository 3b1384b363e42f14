#include "tests/docs/source_texts.h"

#include <fstream>
#include <sstream>

#include "platform/cp1252.h"

namespace trelvo::testing {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v'; }
bool IsWordChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}
bool IsOctal(char c) { return c >= '0' && c <= '7'; }
int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The text of an ordinary literal whose opening quote is at `at`; `at` ends
// behind its closing quote.
std::string OrdinaryLiteral(const std::string& source, size_t& at) {
  std::string text;
  ++at;
  while (at < source.size() && source[at] != '"') {
    if (source[at] != '\\' || at + 1 >= source.size()) {
      text += source[at++];
      continue;
    }
    const char escaped = source[at + 1];
    at += 2;
    switch (escaped) {
      case 'n': text += '\n'; break;
      case 'r': text += '\r'; break;
      case 't': text += '\t'; break;
      case 'a': text += '\a'; break;
      case 'b': text += '\b'; break;
      case 'f': text += '\f'; break;
      case 'v': text += '\v'; break;
      case 'x': {
        int value = 0;
        while (at < source.size() && HexValue(source[at]) >= 0) value = value * 16 + HexValue(source[at++]);
        text += static_cast<char>(value);
        break;
      }
      case 'u':
      case 'U': {
        uint32_t code = 0;
        for (int digits = escaped == 'u' ? 4 : 8; digits > 0 && at < source.size(); --digits)
          code = code * 16 + static_cast<uint32_t>(HexValue(source[at++]));
        platform::AppendUtf8(text, code);
        break;
      }
      default:
        if (IsOctal(escaped)) {
          int value = escaped - '0';
          for (int more = 0; more < 2 && at < source.size() && IsOctal(source[at]); ++more)
            value = value * 8 + (source[at++] - '0');
          text += static_cast<char>(value);
        } else {
          text += escaped;  // \\ \" \' \?
        }
    }
  }
  ++at;
  return text;
}

// The text of a raw literal R"delimiter(...)delimiter" whose quote is at `at`.
std::string RawLiteral(const std::string& source, size_t& at) {
  const size_t open = source.find('(', at);
  const std::string close = ")" + source.substr(at + 1, open - at - 1) + "\"";
  const size_t end = source.find(close, open);
  std::string text = source.substr(open + 1, end - open - 1);
  at = end == std::string::npos ? source.size() : end + close.size();
  return text;
}

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream content;
  content << file.rdbuf();
  return content.str();
}

// How far apart two fixed parts of one message may stand, in texts: a
// message is built from its pieces close together, never from texts spread
// over a file.
constexpr size_t kMostTextsBetween = 4;

bool FoundFrom(const SourceTexts& file, size_t text, size_t at, const std::vector<std::string>& fragments,
               size_t next) {
  if (next == fragments.size()) return true;
  const size_t last = next == 0 ? file.texts.size() : std::min(file.texts.size(), text + kMostTextsBetween + 1);
  for (size_t t = next == 0 ? 0 : text; t < last; ++t) {
    const std::string& candidate = file.texts[t];
    for (size_t found = candidate.find(fragments[next], t == text ? at : 0); found != std::string::npos;
         found = candidate.find(fragments[next], found + 1))
      if (FoundFrom(file, t, found + fragments[next].size(), fragments, next + 1)) return true;
  }
  return false;
}

}  // namespace

std::vector<std::string> LiteralTexts(const std::string& source) {
  std::vector<std::string> texts;
  enum class After { Other, Literal, PlusAfterLiteral } after = After::Other;
  size_t at = 0;
  while (at < source.size()) {
    const char c = source[at];
    if (IsBlank(c)) {
      ++at;
    } else if (source.compare(at, 2, "//") == 0) {
      at = source.find('\n', at);
    } else if (source.compare(at, 2, "/*") == 0) {
      const size_t end = source.find("*/", at + 2);
      at = end == std::string::npos ? std::string::npos : end + 2;
    } else if (c == '\'') {  // a character literal: '"' starts no text
      for (++at; at < source.size() && source[at] != '\''; ++at)
        if (source[at] == '\\') ++at;
      ++at;
      after = After::Other;
    } else if (c == '+' && after == After::Literal) {
      ++at;
      after = After::PlusAfterLiteral;
    } else if (IsWordChar(c) || c == '"') {
      // A word, a number (with its digit separators), or a literal with its prefix.
      size_t end = at;
      while (end < source.size() && (IsWordChar(source[end]) || (source[end] == '\'' && IsWordChar(c) && c <= '9')))
        ++end;
      const std::string prefix = source.substr(at, end - at);
      const bool literal = end < source.size() && source[end] == '"' &&
                           (prefix.empty() || prefix == "u8" || prefix == "u" || prefix == "U" || prefix == "L" ||
                            prefix.ends_with('R'));
      if (!literal) {
        at = end;
        after = After::Other;
        continue;
      }
      at = end;
      std::string text = prefix.ends_with('R') ? RawLiteral(source, at) : OrdinaryLiteral(source, at);
      if (after == After::Other || texts.empty())
        texts.push_back(std::move(text));
      else
        texts.back() += text;
      after = After::Literal;
    } else {
      ++at;
      after = After::Other;
    }
  }
  return texts;
}

std::string WithSingleBlanks(const std::string& text) {
  std::string result;
  bool blank = false;
  for (const char c : text) {
    if (IsBlank(c)) {
      blank = !result.empty();
      continue;
    }
    if (blank) result += ' ';
    blank = false;
    result += c;
  }
  return result;
}

std::vector<SourceTexts> ProgramTexts(const std::filesystem::path& root, const std::vector<std::string>& folders) {
  std::vector<SourceTexts> program;
  for (const std::string& folder : folders) {
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root / folder)) {
      const std::filesystem::path& path = entry.path();
      if (!entry.is_regular_file() || (path.extension() != ".cpp" && path.extension() != ".h")) continue;
      const std::string relative = path.lexically_relative(root).generic_string();
      if (relative.find("/fake/") != std::string::npos) continue;
      SourceTexts file{relative, {}};
      for (const std::string& text : LiteralTexts(ReadFile(path))) file.texts.push_back(WithSingleBlanks(text));
      program.push_back(std::move(file));
    }
  }
  return program;
}

bool FoundInOrder(const std::vector<SourceTexts>& program, const std::vector<std::string>& fragments) {
  if (fragments.empty()) return false;
  for (const SourceTexts& file : program)
    if (FoundFrom(file, 0, 0, fragments, 0)) return true;
  return false;
}

}  // namespace trelvo::testing
