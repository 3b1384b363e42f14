// The ribbon markup of the add-in's tab, byte for byte, and the rules that
// decide what a ribbon id shows.
#include <fstream>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sstream>

#include "commands/ribbon_definition.h"
#include "ribbon/ribbon_markup.h"

namespace trelvo::ribbon {
namespace {

using commands::kTrelvoRibbonTab;

std::string Golden() {
  std::ifstream file(std::string(TRELVO_TEST_DATA) + "/trelvo_tab.customui.xml", std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

void BuildTrelvoTab(Ribbon& ribbon) {
  commands::BuildRibbonTab(ribbon, kTrelvoRibbonTab, [](RibbonControl&, commands::Command) {});
}

TEST(RibbonMarkup, BothHostsGetTheGoldenMarkup) {
  const std::string golden = Golden();
  ASSERT_FALSE(golden.empty());
  for (const char* id : {"Microsoft.Excel.Workbook", "Microsoft.Word.Document"}) {
    Ribbon ribbon;
    BuildTrelvoTab(ribbon);
    EXPECT_EQ(BuildCustomUI(ribbon, id), golden) << id;
    EXPECT_NE(ribbon.Find("oaxRibbonDropDown7CEA2879B244448598BE252E620F105A"), nullptr);
  }
}

TEST(RibbonMarkup, TheDynamicMenuMatchesEverySetStartFromScratchToo) {
  std::string expected = Golden();
  expected.replace(expected.find("\t<ribbon>"), 9, "\t<ribbon startFromScratch=\"true\">");
  Ribbon ribbon;
  BuildTrelvoTab(ribbon);
  EXPECT_EQ(BuildCustomUI(ribbon, "DynamicMenu"), expected);
}

TEST(RibbonMarkup, AnIdNothingMatchesGivesFourLinesAndNarrowsTheTable) {
  for (const char* id : {"Microsoft.PowerPoint.Presentation", "microsoft.excel.workbook"}) {
    Ribbon ribbon;
    BuildTrelvoTab(ribbon);
    EXPECT_EQ(BuildCustomUI(ribbon, id),
              "<customUI xmlns=\"http://schemas.microsoft.com/office/2006/01/customui\" "
              "onLoad=\"RibbonLoaded_Callback\" loadImage=\"GetImages_Callback\">\r\n"
              "\t<ribbon>\r\n"
              "\t</ribbon>\r\n"
              "</customUI>")
        << id;
    EXPECT_EQ(ribbon.Find("oaxRibbonTabA48D29DA270E4F32A05C6C7014E3EBD2"), nullptr);
    EXPECT_EQ(ribbon.Find("oaxRibbonDropDown7CEA2879B244448598BE252E620F105A"), nullptr);
  }
}

TEST(RibbonMarkup, ARibbonWithoutTabsHasNoRibbonElement) {
  Ribbon ribbon;
  EXPECT_EQ(BuildCustomUI(ribbon, "Microsoft.Excel.Workbook"),
            "<customUI xmlns=\"http://schemas.microsoft.com/office/2006/01/customui\" "
            "onLoad=\"RibbonLoaded_Callback\" loadImage=\"GetImages_Callback\">\r\n"
            "</customUI>");
}

TEST(RibbonKinds, MatchingIsExactExceptForTheDynamicMenu) {
  const Ribbons excel_and_word{RibbonKind::ExcelWorkbook, RibbonKind::WordDocument};
  EXPECT_TRUE(RibbonMatches(excel_and_word, "Microsoft.Excel.Workbook"));
  EXPECT_TRUE(RibbonMatches(excel_and_word, "Microsoft.Word.Document"));
  EXPECT_FALSE(RibbonMatches(excel_and_word, "Microsoft.Excel.Workbook "));
  EXPECT_FALSE(RibbonMatches(excel_and_word, "Microsoft.Access.Database"));
  EXPECT_TRUE(RibbonMatches(Ribbons{}, "DynamicMenu"));
  EXPECT_FALSE(RibbonMatches(Ribbons{}, "dynamicmenu"));
  EXPECT_EQ(RibbonId(RibbonKind::OutlookSharingCompose), "Microsoft.Outlook.Sharing.Compose");
}

TEST(RibbonMarkup, OnlyMatchingControlsAreWrittenAndOutlookNarrowsByAnyOutlookKind) {
  Ribbon ribbon;
  RibbonTab& tab = ribbon.AddTab("Tab", {RibbonKind::ExcelWorkbook, RibbonKind::OutlookTask});
  auto& excel_group = tab.Controls()->Add<RibbonGroup>("ExcelGroup");
  excel_group.SetRibbons({RibbonKind::ExcelWorkbook});
  auto& outlook_group = tab.Controls()->Add<RibbonGroup>("OutlookGroup");
  outlook_group.SetRibbons({RibbonKind::OutlookJournal});
  const std::string markup = BuildCustomUI(ribbon, "Microsoft.Outlook.Task");
  EXPECT_THAT(markup, testing::Not(testing::HasSubstr("ExcelGroup")));
  EXPECT_THAT(markup, testing::Not(testing::HasSubstr("OutlookGroup")));
  EXPECT_THAT(markup, testing::HasSubstr("id=\"Tab\""));
  // The table keeps every control with an Outlook kind, whatever the exact id.
  EXPECT_EQ(ribbon.Find("ExcelGroup"), nullptr);
  EXPECT_EQ(ribbon.Find("OutlookGroup"), &outlook_group);
}

TEST(RibbonMarkup, TheDialogBoxLauncherIsWrittenLastAndOnlyOnce) {
  Ribbon ribbon;
  RibbonTab& tab = ribbon.AddTab("Tab", {RibbonKind::ExcelWorkbook});
  auto& group = tab.Controls()->Add<RibbonGroup>("Group");
  group.Controls()->Add<RibbonDialogBoxLauncher>("Launcher");
  group.Controls()->Add<RibbonButton>("Button");
  EXPECT_EQ(group.Controls()->at(1).id(), "Launcher");
  EXPECT_THROW(
      {
        try {
          group.Controls()->Add<RibbonDialogBoxLauncher>("Second");
        } catch (const std::exception& error) {
          EXPECT_STREQ(error.what(),
                       "There can be only one instance of ToaxRibbonDialogBoxLauncher in the Ribbon Group!");
          throw;
        }
      },
      std::exception);
  EXPECT_EQ(ribbon.Find("Second"), nullptr);
  const std::string markup = BuildCustomUI(ribbon, "Microsoft.Excel.Workbook");
  EXPECT_LT(markup.find("id=\"Button\""), markup.find("<dialogBoxLauncher>"));
  EXPECT_THAT(markup, testing::HasSubstr("\t\t\t\t\t<dialogBoxLauncher>\r\n"
                                         "\t\t\t\t\t\t<button id=\"Launcher\" getKeytip=\"GetKeyTip_Callback\" "
                                         "getSupertip=\"GetSuperTip_Callback\" getScreentip=\"GetScreenTip_Callback\" "
                                         "getEnabled=\"GetEnabled_Callback\" onAction=\"OnActionCommon_Callback\" "
                                         "getVisible=\"GetVisible_Callback\" />\r\n"
                                         "\t\t\t\t\t</dialogBoxLauncher>\r\n"));
}

TEST(RibbonMarkup, ButtonAttributesFollowTheirKindAndPlace) {
  Ribbon ribbon;
  RibbonTab& tab = ribbon.AddTab("Tab", {RibbonKind::ExcelWorkbook});
  auto& group = tab.Controls()->Add<RibbonGroup>("Group");
  auto& toggle = group.Controls()->Add<RibbonButton>("Toggle");
  toggle.SetToggleButton(true);
  toggle.SetInsertPosition({.after_mso = "", .before_mso = "FileSave", .after_id = "x:Other", .before_id = ""});
  auto& list = group.Controls()->Add<RibbonDropDown>("List");
  auto& listed = list.Controls()->Add<RibbonButton>("Listed");
  listed.SetToggleButton(true);
  list.SetSelectedItemIndex(-1);
  list.SetSelectedItemId("List_a");
  list.SetShowItemCaption(false);

  EXPECT_EQ(toggle.ElementName(), "toggleButton");
  const Attributes toggle_attributes = toggle.GetAttributes();
  EXPECT_THAT(toggle_attributes, testing::Contains(Attribute{"getPressed", "GetPressed_Callback"}));
  EXPECT_THAT(toggle_attributes, testing::Contains(Attribute{"onAction", "OnActionState_Callback"}));
  EXPECT_THAT(toggle_attributes, testing::Contains(Attribute{"insertBeforeMso", "FileSave"}));
  EXPECT_THAT(toggle_attributes, testing::Not(testing::Contains(Attribute{"insertAfterQ", "x:Other"})));
  EXPECT_THAT(toggle_attributes, testing::Not(testing::Contains(testing::Key("getImage"))));

  EXPECT_EQ(listed.ElementName(), "button");
  EXPECT_THAT(listed.GetAttributes(), testing::Contains(Attribute{"onAction", "OnActionCommon_Callback"}));
  EXPECT_THAT(listed.GetAttributes(), testing::Not(testing::Contains(testing::Key("getSize"))));

  const Attributes list_attributes = list.GetAttributes();
  EXPECT_THAT(list_attributes, testing::Contains(Attribute{"getSelectedItemID", "GetSelectedItemId_Callback"}));
  EXPECT_THAT(list_attributes, testing::Not(testing::Contains(testing::Key("getSelectedItemIndex"))));
  EXPECT_THAT(list_attributes, testing::Contains(Attribute{"showItemLabel", "false"}));
  // A drop-down with buttons is written with them inside.
  EXPECT_THAT(BuildCustomUI(ribbon, "Microsoft.Excel.Workbook"),
              testing::HasSubstr("showItemLabel=\"false\" getVisible=\"GetVisible_Callback\">\r\n"
                                 "\t\t\t\t\t\t<button id=\"Listed\""));
}

}  // namespace
}  // namespace trelvo::ribbon
