// The handbook against the program: every message its troubleshooting
// section quotes is a text Trelvo really shows (its fixed parts, in order,
// among the string literals of the program's sources), and every picture it
// shows is in the checkout. A message changed in the program, or in the
// handbook, fails here.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/docs/handbook_quotes.h"
#include "tests/docs/source_texts.h"

namespace trelvo::testing {
namespace {

const std::filesystem::path kRoot = TRELVO_SOURCE_DIR;
constexpr char kTroubleshooting[] = "Fehlerbehebung";
// The folders whose sources hold what a user or administrator reads: the
// add-in's boxes, the dialogs, the tool's output; tests and the simulated
// Office are not the program.
const std::vector<std::string> kProgramFolders = {"engine", "platform", "dialogs", "commands",
                                                  "frame",  "cli",      "ribbon"};

std::string Handbook() {
  std::ifstream file(kRoot / "docs" / "handbuch.md", std::ios::binary);
  std::ostringstream content;
  content << file.rdbuf();
  return content.str();
}

const std::vector<SourceTexts>& Program() {
  static const std::vector<SourceTexts> program = ProgramTexts(kRoot, kProgramFolders);
  return program;
}

// The longest fixed part with one ASCII letter changed: what a message
// altered by a word would look like.
std::vector<std::string> Altered(std::vector<std::string> parts) {
  std::string* longest = &parts.front();
  for (std::string& part : parts)
    if (part.size() > longest->size()) longest = &part;
  for (size_t at = longest->size() / 2; at < longest->size(); ++at) {
    char& c = (*longest)[at];
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) {
      c = c == 'q' ? 'x' : 'q';
      break;
    }
  }
  return parts;
}

TEST(HandbookSourceTexts, ReadsLiteralsAsTheProgramSeesThem) {
  const struct {
    const char* source;
    std::vector<std::string> texts;
  } cases[] = {
      {R"(f("Die Datei " "ist belegt.\r\nBitte");)", {"Die Datei ist belegt.\r\nBitte"}},
      {R"(a = "vor " /* dazwischen */ "nach"; // "kein Text")", {"vor nach"}},
      {R"(m = "Der Server " + name + " antwortet nicht"; "x" + "y";)", {"Der Server ", " antwortet nicht", "xy"}},
      {R"(c = '"'; s = "\"trelvo unlock\" \\ \x41\101";)", {"\"trelvo unlock\" \\ AA"}},
      {R"(w = L"Schließen"; n = 1'000; t = "a";)", {"Schließen", "a"}},
      {R"-(r = R"(roh "mit" Anführung)";)-", {"roh \"mit\" Anführung"}},
  };
  for (const auto& c : cases) EXPECT_EQ(LiteralTexts(c.source), c.texts) << c.source;
}

TEST(HandbookSourceTexts, FindsFixedPartsInOrderCloseTogetherOnly) {
  const std::vector<SourceTexts> program = {
      {"a.cpp", {"Die Datei ", " wird zur Zeit durch den Benutzer ", " bearbeitet und ist daher gesperrt."}},
      {"b.cpp", {"Anfang", "1", "2", "3", "4", "5", "Ende"}}};
  EXPECT_TRUE(FoundInOrder(program, {"Die Datei", "wird zur Zeit durch den Benutzer", "bearbeitet und ist"}));
  EXPECT_FALSE(FoundInOrder(program, {"bearbeitet und ist", "Die Datei"}));  // the wrong order
  EXPECT_FALSE(FoundInOrder(program, {"Die Datei", "Anfang"}));              // two files
  EXPECT_FALSE(FoundInOrder(program, {"Anfang", "Ende"}));                   // too far apart
  EXPECT_FALSE(FoundInOrder(program, {"wird zur Zeit vom Benutzer"}));
}

TEST(HandbookQuotes, SplitAtPlaceholdersWithSingleBlanks) {
  const std::string markdown =
      "## Bedienen\n> kein Befund\n## Fehlerbehebung\nText\n> Die Datei \xE2\x80\xA6 ist\n>   belegt.\n\n"
      "> Zweite \xE2\x80\xA6\n## Anhang\n> nicht mehr\n";
  const std::vector<Quote> quotes = SectionQuotes(markdown, kTroubleshooting);
  ASSERT_EQ(quotes.size(), 2u);
  EXPECT_EQ(quotes[0].line, 5u);
  EXPECT_EQ(FixedParts(quotes[0].text), (std::vector<std::string>{"Die Datei", "ist belegt."}));
  EXPECT_EQ(FixedParts(quotes[1].text), (std::vector<std::string>{"Zweite"}));
}

TEST(Handbook, EveryQuotedMessageIsOneTheProgramShows) {
  const std::vector<Quote> quotes = SectionQuotes(Handbook(), kTroubleshooting);
  // A locked file, a file moved to a server, the log folder, the server, the
  // add-in's own error box, a busy share: each has its messages.
  EXPECT_GE(quotes.size(), 10u);
  for (const Quote& quote : quotes) {
    const std::vector<std::string> parts = FixedParts(quote.text);
    size_t longest = 0;
    for (const std::string& part : parts) longest = std::max(longest, part.size());
    EXPECT_GE(longest, 20u) << "docs/handbuch.md:" << quote.line
                            << " quotes too little to be told apart: " << quote.text;
    EXPECT_TRUE(FoundInOrder(Program(), parts))
        << "docs/handbuch.md:" << quote.line << " quotes a message the program does not hold: " << quote.text;
  }
}

TEST(Handbook, AQuoteAlteredByALetterIsNotFound) {
  const std::vector<Quote> quotes = SectionQuotes(Handbook(), kTroubleshooting);
  ASSERT_FALSE(quotes.empty());
  for (const Quote& quote : quotes) {
    const std::vector<std::string> parts = FixedParts(quote.text);
    if (parts.empty()) continue;
    EXPECT_FALSE(FoundInOrder(Program(), Altered(parts))) << "docs/handbuch.md:" << quote.line;
  }
}

TEST(Handbook, EveryPictureItShowsIsInTheCheckout) {
  const std::string handbook = Handbook();
  const std::vector<std::string> pictures = PictureTargets(handbook);
  EXPECT_GE(pictures.size(), 5u);
  for (const std::string& picture : pictures) {
    const std::filesystem::path path = kRoot / "docs" / picture;
    std::ifstream file(path, std::ios::binary);
    char signature[8] = {};
    file.read(signature, sizeof signature);
    const bool png = std::string(signature, sizeof signature) == "\x89PNG\r\n\x1a\n";
    EXPECT_TRUE(png) << "docs/" << picture << " is missing or no PNG";
  }
  // The pictures are renewed by one command, which the handbook names.
  EXPECT_NE(handbook.find("tools/screenshots"), std::string::npos);
}

}  // namespace
}  // namespace trelvo::testing
