// Office loads Trelvo.dll at every start, also in offices that keep no range
// on a server: its start leaves the ODBC driver manager out, and the first
// draw from a range on a server loads it. Each in a process of the simulated
// Excel's own (office_modules_probe), as the test's program may have loaded
// it already.
#include "tests/frame/office_fixture.h"
#include "tests/support/scratch_server.h"

namespace trelvo {
namespace {

// What the probe reports of the simulated Excel 11.0's start and an Insert.
std::string StartAndInsertInAProcessOfItsOwn() {
  const std::string report = testing::MakeTempFolder() + "modules.txt";
  EXPECT_EQ(testing::StartChild(testing::SiblingProgram("office_modules_probe"), {report, "--insert"})->Wait(), 0);
  std::ifstream in(report, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST_F(OfficeLoadsTrelvo, WithACounterFileNeitherTheStartNorAnInsertLoadsTheDriverManager) {
  const UserSettings settings;
  EXPECT_EQ(StartAndInsertInAProcessOfItsOwn(),
            "start: Trelvo.dll loaded, odbc32.dll not loaded\n"
            "insert 0042: Trelvo.dll loaded, odbc32.dll not loaded\n");
}

TEST_F(OfficeLoadsTrelvo, TheFirstDrawFromARangeOnAServerLoadsTheDriverManager) {
  const UserSettings settings;
  const std::string connection = testing::ScratchServerConnection();
  ASSERT_FALSE(connection.empty()) << "no scratch server: run the tests through CTest";
  // The user's counter file points at a fresh range, moved there from the
  // counter file of the settings (Counter=41).
  const std::string pointer = settings.folder + "server.ini";
  std::ofstream(pointer, std::ios::binary)
      << "[Server]\r\nConnection=" << connection << "\r\nRange=\"" << testing::FreshRangeName("Treiber") << "\"\r\n";
  std::ofstream((UserFolder() + L"\\trelvo.ini").c_str(), std::ios::binary)
      << "[Pfade]\r\nCounterFile=\"" << pointer << "\"\r\nLogPath=\"" << settings.folder << "\"\r\n";
  ASSERT_EQ(testing::StartChild(testing::ProgramFolder() + "trelvo.exe",
                                {"server-init", "--counter-file", pointer, "--from", settings.counter})
                ->Wait(),
            0);
  EXPECT_EQ(StartAndInsertInAProcessOfItsOwn(),
            "start: Trelvo.dll loaded, odbc32.dll not loaded\n"
            "insert 0042: Trelvo.dll loaded, odbc32.dll loaded\n");
}

}  // namespace
}  // namespace trelvo
