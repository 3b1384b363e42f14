#pragma once
// The engine's own message texts and the helpers that fill them in. Paths and
// user names inside messages stand in single quotes (platform::Quoted).
#include <string>

namespace trelvo::engine {

// Replaces the first %s of a message pattern.
std::string FillIn(std::string pattern, const std::string& argument);
// The file name of a path, without its folder.
std::string FileNameOf(const std::string& path);

// "In %s kann nicht geschrieben werden" for a path.
std::string CannotWriteMessage(const std::string& path);
// A file that exists but cannot be read, with the system's reason behind.
std::string CannotReadMessage(const std::string& path, const std::string& reason);

// The texts with which one kind of INI file is refused; %s is the quoted file name.
struct IniFileTexts {
  std::string busy;     // held by another process beyond the wait
  std::string not_ini;  // binary data or UTF-16, not an INI text
};
IniFileTexts PlainIniFileTexts();
IniFileTexts CounterFileTexts();

// A Counter or Increment that no number may be drawn from.
std::string InvalidCounterValueMessage(const std::string& path, const std::string& key, const std::string& value,
                                       const std::string& allowed);
// A counter whose next value leaves the 32-bit range.
std::string CounterOverflowMessage(const std::string& path);

}  // namespace trelvo::engine
