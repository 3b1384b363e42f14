#pragma once
// The printed invoice number: free texts, a date part from today's date and the
// counter with leading zeros, joined in one of two orders. Pure computation.
#include <array>
#include <cstdint>
#include <string>

#include "platform/system_services.h"

namespace trelvo::engine {

struct NumberFormat {
  std::string text_before;
  std::string text_after;
  std::string counter_text;
  int32_t date_kind = 0;       // Prefix, 0 to 15
  int32_t separator_kind = 0;  // Sep, 0 to 4
  int32_t width = 4;           // Padding + 1
  bool leading = false;        // counter and its text in front
};

// The pieces a date part is made of.
enum class DateElement {
  Year4,   // 2026
  Year2,   // 26
  Year1,   // 6
  Month2,  // 03
  Month1,  // 3, 12
  Day2,    // 05
};

// A date-part kind (Prefix): its name as the Options dialog lists it and its
// pieces in order, joined by the separator kind (Sep). The one table that the
// composition writes numbers from and the audit reads them back by.
struct DateKind {
  const char* name;
  int count;  // pieces used of elements
  std::array<DateElement, 3> elements;
};
inline constexpr std::array<DateKind, 16> kDateKinds = {{
    {"(ohne)", 0, {}},
    {"Jahr vierstellig (JJJJ)", 1, {DateElement::Year4}},
    {"Jahr zweistellig (JJ)", 1, {DateElement::Year2}},
    {"Jahr und Monat (JJJJ/MM)", 2, {DateElement::Year4, DateElement::Month2}},
    {"Jahr und Monat (JJ/MM)", 2, {DateElement::Year2, DateElement::Month2}},
    {"Monat und Jahr (MM/JJJJ)", 2, {DateElement::Month2, DateElement::Year4}},
    {"Monat und Jahr (MM/JJ)", 2, {DateElement::Month2, DateElement::Year2}},
    {"Einstelliges Jahr  (J)", 1, {DateElement::Year1}},
    {"Einstellig Jahr und Monat (J/M)", 2, {DateElement::Year1, DateElement::Month1}},
    {"Einstelliges Jahr und Monat (J/MM)", 2, {DateElement::Year1, DateElement::Month2}},
    {"Einstellig Monat und Jahr (M/J)", 2, {DateElement::Month1, DateElement::Year1}},
    {"Monat und einstelliges Jahr (MM/J)", 2, {DateElement::Month2, DateElement::Year1}},
    {"Datum 2stellig (TT/MM/JJ)", 3, {DateElement::Day2, DateElement::Month2, DateElement::Year2}},
    {"Datum 4stellig (TT/MM/JJJJ)", 3, {DateElement::Day2, DateElement::Month2, DateElement::Year4}},
    {"ISO-Datum 2stellig (JJ/MM/TT)", 3, {DateElement::Year2, DateElement::Month2, DateElement::Day2}},
    {"ISO-Datum 4stellig (JJJJ/MM/TT)", 3, {DateElement::Year4, DateElement::Month2, DateElement::Day2}},
}};

// The names of the date-part kinds (Prefix) and separator kinds (Sep), as
// the Options dialog lists them.
inline constexpr std::array<const char*, kDateKinds.size()> kDateKindNames = [] {
  std::array<const char*, kDateKinds.size()> names{};
  for (size_t i = 0; i < kDateKinds.size(); ++i) names[i] = kDateKinds[i].name;
  return names;
}();
inline constexpr std::array<const char*, 5> kSeparatorKindNames = {"(ohne)", "Leerzeichen ( )", "Bindestrich (-)",
                                                                   "Schrägstrich (/)", "Punkt (.)"};

// Widths beyond this are taken as this: a hand-edited Padding of millions must
// not make a number of millions of characters (the usage log holds 255).
inline constexpr int32_t kMaxNumberWidth = 255;

// The decimal text with "0" put in front until it is at least width long.
std::string PadNumber(int64_t number, int32_t width);

// The minimum number of digits that a Padding value asks for (Padding + 1).
int32_t PaddingToWidth(int32_t padding);

// The text of one piece of a date part for a date.
std::string DateElementText(DateElement element, const platform::LocalDateTime& date);

// The separator of a separator kind ("" for (ohne) and unknown kinds).
std::string SeparatorText(int32_t separator_kind);

// The date part of a date-part kind and separator kind for a date (an unknown
// kind has none).
std::string DatePart(int32_t date_kind, int32_t separator_kind, const platform::LocalDateTime& date);

// The number that counter + increment prints as. The sum is taken in 64 bits:
// composition never fails (a draw refuses a sum beyond 32 bits before it composes).
std::string ComposeNumber(const NumberFormat& format, int32_t counter, int32_t increment,
                          const platform::LocalDateTime& today);

}  // namespace trelvo::engine
