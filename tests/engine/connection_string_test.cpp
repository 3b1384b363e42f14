// ODBC connection strings: attributes read by ODBC's grammar, and passwords
// that are shown nowhere, however they are spelled.
#include <gtest/gtest.h>

#include <vector>

#include "engine/server/connection_string.h"

namespace trelvo::engine::server {
namespace {

TEST(ConnectionString, ReadsAttributesByTheGrammar) {
  const auto attributes =
      ConnectionAttributes("Driver={PostgreSQL Unicode};Pwd={Geh;eim}}42};  Uid = u ;;Server= {db};Port");
  struct Expected {
    const char* keyword;
    const char* raw;
    const char* value;
  };
  const Expected expected[] = {
      {"Driver", "{PostgreSQL Unicode}", "PostgreSQL Unicode"},
      {"Pwd", "{Geh;eim}}42}", "Geh;eim}42"},
      {"Uid ", " u ", " u "},
      {"Server", " {db}", "db"},
  };
  ASSERT_EQ(attributes.size(), std::size(expected));  // the empty part and "Port" without "=" are none
  for (size_t i = 0; i < attributes.size(); ++i) {
    EXPECT_EQ(attributes[i].keyword, expected[i].keyword) << i;
    EXPECT_EQ(attributes[i].raw, expected[i].raw) << i;
    EXPECT_EQ(attributes[i].value, expected[i].value) << i;
    EXPECT_FALSE(attributes[i].unclosed) << i;
  }
}

TEST(ConnectionString, AnUnclosedBraceRunsToTheEnd) {
  const auto attributes = ConnectionAttributes("Uid=u;Pwd={offen;Server=db");
  ASSERT_EQ(attributes.size(), 2u);
  EXPECT_EQ(attributes[1].raw, "{offen;Server=db");
  EXPECT_EQ(attributes[1].value, "offen;Server=db");
  EXPECT_TRUE(attributes[1].unclosed);
}

struct ShownCase {
  const char* connection;
  const char* shown;                   // the connection as WithoutPassword shows it
  std::vector<const char*> fragments;  // pieces of the passwords, none of which may be shown
};

TEST(ConnectionString, ShowsNoPieceOfAnyPasswordAndKeepsTheRest) {
  const ShownCase cases[] = {
      {"Driver={PostgreSQL Unicode};Server=db;Uid=trelvo;Pwd={Geh;eim}}42};",
       "Driver={PostgreSQL Unicode};Server=db;Uid=trelvo;Pwd=***;", {"Geh", "eim", "42", "}}"}},
      {"Server=db;PASSWORD=Kennwort7;Uid=u", "Server=db;PASSWORD=***;Uid=u", {"Kennwort7"}},
      // Every password, not only the one the driver uses.
      {"Pwd=erstes;Uid=u;password={zweites;Teil}", "Pwd=***;Uid=u;password=***", {"erstes", "zweites", "Teil"}},
      // "Pwd=" inside another attribute's braces is part of that value.
      {"Driver={PostgreSQL Unicode};Options={Pwd=kein;Geheimnis};Pwd=echt",
       "Driver={PostgreSQL Unicode};Options={Pwd=kein;Geheimnis};Pwd=***", {"echt"}},
      {"Uid=u;pWd=Mix3d", "Uid=u;pWd=***", {"Mix3d"}},
      // Blanks around the keyword and around a braced value.
      {"Server=db; Pwd =Leer7;Uid=u", "Server=db; Pwd =***;Uid=u", {"Leer7"}},
      {"Server=db;Pwd= {Ab;cd} ;Uid=u", "Server=db;Pwd=***;Uid=u", {"Ab", "cd"}},
      // Unclosed braces: the rest of the string is hidden with the password.
      {"Uid=u;Pwd={offen;Uid=x;Server=db", "Uid=u;Pwd=***", {"offen", "Server=db"}},
      {"Uid=u;Pwd={zu}}", "Uid=u;Pwd=***", {"zu"}},
      // Text after the closing brace (outside the grammar) goes with the value.
      {"Pwd={vorn}hinten;Uid=u", "Pwd=***;Uid=u", {"vorn", "hinten"}},
      // An empty password is nothing to hide; a keyword that only begins with "Pwd" is no password.
      {"Uid=u;Pwd=;Server=db", "Uid=u;Pwd=;Server=db", {}},
      {"Uid=u;Pwd={};Server=db", "Uid=u;Pwd={};Server=db", {}},
      {"PwdHint=sichtbar;Server=db", "PwdHint=sichtbar;Server=db", {}},
  };
  for (const auto& c : cases) {
    const std::string shown = WithoutPassword(c.connection);
    EXPECT_EQ(shown, c.shown) << c.connection;
    for (const char* fragment : c.fragments)
      EXPECT_EQ(shown.find(fragment), std::string::npos) << fragment << " shown in " << shown;
  }
}

TEST(ConnectionString, MasksThePasswordWhereADriversMessageQuotesIt) {
  const std::string connection = "Driver={PostgreSQL Unicode};Uid=trelvo;Pwd={Geh;eim}}42};Password= zweites ";
  const std::string message =
      "FATAL: password authentication failed for user \"trelvo\" (password \"Geh;eim}42\"); "
      "connection string: Pwd={Geh;eim}}42}; also tried \"zweites\"";
  const std::string masked = MaskedIn(message, connection);
  EXPECT_EQ(masked,
            "FATAL: password authentication failed for user \"trelvo\" (password \"***\"); "
            "connection string: Pwd=***; also tried \"***\"");
  for (const char* fragment : {"Geh", "eim", "42", "zweites"})
    EXPECT_EQ(masked.find(fragment), std::string::npos) << fragment;
}

TEST(ConnectionString, MasksNothingWithoutAPassword) {
  const std::string message = "could not connect to server \"db\": Connection refused";
  for (const char* connection : {"Driver={PostgreSQL Unicode};Server=db;Uid=trelvo", "Server=db;Pwd=;Uid=trelvo",
                                 "Server=db;Pwd={};Uid=trelvo"})
    EXPECT_EQ(MaskedIn(message, connection), message) << connection;
}

}  // namespace
}  // namespace trelvo::engine::server
