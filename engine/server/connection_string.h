#pragma once
// ODBC connection strings ("Driver={PostgreSQL Unicode};Server=…;Uid=…;Pwd=…;")
// read the way the driver reads them, so that a password is shown nowhere: not
// with the connection, not in a driver's message that quotes it.
//
// The grammar (SQLDriverConnect, and the connection string structure that
// Microsoft specifies for ODBC): attributes "keyword=value", separated by ";".
// Blanks in front of a keyword are not part of it. A value may be enclosed in
// braces, with blanks around them; inside the braces ";" and "=" are plain
// characters and "}" is written "}}". Keywords match without regard to case.
#include <cstddef>
#include <string>
#include <vector>

namespace trelvo::engine::server {

struct ConnectionAttribute {
  std::string keyword;  // as written, without the blanks in front of it
  std::string raw;      // the value as written: everything between "=" and the ";" that ends it
  std::string value;    // as the driver reads it: a braced value without its braces, "}}" as "}"
  size_t raw_at = 0;    // where raw begins in the connection string
  bool unclosed = false;  // a brace that is never closed: the value runs to the end of the string
};

// The attributes in the order written. A part without "=" is no attribute and
// is passed over.
std::vector<ConnectionAttribute> ConnectionAttributes(const std::string& connection);

// Whether the attribute holds a password (PWD or Password, in any case).
bool IsPassword(const ConnectionAttribute& attribute);

// The connection string with the value of every password attribute replaced
// by "***" (a braced value with its braces; after a brace that is never
// closed, the whole rest), for showing it. An empty password stays as it is.
std::string WithoutPassword(const std::string& connection);

// The text (a driver's message) with every password of the connection
// replaced by "***" wherever it appears, as the driver reads it or as it is
// written in the connection string.
std::string MaskedIn(std::string text, const std::string& connection);

}  // namespace trelvo::engine::server
