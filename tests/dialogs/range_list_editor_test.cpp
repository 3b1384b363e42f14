// The tab "Nummernkreise": loading without gone counter files, and the five
// buttons and their keys.
#include "dialogs/range_list_editor.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/fake/fake_system.h"

namespace trelvo::dialogs {
namespace {

using platform::MessageAnswer;
using testing::ElementsAre;

class FakeRangeView : public RangeListView {
 public:
  std::vector<std::string> shown;
  std::optional<size_t> selected;
  int focused = 0;
  std::optional<std::string> answer;
  std::vector<std::string> edited;  // "name|path" each edit dialog was opened with
  void ShowRanges(const std::vector<std::string>& entries, std::optional<size_t> selection) override {
    shown = entries;
    selected = selection;
  }
  void FocusRanges() override { ++focused; }
  std::optional<std::string> EditRange(const std::string& name, const std::string& path) override {
    edited.push_back(name + "|" + path);
    return answer;
  }
};

class RangeListEditorTest : public testing::Test {
 protected:
  platform::FakeEnvironment fake;
  FakeRangeView view;
  RangeListEditor editor{fake.env, view};
  std::string ListPath() const { return fake.UserFolder() + "nummernkreise.txt"; }
  void SetUp() override {
    for (const char* name : {"a", "b", "c"}) fake.files.SetFile("C:\\Z\\" + std::string(name) + ".ini", "");
    fake.files.SetFile(ListPath(), "Kunde A|C:\\Z\\a.ini\r\nKunde B|C:\\Z\\b.ini\r\nKunde C|C:\\Z\\c.ini\r\n");
  }
};

// A relative path is as invalid as a missing file, even where a file of that
// name lies in the working folder.
TEST_F(RangeListEditorTest, EntriesWithAGoneOrRelativeCounterFileAreDroppedWithOneMessage) {
  fake.files.SetFile("rel.ini", "");
  fake.files.SetFile(ListPath(),
                     "Weg 1|C:\\Z\\x.ini\r\nKunde A|C:\\Z\\a.ini\r\nWeg 2|C:\\Z\\y.ini\r\nRelativ|rel.ini\r\n");
  EXPECT_TRUE(editor.Load());
  EXPECT_THAT(view.shown, ElementsAre("Kunde A|C:\\Z\\a.ini"));
  ASSERT_EQ(fake.ui.shown.size(), 1u);
  EXPECT_EQ(fake.ui.shown[0].text,
            "Ungültige Verweise auf Zählerdateien wurden aus der Liste der Nummernkreise entfernt.");
  EXPECT_TRUE(editor.changed());
}

TEST_F(RangeListEditorTest, WhenEveryEntryIsGoneSavingWritesAnEmptyFile) {
  fake.files.SetFile(ListPath(), "Weg|C:\\Z\\x.ini\r\n");
  EXPECT_TRUE(editor.Load());
  EXPECT_TRUE(view.shown.empty());
  editor.Save();
  EXPECT_EQ(fake.files.Content(ListPath()), "");
}

TEST_F(RangeListEditorTest, AddAndEditGoThroughTheEditDialog) {
  EXPECT_FALSE(editor.Load());
  view.answer = " Kunde D|C:\\Z\\d.ini";
  editor.Add();
  EXPECT_EQ(view.shown.back(), " Kunde D|C:\\Z\\d.ini") << "appended, blanks kept";
  editor.Edit();
  EXPECT_EQ(fake.ui.beeps, 1) << "nothing selected";
  editor.Select(1);
  view.answer = "Kunde B2|C:\\Z\\b.ini";
  editor.Edit();
  EXPECT_THAT(view.edited, ElementsAre("|", "Kunde B|C:\\Z\\b.ini"));
  EXPECT_EQ(view.shown[1], "Kunde B2|C:\\Z\\b.ini");
  EXPECT_TRUE(editor.changed());
}

TEST_F(RangeListEditorTest, RemovingAsksAndOnlyJaRemoves) {
  editor.Load();
  editor.Select(0);
  fake.ui.answers = {MessageAnswer::No, MessageAnswer::Cancel, MessageAnswer::Yes};
  editor.Remove();
  editor.Remove();
  EXPECT_EQ(view.shown.size(), 3u);
  EXPECT_FALSE(editor.changed());
  editor.Remove();
  EXPECT_THAT(view.shown, ElementsAre("Kunde B|C:\\Z\\b.ini", "Kunde C|C:\\Z\\c.ini"));
  EXPECT_EQ(fake.ui.shown[0].text, "Soll der Nummernkreis 'Kunde A' aus dieser Liste entfernt werden?");
  EXPECT_EQ(fake.ui.shown[0].buttons, platform::MessageButtons::YesNoCancel);
  EXPECT_TRUE(fake.files.FileExists("C:\\Z\\a.ini")) << "the counter file stays";
}

TEST_F(RangeListEditorTest, MovingBeepsAtTheEndsAndNeedsCtrlAlone) {
  editor.Load();
  editor.Select(0);
  EXPECT_TRUE(editor.Key(RangeKey::Up, {.ctrl = true}));
  EXPECT_EQ(fake.ui.beeps, 1);
  EXPECT_FALSE(editor.Key(RangeKey::Down, {.ctrl = true, .shift = true}));
  EXPECT_FALSE(editor.Key(RangeKey::Down, {}));
  EXPECT_FALSE(editor.changed());
  EXPECT_TRUE(editor.Key(RangeKey::Down, {.ctrl = true}));
  EXPECT_EQ(view.shown[1], "Kunde A|C:\\Z\\a.ini");
  EXPECT_EQ(view.selected, 1u);
  editor.Select(2);
  editor.MoveDown();
  EXPECT_EQ(fake.ui.beeps, 2);
  EXPECT_TRUE(editor.changed());
}

TEST_F(RangeListEditorTest, EnterInsertAndDeleteRunTheirButtonsWhateverTheModifiers) {
  editor.Load();
  EXPECT_TRUE(editor.Key(RangeKey::Enter, {.alt = true}));  // nothing selected: beep
  EXPECT_EQ(fake.ui.beeps, 1);
  EXPECT_TRUE(editor.Key(RangeKey::Insert, {.shift = true}));
  EXPECT_EQ(view.edited.size(), 1u);
  EXPECT_TRUE(editor.Key(RangeKey::Delete, {}));
  EXPECT_EQ(fake.ui.beeps, 2);
  EXPECT_FALSE(editor.Key(RangeKey::Other, {}));
}

TEST(AcceptRange, NamesAndPathsOfBlanksNamesWithABarAndRelativePathsAreRefused) {
  platform::FakeEnvironment fake;
  EXPECT_FALSE(AcceptRange(fake.env, "   ", "C:\\Z\\a.ini"));
  EXPECT_FALSE(AcceptRange(fake.env, "Kunde", " "));
  EXPECT_EQ(fake.ui.beeps, 2);
  EXPECT_FALSE(AcceptRange(fake.env, "A|B", "C:\\Z\\a.ini"));
  EXPECT_EQ(fake.ui.shown.size(), 1u);
  EXPECT_FALSE(AcceptRange(fake.env, "Kunde", " Z\\a.ini "));
  ASSERT_EQ(fake.ui.shown.size(), 2u);
  EXPECT_EQ(fake.ui.shown[1].text,
            "Die Zählerdatei muss mit vollständigem Pfad angegeben werden, mit Laufwerk (C:\\...) oder "
            "Netzwerkfreigabe (\\\\Server\\Freigabe\\...): 'Z\\a.ini'");
  EXPECT_TRUE(AcceptRange(fake.env, "  Kunde", "C:\\Z\\a.ini"));
  EXPECT_TRUE(AcceptRange(fake.env, "Kunde", "\\\\server\\share\\a.ini"));
}

}  // namespace
}  // namespace trelvo::dialogs
