// The Save command's proposed file name, the hosts' Save As dialogs, and the
// customer name, against an in-memory host.
#include "commands/save_command.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "commands/fake/in_memory_office_host.h"
#include "platform/fake/fake_system.h"

namespace trelvo::commands {
namespace {

struct NameCase {
  const char* customer;  // nullptr: no property
  const char* number;    // nullptr: no property
  const char* proposed;
};

TEST(SaveFileName, CustomerAndNumberAreJoinedAndCleaned) {
  const NameCase cases[] = {
      {"Müller & Co.", "2008-0042", "Müller & Co. 2008-0042"},
      {"A/B", "17", "A_B 17"},
      {"Kunde", nullptr, "Kunde Rechnungsnummer"},
      {nullptr, "R-17.", "R-17_"},
      {nullptr, " 17", "_17"},
      {"", "2008-0042", "2008-0042"},
      {nullptr, nullptr, "Rechnungsnummer"},
      {"x:y*z?", "\"1\"<2>|3\\4\t", "x_y_z_ _1__2__3_4_"},
      {".", nullptr, "_ Rechnungsnummer"},
  };
  for (const NameCase& c : cases) {
    InMemoryOfficeHost host(HostKind::Excel);
    if (c.customer) host.properties["SabuKunde"] = c.customer;
    if (c.number) host.properties["SabuCounter"] = c.number;
    EXPECT_EQ(BuildSaveFileName(host), c.proposed)
        << (c.customer ? c.customer : "-") << " / " << (c.number ? c.number : "-");
  }
  EXPECT_EQ(CleanFileName(""), "");
  EXPECT_EQ(CleanFileName("."), "_");
  EXPECT_EQ(CleanFileName(" a "), "_a_");
}

class SaveCommand : public ::testing::Test {
 protected:
  platform::FakeEnvironment fake;
  InMemoryOfficeHost excel{HostKind::Excel};
  InMemoryOfficeHost word{HostKind::Word};
  std::vector<std::string> Shown() const {
    std::vector<std::string> texts;
    for (const auto& message : fake.ui.shown) texts.push_back(message.caption + "|" + message.text);
    return texts;
  }
};

TEST_F(SaveCommand, ExcelGetsTheNameAndInRibbonHostsTheDefaultFormat) {
  excel.properties["SabuCounter"] = "0042";
  ExecuteSave(fake.env, excel, HostKind::Excel, false);
  ExecuteSave(fake.env, excel, HostKind::Excel, true);
  ASSERT_EQ(excel.save_as_calls.size(), 2u);
  EXPECT_EQ(excel.save_as_calls[0].name, "0042");
  EXPECT_EQ(excel.save_as_calls[0].format, std::nullopt);
  EXPECT_EQ(excel.save_as_calls[1].format, 51);
}

TEST_F(SaveCommand, WordGetsTheName) {
  word.properties["SabuKunde"] = "Meier";
  ExecuteSave(fake.env, word, HostKind::Word, true);
  ASSERT_EQ(word.save_as_calls.size(), 1u);
  EXPECT_EQ(word.save_as_calls[0].name, "Meier Rechnungsnummer");
}

TEST_F(SaveCommand, WithoutAWorkbookOrDocumentEachCommandSaysSo) {
  excel.open_files = word.open_files = 0;
  ExecuteSave(fake.env, excel, HostKind::Excel, false);
  ExecuteCustomerName(fake.env, word, HostKind::Word, [](const std::string&) { return std::string("x"); });
  EXPECT_THAT(Shown(), testing::ElementsAre("Trelvo|Kein aktives Arbeitsblatt. Bitte öffnen Sie eine Arbeitsmappe.",
                                            "Trelvo|Kein aktives Dokument. Bitte öffnen Sie ein Dokument."));
  EXPECT_TRUE(excel.save_as_calls.empty());
  EXPECT_TRUE(word.properties.empty());
}

TEST_F(SaveCommand, TheCustomerNameIsAskedWithTheCurrentOneAndStoredUnlessCancelled) {
  std::vector<std::string> asked;
  const auto answer = [&](std::optional<std::string> text) {
    return [&asked, text](const std::string& current) {
      asked.push_back(current);
      return text;
    };
  };
  ExecuteCustomerName(fake.env, excel, HostKind::Excel, answer("Müller & Co."));
  EXPECT_EQ(excel.properties["SabuKunde"], "Müller & Co.");
  ExecuteCustomerName(fake.env, excel, HostKind::Excel, answer(std::nullopt));
  EXPECT_EQ(excel.properties["SabuKunde"], "Müller & Co.") << "Cancel writes nothing";
  ExecuteCustomerName(fake.env, excel, HostKind::Excel, answer(""));
  EXPECT_EQ(excel.properties["SabuKunde"], "") << "an empty name is stored";
  EXPECT_THAT(asked, testing::ElementsAre("", "Müller & Co.", "Müller & Co."));
  excel.properties["SabuCounter"] = "0042";
  EXPECT_EQ(BuildSaveFileName(excel), "0042");
}

}  // namespace
}  // namespace trelvo::commands
