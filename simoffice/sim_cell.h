#pragma once
// One cell of the simulated Excel, which takes what is put into it as Excel
// takes typed input: in the number format "General" a text that reads as a
// number becomes that number ("0042" is 42), one that reads as a date in the
// user's German settings becomes a date ("05.03.2024", "3/24"); a leading
// apostrophe or the number format "@" keep the text as it is. Value, Text,
// FormulaR1C1 and NumberFormat read back as Excel's do.
#include <string>

#include "platform/win32/variant.h"

namespace trelvo::simoffice {

class SimCell {
 public:
  enum class Kind { Empty, Text, Number, Date };

  // FormulaR1C1 or Value assigned a text.
  void Enter(const std::string& input);

  Kind kind() const { return kind_; }
  // What was entered, without a leading apostrophe (FormulaR1C1 reads it so).
  const std::string& formula() const { return formula_; }
  // "'" when a leading apostrophe kept the text, else "".
  const std::string& prefix() const { return prefix_; }
  // The value: empty, a string, a double or a date (VT_DATE, days since 30.12.1899).
  win32::Variant Value() const;
  // The shown text: a number without its leading zeros, a date as "TT.MM.JJJJ".
  std::string Text() const;
  const std::string& number_format() const { return number_format_; }
  void set_number_format(std::string format) { number_format_ = std::move(format); }

 private:
  Kind kind_ = Kind::Empty;
  std::string formula_;
  std::string prefix_;
  std::string text_;     // a text's value
  double number_ = 0.0;  // a number's value, or a date's serial
  std::string number_format_ = "General";
};

}  // namespace trelvo::simoffice
