// Random INI input in Windows-1252 and UTF-8: the reader never crashes, refuses
// binary data, and a write changes nothing but its own key's line (or adds
// lines at the end of a section or the file).
#include <gtest/gtest.h>

#include <random>

#include "engine/ini/ini_document.h"

namespace trelvo::engine {
namespace {

// Lines built from INI-like fragments and random bytes, with every kind of line
// end. Windows-1252 text has single bytes beyond ASCII, UTF-8 text whole
// sequences; with windows1252 false only the latter occur, so the text is
// valid UTF-8.
std::string RandomIniText(std::mt19937& random, bool windows1252) {
  static const char* const fragments[] = {"[",  "]",      "=",       "\"",      "'",       "\xC3\xA4", "\xE2\x82\xAC",
                                          " ",  "\t",     "Zaehler", "Counter", "zaehler", "COUNTER",  "0x",
                                          "$",  "-",      "12",      ";",       "\xE4",    "\x80",     "\xFF",
                                          "\0"};
  constexpr size_t kUtf8Fragments = std::size(fragments) - 3;  // without the last three
  static const char* const ends[] = {"\r\n", "\n", "\r", ""};
  std::string text;
  const int lines = std::uniform_int_distribution<int>(0, 12)(random);
  for (int line = 0; line < lines; ++line) {
    const int pieces = std::uniform_int_distribution<int>(0, 8)(random);
    for (int piece = 0; piece < pieces; ++piece) {
      if (!windows1252)
        text += fragments[random() % kUtf8Fragments];
      else if (random() % 5 == 0)
        text += static_cast<char>(random() % 256);
      else
        text += fragments[random() % std::size(fragments)];
    }
    text += ends[random() % std::size(ends)];
  }
  return text;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t stop = text.find_first_of("\r\n", start);
    if (stop == std::string::npos) stop = text.size();
    lines.push_back(text.substr(start, stop - start));
    start = stop + (text.compare(stop, 2, "\r\n") == 0 ? 2 : 1);
  }
  return lines;
}

TEST(IniProperty, RandomFilesAreReadSafelyAndWritesTouchOnlyTheirKey) {
  std::mt19937 random(20261210);
  for (int round = 0; round < 3000; ++round) {
    const std::string before = RandomIniText(random, round % 2 == 0);
    if (before.find('\0') != std::string::npos) {
      ASSERT_THROW(IniDocument{before}, NotIniText) << "a NUL byte marks binary data";
      continue;
    }
    IniDocument document(before);
    ASSERT_EQ(document.Bytes(), before) << "parsing alone changed the bytes";
    document.ReadString("Zaehler", "Counter", "");
    document.ReadInteger("zaehler", "COUNTER", 0);
    document.ReadBool("Optionen", "LeadingText", false);

    const int32_t value = static_cast<int32_t>(random());
    document.WriteInteger("Zaehler", "Counter", value);
    const std::string after = document.Bytes();
    ASSERT_EQ(IniDocument(after).ReadInteger("Zaehler", "Counter", value + 1), value) << before;

    // Every line of the old file is still there, in order, except at most one
    // that was replaced by the new key line.
    const auto old_lines = Lines(before);
    const auto new_lines = Lines(after);
    const std::string key_line = "Counter=" + std::to_string(value);
    size_t n = 0;
    int replaced = 0;
    for (const auto& line : old_lines) {
      while (n < new_lines.size() && new_lines[n] != line && (new_lines[n] == key_line || new_lines[n] == "[Zaehler]"))
        ++n;
      if (n < new_lines.size() && new_lines[n] == line) {
        ++n;
      } else {
        ++replaced;
      }
    }
    ASSERT_LE(replaced, 1) << before;

    // A text written in the file's encoding reads back the same from the
    // written bytes, whichever encoding the file is in.
    IniDocument texts(before);
    texts.WriteString("Zaehler", "Counter", "Müller & Söhne €");
    ASSERT_EQ(IniDocument(texts.Bytes()).ReadString("Zaehler", "Counter", ""), "Müller & Söhne €") << before;
  }
}

}  // namespace
}  // namespace trelvo::engine
