// The callbacks' answers from the add-in's tab, and what they answer for an
// id that names no control.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "commands/ribbon_definition.h"
#include "ribbon/callbacks.h"

namespace trelvo::ribbon {
namespace {

constexpr char kTab[] = "oaxRibbonTabA48D29DA270E4F32A05C6C7014E3EBD2";
constexpr char kNumberGroup[] = "oaxRibbonGroupA9562C67B34747559596C46FE68F385A";
constexpr char kSave[] = "oaxRibbonButton8C5B153EB84E4FAEBFBB83923A01C3FA";
constexpr char kInsert[] = "oaxRibbonButtonCEE2D128D81940E9B970ABAB598A8918";
constexpr char kRanges[] = "oaxRibbonDropDown7CEA2879B244448598BE252E620F105A";
constexpr char kOptions[] = "oaxRibbonButton5739DE94ECA44E339E3B52E1828F22BA";
constexpr char kCustomer[] = "oaxRibbonButton6297E57CD0EF4C09B0ABB23A3F1F5468";
constexpr char kInfo[] = "oaxRibbonButton1C70D627216B485AAEB9CD77099F8D1E";
constexpr char kLauncher[] = "oaxRibbonDialogBoxLauncher71E8AB0D83CD442BA5C5C16497BF7EA4";

class RibbonCallbacksTest : public testing::Test {
 protected:
  RibbonCallbacksTest() {
    commands::BuildRibbonTab(ribbon, commands::kTrelvoRibbonTab, [this](RibbonControl& control, commands::Command) {
      control.on_action = [this](RibbonControl& sender) {
        if (sender.id() == kInfo) throw std::runtime_error("Info ging schief");
        clicked.push_back(sender.id() + " " + std::to_string(sender.selected_item_index()));
      };
    });
  }
  Answer Call(Callback callback, const std::string& id, CallbackArguments arguments = {}) {
    arguments.control_id = id;
    return AnswerCallback(&ribbon, *CallbackOfNumber(static_cast<long>(callback)), arguments,
                          [this](const std::exception& error) { failures.push_back(error.what()); });
  }

  Ribbon ribbon;
  std::vector<std::string> clicked;
  std::vector<std::string> failures;
};

struct Expected {
  Callback callback;
  const char* id;
  Answer answer;
};

TEST_F(RibbonCallbacksTest, GettersAnswerFromTheControls) {
  const Expected cases[] = {
      {Callback::GetLabel, kRanges, std::string("Nummernkreis")},
      {Callback::GetShowLabel, kRanges, false},
      {Callback::GetShowImage, kRanges, false},
      {Callback::GetShowImage, kSave, true},
      {Callback::GetShowImage, kInfo, true},
      {Callback::GetSize, kSave, int32_t{1}},
      {Callback::GetSize, kInsert, int32_t{1}},
      {Callback::GetSize, kOptions, int32_t{0}},
      {Callback::GetSize, kCustomer, int32_t{0}},
      {Callback::GetSize, kInfo, int32_t{0}},
      {Callback::GetKeyTip, kTab, std::string()},
      {Callback::GetKeyTip, kNumberGroup, std::string("R")},
      {Callback::GetLabel, kTab, std::string("Trelvo")},
      {Callback::GetLabel, kInfo, std::string("Über Sabu")},
      {Callback::GetDescription, kInfo, std::string("Zeigt Informationen über das Sabu Add-In an")},
      {Callback::GetSuperTip, kLauncher, std::string(commands::kOptionsTip)},
      {Callback::GetScreenTip, kRanges, std::string("Nummerkreis wählen")},
      {Callback::GetEnabled, kInsert, true},
      {Callback::GetVisible, kLauncher, true},
      {Callback::GetSelectedItemIndex, kRanges, int32_t{0}},
      {Callback::GetItemCount, kRanges, int32_t{1}},
      {Callback::GetItemCount, kInsert, int32_t{0}},
      {Callback::GetItemLabel, kRanges, std::string("(Standard Zähler)")},
      {Callback::GetItemId, kRanges, std::string("oaxRibbonItemC3EEEC1F221743239206BC9EB5099309")},
      {Callback::GetImage, kSave, Picture{IDB_GLYPH_SAVE, false, 32}},
      {Callback::GetImage, kInfo, Picture{IDB_GLYPH_INFO, false, 16}},
      {Callback::GetImages, kInsert, Picture{IDB_GLYPH_INSERT, false, 32}},
      {Callback::GetImage, kRanges, std::monostate()},
      {Callback::GetItemImage, kRanges, std::monostate()},
      {Callback::GetShowItemImage, kRanges, false},
      // The id in another case finds the control.
      {Callback::GetLabel, "OAXRIBBONDROPDOWN7CEA2879B244448598BE252E620F105A", std::string("Nummernkreis")},
  };
  for (const Expected& expected : cases)
    EXPECT_EQ(Call(expected.callback, expected.id), expected.answer)
        << CallbackName(expected.callback) << " " << expected.id;
}

// A picture as large as the host shows it at the screen's resolution: a large
// button's 32 pixels at 100 % become 40, 48 and 64, a normal one's 16 become
// 20, 24 and 32; between the drawn sizes the next larger one, beyond them the largest.
TEST_F(RibbonCallbacksTest, PicturesTakeTheSizeOfTheScreensResolution) {
  struct Case {
    unsigned dpi;
    Callback callback;
    const char* id;
    Picture picture;
  };
  const Case cases[] = {
      {96, Callback::GetImage, kInsert, {IDB_GLYPH_INSERT, false, 32}},
      {120, Callback::GetImage, kInsert, {IDB_GLYPH_INSERT, false, 40}},
      {144, Callback::GetImage, kInsert, {IDB_GLYPH_INSERT, false, 48}},
      {144, Callback::GetImages, kInsert, {IDB_GLYPH_INSERT, false, 48}},
      {192, Callback::GetImage, kSave, {IDB_GLYPH_SAVE, false, 64}},
      {168, Callback::GetImage, kSave, {IDB_GLYPH_SAVE, false, 64}},
      {288, Callback::GetImage, kSave, {IDB_GLYPH_SAVE, false, 64}},
      {120, Callback::GetImage, kOptions, {IDB_GLYPH_OPTIONS, false, 20}},
      {144, Callback::GetImage, kCustomer, {IDB_GLYPH_CUSTOMER, false, 24}},
      {192, Callback::GetImage, kInfo, {IDB_GLYPH_INFO, false, 32}},
      {240, Callback::GetImage, kInfo, {IDB_GLYPH_INFO, false, 40}},
      {168, Callback::GetImage, kInfo, {IDB_GLYPH_INFO, false, 32}},
  };
  for (const Case& c : cases) {
    CallbackArguments arguments;
    arguments.dpi = c.dpi;
    EXPECT_EQ(Call(c.callback, c.id, arguments), Answer{c.picture}) << c.id << " at " << c.dpi << " dpi";
  }
  // An item's picture is as large as a normal button's.
  ribbon.Find(kRanges)->Items()->at(0).SetImageIndex(1);
  CallbackArguments item;
  item.dpi = 144;
  EXPECT_EQ(Call(Callback::GetItemImage, kRanges, item), (Answer{Picture{IDB_GLYPH_OPTIONS, true, 24}}));
}

TEST_F(RibbonCallbacksTest, AnIdThatNamesNoControlGetsTheDefaults) {
  const Expected cases[] = {
      {Callback::GetVisible, "", true},
      {Callback::GetEnabled, "", true},
      {Callback::GetShowLabel, "", true},
      {Callback::GetShowImage, "", false},
      {Callback::GetShowItemImage, "", true},
      {Callback::GetPressed, "", false},
      {Callback::GetSize, "", int32_t{0}},
      {Callback::GetItemCount, "", int32_t{0}},
      {Callback::GetSelectedItemIndex, "", int32_t{0}},
      {Callback::GetItemHeight, "", int32_t{-1}},
      {Callback::GetLabel, "", std::string()},
      {Callback::GetItemLabel, "", std::string()},
      {Callback::GetImage, "", std::monostate()},
      {Callback::OnActionCommon, "", std::monostate()},
  };
  for (const Expected& expected : cases)
    EXPECT_EQ(Call(expected.callback, "unbekannt"), expected.answer) << CallbackName(expected.callback);
  EXPECT_TRUE(clicked.empty());
}

TEST_F(RibbonCallbacksTest, NamesAreComparedWithCase) {
  EXPECT_EQ(FindCallback("GetLabel_Callback")->callback, Callback::GetLabel);
  EXPECT_EQ(FindCallback("getlabel_callback"), nullptr);
  EXPECT_EQ(FindCallback("GetItemID_Callback")->callback, Callback::GetItemId);
  EXPECT_EQ(CallbackOfNumber(18), nullptr);
  EXPECT_EQ(CallbackOfNumber(55)->name, "OnChange_Callback");
}

TEST_F(RibbonCallbacksTest, RefilledItemsAreAnsweredAndAnIndexOutsideFails) {
  ControlCollection& items = *ribbon.Find(kRanges)->Items();
  items.Clear();
  for (const char* name : {"Nord", "Süd"}) items.Add<RibbonItem>(std::string(kRanges) + "_" + name).SetCaption(name);
  EXPECT_EQ(Call(Callback::GetItemCount, kRanges), Answer{int32_t{2}});
  EXPECT_EQ(Call(Callback::GetItemLabel, kRanges, {.index = 0}), Answer{std::string("Nord")});
  EXPECT_EQ(Call(Callback::GetItemId, kRanges, {.index = 1}), Answer{std::string(kRanges) + "_Süd"});
  EXPECT_THROW(Call(Callback::GetItemLabel, kRanges, {.index = 2}), std::exception);
  EXPECT_THROW(Call(Callback::GetItemLabel, kRanges, {.index = -1}), std::exception);
}

TEST_F(RibbonCallbacksTest, ActionsReachTheHandlersAndTheirFailuresAreHandedOn) {
  CallbackArguments selection;
  selection.action.selected_item_id = "x";
  selection.action.selected_item_index = 2;
  Call(Callback::OnActionSelected, kRanges, selection);
  Call(Callback::OnActionCommon, kLauncher);
  EXPECT_EQ(Call(Callback::OnActionCommon, kInfo), Answer{});
  EXPECT_THAT(clicked, testing::ElementsAre(std::string(kRanges) + " 2", std::string(kLauncher) + " -1"));
  EXPECT_THAT(failures, testing::ElementsAre("Info ging schief"));
  EXPECT_EQ(Call(Callback::OnActionCommonRepurposed, kSave), Answer{false});
}

}  // namespace
}  // namespace trelvo::ribbon
