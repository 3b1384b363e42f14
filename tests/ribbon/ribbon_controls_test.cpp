// The ribbon's control model: the id table, the collection rules, key tips,
// the refresh requests of changed properties and the actions.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "commands/ribbon_definition.h"
#include "ribbon/ribbon_controls.h"

namespace trelvo::ribbon {
namespace {

using testing::ElementsAre;
using testing::IsEmpty;

// The host's side: records what it is asked to read again.
class RecordingRibbonUI : public RibbonUI {
 public:
  void Invalidate() override { requests.push_back("*"); }
  void InvalidateControl(const std::string& id) override { requests.push_back(id); }
  std::vector<std::string> requests;
};

class RibbonControlsTest : public testing::Test {
 protected:
  RibbonControlsTest() {
    commands::BuildRibbonTab(ribbon, commands::kTrelvoRibbonTab,
                             [this](RibbonControl& control, commands::Command command) {
                               control.on_action = [this, command](RibbonControl& sender) {
                                 runs.push_back(sender.id());
                                 if (command == commands::Command::Insert && reenter) {
                                   sender.DoAction({});  // arrives while its own handler runs
                                 }
                               };
                             });
    ui = std::make_shared<RecordingRibbonUI>();
    ribbon.SetUI(ui);
  }
  RibbonControl& Control(std::string_view id) {
    RibbonControl* control = ribbon.Find(id);
    if (!control) throw std::runtime_error("no control " + std::string(id));
    return *control;
  }

  static constexpr char kTab[] = "oaxRibbonTabA48D29DA270E4F32A05C6C7014E3EBD2";
  static constexpr char kInsert[] = "oaxRibbonButtonCEE2D128D81940E9B970ABAB598A8918";
  static constexpr char kRanges[] = "oaxRibbonDropDown7CEA2879B244448598BE252E620F105A";

  Ribbon ribbon;
  std::shared_ptr<RecordingRibbonUI> ui;
  std::vector<std::string> runs;
  bool reenter = false;
};

TEST_F(RibbonControlsTest, IdsAreFoundWithoutCaseAndTheFirstEntryWins) {
  EXPECT_EQ(&Control("OAXRIBBONDROPDOWN7CEA2879B244448598BE252E620F105A"), &Control(kRanges));
  RibbonControl& insert = Control(kInsert);
  RibbonControl& ranges = Control(kRanges);
  ranges.SetId("");  // an empty id is not taken
  EXPECT_EQ(ranges.id(), kRanges);
  ranges.SetId(kInsert);  // a second entry with the same id
  EXPECT_EQ(&Control(kInsert), &insert);
  EXPECT_EQ(ribbon.Find(kRanges), nullptr);
}

TEST_F(RibbonControlsTest, KeyTipsKeepThreeCharacters) {
  RibbonControl& insert = Control(kInsert);
  insert.SetKeyTip("ABCD");
  EXPECT_EQ(insert.key_tip(), "ABC");
  insert.SetKeyTip("ÄÖÜX");  // characters of two bytes each
  EXPECT_EQ(insert.key_tip(), "ÄÖÜ");
}

TEST_F(RibbonControlsTest, ChangedPropertiesAskTheHostToReadTheControlAgain) {
  RibbonControl& insert = Control(kInsert);
  insert.SetEnabled(false);
  insert.SetEnabled(false);  // unchanged: no request
  insert.SetCaption("Neu");
  insert.SetGlyph(0);
  EXPECT_THAT(ui->requests, ElementsAre(kInsert, kInsert, kInsert));

  ui->requests.clear();
  RibbonControl& tab = Control(kTab);
  tab.SetCaption("Anders");
  tab.SetVisible(false);
  EXPECT_THAT(ui->requests, IsEmpty());
  tab.SetKeyTip("T");
  EXPECT_THAT(ui->requests, ElementsAre(kTab));

  ui->requests.clear();
  insert.SetIdMso("FileSave");
  insert.SetCaption("Eingebaut");
  EXPECT_THAT(ui->requests, ElementsAre("*", "*"));
}

TEST_F(RibbonControlsTest, ItemChangesAskForTheItemAndTheDropDown) {
  RibbonControl& ranges = Control(kRanges);
  ControlCollection& items = *ranges.Items();
  items.Clear();
  items.Add<RibbonItem>(std::string(kRanges) + "_Nord").SetCaption("Nord");
  EXPECT_THAT(ui->requests, ElementsAre(kRanges, kRanges, std::string(kRanges) + "_Nord", kRanges));
  EXPECT_EQ(items.size(), 1u);
  EXPECT_EQ(items.at(0).caption(), "Nord");
  EXPECT_THROW(items.at(1), std::exception);
}

TEST_F(RibbonControlsTest, WithoutTheHostsRibbonNothingIsAsked) {
  ribbon.SetUI(nullptr);
  Control(kInsert).SetEnabled(false);
  EXPECT_THAT(ui->requests, IsEmpty());
}

TEST_F(RibbonControlsTest, APickIsStoredWithoutARefreshBeforeTheHandlerRuns) {
  RibbonControl& ranges = Control(kRanges);
  ranges.on_action = [&](RibbonControl& sender) {
    EXPECT_EQ(sender.selected_item_index(), 2);
    EXPECT_EQ(sender.selected_item_id(), "Drei");
    runs.push_back("change");
  };
  ranges.DoAction({.pressed = false, .selected_item_id = "Drei", .selected_item_index = 2, .text = ""});
  EXPECT_THAT(runs, ElementsAre("change"));
  EXPECT_THAT(ui->requests, IsEmpty());
}

TEST_F(RibbonControlsTest, AnActionArrivingWhileItsHandlerRunsIsDropped) {
  reenter = true;
  Control(kInsert).DoAction({});
  EXPECT_THAT(runs, ElementsAre(kInsert));
  EXPECT_FALSE(Control(kInsert).busy());
}

TEST_F(RibbonControlsTest, AFailingHandlerClearsTheBusyFlag) {
  RibbonControl& insert = Control(kInsert);
  insert.on_action = [](RibbonControl&) { throw std::runtime_error("kaputt"); };
  EXPECT_THROW(insert.DoAction({}), std::runtime_error);
  EXPECT_FALSE(insert.busy());
}

TEST_F(RibbonControlsTest, RibbonsPassDownAndTheEmptySetIsIgnored) {
  RibbonControl& tab = Control(kTab);
  tab.SetRibbons({});
  EXPECT_TRUE(Control(kRanges).ribbons().Has(RibbonKind::WordDocument));
  tab.SetRibbons({RibbonKind::AccessDatabase});
  EXPECT_EQ(Control(kRanges).ribbons(), Ribbons{RibbonKind::AccessDatabase});
  EXPECT_EQ(Control(kRanges).Items()->at(0).ribbons(), Ribbons{RibbonKind::AccessDatabase});
}

TEST(RibbonCollections, EachCollectionHoldsItsMaximum) {
  Ribbon ribbon;
  RibbonTab& tab = ribbon.AddTab("Tab", kDefaultRibbons);
  for (int i = 0; i < 100; ++i) tab.Controls()->Add<RibbonGroup>("G" + std::to_string(i));
  try {
    tab.Controls()->Add<RibbonGroup>("G100");
    FAIL() << "a tab took a 101st group";
  } catch (const std::exception& error) {
    EXPECT_STREQ(error.what(), "There can not be more than 100 items in this control!");
  }
  auto& list = tab.Controls()->at(0).Controls()->Add<RibbonDropDown>("List");
  for (int i = 0; i < 16; ++i) list.Controls()->Add<RibbonButton>("B" + std::to_string(i));
  EXPECT_THROW(list.Controls()->Add<RibbonButton>("B16"), std::exception);
  EXPECT_EQ(ribbon.Find("B16"), nullptr);
}

}  // namespace
}  // namespace trelvo::ribbon
