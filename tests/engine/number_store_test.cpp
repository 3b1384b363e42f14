// Opening a counter-file path as its number store, and a counter file's
// store: its draws and refusals in the usage log, and the log's records.
#include "engine/number_store.h"

#include "engine/number_drawing.h"
#include "engine/usage_log.h"
#include "platform/counting_file_system.h"
#include "platform/forwarding_file_system.h"
#include "tests/engine/engine_fixture.h"

namespace trelvo::engine {
namespace {

using NumberStoreTest = EngineTest;

// The first use of the store reads the path and chooses; a pointer without
// its range is refused then.
TEST_F(NumberStoreTest, ThePathsContentChoosesTheStoreOnItsFirstUse) {
  const struct {
    std::string content;
    bool server;
    std::string refusal;
  } cases[] = {
      {"", false, ""},
      {"[Zaehler]\r\nCounter=4\r\n", false, ""},
      {"[Server]\r\nConnection=Driver={PostgreSQL Unicode};\r\nRange=\"Firma A\"\r\n", true, ""},
      {"[Server]\r\nConnection=Driver={PostgreSQL Unicode};\r\n", false, "keinen Nummernkreis (Range)."},
  };
  for (const auto& c : cases) {
    WriteCounterFile(c.content);
    const auto store = OpenCurrentNumberStore(env);
    EXPECT_EQ(store->path(), CounterPath());
    if (!c.refusal.empty()) {
      try {
        store->Server();
        ADD_FAILURE() << c.content;
      } catch (const Error& error) {
        EXPECT_TRUE(std::string(error.what()).ends_with(c.refusal)) << error.what();
      }
      continue;
    }
    EXPECT_EQ(store->Server() != nullptr, c.server) << c.content;
  }
}

// The servers a test's draws would connect to; none answers.
class UnreachableServers : public platform::DatabaseConnector {
 public:
  std::vector<std::string> asked;
  std::unique_ptr<platform::SqlConnection> Connect(const std::string& connection_string) override {
    asked.push_back(connection_string);
    throw platform::DatabaseError(platform::DatabaseFailure::Unreachable, "08001", "Der Server antwortet nicht.");
  }
};

// An Insert on a path it has not read yet reads it once, under the draw's own
// lock, and knows there what it holds: a counter file draws at once, a
// pointer is let go unchanged and its server range draws.
TEST_F(NumberStoreTest, ADrawChoosesTheStoreFromTheContentItReadsUnderItsLock) {
  UnreachableServers servers;
  platform::Environment with_servers{fake.files, fake.system, fake.ui, servers};
  const struct {
    std::string content;
    bool server;
  } cases[] = {
      {"[Zaehler]\r\nCounter=41\r\n", false},
      {"[Server]\r\nConnection=Driver={PostgreSQL Unicode};\r\nRange=\"Firma A\"\r\n", true},
  };
  fake.files.SetFile(GetUsageLogPath(env), "SABU:$255;DATUM:@;ANWENDUNG:$255;BENUTZER:$255\r\n");
  for (const auto& c : cases) {
    WriteCounterFile(c.content);
    const auto before = fake.files.CountsFor(CounterPath());
    const auto store = OpenCurrentNumberStore(with_servers);
    if (c.server) {
      EXPECT_THROW(DrawUnderLock(with_servers, *store, "Excel 11.0"), Aborted);
      ASSERT_EQ(servers.asked.size(), 1u);
      EXPECT_EQ(servers.asked[0], "Driver={PostgreSQL Unicode};");
      EXPECT_EQ(CounterFileContent(), c.content);
      EXPECT_NE(store->Server(), nullptr) << "chosen by the draw, and kept";
    } else {
      EXPECT_EQ(DrawUnderLock(with_servers, *store, "Excel 11.0").number, "0042");
      EXPECT_EQ(store->Server(), nullptr);
    }
    EXPECT_EQ(fake.files.CountsFor(CounterPath()).opens - before.opens, 1) << c.content;
    EXPECT_EQ(fake.files.CountsFor(CounterPath()).writes - before.writes, c.server ? 0 : 1) << c.content;
  }
}

// A user's first draw finds no log: the path is read first, and only a
// counter file gets the log, created with its header before the draw.
TEST_F(NumberStoreTest, AMissingLogIsCreatedOnlyOnceThePathIsKnownToHoldACounterFile) {
  WriteCounterFile("[Zaehler]\r\nCounter=41\r\n");
  EXPECT_EQ(DrawUnderLock(env, *OpenCurrentNumberStore(env), "Excel 11.0").number, "0042");
  EXPECT_EQ(fake.files.Content(GetUsageLogPath(env)),
            "SABU:$255;DATUM:@;ANWENDUNG:$255;BENUTZER:$255\r\n"
            "\"0042\"; 2024-03-05 14:07:09; \"Excel 11.0\"; \"mmuster\"; \r\n");
  EXPECT_EQ(fake.files.CountsFor(CounterPath()).opens, 2) << "a read of its own, then the draw";
}

// The log is held by another workstation from before its draw until its
// record: a draw waits for it as for the counter file's lock, trying every
// millisecond, and past the wait refuses before the counter moves.
TEST_F(NumberStoreTest, ADrawWaitsForTheLogAsForTheLockAndThenRefuses) {
  WriteCounterFile("[Zaehler]\r\nCounter=41\r\n");
  const std::string log = GetUsageLogPath(env);
  fake.files.SetFile(log, "SABU:$255;DATUM:@;ANWENDUNG:$255;BENUTZER:$255\r\n");
  fake.files.HoldFile(log, 30);
  EXPECT_EQ(DrawUnderLock(env, *OpenCurrentNumberStore(env), "Excel 11.0").number, "0042");
  EXPECT_EQ(fake.files.waited(), std::chrono::milliseconds(30));

  fake.files.HoldFileForGood(log);
  try {
    DrawUnderLock(env, *OpenCurrentNumberStore(env), "Excel 11.0");
    ADD_FAILURE() << "drawn while the log was held";
  } catch (const Error& error) {
    EXPECT_TRUE(std::string(error.what()).starts_with("In die Protokolldatei '" + log + "' kann nicht geschrieben"))
        << error.what();
  }
  EXPECT_EQ(fake.files.waited(), std::chrono::milliseconds(30 + 5000));
  EXPECT_EQ(ReadCounterState(IniDocument(CounterFileContent())).counter, 42);
}

// A read-only pointer is read under the shared lock and draws from its server,
// creating no log; without a log the pointer's draw goes on, a counter file's
// is refused.
TEST_F(NumberStoreTest, APointerDrawsWhereACounterFileCouldNotWrite) {
  UnreachableServers servers;
  platform::Environment with_servers{fake.files, fake.system, fake.ui, servers};
  const std::string pointer = "[Server]\r\nConnection=Driver={PostgreSQL Unicode};\r\nRange=\"Firma A\"\r\n";
  WriteCounterFile(pointer);
  fake.files.SetReadOnly(CounterPath());
  EXPECT_THROW(DrawUnderLock(with_servers, *OpenCurrentNumberStore(with_servers), "Excel 11.0"), Aborted);
  EXPECT_EQ(servers.asked.size(), 1u);
  EXPECT_FALSE(fake.files.Content(GetUsageLogPath(env))) << "a pointer's draw creates no log";

  fake.files.SetReadOnly(GetUsageLogPath(env));
  EXPECT_THROW(DrawUnderLock(with_servers, *OpenCurrentNumberStore(with_servers), "Excel 11.0"), Aborted);
  EXPECT_EQ(servers.asked.size(), 2u);
  EXPECT_EQ(CounterFileContent(), pointer);

  WriteCounterFile("[Zaehler]\r\nCounter=41\r\n");
  try {
    DrawUnderLock(with_servers, *OpenCurrentNumberStore(with_servers), "Excel 11.0");
    ADD_FAILURE() << "drawn without a log";
  } catch (const Aborted&) {
    ADD_FAILURE() << "told in a box";
  } catch (const Error& error) {
    EXPECT_TRUE(std::string(error.what()).ends_with("Es wurde keine Nummer vergeben.")) << error.what();
  }
  EXPECT_EQ(CounterFileContent(), "[Zaehler]\r\nCounter=41\r\n");
}

// Every call of one Insert on the counter file and the log, as the Windows
// file system makes them: each file opened once, the counter file read once
// and written once (through to disk, so with no flush of its own), the record
// written through the log opened before the draw.
TEST_F(NumberStoreTest, AnInsertOpensTheCounterFileAndTheLogOnceEach) {
  WriteCounterFile("[Zaehler]\r\nCounter=41\r\n[Locking]\r\nIsLocked=0\r\nLockedBy=\"#nouser#\"\r\n");
  fake.files.SetFile(GetUsageLogPath(env), "SABU:$255;DATUM:@;ANWENDUNG:$255;BENUTZER:$255\r\n");
  platform::CountingFileSystem counting(fake.files);
  platform::Environment counted{counting, fake.system, fake.ui};
  EXPECT_EQ(DrawUnderLock(counted, *OpenCurrentNumberStore(counted), "Excel 11.0").number, "0042");

  using platform::FileCall;
  const auto counter = counting.CountsFor(CounterPath());
  const auto log = counting.CountsFor(GetUsageLogPath(env));
  const struct {
    FileCall call;
    long counter, log;
  } expected[] = {
      {FileCall::Open, 1, 1},   {FileCall::Lock, 1, 0},  {FileCall::Read, 1, 0},   {FileCall::Write, 1, 1},
      {FileCall::Resize, 0, 0}, {FileCall::Flush, 0, 0}, {FileCall::Unlock, 1, 0}, {FileCall::Query, 0, 0},
      {FileCall::Lookup, 0, 0}, {FileCall::Close, 1, 1},
  };
  for (const auto& e : expected) {
    EXPECT_EQ(counter[e.call], e.counter) << platform::FileCallName(e.call);
    EXPECT_EQ(log[e.call], e.log) << platform::FileCallName(e.call);
  }
  EXPECT_EQ(counter.Total() + log.Total(), 9);
}

// The draw's record and a refusal's go to the usage log, and come back typed;
// a line that holds no record comes back with the reason.
TEST_F(NumberStoreTest, ACounterFilesRecordsAreTheUsageLogsLines) {
  WriteCounterFile("[Zaehler]\r\nCounter=41\r\n");
  const auto store = OpenCurrentNumberStore(env);
  const DrawResult drawn = DrawUnderLock(env, *store, "Excel 11.0");
  EXPECT_EQ(drawn.number, "0042");
  EXPECT_FALSE(drawn.unrecorded);
  store->RecordRefusal("Word 11.0");
  fake.files.SetFile(GetUsageLogPath(env), *fake.files.Content(GetUsageLogPath(env)) + "kaputt\r\n");

  std::vector<StoredEntry> entries;
  store->ForEachRecord([&](const StoredEntry& entry) { entries.push_back(entry); });
  ASSERT_EQ(entries.size(), 3u);
  ASSERT_TRUE(entries[0].record && entries[1].record);
  EXPECT_EQ(entries[0].place, 2u) << "the log's line number, after its header";
  EXPECT_EQ(entries[0].record->number, "0042");
  EXPECT_EQ(entries[0].record->date, "2024-03-05");
  EXPECT_EQ(entries[0].record->time, "14:07:09");
  EXPECT_EQ(entries[0].record->application, "Excel 11.0");
  EXPECT_EQ(entries[0].record->user, "mmuster");
  EXPECT_EQ(entries[1].record->number, kLockedMarker);
  EXPECT_FALSE(entries[2].record);
  EXPECT_FALSE(entries[2].problem.empty());
}

// A log that takes the check before the draw and refuses the record after it
// (the share gone in between).
class RecordRefusingFiles : public platform::ForwardingFileSystem {
 public:
  using ForwardingFileSystem::ForwardingFileSystem;
  std::unique_ptr<platform::AppendingFile> OpenAppending(const std::string& path, std::string_view header,
                                                         bool create, std::chrono::milliseconds wait) override {
    if (!inner().OpenAppending(path, header, create, wait)) return nullptr;
    return std::make_unique<RefusingLog>();
  }

 private:
  class RefusingLog : public platform::AppendingFile {
   public:
    void Append(std::string_view) override {
      throw platform::FileError(53, "Der Netzwerkpfad wurde nicht gefunden.");
    }
  };
};

// A record that cannot be appended after the draw does not undo the number:
// it stands, and the reason comes with it.
TEST_F(NumberStoreTest, ARecordThatFailsAfterTheDrawComesWithTheNumber) {
  WriteCounterFile("[Zaehler]\r\nCounter=41\r\n");
  RecordRefusingFiles files(fake.files);
  platform::Environment refusing{files, fake.system, fake.ui};
  const DrawResult drawn = DrawUnderLock(refusing, *OpenCurrentNumberStore(refusing), "Excel 11.0");
  EXPECT_TRUE(drawn.issued);
  EXPECT_EQ(drawn.number, "0042");
  ASSERT_TRUE(drawn.unrecorded);
  EXPECT_EQ(*drawn.unrecorded, "E/A-Fehler 53 beim Schreiben der Protokolldatei '" + GetUsageLogPath(env) +
                                   "': Der Netzwerkpfad wurde nicht gefunden.");
  EXPECT_EQ(ReadCounterState(IniDocument(CounterFileContent())).counter, 42);
}

}  // namespace
}  // namespace trelvo::engine
