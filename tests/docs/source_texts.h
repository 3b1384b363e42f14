#pragma once
// The texts a C++ source file holds as string literals, as the program sees
// them: escapes resolved, adjacent literals (and literals joined by "+")
// read as one text, comments and character literals skipped. The handbook's
// quoted messages are looked up among them.
#include <filesystem>
#include <string>
#include <vector>

namespace trelvo::testing {

// One file's literal texts in the order they stand in the file.
struct SourceTexts {
  std::string file;
  std::vector<std::string> texts;
};

// The literal texts of a source file's content.
std::vector<std::string> LiteralTexts(const std::string& source);

// Every run of blanks, tabs and line breaks as one blank, none at either end:
// a message's "\r\n" reads as the line break the handbook writes as a blank.
std::string WithSingleBlanks(const std::string& text);

// The literal texts of every .cpp and .h file below the folders given, test
// doubles ("fake" folders) left out, each text with single blanks.
std::vector<SourceTexts> ProgramTexts(const std::filesystem::path& root, const std::vector<std::string>& folders);

// Whether the fragments stand in this order in one file's texts: the first
// somewhere, each next one after it, in the same text or a later one. A
// handbook quote is the fragments between its placeholders.
bool FoundInOrder(const std::vector<SourceTexts>& program, const std::vector<std::string>& fragments);

}  // namespace trelvo::testing
