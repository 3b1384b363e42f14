// Previewing and drawing numbers, alone and as one atomic step under the lock.
#include "engine/number_drawing.h"

#include "engine/counter_lock.h"
#include "engine/usage_log.h"
#include "tests/engine/engine_fixture.h"

namespace trelvo::engine {
namespace {

class NumberDrawing : public EngineTest {
 protected:
  // Every way of refusing a file: the preview shows "#error#" and both draws
  // refuse, each after the same error box; nothing is written.
  void ExpectRefusedEverywhere(const std::string& content, const std::string& message) {
    WriteCounterFile(content);
    fake.ui.shown.clear();
    const int writes_before = fake.files.CountsFor(CounterPath()).writes;
    EXPECT_EQ(PreviewNextNumber(env), "#error#") << content;
    EXPECT_THROW(DrawUnderLock(env), Aborted) << content;
    EXPECT_THROW(DrawNextNumber(env), Aborted) << content;
    EXPECT_EQ(CounterFileContent(), content);
    EXPECT_EQ(fake.files.CountsFor(CounterPath()).writes, writes_before);
    ASSERT_EQ(fake.ui.shown.size(), 3u) << content;
    for (const auto& shown : fake.ui.shown) {
      EXPECT_EQ(shown.kind, platform::MessageKind::Error);
      EXPECT_EQ(shown.text, message) << content;
    }
  }
};

TEST_F(NumberDrawing, PreviewAndDrawShowTheSameNextNumber) {
  WriteCounterFile("[Zaehler]\r\nCounter=41\r\n");
  EXPECT_EQ(PreviewNextNumber(env), "0042");
  EXPECT_EQ(PreviewNextNumber(env), "0042");
  EXPECT_EQ(DrawNextNumber(env), "0042");
  EXPECT_EQ(CounterFileContent(), "[Zaehler]\r\nCounter=42\r\n");
  EXPECT_EQ(PreviewNextNumber(env), "0043");
  EXPECT_TRUE(fake.ui.shown.empty());
}

struct StepCase {
  const char* file;
  const char* first;
  const char* second;
  int32_t stored_after_two;
};

TEST_F(NumberDrawing, TheIncrementStepsTheCounter) {
  const StepCase cases[] = {
      {"[Zaehler]\r\nCounter=100\r\nIncrement=10\r\n", "0110", "0120", 120},
      {"[Zaehler]\r\nCounter=0x10\r\nIncrement=$2\r\n", "0018", "0020", 20},
      {"[Zaehler]\r\nIncrement=5\r\n", "0005", "0010", 10},
      {"[Zaehler]\r\nCounter=2147483645\r\n", "2147483646", "2147483647", 2147483647},
  };
  for (const auto& c : cases) {
    WriteCounterFile(c.file);
    EXPECT_EQ(DrawUnderLock(env).number, c.first) << c.file;
    EXPECT_EQ(DrawNextNumber(env), c.second) << c.file;
    EXPECT_EQ(IniDocument(CounterFileContent()).ReadInteger("Zaehler", "Counter", -1), c.stored_after_two);
  }
}

TEST_F(NumberDrawing, FormatOptionsAreComposedWithTodaysDate) {
  WriteCounterFile(
      "[Zaehler]\r\nCounter=41\r\n[Optionen]\r\nTextBefore=\"RE\"\r\nPrefix=3\r\nSep=2\r\n"
      "TextAfter=\"-\"\r\nTextCounter=\"/K\"\r\nPadding=5\r\nLeadingText=1\r\n");
  EXPECT_EQ(PreviewNextNumber(env), "/K000042RE2024-03-");
  EXPECT_EQ(DrawUnderLock(env).number, "/K000042RE2024-03-");
}

TEST_F(NumberDrawing, PreviewOfALockedFileGivesTheMarkerAndTheLockMessage) {
  WriteCounterFile("[Zaehler]\r\nCounter=41\r\n[Locking]\r\nIsLocked=1\r\nLockedBy=\"mmuster\"\r\n");
  const std::string before = CounterFileContent();
  EXPECT_EQ(PreviewNextNumber(env), "#ini gesperrt#");
  ExpectOneErrorBox(LockMessage(CounterPath(), "mmuster"));
  EXPECT_EQ(CounterFileContent(), before);
}

TEST_F(NumberDrawing, DrawWithoutTheProtocolIgnoresTheLock) {
  WriteCounterFile("[Zaehler]\r\nCounter=41\r\n[Locking]\r\nIsLocked=1\r\nLockedBy=\"admin\"\r\n");
  EXPECT_EQ(DrawNextNumber(env), "0042");
  EXPECT_EQ(QueryLockOwner(env), "admin");
}

TEST_F(NumberDrawing, DrawUnderTheLockRefusesALockedFileAndWritesNothing) {
  WriteCounterFile("[Zaehler]\r\nCounter=41\r\n[Locking]\r\nIsLocked=1\r\nLockedBy=\"admin\"\r\n");
  const std::string before = CounterFileContent();
  const DrawResult result = DrawUnderLock(env);
  EXPECT_FALSE(result.issued);
  EXPECT_EQ(result.holder, "admin");
  EXPECT_TRUE(result.number.empty());
  EXPECT_EQ(CounterFileContent(), before);
  EXPECT_EQ(fake.files.CountsFor(CounterPath()).writes, 0);
  EXPECT_TRUE(fake.ui.shown.empty());  // the caller reports a refusal its own way
}

TEST_F(NumberDrawing, DrawUnderTheLockLeavesTheFileFreeInOneOpenAndOneWrite) {
  WriteCounterFile("[Zaehler]\r\nCounter=41\r\n[Locking]\r\nIsLocked=1\r\nLockedBy=\"#nouser#\"\r\n");
  // The draw learns what the path holds from its own read: opening the store
  // and drawing is one open, where the usage log is there already.
  fake.files.SetFile(GetUsageLogPath(env), "SABU:$255;DATUM:@;ANWENDUNG:$255;BENUTZER:$255\r\n");
  const auto opened = fake.files.CountsFor(CounterPath());
  const DrawResult result = DrawUnderLock(env, *OpenCurrentNumberStore(env));
  EXPECT_TRUE(result.issued);
  EXPECT_EQ(result.number, "0042");
  EXPECT_EQ(CounterFileContent(), "[Zaehler]\r\nCounter=42\r\n[Locking]\r\nIsLocked=0\r\nLockedBy=\"#nouser#\"\r\n");
  EXPECT_EQ(fake.files.CountsFor(CounterPath()).opens - opened.opens, 1);
  EXPECT_EQ(fake.files.CountsFor(CounterPath()).writes - opened.writes, 1);
}

TEST_F(NumberDrawing, ADrawFromAMissingFileCreatesItWithTheLockEntriesAndCounterOne) {
  EXPECT_EQ(PreviewNextNumber(env), "0001");
  EXPECT_FALSE(fake.files.FileExists(CounterPath()));
  EXPECT_EQ(DrawUnderLock(env).number, "0001");
  EXPECT_EQ(CounterFileContent(), "[Locking]\r\nIsLocked=0\r\nLockedBy=\"#nouser#\"\r\n[Zaehler]\r\nCounter=1\r\n");
}

TEST_F(NumberDrawing, ACounterThatWouldLeaveThe32BitRangeIsRefusedAlsoByThePreview) {
  ExpectRefusedEverywhere("[Zaehler]\r\nCounter=2147483647\r\n",
                          "Der Zähler in 'sabu_counter.ini' kann nicht weiter erhöht werden.");
}

// A value that reads as its default would restart the range; an increment
// below 1 would issue the same or older numbers again.
TEST_F(NumberDrawing, ACounterOrIncrementThatIsNoTrustworthyNumberIsRefused) {
  const std::string counter_rule = "eine ganze Zahl von 0 bis 2147483647";
  const std::string increment_rule = "eine ganze Zahl ab 1";
  const struct {
    const char* key;
    const char* value;
    const std::string& rule;
  } cases[] = {
      {"Counter", "abc", counter_rule},    {"Counter", "99999999999", counter_rule}, {"Counter", "1.500", counter_rule},
      {"Counter", "\"41\"", counter_rule}, {"Counter", "41 ; Notiz", counter_rule},  {"Counter", "", counter_rule},
      {"Counter", "-4", counter_rule},     {"Counter", "$FFFFFFFF", counter_rule},   {"Increment", "0", increment_rule},
      {"Increment", "-1", increment_rule}, {"Increment", "zehn", increment_rule},    {"Increment", "", increment_rule},
  };
  for (const auto& c : cases) {
    const std::string message = "Die Zählerdatei '" + CounterPath() + "' enthält unter [Zaehler] bei " + c.key +
                                " den ungültigen Wert '" + c.value + "'.\r\nErlaubt ist " + c.rule +
                                ". Es wurde keine Nummer vergeben.";
    ExpectRefusedEverywhere(std::string("[Zaehler]\r\n") + c.key + "=" + c.value + "\r\n", message);
  }
}

// Notepad saves with the UTF-8 mark: such a file is read, not taken for a new one.
TEST_F(NumberDrawing, AFileWithTheUtf8MarkDrawsOnAndKeepsItsMark) {
  WriteCounterFile("\xEF\xBB\xBF[Zaehler]\r\nCounter=41\r\n[Optionen]\r\nTextBefore=\"Ü-\"\r\n");
  EXPECT_EQ(PreviewNextNumber(env), "Ü-0042");
  EXPECT_EQ(DrawUnderLock(env).number, "Ü-0042");
  EXPECT_EQ(CounterFileContent(),
            "\xEF\xBB\xBF[Zaehler]\r\nCounter=42\r\n[Optionen]\r\nTextBefore=\"Ü-\"\r\n"
            "[Locking]\r\nIsLocked=0\r\nLockedBy=\"#nouser#\"\r\n");
}

TEST_F(NumberDrawing, AFileWithNulBytesIsNoCounterFileAndIsNeverWritten) {
  const std::string utf16("\xFF\xFE[\0Z\0a\0e\0h\0l\0e\0r\0]\0", 20);
  WriteCounterFile(utf16);
  const std::string message = "Die Datei '" + CounterPath() +
                              "' ist keine Zählerdatei: Sie enthält Binärdaten. Es wurde keine Nummer vergeben, "
                              "und die Datei bleibt unverändert.";
  for (const auto& attempt :
       std::vector<std::function<void()>>{[&] { PreviewNextNumber(env); }, [&] { DrawUnderLock(env); },
                                          [&] { DrawNextNumber(env); }, [&] { AcquireLock(env); }}) {
    try {
      attempt();
      ADD_FAILURE() << "not refused";
    } catch (const Error& error) {
      EXPECT_EQ(error.what(), message);
    }
  }
  EXPECT_EQ(CounterFileContent(), utf16);
  EXPECT_EQ(fake.files.CountsFor(CounterPath()).writes, 0);
}

TEST_F(NumberDrawing, MessageBoxesWaitUntilTheCounterFileIsClosed) {
  // A modal box under the file's lock would keep every other workstation waiting for the user.
  int shown_while_open = 0;
  fake.ui.on_show = [&](const platform::Message&) { shown_while_open += fake.files.open_now(); };
  WriteCounterFile("[Zaehler]\r\nCounter=2147483647\r\n");
  EXPECT_THROW(DrawUnderLock(env), Aborted);
  EXPECT_THROW(DrawNextNumber(env), Aborted);
  WriteCounterFile("[Locking]\r\nIsLocked=1\r\nLockedBy=\"admin\"\r\n");
  EXPECT_EQ(PreviewNextNumber(env), "#ini gesperrt#");
  fake.files.HoldFileForGood(CounterPath());
  EXPECT_THROW(DrawUnderLock(env), Aborted);
  EXPECT_EQ(fake.ui.shown.size(), 4u);
  EXPECT_EQ(shown_while_open, 0);
}

TEST_F(NumberDrawing, ARefusedWriteIssuesNothingAndNamesTheFile) {
  WriteCounterFile("[Zaehler]\r\nCounter=41\r\n");
  fake.files.SetReadOnly(CounterPath());
  EXPECT_THROW(DrawUnderLock(env), Error);
  EXPECT_EQ(CounterFileContent(), "[Zaehler]\r\nCounter=41\r\n");
  try {
    DrawUnderLock(env, *OpenNumberStore(env, "C:\\Nirgendwo\\sabu_counter.ini"));
    FAIL() << "the folder is missing";
  } catch (const Error& error) {
    EXPECT_EQ(std::string(error.what()), "In 'C:\\Nirgendwo\\sabu_counter.ini' kann nicht geschrieben werden");
  }
}

struct ValidateCase {
  const char* text;
  std::optional<int32_t> expected;
};

TEST_F(NumberDrawing, ValidateCounterTextAcceptsWholeNumbersOnly) {
  const ValidateCase cases[] = {
      {"12", 12},
      {" 12", 12},
      {"12 ", std::nullopt},
      {"-5", -5},
      {"$1F", 31},
      {"x1f", 31},
      {"0X1F", 31},
      {"2147483647", 2147483647},
      {"2147483648", std::nullopt},
      {"", std::nullopt},
      {"-", std::nullopt},
      {"$", std::nullopt},
      {"$123456789", std::nullopt},
      {"1.000", std::nullopt},
  };
  for (const auto& c : cases) {
    fake.ui.shown.clear();
    EXPECT_EQ(ValidateCounterText(env, c.text), c.expected) << c.text;
    EXPECT_EQ(fake.ui.shown.size(), c.expected ? 0u : 1u) << c.text;
  }
  fake.ui.shown.clear();
  ValidateCounterText(env, "");
  ExpectOneErrorBox(
      " ist keine gültige Trelvo-Ganzzahl. Geben Sie im Feld \r\n"
      "\"Nächster Zähler\" eine Zahl von 1 bis 999.999.999 ein.");
}

// A counter that restarts each year: the first draw of a later year starts
// again from the increment and closes the year before with its last
// counter; a clock behind never draws into a closed year.
TEST_F(NumberDrawing, AYearlyRestartStartsANewYearAndNeverGoesBack) {
  WriteCounterFile(
      "[Zaehler]\r\nCounter=142\r\nPeriod=2026\r\n[Optionen]\r\nTextBefore=\"RE-\"\r\nPrefix=1\r\nTextAfter=\"-\"\r\nRestart=1\r\n");
  const struct {
    platform::LocalDateTime now;
    const char* number;
  } draws[] = {{{2026, 12, 30, 9, 0, 0}, "RE-2026-0143"},
               {{2027, 1, 4, 8, 0, 0}, "RE-2027-0001"},
               {{2027, 1, 4, 8, 1, 0}, "RE-2027-0002"},
               {{2026, 12, 31, 17, 0, 0}, "RE-2027-0003"}};
  for (const auto& draw : draws) {
    fake.system.now = draw.now;
    EXPECT_EQ(PreviewNextNumber(env), draw.number);
    EXPECT_EQ(DrawUnderLock(env).number, draw.number);
  }
  const IniDocument file(CounterFileContent());
  EXPECT_EQ(file.ReadInteger("Zaehler", "Counter", -1), 3);
  EXPECT_EQ(file.ReadString("Zaehler", "Period", ""), "2027");
  EXPECT_EQ(file.ReadString("Zaehler", "ClosedPeriod", ""), "2026");
  EXPECT_EQ(file.ReadInteger("Zaehler", "ClosedCounter", -1), 143);

  // A file without a period yet takes its first draw's; monthly restarts by the month.
  WriteCounterFile("[Zaehler]\r\nCounter=7\r\n[Optionen]\r\nPrefix=3\r\nSep=3\r\nRestart=2\r\n");
  fake.system.now = {2027, 3, 31, 9, 0, 0};
  EXPECT_EQ(DrawUnderLock(env).number, "2027/030008");
  fake.system.now = {2027, 4, 1, 9, 0, 0};
  EXPECT_EQ(DrawUnderLock(env).number, "2027/040001");
  EXPECT_EQ(IniDocument(CounterFileContent()).ReadString("Zaehler", "ClosedPeriod", ""), "2027-03");
}

TEST_F(NumberDrawing, ARestartTheNumbersCannotShowIsRefused) {
  const std::string path = "'sabu_counter.ini'";
  ExpectRefusedEverywhere("[Zaehler]\r\nCounter=5\r\n[Optionen]\r\nRestart=1\r\n",
                          "Die Zählerdatei " + path +
                              " soll ihren Zähler mit jedem neuen Jahr neu beginnen, ihre Nummern zeigen aber kein "
                              "Jahr: sie würden sich wiederholen. Wählen Sie einen Datumsteil mit Jahr oder lassen "
                              "Sie den Zähler weiterlaufen.");
  ExpectRefusedEverywhere("[Zaehler]\r\nCounter=5\r\n[Optionen]\r\nPrefix=1\r\nRestart=2\r\n",
                          "Die Zählerdatei " + path +
                              " soll ihren Zähler mit jedem neuen Monat neu beginnen, ihre Nummern zeigen aber keinen "
                              "Monat: sie würden sich wiederholen. Wählen Sie einen Datumsteil mit Jahr und Monat.");
}

}  // namespace
}  // namespace trelvo::engine
