#pragma once
// The tests' own PostgreSQL server (tools/scratch-postgres), started by CTest
// before the tests that need it; TRELVO_TEST_SERVER_DIR names the folder with
// its connection string.
#include <cstdlib>
#include <fstream>
#include <random>
#include <string>

namespace trelvo::testing {

inline std::string ScratchServerFolder() {
  const char* folder = std::getenv("TRELVO_TEST_SERVER_DIR");
  return folder ? folder : "";
}

// The owner's ODBC connection string; empty when no server was started.
inline std::string ScratchServerConnection() {
  std::ifstream in(ScratchServerFolder() + "/connection");
  std::string line;
  std::getline(in, line);
  while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
  return line;
}

// The same connection with another login.
inline std::string ConnectionAs(const std::string& connection, const std::string& user, const std::string& password) {
  const size_t login = connection.find("Uid=");
  return connection.substr(0, login) + "Uid=" + user + ";Pwd=" + password + ";";
}

// A range name no other test (or earlier run) uses.
inline std::string FreshRangeName(const std::string& stem) {
  static std::mt19937 random{std::random_device{}()};
  return stem + " " + std::to_string(random() % 1000000);
}

}  // namespace trelvo::testing
