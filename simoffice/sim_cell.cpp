#include "simoffice/sim_cell.h"

#include <cstdio>
#include <optional>
#include <regex>

#include "platform/civil_date.h"

namespace trelvo::simoffice {
namespace {

// The automation date's day 0 is 30.12.1899.
const int64_t kSerialZero = platform::DaysFromCivil({1899, 12, 30});

double Serial(int year, int month, int day) {
  return static_cast<double>(platform::DaysFromCivil({year, month, day}) - kSerialZero);
}

platform::CivilDate CivilFromSerial(double serial) {
  return platform::CivilFromDays(static_cast<int64_t>(serial) + kSerialZero);
}

int FullYear(const std::string& digits) {
  const int year = std::stoi(digits);
  if (digits.size() > 2) return year;
  return year < 30 ? 2000 + year : 1900 + year;  // Excel's two-digit years
}

bool ValidDay(int year, int month, int day) {
  if (month < 1 || month > 12 || day < 1) return false;
  const platform::CivilDate back = CivilFromSerial(Serial(year, month, day));
  return back.month == month && back.day == day;
}

// The shapes of typed input that German settings read as dates and numbers.
const std::regex kDayMonthYear(R"((\d{1,2})\.(\d{1,2})\.(\d{2}|\d{4})?)");
const std::regex kDaySlashMonthYear(R"((\d{1,2})/(\d{1,2})/(\d{2}|\d{4}))");
const std::regex kMonthSlashYear(R"((\d{1,2})/(\d{2}|\d{4}))");
const std::regex kIsoDate(R"((\d{4})-(\d{1,2})-(\d{1,2}))");
const std::regex kGermanNumber(R"([+-]?\d+(,\d+)?)");

// The serial of a text that German settings read as a date: "T.M.", "T.M.JJ",
// "T.M.JJJJ", "T/M/JJ(JJ)", "M/JJ" (the month's first), "JJJJ-M-T".
std::optional<double> ReadDate(const std::string& text, int this_year) {
  std::smatch m;
  int year = this_year, month = 0, day = 1;
  if (std::regex_match(text, m, kDayMonthYear)) {
    day = std::stoi(m[1]), month = std::stoi(m[2]);
    if (m[3].matched) year = FullYear(m[3]);
  } else if (std::regex_match(text, m, kDaySlashMonthYear)) {
    day = std::stoi(m[1]), month = std::stoi(m[2]), year = FullYear(m[3]);
  } else if (std::regex_match(text, m, kMonthSlashYear)) {
    month = std::stoi(m[1]), year = FullYear(m[2]);
  } else if (std::regex_match(text, m, kIsoDate)) {
    year = std::stoi(m[1]), month = std::stoi(m[2]), day = std::stoi(m[3]);
  } else {
    return std::nullopt;
  }
  if (!ValidDay(year, month, day)) return std::nullopt;
  return Serial(year, month, day);
}

// A number as German settings read it: a sign, digits, a decimal comma.
std::optional<double> ReadNumber(const std::string& text) {
  if (!std::regex_match(text, kGermanNumber)) return std::nullopt;
  std::string english = text;
  for (char& c : english)
    if (c == ',') c = '.';
  return std::stod(english);
}

}  // namespace

void SimCell::Enter(const std::string& input) {
  prefix_.clear();
  text_.clear();
  number_ = 0.0;
  formula_ = input;
  if (input.empty()) {
    kind_ = Kind::Empty;
    return;
  }
  if (input[0] == '\'') {
    prefix_ = "'";
    formula_ = text_ = input.substr(1);
    kind_ = Kind::Text;
    return;
  }
  kind_ = Kind::Text;
  text_ = input;
  if (number_format_ == "@") return;
  SYSTEMTIME now{};
  GetLocalTime(&now);
  if (const auto date = ReadDate(input, now.wYear)) {
    kind_ = Kind::Date;
    number_ = *date;
    if (number_format_ == "General") number_format_ = "m/d/yyyy";
  } else if (const auto number = ReadNumber(input)) {
    kind_ = Kind::Number;
    number_ = *number;
  }
}

win32::Variant SimCell::Value() const {
  switch (kind_) {
    case Kind::Empty: return win32::Variant();
    case Kind::Text: return win32::Variant::Text(text_);
    case Kind::Number: return win32::Variant::Double(number_);
    case Kind::Date: {
      VARIANT date;
      VariantInit(&date);
      date.vt = VT_DATE;
      date.date = number_;
      return win32::Variant(date);
    }
  }
  return win32::Variant();
}

std::string SimCell::Text() const {
  char shown[64];
  switch (kind_) {
    case Kind::Empty: return "";
    case Kind::Text: return text_;
    case Kind::Number: {
      std::snprintf(shown, sizeof shown, "%.15g", number_);
      std::string text = shown;
      for (char& c : text)
        if (c == '.') c = ',';
      return text;
    }
    case Kind::Date: {
      const platform::CivilDate date = CivilFromSerial(number_);
      std::snprintf(shown, sizeof shown, "%02d.%02d.%04d", date.day, date.month, date.year);
      return shown;
    }
  }
  return "";
}

}  // namespace trelvo::simoffice
