// The INI layer: how values are read and written, and that a write leaves every
// other line of the file byte for byte as it was.
#include <gtest/gtest.h>

#include "engine/ini/ini_document.h"

namespace trelvo::engine {
namespace {

struct StringCase {
  const char* line;
  const char* expected;
};

TEST(IniDocumentRead, StringValuesFollowTheQuoteAndBlankRules) {
  const StringCase cases[] = {
      {"TextBefore=RE", "RE"},
      {"TextBefore =   RE 2024  ", "RE 2024"},  // blanks around key and value
      {"TextBefore=\"RE \"", "RE "},            // quoted: trailing blank kept
      {"TextBefore=\"  \"", "  "},
      {"TextBefore='RE '", "RE "},        // single quotes
      {"TextBefore=\"a\"\"b\"", "a\"b"},  // doubled double quote
      {"TextBefore='a''b'", "a''b"},      // no undoubling inside single quotes
      {"TextBefore=\"RE", "\"RE"},        // unmatched quote stays
      {"TextBefore=\"", "\""},            // a lone quote is no pair
      {"TextBefore=\"\"", ""},
      {"TextBefore=a=b", "a=b"},  // the first '=' separates
      {"TextBefore=", ""},
      {"textbefore=lower", "lower"},           // key matched without case
      {"TextBefore=Gr\xFC\xDF\x65", "Grüße"},  // Windows-1252 on disk
  };
  for (const auto& c : cases) {
    const IniDocument file(std::string("[Optionen]\r\n") + c.line + "\r\n");
    EXPECT_EQ(file.ReadString("Optionen", "TextBefore", "default"), c.expected) << c.line;
  }
}

TEST(IniDocumentRead, MissingSectionKeyOrFileGivesTheDefault) {
  const IniDocument file("[Zaehler]\r\nCounter=41\r\nText\r\n");
  EXPECT_EQ(file.ReadString("Optionen", "Counter", "d"), "d");
  EXPECT_EQ(file.ReadString("Zaehler", "Increment", "d"), "d");
  EXPECT_EQ(file.ReadString("Zaehler", "Text", "d"), "d");  // a line without '=' is no key
  EXPECT_EQ(IniDocument().ReadInteger("Zaehler", "Counter", 7), 7);
  // Keys before the first section belong to no section.
  EXPECT_EQ(IniDocument("Counter=5\r\n[Zaehler]\r\n").ReadInteger("Zaehler", "Counter", 0), 0);
  // A key of the next section is not found in this one.
  EXPECT_EQ(IniDocument("[Zaehler]\r\n[Optionen]\r\nCounter=5\r\n").ReadInteger("Zaehler", "Counter", 0), 0);
}

TEST(IniDocumentRead, SectionNamesMatchWithoutCaseAndLineEndsOfEveryKind) {
  EXPECT_EQ(IniDocument("[zaehler]\r\nCOUNTER=41\r\n").ReadInteger("Zaehler", "Counter", 0), 41);
  EXPECT_EQ(IniDocument("  [ Zaehler ]  \nCounter=1\rIncrement=2").ReadInteger("Zaehler", "Increment", 0), 2);
  EXPECT_EQ(IniDocument("[\xC4rger]\r\nx=1\r\n").ReadInteger("\xC3\xA4rger", "x", 0), 1);  // Ä and ä
}

struct IntegerCase {
  const char* value;
  int32_t expected;
};

TEST(IniDocumentRead, IntegersAndBooleansConvertOrFallBack) {
  const IntegerCase integers[] = {
      {"41", 41},
      {"-12", -12},
      {"+7", 7},
      {"0x10", 16},
      {"$1F", 31},
      {"0XfF", 255},
      {"12abc", -1},
      {"", -1},
      {"abc", -1},
      {"1.5", -1},
      {"2147483647", 2147483647},
      {"-2147483648", INT32_MIN},
      {"2147483648", -1},
      {"0xFFFFFFFF", -1},
      {"0x123456789", -1},
      {"\"5\"", -1},
      {"  12  ", 12},
  };
  for (const auto& c : integers)
    EXPECT_EQ(IniDocument(std::string("[S]\r\nK=") + c.value + "\r\n").ReadInteger("S", "K", -1), c.expected)
        << c.value;

  const IntegerCase booleans[] = {{"1", 1}, {"0", 0}, {"5", 1}, {"-1", 1}, {"ja", 2}, {"", 2}};
  for (const auto& c : booleans) {
    const IniDocument file(std::string("[S]\r\nK=") + c.value + "\r\n");
    if (c.expected == 2) {
      EXPECT_TRUE(file.ReadBool("S", "K", true)) << c.value;
      EXPECT_FALSE(file.ReadBool("S", "K", false)) << c.value;
    } else {
      EXPECT_EQ(file.ReadBool("S", "K", c.expected == 0), c.expected == 1) << c.value;
    }
  }
}

TEST(IniDocumentRead, ValuesAreCutTo2047Characters) {
  const std::string long_value(3000, 'x');
  const IniDocument plain("[S]\r\nK=" + long_value + "\r\n");
  EXPECT_EQ(plain.ReadString("S", "K", ""), std::string(2047, 'x'));
  // A quoted value cut before its closing quote keeps its opening quote.
  const IniDocument quoted("[S]\r\nK=\"" + long_value + "\"\r\n");
  EXPECT_EQ(quoted.ReadString("S", "K", ""), "\"" + std::string(2046, 'x'));
}

TEST(IniDocumentWrite, ReplacingAKeyKeepsEveryOtherLineByteForByte) {
  const std::string before =
      "; Kommentar\r\n[Zaehler]\r\n  counter = 41 \r\nFremd=\"x\"\n\r\n[Andere]\r\nCounter=9\r\n";
  IniDocument file(before);
  file.WriteInteger("Zaehler", "Counter", 42);
  EXPECT_EQ(file.Bytes(), "; Kommentar\r\n[Zaehler]\r\nCounter=42\r\nFremd=\"x\"\n\r\n[Andere]\r\nCounter=9\r\n");
}

TEST(IniDocumentWrite, NewKeysGoToTheEndOfTheirSectionAndNewSectionsToTheEndOfTheFile) {
  IniDocument file("[Zaehler]\r\nCounter=1\r\n\r\n[Optionen]\r\nSep=2");
  file.WriteInteger("zaehler", "Increment", 5);
  file.WriteString("Locking", "LockedBy", "#nouser#");
  file.WriteBool("Optionen", "LeadingText", true);
  EXPECT_EQ(file.Bytes(),
            "[Zaehler]\r\nCounter=1\r\nIncrement=5\r\n\r\n[Optionen]\r\nSep=2\r\nLeadingText=1\r\n"
            "[Locking]\r\nLockedBy=\"#nouser#\"\r\n");

  IniDocument empty;
  empty.WriteBool("Locking", "IsLocked", true);
  EXPECT_EQ(empty.Bytes(), "[Locking]\r\nIsLocked=1\r\n");
}

TEST(IniDocumentWrite, StringsComeBackExactlyAsWritten) {
  const std::string texts[] = {"", " RE ", "a\"b", "\"\"", "'x'", "Grüße € 5", "a=b;c"};
  for (const auto& text : texts) {
    IniDocument file;
    for (int round = 0; round < 3; ++round) {
      file.WriteString("Optionen", "TextBefore", text);
      file = IniDocument(file.Bytes());
      EXPECT_EQ(file.ReadString("Optionen", "TextBefore", "default"), text);
    }
  }
  IniDocument file;
  file.WriteString("S", "K", "a\"b€ü");
  EXPECT_EQ(file.Bytes(), "[S]\r\nK=\"a\"\"b\x80\xFC\"\r\n");
  file.WriteString("S", "K", "日本");
  EXPECT_EQ(file.Bytes(), "[S]\r\nK=\"??\"\r\n");
}

// Notepad saves with the UTF-8 byte order mark: such a file is read as UTF-8
// with the mark ignored and written back as UTF-8, mark first.
TEST(IniDocumentEncoding, AFileWithTheUtf8MarkStaysUtf8AndKeepsTheMark) {
  IniDocument document("\xEF\xBB\xBF[Zaehler]\r\nCounter=41\r\n[Optionen]\r\nTextBefore=\"Müller \"\r\n");
  EXPECT_EQ(document.ReadInteger("Zaehler", "Counter", 0), 41);
  EXPECT_EQ(document.ReadString("Optionen", "TextBefore", ""), "Müller ");
  document.WriteInteger("Zaehler", "Counter", 42);
  document.WriteString("Optionen", "TextAfter", "–Ä€");
  EXPECT_EQ(document.Bytes(),
            "\xEF\xBB\xBF[Zaehler]\r\nCounter=42\r\n[Optionen]\r\nTextBefore=\"Müller \"\r\n"
            "TextAfter=\"–Ä€\"\r\n");
  // Without the mark the same characters are Windows-1252 bytes.
  IniDocument plain;
  plain.WriteString("Optionen", "TextAfter", "–Ä€");
  EXPECT_EQ(plain.Bytes(), "[Optionen]\r\nTextAfter=\"\x96\xC4\x80\"\r\n");
}

TEST(IniDocumentEncoding, BinaryDataAndUtf16AreNoIniText) {
  EXPECT_THROW(IniDocument(std::string("[Zaehler]\r\nCounter=4\0\r\n", 21)), NotIniText);
  EXPECT_THROW(IniDocument(std::string("\xFF\xFE[\0Z\0", 6)), NotIniText);
}

// A line break inside a value would add keys or sections to the file.
TEST(IniDocumentWrite, LineBreaksInsideAStringAreWrittenAsBlanks) {
  IniDocument document("[Optionen]\r\n");
  document.WriteString("Optionen", "TextBefore", std::string("RE\r\n[Zaehler]\nCounter=1\r\0x", 26));
  EXPECT_EQ(document.Bytes(), "[Optionen]\r\nTextBefore=\"RE  [Zaehler] Counter=1  x\"\r\n");
  EXPECT_FALSE(document.HasKey("Zaehler", "Counter"));
}

}  // namespace
}  // namespace trelvo::engine
