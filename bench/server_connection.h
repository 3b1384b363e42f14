#pragma once
// The database server a load program measures. Its ODBC connection string
// holds a password, and a program's command line is open to every user of the
// machine (the process list): the connection comes from the environment
// variable TRELVO_BENCH_CONNECTION or from a pointer file named with
// --server-pointer FILE ([Server] Connection=…), never from the command line.
#include <cstdlib>
#include <optional>
#include <string>

#include "engine/ini/ini_file.h"
#include "platform/error.h"
#include "platform/file_system.h"
#include "platform/user_interface.h"
#ifdef _WIN32
#include <string_view>

#include "platform/cp1252.h"
#endif

namespace trelvo::bench {

inline constexpr char kServerPointerOption[] = "--server-pointer";

// The answer to --server, which once took the connection on the command line.
inline std::string ServerOptionRefusal() {
  return "Die Option --server gibt es nicht mehr: eine Verbindungszeichenfolge auf der Befehlszeile sieht jeder "
         "Benutzer dieses Rechners in der Prozessliste, samt Passwort. Die Verbindung steht in der "
         "Umgebungsvariablen TRELVO_BENCH_CONNECTION oder in einer Zeigerdatei ([Server] Connection=…), die "
         "--server-pointer DATEI nennt.";
}

// The environment variable's text; "" when it is not set.
inline std::string ConnectionFromEnvironment() {
#ifdef _WIN32
  // The wide variable: the narrow one holds only what the ANSI code page can.
  const wchar_t* value = _wgetenv(L"TRELVO_BENCH_CONNECTION");
  return value ? platform::Utf16ToUtf8(std::u16string_view(reinterpret_cast<const char16_t*>(value))) : "";
#else
  const char* value = std::getenv("TRELVO_BENCH_CONNECTION");
  return value ? value : "";
#endif
}

// The connection of the server to measure: the pointer file's when one is
// named, else the environment variable's; "" for none. A pointer file that is
// missing or names no connection is refused.
inline std::string ServerConnection(platform::FileSystem& files, const std::optional<std::string>& pointer_file) {
  if (!pointer_file) return ConnectionFromEnvironment();
  if (!files.FileExists(*pointer_file))
    throw Error("Die Zeigerdatei " + platform::Quoted(*pointer_file) + " gibt es nicht.");
  const std::string connection = engine::IniFile(files, *pointer_file).ReadString("Server", "Connection", "");
  if (connection.empty())
    throw Error("Die Zeigerdatei " + platform::Quoted(*pointer_file) +
                " nennt keine Verbindung: ihr fehlt [Server] Connection=….");
  return connection;
}

}  // namespace trelvo::bench
