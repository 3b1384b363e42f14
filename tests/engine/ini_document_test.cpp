// The INI layer: how values are read and written, and that a write leaves every
// other line of the file byte for byte as it was.
#include <gtest/gtest.h>

#include "engine/counter_file_store.h"
#include "engine/ini/ini_document.h"
#include "engine/server/server_range.h"
#include "tests/engine/engine_fixture.h"

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
  // In UTF-8 the same letters fold; others match only as they are.
  EXPECT_EQ(IniDocument("[Ärger]\r\nx=1\r\n").ReadInteger("ärger", "x", 0), 1);
  EXPECT_EQ(IniDocument("\xEF\xBB\xBF[Þorn ÿ]\r\nx=1\r\n").ReadInteger("þORN ÿ", "x", 0), 1);
  EXPECT_EQ(IniDocument("[Ÿ]\r\nx=1\r\n").ReadInteger("ÿ", "x", 0), 0);
  EXPECT_EQ(IniDocument("[÷]\r\nx=1\r\n").ReadInteger("×", "x", 0), 0);
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
  // In UTF-8 characters are counted, not bytes.
  std::string umlauts, expected;
  for (int i = 0; i < 3000; ++i) umlauts += "ü€";
  for (int i = 0; i < 2047; ++i) expected += i % 2 == 0 ? "ü" : "€";
  EXPECT_EQ(IniDocument("[S]\r\nK=" + umlauts + "\r\n").ReadString("S", "K", ""), expected);
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

// A file is read in the encoding its bytes are in (Notepad writes UTF-8 with
// or without the byte order mark, older tools Windows-1252) and written back
// in the same one: the lines a write does not touch keep their bytes, the
// written ones are in the file's encoding.
struct EncodingCase {
  const char* name;
  std::string mark;     // the byte order mark, if any
  std::string comment;  // an untouched line, in the file's bytes
  std::string value;    // TextBefore's value in the file's bytes
  std::string read;     // what TextBefore reads as
  std::string written;  // how "–Ä€ 日本" is written into the file
};

TEST(IniDocumentEncoding, AFileIsReadAndWrittenInTheEncodingItCameIn) {
  const std::string utf8_written = "–Ä€ 日本";
  const std::string cp1252_written = "\x96\xC4\x80 ??";
  const EncodingCase cases[] = {
      {"UTF-8 without mark", "", "; Zähler von Müller", "Müller & Söhne", "Müller & Söhne", utf8_written},
      {"UTF-8 without mark, umlauts only in a comment", "", "; Zähler", "Mueller", "Mueller", utf8_written},
      {"UTF-8 with mark", "\xEF\xBB\xBF", "; Zähler", "Müller ", "Müller ", utf8_written},
      {"UTF-8 with mark, an invalid byte", "\xEF\xBB\xBF", "; Z\xE4hler", "M\xFCller", "M?ller", utf8_written},
      {"Windows-1252", "", "; Z\xE4hler", "M\xFCller & S\xF6hne", "Müller & Söhne", cp1252_written},
      {"valid UTF-8 beside a Windows-1252 byte", "", "; Z\xE4hler", "Müller", "MÃ¼ller", cp1252_written},
      {"a UTF-8 sequence cut short", "", "; Z\xC3", "Mueller", "Mueller", cp1252_written},
      {"UTF-16 surrogate written as UTF-8", "", "; \xED\xA0\x80", "x", "x", cp1252_written},
      {"plain ASCII", "", "; Zaehler", "Mueller", "Mueller", cp1252_written},
  };
  for (const auto& c : cases) {
    const std::string lines = c.comment + "\n[Zaehler]\r\nCounter=41\r\n[Optionen]\r\nTextBefore=\"" + c.value + "\"";
    IniDocument document(c.mark + lines);
    EXPECT_EQ(document.ReadString("Optionen", "TextBefore", ""), c.read) << c.name;
    EXPECT_EQ(document.Bytes(), c.mark + lines) << c.name;

    document.WriteInteger("Zaehler", "Counter", 42);
    document.WriteString("Optionen", "TextAfter", "–Ä€ 日本");
    const std::string after = c.comment + "\n[Zaehler]\r\nCounter=42\r\n[Optionen]\r\nTextBefore=\"" + c.value +
                              "\"\r\nTextAfter=\"" + c.written + "\"\r\n";
    EXPECT_EQ(document.Bytes(), c.mark + after) << c.name;
    // Read again, the written file is in the encoding it was.
    const IniDocument again(document.Bytes());
    EXPECT_EQ(again.ReadString("Optionen", "TextBefore", ""), c.read) << c.name;
    EXPECT_EQ(again.ReadString("Optionen", "TextAfter", ""), c.written == utf8_written ? utf8_written : "–Ä€ ??")
        << c.name;
  }
  // A new file is Windows-1252.
  IniDocument fresh;
  fresh.WriteString("Optionen", "TextAfter", "–Ä€ 日本");
  EXPECT_EQ(fresh.Bytes(), "[Optionen]\r\nTextAfter=\"" + cp1252_written + "\"\r\n");
}

// A pointer saved by Notepad (UTF-8 without mark) and one saved as
// Windows-1252 name the same range.
class PointerEncodingTest : public EngineTest {};

TEST_F(PointerEncodingTest, APointerNamesTheSameRangeInUtf8AndInWindows1252) {
  const std::string utf8_path = fake.UserFolder() + "utf8.ini";
  const std::string cp1252_path = fake.UserFolder() + "cp1252.ini";
  fake.files.SetFile(utf8_path, "[Server]\r\nConnection=DSN=Trelvo\r\nRange=\"Müller & Söhne\"\r\n");
  fake.files.SetFile(cp1252_path, "[Server]\r\nConnection=DSN=Trelvo\r\nRange=\"M\xFCller & S\xF6hne\"\r\n");

  const auto from_utf8 = server::ServerPointerIn(LoadCounterFile(env, utf8_path), utf8_path);
  const auto from_cp1252 = server::ServerPointerIn(LoadCounterFile(env, cp1252_path), cp1252_path);
  ASSERT_TRUE(from_utf8 && from_cp1252);
  EXPECT_EQ(from_utf8->range, "Müller & Söhne");
  EXPECT_EQ(from_cp1252->range, from_utf8->range);
  EXPECT_EQ(from_cp1252->connection, from_utf8->connection);
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
