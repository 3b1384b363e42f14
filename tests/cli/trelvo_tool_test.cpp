// The trelvo command-line tool on fakes: output, exit status, log records.
#include <gtest/gtest.h>

#include <sstream>

#include "cli/trelvo_tool.h"
#include "engine/usage_log.h"
#include "platform/console_user_interface.h"
#include "platform/fake/fake_system.h"

namespace trelvo::cli {
namespace {

class TrelvoTool : public ::testing::Test {
 protected:
  platform::FakeFileSystem files;
  platform::FakeSystem system;
  std::ostringstream out;
  std::ostringstream err;
  platform::ConsoleUserInterface ui{err};
  platform::Environment env{files, system, ui};

  std::string UserFolder() const { return system.app_data + "\\Orvant\\Trelvo 2006\\"; }
  std::string LogPath() const { return UserFolder() + "sabulog.csv"; }
  int Run(std::vector<std::string> args) {
    out.str("");
    err.str("");
    return RunTrelvoTool(args, env, out, err);
  }
};

TEST_F(TrelvoTool, DrawCreatesThePerUserFolderPrintsTheNumberAndLogsIt) {
  files.AddFolder(system.app_data);
  EXPECT_EQ(Run({"draw"}), kExitOk);
  EXPECT_EQ(out.str(), "0001\n");
  EXPECT_EQ(err.str(), "");
  EXPECT_EQ(Run({"draw", "--app", "Batch 2"}), kExitOk);
  EXPECT_EQ(out.str(), "0002\n");
  EXPECT_EQ(*files.Content(LogPath()),
            "SABU:$255;DATUM:@;ANWENDUNG:$255;BENUTZER:$255\r\n"
            "\"0001\"; 2024-03-05 14:07:09; \"Kommandozeile 1.0\"; \"mmuster\"; \r\n"
            "\"0002\"; 2024-03-05 14:07:09; \"Batch 2\"; \"mmuster\"; \r\n");
}

TEST_F(TrelvoTool, ALockedFileDrawsNothingLogsTheRefusalAndExitsWithTwo) {
  files.SetFile("S:\\re.ini", "[Zaehler]\r\nCounter=9\r\n[Locking]\r\nIsLocked=1\r\nLockedBy=\"admin\"\r\n");
  EXPECT_EQ(Run({"draw", "--counter-file", "S:\\re.ini"}), kExitLocked);
  EXPECT_EQ(out.str(), "");
  EXPECT_NE(err.str().find("durch den Benutzer 'admin' bearbeitet"), std::string::npos) << err.str();
  EXPECT_NE(files.Content(LogPath())->find("\"#ini gesperrt#\"; "), std::string::npos);
  EXPECT_EQ(Run({"preview", "--counter-file", "S:\\re.ini"}), kExitLocked);
  EXPECT_EQ(out.str(), "");
}

// A number is never drawn without its record: a log that cannot be written
// refuses the draw before the counter moves.
TEST_F(TrelvoTool, ALogThatCannotBeWrittenRefusesTheDraw) {
  files.AddFolder(UserFolder());
  files.SetFile(UserFolder() + "trelvo.ini", "[Pfade]\r\nLogPath=\"L:\\fehlt\"\r\n");
  EXPECT_EQ(Run({"draw"}), kExitFailed);
  EXPECT_EQ(out.str(), "");
  EXPECT_NE(err.str().find("Es wurde keine Nummer vergeben."), std::string::npos) << err.str();
  EXPECT_FALSE(files.FileExists(UserFolder() + "sabu_counter.ini")) << "nothing drawn";
}

TEST_F(TrelvoTool, UnlockSaysWhoseLockItWas) {
  files.SetFile("S:\\re.ini", "[Locking]\r\nIsLocked=1\r\nLockedBy=\"admin\"\r\n");
  EXPECT_EQ(Run({"unlock", "--counter-file", "S:\\re.ini"}), kExitOk);
  EXPECT_EQ(out.str(), "Die Sperre durch 'admin' ist aufgehoben: 'S:\\re.ini'\n");
  EXPECT_EQ(Run({"unlock", "--counter-file", "S:\\re.ini"}), kExitOk);
  EXPECT_EQ(out.str(), "Die Zählerdatei war nicht gesperrt: 'S:\\re.ini'\n");
  EXPECT_EQ(Run({"unlock", "--counter-file", "S:\\fehlt.ini"}), kExitFailed);
  EXPECT_EQ(err.str(), "Fehler: Die Locking Informationen konnten nicht zurückgesetzt werden!\n");
  EXPECT_FALSE(files.FileExists("S:\\fehlt.ini"));
}

// A file whose range went to a server stays locked, with a message that
// names where it went; the file is left as it was.
TEST_F(TrelvoTool, UnlockRefusesAFileWhoseRangeMovedToAServer) {
  const struct {
    std::string holder, told;
  } cases[] = {
      {"Auf den Server umgezogen: Nummernkreis Firma A",
       "Fehler: Die Zählerdatei 'S:\\re.ini' ist auf den Server umgezogen (Nummernkreis 'Firma A'). Ihre Sperre "
       "bleibt, damit sie keine Nummer ausgibt, die der Server schon vergeben hat. Gezogen wird aus dem "
       "Nummernkreis auf dem Server.\n"},
      {"Umzug auf den Server (trelvo server-init)",
       "Fehler: Die Zählerdatei 'S:\\re.ini' wird gerade auf einen Server umgezogen (trelvo server-init). Ihre "
       "Sperre bleibt, damit sie keine Nummer ausgibt, die der Server schon vergeben hat. Ist der Umzug "
       "abgebrochen, prüft ein Administrator zuerst den Nummernkreis auf dem Server.\n"},
  };
  for (const auto& c : cases) {
    const std::string content = "[Zaehler]\r\nCounter=41\r\n[Locking]\r\nIsLocked=1\r\nLockedBy=\"" + c.holder + "\"\r\n";
    files.SetFile("S:\\re.ini", content);
    EXPECT_EQ(Run({"unlock", "--counter-file", "S:\\re.ini"}), kExitFailed) << c.holder;
    EXPECT_EQ(out.str(), "");
    EXPECT_EQ(err.str(), c.told);
    EXPECT_EQ(*files.Content("S:\\re.ini"), content);
  }
}

TEST_F(TrelvoTool, StatusAndPreviewWriteNothing) {
  const std::string content =
      "[Zaehler]\r\nCounter=41\r\n[Optionen]\r\nTextBefore=\"RE\"\r\nPrefix=3\r\nSep=2\r\n"
      "[Hinweis]\r\nConfigDesc=\"Firma A\"\r\n";
  files.SetFile("S:\\re.ini", content);
  EXPECT_EQ(Run({"preview", "--counter-file", "S:\\re.ini"}), kExitOk);
  EXPECT_EQ(out.str(), "RE2024-030042\n");
  EXPECT_EQ(Run({"status", "--counter-file", "S:\\re.ini"}), kExitOk);
  for (const char* line :
       {"Zähler:           41\n", "Datumsteil:       3 Jahr und Monat (JJJJ/MM)\n", "Beschreibung:     \"Firma A\"\n",
        "Gesperrt durch:   (frei)\n", "Neubeginn:        nie\n", "Nächste Nummer:   RE2024-030042\n"})
    EXPECT_NE(out.str().find(line), std::string::npos) << line << out.str();
  EXPECT_EQ(*files.Content("S:\\re.ini"), content);

  // A counter that restarts shows the next number of the new year.
  const std::string restarting = "[Zaehler]\r\nCounter=142\r\nPeriod=2023\r\nClosedPeriod=2022\r\n"
                                 "ClosedCounter=97\r\n[Optionen]\r\nPrefix=1\r\nRestart=1\r\n";
  files.SetFile("S:\\re.ini", restarting);
  EXPECT_EQ(Run({"status", "--counter-file", "S:\\re.ini"}), kExitOk);
  for (const char* line : {"Neubeginn:        jährlich, zuletzt gezogen in 2023, 2022 endete mit Zähler 97\n",
                           "Nächste Nummer:   20240001\n"})
    EXPECT_NE(out.str().find(line), std::string::npos) << line << out.str();
  EXPECT_EQ(Run({"preview", "--counter-file", "S:\\re.ini"}), kExitOk);
  EXPECT_EQ(out.str(), "20240001\n");
  EXPECT_EQ(*files.Content("S:\\re.ini"), restarting);
}

// A counter file named on the command line needs no settings file.
TEST_F(TrelvoTool, ANamedCounterFileIsUsedWithoutReadingTheSettingsFile) {
  files.SetFile(UserFolder() + "trelvo.ini", std::string("\xFF\xFE[\0P\0", 6));
  files.SetFile("S:\\re.ini", "[Zaehler]\r\nCounter=41\r\n");
  EXPECT_EQ(Run({"preview", "--counter-file", "S:\\re.ini"}), kExitOk);
  EXPECT_EQ(out.str(), "0042\n");
  EXPECT_EQ(Run({"status", "--counter-file", "S:\\re.ini"}), kExitOk);
  EXPECT_EQ(Run({"preview"}), kExitFailed);
  EXPECT_NE(err.str().find("ist keine INI-Datei"), std::string::npos) << err.str();
}

TEST_F(TrelvoTool, ACounterFileThatWouldReissueNumbersIsRefusedByEveryCommand) {
  files.AddFolder(UserFolder());
  for (const char* content : {"[Zaehler]\r\nCounter=abc\r\n", "[Zaehler]\r\nCounter=41 ; Notiz\r\n",
                              "[Zaehler]\r\nCounter=41\r\nIncrement=0\r\n", "[Zaehler]\r\nCounter=\r\n"}) {
    files.SetFile("S:\\re.ini", content);
    EXPECT_EQ(Run({"draw", "--counter-file", "S:\\re.ini"}), kExitFailed) << content;
    EXPECT_EQ(out.str(), "");
    EXPECT_NE(err.str().find("den ungültigen Wert"), std::string::npos) << err.str();
    EXPECT_EQ(Run({"preview", "--counter-file", "S:\\re.ini"}), kExitFailed) << content;
    EXPECT_EQ(out.str(), "");
    EXPECT_EQ(Run({"status", "--counter-file", "S:\\re.ini"}), kExitFailed) << content;
    EXPECT_NE(out.str().find("Nächste Nummer:   #error#\n"), std::string::npos) << out.str();
    EXPECT_EQ(*files.Content("S:\\re.ini"), content);
  }
  EXPECT_EQ(files.Content(LogPath()).value_or(""), std::string(engine::kUsageLogHeader) + "\r\n")
      << "a refused draw issues nothing";
}

TEST_F(TrelvoTool, WrongCallsExitWithUsage) {
  for (const auto& args : std::vector<std::vector<std::string>>{
           {}, {"zaubern"}, {"draw", "--counter-file"}, {"status", "--app", "x"}, {"draw", "--verbose"}}) {
    EXPECT_EQ(Run(args), kExitUsage);
    EXPECT_NE(err.str().find("Aufruf: trelvo"), std::string::npos);
  }
  EXPECT_EQ(Run({"--help"}), kExitOk);
  EXPECT_NE(out.str().find("unlock"), std::string::npos);
}

// set-counter: never below a value already issued (the file's own counter
// or a number in its log), never while the range is locked; forward it sets
// the counter and records the change in the log.
TEST_F(TrelvoTool, SetCounterMovesOnlyForwardAndRecordsTheChange) {
  files.AddFolder(UserFolder());
  const std::string file = "[Zaehler]\r\nCounter=88\r\n[Optionen]\r\nTextBefore=\"RE-\"\r\n";
  files.SetFile("S:\\re.ini", file);
  files.SetFile(LogPath(), "SABU:$255;DATUM:@;ANWENDUNG:$255;BENUTZER:$255\r\n"
                           "\"RE-0092\"; 2024-03-05 10:00:00; \"Excel 11.0\"; \"mmuster\"; \r\n");
  const std::string log = *files.Content(LogPath());
  const struct {
    const char* value;
    int status;
    const char* told;
  } refused[] = {
      {"80", kExitFailed, "Der Zählerwert 80 liegt unter dem zuletzt vergebenen Wert 92 (Nummer 'RE-0092')"},
      {"91", kExitFailed, "unter dem zuletzt vergebenen Wert 92"},  // the log's number, beyond the file's counter
      {"zehn", kExitFailed, "keine ganze Zahl"},
  };
  for (const auto& c : refused) {
    EXPECT_EQ(Run({"set-counter", "--counter-file", "S:\\re.ini", c.value}), c.status) << c.value;
    EXPECT_NE(err.str().find(c.told), std::string::npos) << err.str();
    EXPECT_EQ(*files.Content("S:\\re.ini"), file) << "nothing changed";
    EXPECT_EQ(*files.Content(LogPath()), log);
  }
  EXPECT_EQ(Run({"set-counter", "--counter-file", "S:\\re.ini", "100"}), kExitOk) << err.str();
  EXPECT_EQ(out.str(), "Der Zähler steht auf 100 (vorher 88): 'S:\\re.ini'\n");
  EXPECT_NE(files.Content("S:\\re.ini")->find("Counter=100"), std::string::npos);
  EXPECT_EQ(*files.Content(LogPath()),
            log + "\"#Z\xE4hler gesetzt#\"; 2024-03-05 14:07:09; \"von 88 auf 100: re.ini\"; \"mmuster\"; \r\n");

  files.SetFile("S:\\re.ini", "[Zaehler]\r\nCounter=100\r\n[Locking]\r\nIsLocked=1\r\nLockedBy=\"admin\"\r\n");
  EXPECT_EQ(Run({"set-counter", "--counter-file", "S:\\re.ini", "120"}), kExitLocked);
  EXPECT_NE(files.Content("S:\\re.ini")->find("Counter=100"), std::string::npos);
  EXPECT_EQ(Run({"set-counter", "--counter-file", "S:\\re.ini"}), kExitUsage);

  // Drawn, set forward, drawn again: the audit finds the sequence complete,
  // the skipped values set by hand.
  files.RemoveFile(LogPath());
  files.SetFile("S:\\re.ini", "[Zaehler]\r\nCounter=0\r\n");
  for (int i = 0; i < 3; ++i) ASSERT_EQ(Run({"draw", "--counter-file", "S:\\re.ini"}), kExitOk);
  ASSERT_EQ(Run({"set-counter", "--counter-file", "S:\\re.ini", "10"}), kExitOk);
  ASSERT_EQ(Run({"draw", "--counter-file", "S:\\re.ini"}), kExitOk);
  EXPECT_EQ(Run({"audit", "--counter-file", "S:\\re.ini"}), 0) << out.str();
  EXPECT_NE(out.str().find("Zähler von 3 auf 10 gesetzt durch mmuster"), std::string::npos) << out.str();
}

}  // namespace
}  // namespace trelvo::cli
