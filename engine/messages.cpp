#include "engine/messages.h"

#include "platform/user_interface.h"

namespace trelvo::engine {

std::string FillIn(std::string pattern, const std::string& argument) {
  const size_t at = pattern.find("%s");
  if (at != std::string::npos) pattern.replace(at, 2, argument);
  return pattern;
}

std::string FileNameOf(const std::string& path) {
  const size_t separator = path.find_last_of("\\/:");
  return separator == std::string::npos ? path : path.substr(separator + 1);
}

std::string CannotWriteMessage(const std::string& path) {
  return FillIn("In %s kann nicht geschrieben werden", platform::Quoted(path));
}

std::string CannotReadMessage(const std::string& path, const std::string& reason) {
  return "Datei " + platform::Quoted(path) + " kann nicht gelesen werden. " + reason;
}

IniFileTexts PlainIniFileTexts() {
  return {
      "Die Datei %s ist zur Zeit durch einen anderen Arbeitsplatz belegt.\r\n"
      "Bitte probieren Sie es in einigen Sekunden erneut.",
      "Die Datei %s ist keine INI-Datei: Sie enthält Binärdaten. Sie wird weder gelesen noch geändert."};
}

IniFileTexts CounterFileTexts() {
  return {
      "Die Zählerdatei %s ist zur Zeit durch einen anderen Arbeitsplatz belegt.\r\n"
      "Bitte probieren Sie es in einigen Sekunden erneut.",
      "Die Datei %s ist keine Zählerdatei: Sie enthält Binärdaten. Es wurde keine Nummer vergeben, "
      "und die Datei bleibt unverändert."};
}

std::string InvalidCounterValueMessage(const std::string& path, const std::string& key, const std::string& value,
                                       const std::string& allowed) {
  return "Die Zählerdatei " + platform::Quoted(path) + " enthält unter [Zaehler] bei " + key + " den ungültigen Wert " +
         platform::Quoted(value) + ".\r\nErlaubt ist " + allowed + ". Es wurde keine Nummer vergeben.";
}

std::string CounterOverflowMessage(const std::string& path) {
  return "Der Zähler in " + platform::Quoted(FileNameOf(path)) + " kann nicht weiter erhöht werden.";
}

}  // namespace trelvo::engine
