#include "engine/settings.h"

#include "engine/ini/ini_file.h"
#include "platform/error.h"
#include "platform/user_interface.h"

namespace trelvo::engine {
namespace {

IniFile SettingsFile(platform::Environment& env) { return IniFile(env.files, GetSettingsFilePath(env)); }

void RequireFullPath(platform::Environment& env, const std::string& what, const std::string& path) {
  if (!env.files.IsFullPath(path)) throw Error(NotAFullPathMessage(what, path));
}

// A stored path that is not full, refused with the setting's name.
std::string Usable(platform::Environment& env, const std::string& key, const std::string& path) {
  if (env.files.IsFullPath(path)) return path;
  throw Error("Die Einstellung " + key + " in " + platform::Quoted(GetSettingsFilePath(env)) +
              " ist kein vollständiger Pfad: " + platform::Quoted(path) +
              ".\r\nEs wurde keine Nummer vergeben. Wählen Sie in den Optionen einen Pfad mit Laufwerk "
              "(C:\\...) oder Netzwerkfreigabe (\\\\Server\\Freigabe\\...).");
}

}  // namespace

std::string NotAFullPathMessage(const std::string& what, const std::string& path) {
  return what + " muss mit vollständigem Pfad angegeben werden, mit Laufwerk (C:\\...) oder Netzwerkfreigabe "
                "(\\\\Server\\Freigabe\\...): " +
         platform::Quoted(path);
}

std::string WithTrailingSeparator(std::string path) {
  if (path.empty() || path.back() != '\\') path += '\\';
  return path;
}

std::string GetSettingsFolder(platform::Environment& env) {
  return WithTrailingSeparator(env.system.GetSpecialFolderPath(platform::kCsidlAppData)) + "Orvant\\Trelvo 2006\\";
}

std::string GetSettingsFilePath(platform::Environment& env) { return GetSettingsFolder(env) + "trelvo.ini"; }

std::string GetCounterFilePath(platform::Environment& env) {
  return SettingsFile(env).ReadString("Pfade", "CounterFile", GetSettingsFolder(env) + "sabu_counter.ini");
}

std::string UsableCounterFilePath(platform::Environment& env) {
  return Usable(env, "CounterFile", GetCounterFilePath(env));
}

void SetCounterFilePath(platform::Environment& env, const std::string& path) {
  RequireFullPath(env, kCounterFileWhat, path);
  SettingsFile(env).WriteString("Pfade", "CounterFile", path);
}

void SetPaths(platform::Environment& env, const std::string& counter_file, const std::string& log_folder) {
  RequireFullPath(env, kCounterFileWhat, counter_file);
  RequireFullPath(env, kLogFolderWhat, log_folder);
  SettingsFile(env).Update([&](IniDocument& settings) {
    const bool admin = settings.ReadBool("Mode", "AdminMode", false);
    settings.WriteString("Pfade", "CounterFile", counter_file);
    settings.WriteString("Pfade", "LogPath", log_folder);
    settings.WriteBool("Mode", "AdminMode", admin);
  });
}

std::string GetLogFolder(platform::Environment& env) {
  return WithTrailingSeparator(SettingsFile(env).ReadString("Pfade", "LogPath", GetSettingsFolder(env)));
}

std::string UsableLogFolder(platform::Environment& env) { return Usable(env, "LogPath", GetLogFolder(env)); }

bool IsAdminMode(platform::Environment& env) { return SettingsFile(env).ReadBool("Mode", "AdminMode", false); }

std::string GetCurrentUserName(platform::Environment& env) { return env.system.UserName(); }

std::string GetModulePath(platform::Environment& env) { return env.system.ModulePath(); }

void CreateSettingsFolder(platform::Environment& env) {
  const std::string folder = GetSettingsFolder(env);
  try {
    env.files.CreateDirectories(folder);
  } catch (const platform::FileError& error) {
    throw Error("Der Ordner " + platform::Quoted(folder) + " kann nicht angelegt werden. " + error.what());
  }
}

}  // namespace trelvo::engine
