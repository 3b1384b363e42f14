#include "tests/docs/handbook_quotes.h"

#include <sstream>

#include "tests/docs/source_texts.h"

namespace trelvo::testing {
namespace {

constexpr std::string_view kPlaceholder = "\xE2\x80\xA6";  // "…"

}  // namespace

std::vector<Quote> SectionQuotes(const std::string& markdown, const std::string& title) {
  std::vector<Quote> quotes;
  std::istringstream lines(markdown);
  std::string line;
  bool inside = false, quoting = false;
  for (size_t number = 1; std::getline(lines, line); ++number) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.starts_with("## ")) inside = line.find(title) != std::string::npos;
    const bool quote_line = inside && (line.starts_with("> ") || line == ">");
    if (quote_line && !quoting) quotes.push_back({number, ""});
    if (quote_line) quotes.back().text += " " + line.substr(1);
    quoting = quote_line;
  }
  for (Quote& quote : quotes) quote.text = WithSingleBlanks(quote.text);
  return quotes;
}

std::vector<std::string> FixedParts(const std::string& quote) {
  std::vector<std::string> parts;
  size_t start = 0;
  while (start <= quote.size()) {
    const size_t placeholder = quote.find(kPlaceholder, start);
    const size_t end = placeholder == std::string::npos ? quote.size() : placeholder;
    std::string part = WithSingleBlanks(quote.substr(start, end - start));
    if (!part.empty()) parts.push_back(std::move(part));
    if (placeholder == std::string::npos) break;
    start = placeholder + kPlaceholder.size();
  }
  return parts;
}

std::vector<std::string> PictureTargets(const std::string& markdown) {
  std::vector<std::string> targets;
  for (size_t at = markdown.find("!["); at != std::string::npos; at = markdown.find("![", at + 2)) {
    const size_t text_end = markdown.find("](", at);
    const size_t target_end = text_end == std::string::npos ? std::string::npos : markdown.find(')', text_end);
    if (target_end == std::string::npos) break;
    targets.push_back(markdown.substr(text_end + 2, target_end - text_end - 2));
  }
  return targets;
}

}  // namespace trelvo::testing
