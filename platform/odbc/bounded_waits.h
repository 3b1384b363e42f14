#pragma once
// The connection string psqlODBC is given: the pointer's own, with the waits
// of database_waits.h added for a link that stops carrying anything.
//
// A statement's time limit (SQL_ATTR_QUERY_TIMEOUT) does not bound such a
// wait: psqlODBC turns it into the server's statement_timeout (a "SET
// statement_timeout" ahead of the statement, statement.c), which a server
// that no longer answers never applies, while the workstation waits on its
// socket without a limit of its own. What ends that wait is the connection's
// TCP: keepalive probes on an idle link (the driver's KeepaliveTime and
// KeepaliveInterval, libpq's keepalives_idle and keepalives_interval), given
// up after kKeepaliveProbes unanswered ones (libpq's keepalives_count), and
// data left unacknowledged given up after kUnacknowledged (libpq's
// tcp_user_timeout, in milliseconds). The driver has no keywords of its own
// for the last two: they reach libpq through its "pqopt" keyword, a libpq
// conninfo string. Windows' libpq sets only idle time and interval (the
// number of probes is Windows' own, and it has no TCP_USER_TIMEOUT).
//
// A pointer that sets any of them keeps its own value: its administrator
// tuned it to the network (a slow VPN may want longer), and psqlODBC refuses
// a connection whose pqopt names a libpq setting it also sets itself with
// another value. So a figure is added only where the pointer, its pqopt
// included, leaves it open. A pointer that names a data source (DSN,
// FILEDSN) gets nothing added: the data source may set them, and a setting
// in the connection string would silently replace the data source's (a
// pqopt in the string replaces the data source's pqopt whole).
#include <algorithm>
#include <cctype>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/database_waits.h"

namespace trelvo::platform {

struct DriverConnectionString {
  std::string text;
  // The pointer's pqopt sets libpq's connect_timeout itself: the login
  // timeout (which psqlODBC hands to libpq as connect_timeout) is left unset.
  bool pointer_sets_login_timeout = false;
};

namespace bounded_waits_detail {

inline bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  return true;
}

// One attribute of an ODBC connection string, as psqlODBC splits it
// (drvconn.c): name up to "=", value up to ";", a value in braces up to the
// brace that closes it ("}}" inside stands for one "}").
struct Attribute {
  std::string_view name;
  std::string_view value;
  size_t value_begin = 0;
};

inline std::vector<Attribute> AttributesOf(std::string_view text) {
  std::vector<Attribute> attributes;
  size_t at = 0;
  while (at < text.size()) {
    const size_t equals = text.find('=', at);
    const size_t semicolon = text.find(';', at);
    if (equals == std::string_view::npos || (semicolon != std::string_view::npos && semicolon < equals)) {
      if (semicolon == std::string_view::npos) break;
      at = semicolon + 1;  // a part without "=" names nothing
      continue;
    }
    size_t end = equals + 1;
    if (end < text.size() && text[end] == '{') {
      for (++end; end < text.size(); ++end) {
        if (text[end] != '}') continue;
        if (end + 1 < text.size() && text[end + 1] == '}') {
          ++end;
          continue;
        }
        ++end;
        break;
      }
    }
    end = std::min(text.find(';', end), text.size());
    attributes.push_back({text.substr(at, equals - at), text.substr(equals + 1, end - equals - 1), equals + 1});
    at = end + 1;
  }
  return attributes;
}

// A hexadecimal digit's value, or -1.
inline int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// A value as psqlODBC reads it: braces removed ("}}" read as "}"), or else
// "+" read as a space and "%XX" as that byte (dlg_specific.c).
inline std::string DecodedValue(std::string_view value) {
  std::string decoded;
  if (value.size() >= 2 && value.front() == '{' && value.back() == '}') {
    for (size_t i = 1; i + 1 < value.size(); ++i) {
      if (value[i] == '}' && value[i + 1] == '}') ++i;
      decoded += value[i];
    }
    return decoded;
  }
  for (size_t i = 0; i < value.size(); ++i) {
    if (value[i] == '+') {
      decoded += ' ';
    } else if (value[i] == '%' && i + 2 < value.size() && HexValue(value[i + 1]) >= 0 && HexValue(value[i + 2]) >= 0) {
      decoded += static_cast<char>(HexValue(value[i + 1]) * 16 + HexValue(value[i + 2]));
      i += 2;
    } else {
      decoded += value[i];
    }
  }
  return decoded;
}

// The keywords a libpq conninfo string sets ("key = value", a value in
// single quotes with backslash escapes, or up to the next white space).
inline std::vector<std::string> ConninfoKeys(std::string_view conninfo) {
  std::vector<std::string> keys;
  size_t at = 0;
  const auto space = [&] { return at < conninfo.size() && std::isspace(static_cast<unsigned char>(conninfo[at])); };
  while (at < conninfo.size()) {
    while (space()) ++at;
    const size_t begin = at;
    while (at < conninfo.size() && conninfo[at] != '=' && !space()) ++at;
    if (at > begin) keys.emplace_back(conninfo.substr(begin, at - begin));
    while (space()) ++at;
    if (at < conninfo.size() && conninfo[at] == '=') ++at;
    while (space()) ++at;
    const bool quoted = at < conninfo.size() && conninfo[at] == '\'';
    if (quoted) ++at;
    for (; at < conninfo.size(); ++at) {
      if (conninfo[at] == '\\') {
        ++at;
        continue;
      }
      if (quoted ? conninfo[at] == '\'' : space()) break;
    }
    if (quoted && at < conninfo.size()) ++at;
  }
  return keys;
}

inline std::string Braced(std::string_view content) {
  std::string braced = "{";
  for (char c : content) {
    if (c == '}') braced += '}';
    braced += c;
  }
  return braced + "}";
}

}  // namespace bounded_waits_detail

inline DriverConnectionString WithBoundedWaits(const std::string& pointer_connection) {
  namespace d = bounded_waits_detail;
  namespace w = database_waits;
  const auto attributes = d::AttributesOf(pointer_connection);
  const auto names = [&](std::initializer_list<std::string_view> wanted) {
    for (const auto& attribute : attributes)
      for (std::string_view name : wanted)
        if (d::SameName(attribute.name, name)) return true;
    return false;
  };
  // psqlODBC takes the last pqopt (or its short name D5) of the string.
  std::optional<d::Attribute> pqopt;
  for (const auto& attribute : attributes)
    if (d::SameName(attribute.name, "pqopt") || d::SameName(attribute.name, "D5")) pqopt = attribute;
  const std::string libpq_options = pqopt ? d::DecodedValue(pqopt->value) : "";
  const auto libpq_keys = d::ConninfoKeys(libpq_options);
  const auto libpq_sets = [&](std::string_view key) {
    for (const auto& set : libpq_keys)
      if (d::SameName(set, key)) return true;
    return false;
  };

  DriverConnectionString result{pointer_connection, libpq_sets("connect_timeout")};
  if (names({"DSN", "FILEDSN"})) return result;

  std::string added;
  if (!names({"KeepaliveTime", "D1"}) && !libpq_sets("keepalives_idle"))
    added += "KeepaliveTime=" + std::to_string(w::kKeepaliveIdle.count()) + ";";
  if (!names({"KeepaliveInterval", "D2"}) && !libpq_sets("keepalives_interval"))
    added += "KeepaliveInterval=" + std::to_string(w::kKeepaliveInterval.count()) + ";";
  std::string more_libpq_options;
  if (!libpq_sets("keepalives_count")) more_libpq_options += " keepalives_count=" + std::to_string(w::kKeepaliveProbes);
  if (!libpq_sets("tcp_user_timeout"))
    more_libpq_options += " tcp_user_timeout=" + std::to_string(std::chrono::milliseconds(w::kUnacknowledged).count());

  std::string& text = result.text;
  if (!more_libpq_options.empty()) {
    if (pqopt) {
      const std::string merged = d::Braced(libpq_options + more_libpq_options);
      text.replace(pqopt->value_begin, pqopt->value.size(), merged);
    } else {
      added += "pqopt=" + d::Braced(more_libpq_options.substr(1)) + ";";
    }
  }
  if (!added.empty()) {
    if (!text.empty() && text.back() != ';') text += ';';
    text += added;
  }
  return result;
}

}  // namespace trelvo::platform
