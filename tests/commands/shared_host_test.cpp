// The module-wide helpers: ribbon hosts, the application word of the usage
// log, and the custom document properties of the active workbook or document.
#include "commands/shared_host.h"

#include <gtest/gtest.h>

#include "commands/fake/in_memory_office_host.h"

namespace trelvo::commands {
namespace {

TEST(SharedHost, RibbonHostsAreThoseFromVersionTwelveOn) {
  for (const auto& [version, ribbon] : std::vector<std::pair<std::string, bool>>{
           {"11.0", false}, {"12.0", true}, {"14.0", true}, {"9.0", false}, {"", false}})
    EXPECT_EQ(IsRibbonHost(version), ribbon) << version;
}

TEST(SharedHost, TheApplicationWordNamesTheKindOfHost) {
  EXPECT_EQ(ApplicationWord(0), "Excel ");
  EXPECT_EQ(ApplicationWord(1), "Word ");
  EXPECT_EQ(ApplicationWord(2), "Makro ");
  EXPECT_EQ(ApplicationWord(-1), "Makro ");
}

TEST(SharedHost, DocumentPropertiesAreAddedOrSetAndReadWithAFallback) {
  InMemoryOfficeHost host(HostKind::Word);
  EXPECT_EQ(GetDocumentProperty(host, "SabuCounter", "keine"), "keine");
  SetDocumentProperty(host, "SabuCounter", "0042");
  SetDocumentProperty(host, "sabucounter", "0043");  // exists already: its value is set
  EXPECT_EQ(GetDocumentProperty(host, "SabuCounter", "keine"), "0043");
  EXPECT_EQ(host.properties.size(), 1u);

  host.open_files = 0;
  EXPECT_EQ(GetDocumentProperty(host, "SabuCounter", "keine"), "keine");
  EXPECT_THROW(SetDocumentProperty(host, "SabuCounter", "0044"), Error) << "the second step's error is not caught";
}

}  // namespace
}  // namespace trelvo::commands
