#pragma once
// What the handbook (docs/handbuch.md) says that can be checked against the
// program: the messages its troubleshooting section quotes, and the pictures
// it shows.
//
// A quoted message is a block quote ("> " at the start of its lines) in the
// section whose "## " heading names the title; "…" stands for what Trelvo
// fills in (a file name, a user, a reason), so that the fixed parts of a
// message are quoted exactly as the program holds them.
#include <string>
#include <vector>

namespace trelvo::testing {

struct Quote {
  size_t line = 0;   // where the quote begins, counted from 1
  std::string text;  // its lines joined by blanks
};

// The block quotes of the "## " section whose heading contains the title.
std::vector<Quote> SectionQuotes(const std::string& markdown, const std::string& title);

// The fixed parts of a quote: its text between the placeholders "…", each
// with single blanks and none at either end; empty parts left out.
std::vector<std::string> FixedParts(const std::string& quote);

// The targets of the pictures the handbook shows: ![text](target).
std::vector<std::string> PictureTargets(const std::string& markdown);

}  // namespace trelvo::testing
