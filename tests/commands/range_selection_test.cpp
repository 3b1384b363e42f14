// The range selectors: the ribbon's list from the range list file, and what
// picking a name in the toolbar or the ribbon does to the settings file.
#include "commands/range_selection.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "engine/range_list.h"
#include "engine/settings.h"
#include "platform/fake/fake_system.h"

namespace trelvo::commands {
namespace {

constexpr char kDropDownId[] = "oaxRibbonDropDown7CEA2879B244448598BE252E620F105A";

class RangeSelection : public ::testing::Test {
 protected:
  platform::FakeEnvironment fake;
  ribbon::Ribbon ribbon;
  ribbon::RibbonTab& tab = ribbon.AddTab("Tab", ribbon::kDefaultRibbons);
  ribbon::RibbonControl& drop_down =
      tab.Controls()->Add<ribbon::RibbonGroup>("Group").Controls()->Add<ribbon::RibbonDropDown>(kDropDownId);

  std::string RangeList() const { return fake.UserFolder() + "nummernkreise.txt"; }
  std::string Settings() { return fake.files.Content(engine::GetSettingsFilePath(fake.env)).value_or("<keine>"); }
  std::vector<std::string> Items() const {
    std::vector<std::string> items;
    for (const auto& item : *drop_down.Items()) items.push_back(item->id() + " = " + item->caption());
    return items;
  }
  std::vector<std::string> Shown() const {
    std::vector<std::string> texts;
    for (const auto& message : fake.ui.shown) texts.push_back(message.text);
    return texts;
  }
};

TEST_F(RangeSelection, AMissingRangeListIsCreatedEmptyAndTheListHoldsTheDefaultOnly) {
  FillRibbonRangeList(fake.env, drop_down);
  EXPECT_EQ(fake.files.Content(RangeList()), "");
  EXPECT_THAT(Items(), testing::ElementsAre(std::string(kDropDownId) + "_(Standard Zähler) = (Standard Zähler)"));
}

TEST_F(RangeSelection, TheListHoldsTheNamesOfTheRangeListInFileOrder) {
  fake.files.SetFile(RangeList(),
                     "Nord|C:\\Daten\\nord.ini\r\nS\xFC"
                     "d|C:\\Daten\\sued.ini\r\n");
  drop_down.Items()->Add<ribbon::RibbonItem>("alt").SetCaption("alt");
  FillRibbonRangeList(fake.env, drop_down);
  EXPECT_THAT(Items(),
              testing::ElementsAre(std::string(kDropDownId) + "_(Standard Zähler) = (Standard Zähler)",
                                   std::string(kDropDownId) + "_Nord = Nord", std::string(kDropDownId) + "_Süd = Süd"));
}

TEST_F(RangeSelection, APickedNameWhoseFileExistsBecomesTheCounterFile) {
  fake.files.SetFile(RangeList(), "Nord|  C:\\Daten\\nord.ini \t\r\nWest|C:\\Daten\\west.ini\r\n");
  fake.files.SetFile("C:\\Daten\\nord.ini", "[Zaehler]\r\n");
  fake.files.SetFile("C:\\Daten\\west.ini", "[Zaehler]\r\n");
  SelectRangeByName(fake.env, "Nord");  // the ribbon trims the path
  EXPECT_EQ(engine::GetCounterFilePath(fake.env), "C:\\Daten\\nord.ini");
  SelectToolbarRange(fake.env, "West");
  EXPECT_EQ(engine::GetCounterFilePath(fake.env), "C:\\Daten\\west.ini");
  EXPECT_THAT(Shown(), testing::IsEmpty());
}

TEST_F(RangeSelection, TheDefaultNameNeverWritesTheSettings) {
  fake.files.SetFile(RangeList(), "(Standard Zähler)|C:\\Daten\\nord.ini\r\n");
  fake.files.SetFile("C:\\Daten\\nord.ini", "[Zaehler]\r\n");
  const std::string before = Settings();
  SelectRangeByName(fake.env, "(Standard Zähler)");
  SelectToolbarRange(fake.env, "(Standard Zähler)");
  EXPECT_EQ(Settings(), before);
  EXPECT_THAT(Shown(), testing::IsEmpty());
}

TEST_F(RangeSelection, MissingFilesAndNamesAreToldAsEachSelectorDoes) {
  fake.files.SetFile(RangeList(), "Ost|C:\\O'Neil\\ost.ini\r\n");
  SelectRangeByName(fake.env, "Ost");
  SelectToolbarRange(fake.env, "Ost");
  SelectRangeByName(fake.env, "Weg");  // the ribbon says nothing of a name without path
  SelectToolbarRange(fake.env, "Weg");
  EXPECT_THAT(Shown(), testing::ElementsAre("Die Datei 'C:\\O''Neil\\ost.ini' existiert nicht!",
                                            "Die Datei 'C:\\O''Neil\\ost.ini' existiert nicht!",
                                            "Die Datei '' existiert nicht!"));
  EXPECT_EQ(Settings(), "<keine>");
}

// A range whose path is relative would name another file in every working
// folder: refused with a box, even where such a file lies in this one.
TEST_F(RangeSelection, ARelativePathIsRefusedByBothSelectors) {
  fake.files.SetFile(RangeList(), "Relativ|ost.ini\r\n");
  fake.files.SetFile("ost.ini", "[Zaehler]\r\n");
  SelectRangeByName(fake.env, "Relativ");
  SelectToolbarRange(fake.env, "Relativ");
  const std::string refusal =
      "Die Zählerdatei muss mit vollständigem Pfad angegeben werden, mit Laufwerk (C:\\...) oder Netzwerkfreigabe "
      "(\\\\Server\\Freigabe\\...): 'ost.ini'";
  EXPECT_THAT(Shown(), testing::ElementsAre(refusal, refusal));
  EXPECT_EQ(Settings(), "<keine>");
}

}  // namespace
}  // namespace trelvo::commands
