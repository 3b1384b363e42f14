// The Options dialog's behaviour with a recording view: modes, the fields
// from the counter file, the preview, the administrator's lock from opening
// to closing, choosing another counter file, and saving.
#include "dialogs/options_dialog.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "engine/ini/ini_document.h"
#include "engine/number_drawing.h"
#include "engine/settings.h"
#include "platform/fake/fake_system.h"

namespace trelvo::dialogs {
namespace {

using testing::ElementsAre;

// Records what the dialog shows and answers its file and range dialogs from a script.
class FakeOptionsView : public OptionsView {
 public:
  std::optional<bool> admin;
  OptionsFields fields;
  std::string counter_file, name_label, preview, counter_text_label;
  std::vector<std::string> ranges;
  int counter_focused = 0;
  std::optional<std::string> open_answer, create_answer, edit_answer;
  std::vector<std::string> opened;  // the current file each open dialog started at

  void ShowMode(bool is_admin) override { admin = is_admin; }
  void ShowFields(const OptionsFields& shown) override { fields = shown; }
  void ShowCounterFile(const std::string& path, const std::string& label) override {
    counter_file = path;
    name_label = label;
  }
  void ShowPreview(const std::string& text, const std::string& label) override {
    preview = text;
    counter_text_label = label;
  }
  void FocusCounter() override { ++counter_focused; }
  std::optional<std::string> OpenCounterFile(const std::string& current, bool) override {
    opened.push_back(current);
    return open_answer;
  }
  std::optional<std::string> CreateCounterFile() override { return create_answer; }
  void ShowRanges(const std::vector<std::string>& entries, std::optional<size_t>) override { ranges = entries; }
  void FocusRanges() override {}
  std::optional<std::string> EditRange(const std::string&, const std::string&) override { return edit_answer; }
};

class OptionsDialogTest : public testing::Test {
 protected:
  platform::FakeEnvironment fake;
  FakeOptionsView view;
  OptionsDialog dialog{fake.env, view};

  std::string Folder() const { return fake.UserFolder(); }
  std::string CounterPath() const { return Folder() + "sabu_counter.ini"; }
  std::string SettingsPath() const { return Folder() + "trelvo.ini"; }
  void Admin(bool admin) { fake.files.SetFile(SettingsPath(), admin ? "[Mode]\r\nAdminMode=1\r\n" : "[Mode]\r\n"); }
  engine::IniDocument Counter(const std::string& path = "") const {
    return engine::IniDocument(fake.files.Content(path.empty() ? CounterPath() : path).value_or(""));
  }
  std::string LockedBy(const std::string& path = "") const {
    const auto document = Counter(path);
    return document.ReadBool("Locking", "IsLocked", false) ? document.ReadString("Locking", "LockedBy", "") : "";
  }
  std::vector<std::string> Shown() const {
    std::vector<std::string> texts;
    for (const auto& message : fake.ui.shown) texts.push_back(message.text);
    return texts;
  }
};

// The fields show what the next draw would use: a missing Padding is the
// draw's four digits, and the preview is the number the draw issues.
TEST_F(OptionsDialogTest, ClientModeShowsTheDrawsDefaultsWithoutLockingAnything) {
  Admin(false);
  fake.files.SetFile(CounterPath(), "[Zaehler]\r\n");
  dialog.Open();
  EXPECT_EQ(view.admin, false);
  EXPECT_EQ(view.fields.counter, "0");
  EXPECT_EQ(view.fields.increment, "1");
  EXPECT_EQ(view.fields.digits, 4);
  EXPECT_EQ(view.fields.date_kind, 0);
  EXPECT_EQ(view.fields.separator_kind, 0);
  EXPECT_FALSE(view.fields.leading);
  EXPECT_EQ(view.fields.description, "Geben Sie hier eine kurze Beschreibung ein.");
  EXPECT_EQ(view.preview, "0001");
  EXPECT_EQ(view.preview, engine::PreviewNextNumber(fake.env));
  EXPECT_EQ(view.counter_text_label, "Text hinter Z&ähler:");
  EXPECT_EQ(view.name_label, "'sabu_counter.ini':");
  EXPECT_EQ(LockedBy(), "");
  EXPECT_TRUE(dialog.Close(true, view.fields));
  EXPECT_EQ(fake.files.Content(CounterPath()), "[Zaehler]\r\n") << "client mode never writes the counter file";
}

TEST_F(OptionsDialogTest, ThePreviewFollowsEveryChangeAndTheCheckBoxSwitchesTheLabel) {
  Admin(true);
  dialog.Open();
  OptionsFields fields = view.fields;
  fields.counter = "41";
  fields.text_before = "RE-";
  fields.date_kind = 1;  // JJJJ
  fields.separator_kind = 2;
  fields.digits = 4;
  dialog.Changed(fields);
  EXPECT_EQ(view.preview, "RE-20240042");
  fields.leading = true;
  dialog.Changed(fields);
  EXPECT_EQ(view.counter_text_label, "Text vor Z&ähler:");
  fields.leading = false;
  fields.counter = "";
  dialog.Changed(fields);
  EXPECT_EQ(view.counter_text_label, "Text hinter Z&ähler:");
  EXPECT_EQ(view.preview, "RE-20240001") << "an empty counter previews as 0";
  ASSERT_EQ(fake.ui.shown.size(), 1u) << "the box comes at once";
  EXPECT_THAT(fake.ui.shown[0].text, testing::HasSubstr("ist keine gültige Trelvo-Ganzzahl"));
}

TEST_F(OptionsDialogTest, OkWithAnEmptyCounterStaysOpenAndWritesNothing) {
  Admin(true);
  fake.files.SetFile(CounterPath(), "[Zaehler]\r\nCounter=41\r\n");
  dialog.Open();
  const std::string locked = *fake.files.Content(CounterPath());
  const std::string settings = *fake.files.Content(SettingsPath());
  OptionsFields fields = view.fields;
  fields.counter = "";
  EXPECT_FALSE(dialog.Close(true, fields));
  EXPECT_EQ(fake.files.Content(CounterPath()), locked);
  EXPECT_EQ(fake.files.Content(SettingsPath()), settings);
  EXPECT_FALSE(dialog.CounterLeft(""));
  EXPECT_EQ(view.counter_focused, 1);
}

TEST_F(OptionsDialogTest, AdminModeLocksAtOpeningOverAnotherUsersLockAndOkSavesAndFrees) {
  Admin(true);
  fake.files.SetFile(CounterPath(), "[Zaehler]\r\nCounter=41\r\n[Locking]\r\nIsLocked=1\r\nLockedBy=\"akoch\"\r\n");
  dialog.Open();
  EXPECT_EQ(view.admin, true);
  EXPECT_EQ(LockedBy(), "mmuster");
  EXPECT_THAT(Shown(), testing::IsEmpty()) << "no warning about the other user";
  OptionsFields fields = view.fields;
  fields.counter = "100";
  fields.text_counter = "/A";
  fields.digits = 5;
  fields.description = "Firma A\r\nZentrale";
  fields.log_folder = "L:\\Logs\\";
  EXPECT_TRUE(dialog.Close(true, fields));
  const auto saved = Counter();
  EXPECT_EQ(saved.ReadInteger("Zaehler", "Counter", -1), 100);
  EXPECT_EQ(saved.ReadInteger("Optionen", "Padding", -1), 4);
  EXPECT_EQ(saved.ReadString("Optionen", "TextCounter", ""), "/A");
  EXPECT_EQ(saved.ReadString("Hinweis", "ConfigDesc", ""), "Firma A Zentrale") << "a line break becomes a blank";
  EXPECT_EQ(LockedBy(), "");
  EXPECT_EQ(saved.ReadString("Locking", "LockedBy", ""), "#nouser#");
  const engine::IniDocument settings(*fake.files.Content(SettingsPath()));
  EXPECT_EQ(settings.ReadString("Pfade", "LogPath", ""), "L:\\Logs\\");
  EXPECT_EQ(settings.ReadString("Pfade", "CounterFile", ""), CounterPath());
  EXPECT_TRUE(settings.ReadBool("Mode", "AdminMode", false));
}

TEST_F(OptionsDialogTest, CountersTheFieldCannotHoldAreNeverLowered) {
  Admin(true);
  for (const char* stored : {"999999999", "1500000000", "zwoelf"}) {
    fake.files.SetFile(CounterPath(), std::string("[Zaehler]\r\nCounter=") + stored + "\r\n");
    OptionsDialog again(fake.env, view);
    again.Open();
    OptionsFields fields = view.fields;
    fields.text_before = "X";
    EXPECT_TRUE(again.Close(true, fields)) << stored;
    EXPECT_EQ(Counter().ReadRawValue("Zaehler", "Counter"), std::string(stored));
  }
}

TEST_F(OptionsDialogTest, ALockThatCannotBeWrittenIsToldAndNoEditIsSaved) {
  Admin(true);
  const std::string gone = "Q:\\weg\\zaehler.ini";
  fake.files.SetFile(SettingsPath(), "[Pfade]\r\nCounterFile=\"" + gone + "\"\r\n[Mode]\r\nAdminMode=1\r\n");
  dialog.Open();
  ASSERT_EQ(fake.ui.shown.size(), 1u);
  EXPECT_THAT(fake.ui.shown[0].text,
              testing::StartsWith("Die Zählerdatei 'Q:\\weg\\zaehler.ini' kann nicht gesperrt werden:"));
  EXPECT_TRUE(dialog.Close(true, view.fields));
  EXPECT_FALSE(fake.files.Content(gone));
  EXPECT_EQ(fake.ui.shown.size(), 1u) << "no second box on OK";
}

TEST_F(OptionsDialogTest, CancelAfterChoosingAnotherFileKeepsTheChoiceAndFreesItsLock) {
  Admin(true);
  const std::string other = Folder() + "firma_b.ini";
  fake.files.SetFile(other, "[Zaehler]\r\nCounter=7\r\n");
  dialog.Open();
  OptionsFields fields = view.fields;
  fields.text_before = "ALT-";
  view.open_answer = other;
  dialog.ChooseCounterFile(fields);
  EXPECT_EQ(Counter().ReadString("Optionen", "TextBefore", ""), "ALT-") << "the edits went into the old file";
  EXPECT_EQ(LockedBy(), "");
  EXPECT_EQ(LockedBy(other), "mmuster");
  EXPECT_EQ(view.fields.counter, "7");
  EXPECT_EQ(view.name_label, "'firma_b.ini':");
  EXPECT_TRUE(dialog.counter_file_changed());
  EXPECT_TRUE(dialog.Close(false, view.fields));
  EXPECT_EQ(LockedBy(other), "");
  EXPECT_EQ(engine::IniDocument(*fake.files.Content(SettingsPath())).ReadString("Pfade", "CounterFile", ""), other);
}

TEST_F(OptionsDialogTest, ACancelledOpenDialogLocksTheCurrentFileAgainWithTheEditsSaved) {
  Admin(true);
  dialog.Open();
  OptionsFields fields = view.fields;
  fields.text_after = "-N";
  dialog.ChooseCounterFile(fields);  // no answer: cancelled
  EXPECT_THAT(view.opened, ElementsAre(CounterPath()));
  EXPECT_EQ(LockedBy(), "mmuster");
  EXPECT_EQ(Counter().ReadString("Optionen", "TextAfter", ""), "-N");
  EXPECT_FALSE(dialog.counter_file_changed());
}

TEST_F(OptionsDialogTest, ANewCounterFileHoldsTheLockAndShowsTheDefaults) {
  Admin(true);
  fake.files.SetFile(CounterPath(), "[Zaehler]\r\nCounter=41\r\n");
  dialog.Open();
  const std::string created = Folder() + "neuer zaehler.ini";
  view.create_answer = created;
  dialog.CreateCounterFile(view.fields);
  EXPECT_EQ(LockedBy(created), "mmuster");
  EXPECT_EQ(view.fields.counter, "0");
  EXPECT_EQ(view.preview, "0001");
}

// OK without a change writes no key of the counter or the format: only the
// lock is freed, and the next number keeps its format.
TEST_F(OptionsDialogTest, OkWithoutAChangeLeavesEveryCounterAndFormatKey) {
  Admin(true);
  const std::string content = "[Zaehler]\r\nCounter=41\r\n[Optionen]\r\nPrefix=1\r\nTextAfter=\"-\"\r\n";
  fake.files.SetFile(CounterPath(), content);
  dialog.Open();
  EXPECT_EQ(view.preview, "2024-0042");
  EXPECT_TRUE(dialog.Close(true, view.fields));
  EXPECT_EQ(*fake.files.Content(CounterPath()),
            content + "[Locking]\r\nIsLocked=0\r\nLockedBy=\"#nouser#\"\r\nLockedOn=\"\"\r\nLockedAt=\"\"\r\n");
  EXPECT_EQ(engine::PreviewNextNumber(fake.env), "2024-0042");
}

// A relative counter file stored by hand is shown but neither locked nor read,
// and OK is refused while it or the log folder is not a full path.
TEST_F(OptionsDialogTest, PathsThatAreNotFullAreRefused) {
  fake.files.SetFile(SettingsPath(), "[Pfade]\r\nCounterFile=\"rel.ini\"\r\n[Mode]\r\nAdminMode=1\r\n");
  fake.files.SetFile("rel.ini", "[Zaehler]\r\nCounter=500\r\n");
  dialog.Open();
  EXPECT_EQ(view.counter_file, "rel.ini");
  EXPECT_EQ(view.fields.counter, "0") << "the relative file is not read";
  EXPECT_EQ(LockedBy("rel.ini"), "");
  EXPECT_THAT(Shown(), ElementsAre(testing::StartsWith("Die Zählerdatei muss mit vollständigem Pfad angegeben")));
  EXPECT_FALSE(dialog.Close(true, view.fields));
  view.open_answer = CounterPath();
  fake.files.SetFile(CounterPath(), "[Zaehler]\r\n");
  dialog.ChooseCounterFile(view.fields);
  OptionsFields fields = view.fields;
  fields.log_folder = "Logs\\";
  EXPECT_FALSE(dialog.Close(true, fields));
  EXPECT_THAT(Shown().back(), testing::StartsWith("Der Ordner der Logdatei muss mit vollständigem Pfad angegeben"));
  fields.log_folder = Folder();
  EXPECT_TRUE(dialog.Close(true, fields));
  EXPECT_EQ(engine::GetCounterFilePath(fake.env), CounterPath());
}

TEST_F(OptionsDialogTest, CancelInAdminModeFreesTheLockAndWritesNoEdit) {
  Admin(true);
  fake.files.SetFile(CounterPath(), "[Zaehler]\r\nCounter=41\r\n");
  dialog.Open();
  OptionsFields fields = view.fields;
  fields.counter = "5";
  EXPECT_TRUE(dialog.Close(false, fields));
  EXPECT_EQ(LockedBy(), "");
  EXPECT_EQ(Counter().ReadInteger("Zaehler", "Counter", -1), 41);
}

// The yearly restart: offered with a date part that shows the year, shown
// in the preview as the next draw gives it, saved as Restart=1; asked for
// without a year it is refused and nothing is written.
TEST_F(OptionsDialogTest, TheYearlyRestartIsSavedOnlyWithAYearInTheNumber) {
  Admin(true);
  fake.files.SetFile(CounterPath(),
                     "[Zaehler]\r\nCounter=142\r\nPeriod=2023\r\n[Optionen]\r\nTextBefore=\"RE-\"\r\nPrefix=1\r\n"
                     "TextAfter=\"-\"\r\nRestart=1\r\n");
  dialog.Open();
  EXPECT_TRUE(view.fields.restart);
  EXPECT_EQ(view.preview, "RE-2024-0001") << "2024 (the fake clock) is later than the stored 2023";

  OptionsFields fields = view.fields;
  fields.restart = false;
  dialog.Changed(fields);
  EXPECT_EQ(view.preview, "RE-2024-0143");
  for (const int date_kind : {0, 1, 7, 12}) {
    OptionsFields kind;
    kind.date_kind = date_kind;
    EXPECT_EQ(RestartOffered(kind), date_kind != 0) << date_kind;
  }

  // Asked for without a year: refused, the dialog stays open, nothing written.
  const std::string before = fake.files.Content(CounterPath()).value_or("");
  fields.restart = true;
  fields.date_kind = 0;
  EXPECT_FALSE(dialog.Close(true, fields));
  EXPECT_THAT(Shown().back(), testing::HasSubstr("nur jährlich neu beginnen, wenn der Datumsteil das Jahr zeigt"));
  EXPECT_EQ(fake.files.Content(CounterPath()), before);

  fields.date_kind = 1;
  fields.restart = false;
  EXPECT_TRUE(dialog.Close(true, fields));
  EXPECT_EQ(Counter().ReadInteger("Optionen", "Restart", -1), 0);
}

// A counter set below a value already issued is refused and nothing is
// saved; set forward, the change has its record in the log.
TEST_F(OptionsDialogTest, TheCounterIsNeverSetBelowAnIssuedNumberAndAChangeIsRecorded) {
  Admin(true);
  fake.files.SetFile(CounterPath(), "[Zaehler]\r\nCounter=112\r\n[Optionen]\r\nTextBefore=\"RE-\"\r\n");
  dialog.Open();
  const std::string locked = fake.files.Content(CounterPath()).value_or("");
  OptionsFields fields = view.fields;
  fields.counter = "100";
  EXPECT_FALSE(dialog.Close(true, fields));
  EXPECT_THAT(Shown().back(), testing::HasSubstr("Der Zählerwert 100 liegt unter dem zuletzt vergebenen Wert 112 "
                                                 "(Nummer 'RE-0112')"));
  EXPECT_EQ(fake.files.Content(CounterPath()), locked) << "nothing saved, the lock still held";

  fields.counter = "150";
  EXPECT_TRUE(dialog.Close(true, fields));
  EXPECT_EQ(Counter().ReadInteger("Zaehler", "Counter", -1), 150);
  EXPECT_THAT(fake.files.Content(Folder() + "sabulog.csv").value_or(""),
              testing::HasSubstr("\"#Z\xE4hler gesetzt#\"; 2024-03-05 14:07:09; \"von 112 auf 150: sabu_counter.ini\"; "
                                 "\"mmuster\"; \r\n"));
}

// A range that cannot be read (its server does not answer) is told once and
// the dialog does not open: fields of defaults would pass for its values.
TEST_F(OptionsDialogTest, ARangeThatCannotBeReadOpensNoDialog) {
  Admin(true);
  const std::string pointer = Folder() + "server.ini";
  fake.files.SetFile(pointer, "[Server]\r\nConnection=Driver={PostgreSQL Unicode};Server=127.0.0.1;Port=1;"
                              "Database=trelvo;Uid=x;Pwd=y;\r\nRange=\"Firma A\"\r\n");
  engine::SetCounterFilePath(fake.env, pointer);
  EXPECT_FALSE(dialog.Open());
  ASSERT_EQ(Shown().size(), 1u) << testing::PrintToString(Shown());
  EXPECT_THAT(Shown()[0], testing::HasSubstr("ist nicht erreichbar"));
  EXPECT_FALSE(view.admin.has_value()) << "no field shown";
}

// A store that refuses while the dialog is open (a server gone away, a file
// held elsewhere): OK and Cancel each tell it and close the dialog.
TEST_F(OptionsDialogTest, ADialogWhoseStoreWentAwayStillCloses) {
  Admin(true);
  for (const bool ok : {true, false}) {
    fake.files.SetFile(CounterPath(), "[Zaehler]\r\nCounter=41\r\n");
    OptionsDialog opened{fake.env, view};
    ASSERT_TRUE(opened.Open());
    OptionsFields fields = view.fields;
    fields.text_before = "RE-";
    fake.ui.shown.clear();
    fake.files.HoldFileForGood(CounterPath());
    EXPECT_TRUE(opened.Close(ok, fields)) << ok;
    ASSERT_EQ(Shown().size(), 2u) << "the reason, then what it means: " << testing::PrintToString(Shown());
    EXPECT_THAT(Shown().back(), testing::HasSubstr("Die Sperre bleibt bestehen"));
    fake.files.HoldFile(CounterPath(), 0);
  }
}

}  // namespace
}  // namespace trelvo::dialogs
