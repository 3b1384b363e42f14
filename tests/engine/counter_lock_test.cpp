// The advisory lock in the counter file.
#include "engine/counter_lock.h"

#include "tests/engine/engine_fixture.h"

namespace trelvo::engine {
namespace {

using CounterLock = EngineTest;

struct OwnerCase {
  const char* locking_section;
  const char* expected_owner;
};

TEST_F(CounterLock, OwnerFollowsIsLockedAndLockedBy) {
  const OwnerCase cases[] = {
      {"", "#nouser#"},
      {"IsLocked=0\r\nLockedBy=\"mmuster\"\r\n", "#nouser#"},
      {"IsLocked=1\r\nLockedBy=\"#nouser#\"\r\n", "#nouser#"},
      {"IsLocked=1\r\n", "Unbekannt"},
      {"IsLocked=1\r\nLockedBy=\"#NOUSER#\"\r\n", "#NOUSER#"},
      {"IsLocked=1\r\nLockedBy=\"\"\r\n", ""},
      {"IsLocked=ja\r\nLockedBy=\"x\"\r\n", "#nouser#"},
  };
  for (const auto& c : cases) {
    WriteCounterFile(std::string("[Locking]\r\n") + c.locking_section);
    EXPECT_EQ(QueryLockOwner(env), c.expected_owner) << c.locking_section;
    EXPECT_EQ(IsLockHolder(c.expected_owner), std::string(c.expected_owner) != "#nouser#");
  }
  fake.files.RemoveFile(CounterPath());
  EXPECT_EQ(QueryLockOwner(env), "#nouser#");
}

// The lock says who holds it, where and since when, so that a lock a dead
// dialog left behind can be told from a live one; freed, it names nobody.
TEST_F(CounterLock, AcquireOverwritesAnyHolderAndCreatesAMissingFile) {
  AcquireLock(env);
  EXPECT_EQ(CounterFileContent(), "[Locking]\r\nIsLocked=1\r\nLockedBy=\"mmuster\"\r\nLockedOn=\"BUERO-PC1\"\r\n"
                                  "LockedAt=\"2024-03-05 14:07\"\r\n");
  EXPECT_EQ(LockPlaceIn(IniDocument(CounterFileContent())), " an BUERO-PC1 seit 05.03.2024 14:07");
  EXPECT_EQ(LockMessage(CounterPath(), "mmuster", LockPlaceIn(IniDocument(CounterFileContent()))),
            "Die Datei 'sabu_counter.ini' wird zur Zeit durch den Benutzer 'mmuster' an BUERO-PC1 seit 05.03.2024 "
            "14:07 bearbeitet \r\nund ist daher gesperrt. Bitten Sie den Benutzer, den Trelvo Dialog Optionen\r\n"
            "zu schließen oder probieren Sie es später erneut, damit die Sperre aufgehoben wird.");
  ReleaseLock(env);
  EXPECT_EQ(LockPlaceIn(IniDocument(CounterFileContent())), "");
  AcquireLock(env);
  fake.system.user = "admin";
  AcquireLock(env);
  EXPECT_EQ(QueryLockOwner(env), "admin");
}

TEST_F(CounterLock, ReleaseFreesTheFileWhoeverHoldsIt) {
  WriteCounterFile("[Zaehler]\r\nCounter=5\r\n[Locking]\r\nIsLocked=1\r\nLockedBy=\"admin\"\r\n");
  ReleaseLock(env);
  EXPECT_EQ(CounterFileContent(), "[Zaehler]\r\nCounter=5\r\n[Locking]\r\nIsLocked=0\r\nLockedBy=\"#nouser#\"\r\n");
  EXPECT_TRUE(fake.ui.shown.empty());
}

// The administrator's Options dialog neither takes nor frees the lock of a
// file whose range moved to a server.
TEST_F(CounterLock, AFileMovedToAServerKeepsItsLock) {
  const std::string content = "[Locking]\r\nIsLocked=1\r\nLockedBy=\"Auf den Server umgezogen: Nummernkreis A\"\r\n";
  WriteCounterFile(content);
  for (const auto& change : {+[](platform::Environment& e) { AcquireLock(e); },
                             +[](platform::Environment& e) { ReleaseLock(e); }}) {
    EXPECT_THROW(change(env), Error);
    EXPECT_EQ(CounterFileContent(), content);
  }
}

TEST_F(CounterLock, ReleaseOfADeletedFileTellsTheUserAndCreatesNothing) {
  ReleaseLock(env);
  ExpectOneErrorBox("Die Locking Informationen konnten nicht zurückgesetzt werden!");
  EXPECT_FALSE(fake.files.FileExists(CounterPath()));
}

TEST_F(CounterLock, LockMessageNamesFileAndHolderInQuotes) {
  EXPECT_EQ(LockMessage("S:\\Zähler\\re.ini", "o'brien"),
            "Die Datei 're.ini' wird zur Zeit durch den Benutzer 'o''brien' bearbeitet \r\n"
            "und ist daher gesperrt. Bitten Sie den Benutzer, den Trelvo Dialog Optionen\r\n"
            "zu schließen oder probieren Sie es später erneut, damit die Sperre aufgehoben wird.");
}

TEST_F(CounterLock, AFileHeldByAnotherWorkstationBeyondTheWaitIsReportedOnce) {
  WriteCounterFile("[Locking]\r\nIsLocked=0\r\n");
  fake.files.HoldFileForGood(CounterPath());
  EXPECT_THROW(AcquireLock(env), Aborted);
  ExpectOneErrorBox(
      "Die Zählerdatei 'sabu_counter.ini' ist zur Zeit durch einen anderen Arbeitsplatz belegt.\r\n"
      "Bitte probieren Sie es in einigen Sekunden erneut.");
  EXPECT_EQ(CounterFileContent(), "[Locking]\r\nIsLocked=0\r\n");
}

TEST_F(CounterLock, RefusedWriteRaisesTheIniMessage) {
  WriteCounterFile("[Locking]\r\nIsLocked=0\r\n");
  fake.files.SetReadOnly(CounterPath());
  try {
    AcquireLock(env);
    FAIL() << "the write was refused";
  } catch (const Error& error) {
    EXPECT_EQ(std::string(error.what()), "In '" + CounterPath() + "' kann nicht geschrieben werden");
  }
}

}  // namespace
}  // namespace trelvo::engine
