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

// The names of the date-part kinds (Prefix) and separator kinds (Sep), as
// the Options dialog lists them.
inline constexpr std::array<const char*, 16> kDateKindNames = {
    "(ohne)",
    "Jahr vierstellig (JJJJ)",
    "Jahr zweistellig (JJ)",
    "Jahr und Monat (JJJJ/MM)",
    "Jahr und Monat (JJ/MM)",
    "Monat und Jahr (MM/JJJJ)",
    "Monat und Jahr (MM/JJ)",
    "Einstelliges Jahr  (J)",
    "Einstellig Jahr und Monat (J/M)",
    "Einstelliges Jahr und Monat (J/MM)",
    "Einstellig Monat und Jahr (M/J)",
    "Monat und einstelliges Jahr (MM/J)",
    "Datum 2stellig (TT/MM/JJ)",
    "Datum 4stellig (TT/MM/JJJJ)",
    "ISO-Datum 2stellig (JJ/MM/TT)",
    "ISO-Datum 4stellig (JJJJ/MM/TT)",
};
inline constexpr std::array<const char*, 5> kSeparatorKindNames = {"(ohne)", "Leerzeichen ( )", "Bindestrich (-)",
                                                                   "Schrägstrich (/)", "Punkt (.)"};

// Widths beyond this are taken as this: a hand-edited Padding of millions must
// not make a number of millions of characters (the usage log holds 255).
inline constexpr int32_t kMaxNumberWidth = 255;

// The decimal text with "0" put in front until it is at least width long.
std::string PadNumber(int64_t number, int32_t width);

// The minimum number of digits that a Padding value asks for (Padding + 1).
int32_t PaddingToWidth(int32_t padding);

// The date part of a date-part kind and separator kind for a date.
std::string DatePart(int32_t date_kind, int32_t separator_kind, const platform::LocalDateTime& date);

// The number that counter + increment prints as. The sum is taken in 64 bits:
// composition never fails (a draw refuses a sum beyond 32 bits before it composes).
std::string ComposeNumber(const NumberFormat& format, int32_t counter, int32_t increment,
                          const platform::LocalDateTime& today);

}  // namespace trelvo::engine
