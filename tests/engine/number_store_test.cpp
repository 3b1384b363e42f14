// Opening a counter-file path as its number store, and a counter file's
// store: its draws and refusals in the usage log, and the log's records.
#include "engine/number_store.h"

#include "engine/number_drawing.h"
#include "engine/usage_log.h"
#include "platform/forwarding_file_system.h"
#include "tests/engine/engine_fixture.h"

namespace trelvo::engine {
namespace {

using NumberStoreTest = EngineTest;

TEST_F(NumberStoreTest, ThePathsContentChoosesTheStoreWhenItIsOpened) {
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
    if (!c.refusal.empty()) {
      try {
        OpenCurrentNumberStore(env);
        FAIL() << c.content;
      } catch (const Error& error) {
        EXPECT_TRUE(std::string(error.what()).ends_with(c.refusal)) << error.what();
      }
      continue;
    }
    const auto store = OpenCurrentNumberStore(env);
    EXPECT_EQ(store->path(), CounterPath());
    EXPECT_EQ(store->Server() != nullptr, c.server) << c.content;
  }
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
  void AppendShared(const std::string& path, std::string_view header, std::string_view bytes) override {
    if (!bytes.empty()) throw platform::FileError(53, "Der Netzwerkpfad wurde nicht gefunden.");
    inner().AppendShared(path, header, bytes);
  }
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
