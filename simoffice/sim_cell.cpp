#include "simoffice/sim_cell.h"

#include <cstdio>
#include <optional>
#include <regex>

namespace trelvo::simoffice {
namespace {

// Days from 30.12.1899 (the automation date's day 0) to a day of the Gregorian calendar.
double Serial(int year, int month, int day) {
  const auto days_from_civil = [](int y, int m, int d) {
    y -= m <= 2;
    const int era = (y >= 0 ? y : y - 399) / 400;
    const int year_of_era = y - era * 400;
    const int day_of_year = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int day_of_era = year_of_era * 365 + year_of_era / 4 - year_of_era / 100 + day_of_year;
    return era * 146097 + day_of_era - 719468;
  };
  return days_from_civil(year, month, day) - days_from_civil(1899, 12, 30);
}

void CivilFromSerial(double serial, int& year, int& month, int& day) {
  // Days since 1.3.0000: serial 25569 is 1.1.1970, which lies 719468 days after it.
  const int z = static_cast<int>(serial) - 25569 + 719468;
  const int era = (z >= 0 ? z : z - 146096) / 146097;
  const int day_of_era = z - era * 146097;
  const int year_of_era = (day_of_era - day_of_era / 1460 + day_of_era / 36524 - day_of_era / 146096) / 365;
  const int day_of_year = day_of_era - (365 * year_of_era + year_of_era / 4 - year_of_era / 100);
  const int mp = (5 * day_of_year + 2) / 153;
  day = day_of_year - (153 * mp + 2) / 5 + 1;
  month = mp < 10 ? mp + 3 : mp - 9;
  year = year_of_era + era * 400 + (month <= 2);
}

int FullYear(const std::string& digits) {
  const int year = std::stoi(digits);
  if (digits.size() > 2) return year;
  return year < 30 ? 2000 + year : 1900 + year;  // Excel's two-digit years
}

bool ValidDay(int year, int month, int day) {
  if (month < 1 || month > 12 || day < 1) return false;
  int year_back, month_back, day_back;
  CivilFromSerial(Serial(year, month, day), year_back, month_back, day_back);
  return month_back == month && day_back == day;
}

// The serial of a text that German settings read as a date: "T.M.", "T.M.JJ",
// "T.M.JJJJ", "T/M/JJ(JJ)", "M/JJ" (the month's first), "JJJJ-M-T".
std::optional<double> ReadDate(const std::string& text, int this_year) {
  std::smatch m;
  int year = this_year, month = 0, day = 1;
  if (std::regex_match(text, m, std::regex(R"((\d{1,2})\.(\d{1,2})\.(\d{2}|\d{4})?)"))) {
    day = std::stoi(m[1]), month = std::stoi(m[2]);
    if (m[3].matched) year = FullYear(m[3]);
  } else if (std::regex_match(text, m, std::regex(R"((\d{1,2})/(\d{1,2})/(\d{2}|\d{4}))"))) {
    day = std::stoi(m[1]), month = std::stoi(m[2]), year = FullYear(m[3]);
  } else if (std::regex_match(text, m, std::regex(R"((\d{1,2})/(\d{2}|\d{4}))"))) {
    month = std::stoi(m[1]), year = FullYear(m[2]);
  } else if (std::regex_match(text, m, std::regex(R"((\d{4})-(\d{1,2})-(\d{1,2}))"))) {
    year = std::stoi(m[1]), month = std::stoi(m[2]), day = std::stoi(m[3]);
  } else {
    return std::nullopt;
  }
  if (!ValidDay(year, month, day)) return std::nullopt;
  return Serial(year, month, day);
}

// A number as German settings read it: a sign, digits, a decimal comma.
std::optional<double> ReadNumber(const std::string& text) {
  if (!std::regex_match(text, std::regex(R"([+-]?\d+(,\d+)?)"))) return std::nullopt;
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
      int year, month, day;
      CivilFromSerial(number_, year, month, day);
      std::snprintf(shown, sizeof shown, "%02d.%02d.%04d", day, month, year);
      return shown;
    }
  }
  return "";
}

}  // namespace trelvo::simoffice
