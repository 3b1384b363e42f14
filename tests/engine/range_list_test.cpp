// The range list file: splitting entries and finding a range by its name.
#include "engine/range_list.h"

#include "tests/engine/engine_fixture.h"

namespace trelvo::engine {
namespace {

using RangeList = EngineTest;

TEST(RangeListLine, NameAndPathSplitAtTheFirstBar) {
  EXPECT_EQ(GetRangeName("Firma A|S:\\a.ini"), "Firma A");
  EXPECT_EQ(GetRangePath("Firma A|S:\\a.ini"), "S:\\a.ini");
  EXPECT_EQ(GetRangeName("S:\\ohne.ini"), "");
  EXPECT_EQ(GetRangePath("S:\\ohne.ini"), "S:\\ohne.ini");
  EXPECT_EQ(GetRangePath("A|S:\\x|y.ini"), "S:\\x|y.ini");
  EXPECT_EQ(GetRangeName("|p"), "");
}

TEST_F(RangeList, FindRangePathTakesTheFirstExactMatch) {
  fake.files.SetFile(fake.UserFolder() + "nummernkreise.txt",
                     "S:\\ohne.ini\r\nFirma A|S:\\a1.ini\nfirma a|S:\\klein.ini\rFirma A|S:\\a2.ini\r\n"
                     "Leer |S:\\leer.ini\r\nZ\xE4hler|S:\\z.ini");
  struct Case {
    const char* name;
    const char* path;
  };
  const Case cases[] = {{"Firma A", "S:\\a1.ini"}, {"firma a", "S:\\klein.ini"}, {"Leer", ""},
                        {"Leer ", "S:\\leer.ini"}, {"Zähler", "S:\\z.ini"},      {"Fehlt", ""}};
  for (const auto& c : cases) EXPECT_EQ(FindRangePath(env, c.name), c.path) << c.name;
  EXPECT_EQ(ReadRangeList(env).size(), 6u);
}

TEST_F(RangeList, AnEmptyFileIsAnEmptyList) {
  fake.files.SetFile(fake.UserFolder() + "nummernkreise.txt", "");
  EXPECT_TRUE(ReadRangeList(env).empty());
  EXPECT_EQ(FindRangePath(env, "Firma A"), "");
}

TEST_F(RangeList, AMissingFileFailsWithItsPath) {
  try {
    FindRangePath(env, "Firma A");
    FAIL() << "the file is missing";
  } catch (const Error& error) {
    EXPECT_TRUE(std::string(error.what())
                    .starts_with("Datei '" + fake.UserFolder() + "nummernkreise.txt' kann nicht geöffnet werden. "));
  }
}

}  // namespace
}  // namespace trelvo::engine
