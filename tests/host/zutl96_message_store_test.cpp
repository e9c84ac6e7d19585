// Integers of index texts, language identifiers, and message stores: their
// format, lookups with language fallback, cutting to the buffer, and the
// problems a broken store reports.
#include <kxutils96/host/zutl96/zutl96.h>

#include <kxutils96/host/zutl96/detail/string_table.h>

#include <gtest/gtest.h>

#include <array>
#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

#include "support/file_bytes.h"
#include "support/temp_dir.h"

using namespace kxu::zutl96;

namespace {

using kxu::test::TempDir;
using kxu::test::WriteBytes;
using namespace std::string_literals;

struct IntCase {
  const char* text;
  int nResult;
  int nValue;  // when nResult is 1
};

TEST(utlStrToInt, AcceptsOneDecimalIntegerOnly) {
  const std::vector<IntCase> cases = {{"0", 1, 0},
                                      {"42", 1, 42},
                                      {" \t7 ", 1, 7},
                                      {"+3", 1, 3},
                                      {"-12", 1, -12},
                                      {"007", 1, 7},
                                      {"2147483647", 1, 2147483647},
                                      {"-2147483648", 1, -2147483647 - 1},
                                      {"2147483648", 0, 0},
                                      {"12345678901", 0, 0},
                                      {"", 0, 0},
                                      {"  ", 0, 0},
                                      {"+", 0, 0},
                                      {"-", 0, 0},
                                      {"+-1", 0, 0},
                                      {"1x", 0, 0},
                                      {"x1", 0, 0},
                                      {"1 2", 0, 0},
                                      {"0x10", 0, 0},
                                      {"1.0", 0, 0}};
  for (const IntCase& c : cases) {
    int nValue = -99;
    EXPECT_EQ(utlStrToInt(c.text, &nValue), c.nResult) << '"' << c.text << '"';
    EXPECT_EQ(nValue, c.nResult == 1 ? c.nValue : -99) << '"' << c.text << '"';
  }
  EXPECT_EQ(utlStrToInt(nullptr, nullptr), 0);
  EXPECT_EQ(utlStrToInt("5", nullptr), 1);
}

TEST(utlLanguageToLangId, MapsTheHostsLanguageNumbers) {
  EXPECT_EQ(utlLanguageToLangId(1), 0x0409);
  EXPECT_EQ(utlLanguageToLangId(2), 0x0407);
  EXPECT_EQ(utlLanguageToLangId(3), 0x0411);
  EXPECT_EQ(utlLanguageToLangId(4), 0x0804);
  EXPECT_EQ(utlLanguageToLangId(0), 0);
  EXPECT_EQ(utlLanguageToLangId(-1), 0);
  EXPECT_EQ(utlLanguageToLangId(5), 0);
}

// A store file in a fresh folder.
class MessageStoreTest : public ::testing::Test {
 protected:
  std::u16string Write(const std::string& content, const char* name = "store.kxmsg") {
    const std::filesystem::path path = m_dir.Path(name);
    WriteBytes(path, content);
    return path.u16string();
  }

  HMODULE Load(const std::string& content, const char* name = "store.kxmsg") {
    return utlLoadMessageStore(Write(content, name).c_str());
  }

  TempDir m_dir;
};

constexpr const char* kStore =
    "\xEF\xBB\xBF# a comment\r\n"
    "default 0x0409\r\n"
    "\n"
    "language 0x0409 English\n"
    "  10000 Plain text  \n"
    "10001\t\\sBlanks\\s at the ends\\s\n"
    "10002 Two\\nlines\\tand a \\\\ backslash\n"
    "65535 Highest id\n"
    "language 0x0407 Deutsch\n"
    "10000 Schlichter Text\n"
    "20 Nur deutsch\n";

std::string Lookup(HMODULE hStore, int nID, int nLangId, int nBufferSize = 256) {
  std::vector<char> buffer(static_cast<std::size_t>(nBufferSize), '#');
  const int nCopied = utlLoadModuleString(hStore, nID, buffer.data(), nBufferSize, nLangId, 0, 0);
  if (nCopied == 0) return "<none>";
  EXPECT_EQ(std::string(buffer.data()).size(), static_cast<std::size_t>(nCopied));
  return buffer.data();
}

TEST_F(MessageStoreTest, FindsTextsByIdAndLanguage) {
  const HMODULE hStore = Load(kStore);
  ASSERT_NE(hStore, nullptr);
  EXPECT_EQ(Lookup(hStore, 10000, 0), "Plain text");
  EXPECT_EQ(Lookup(hStore, 10000, 0x0409), "Plain text");
  EXPECT_EQ(Lookup(hStore, 10000, 0x0407), "Schlichter Text");
  EXPECT_EQ(Lookup(hStore, 10001, 0), " Blanks  at the ends ");
  EXPECT_EQ(Lookup(hStore, 10002, 0), "Two\nlines\tand a \\ backslash");
  EXPECT_EQ(Lookup(hStore, 65535, 0), "Highest id");
}

TEST_F(MessageStoreTest, FallsBackToTheDefaultLanguage) {
  const HMODULE hStore = Load(kStore);
  ASSERT_NE(hStore, nullptr);
  EXPECT_EQ(Lookup(hStore, 10001, 0x0407), " Blanks  at the ends ");
  EXPECT_EQ(Lookup(hStore, 10000, 0x0411), "Plain text");
  EXPECT_EQ(Lookup(hStore, 10000, 0x10407), "Schlichter Text");  // only 16 bits count
  // A text only in another language is found in that language only.
  EXPECT_EQ(Lookup(hStore, 20, 0x0407), "Nur deutsch");
  EXPECT_EQ(Lookup(hStore, 20, 0), "<none>");
}

TEST_F(MessageStoreTest, AbsentMessagesLeaveTheBufferAlone) {
  const HMODULE hStore = Load(kStore);
  ASSERT_NE(hStore, nullptr);
  for (int nID : {-1, 0, 9999, 10003, 65536, 100000}) {
    std::array<char, 8> buffer = {'k', 'e', 'p', 't', '\0'};
    EXPECT_EQ(utlLoadModuleString(hStore, nID, buffer.data(), 8, 0, 0, 0), 0) << nID;
    EXPECT_STREQ(buffer.data(), "kept") << nID;
  }
}

TEST_F(MessageStoreTest, CutsLongTextsAtWholeCharacters) {
  const HMODULE hStore = Load(
      "default 0x0409\nlanguage 0x0409\n1 abc\xC3\xA9\xE2\x82\xAC"
      "d\n");  // abcé€d
  ASSERT_NE(hStore, nullptr);
  EXPECT_EQ(Lookup(hStore, 1, 0, 10),
            "abc\xC3\xA9\xE2\x82\xAC"
            "d");  // 9 bytes fit exactly
  EXPECT_EQ(Lookup(hStore, 1, 0, 9), "abc\xC3\xA9\xE2\x82\xAC");
  EXPECT_EQ(Lookup(hStore, 1, 0, 8), "abc\xC3\xA9");  // the euro sign does not fit whole
  EXPECT_EQ(Lookup(hStore, 1, 0, 5), "abc");          // nor the é
  EXPECT_EQ(Lookup(hStore, 1, 0, 2), "a");
  std::array<char, 4> buffer{};
  EXPECT_EQ(utlLoadModuleString(hStore, 1, buffer.data(), 1, 0, 0, 0), 0);
  EXPECT_EQ(utlLoadModuleString(hStore, 1, nullptr, 100, 0, 0, 0), 0);
}

TEST_F(MessageStoreTest, LoadsAPathOnceAndRejectsForeignHandles) {
  const std::u16string path = Write(kStore);
  const HMODULE hFirst = utlLoadMessageStore(path.c_str());
  ASSERT_NE(hFirst, nullptr);
  // The file is not read again: a broken file at the same path changes nothing.
  WriteBytes(m_dir.Path("store.kxmsg"), "broken");
  EXPECT_EQ(utlLoadMessageStore(path.c_str()), hFirst);
  int nNotAStore = 0;
  std::array<char, 16> buffer{};
  EXPECT_EQ(utlLoadModuleString(reinterpret_cast<HMODULE>(&nNotAStore), 10000, buffer.data(), 16, 0,
                                0, 0),
            0);
  EXPECT_EQ(utlLoadModuleString(nullptr, 10000, buffer.data(), 16, 0, 0, 0), 0);
}

TEST_F(MessageStoreTest, MissingFilesDoNotLoad) {
  EXPECT_EQ(utlLoadMessageStore(m_dir.Path("absent.kxmsg").u16string().c_str()), nullptr);
  EXPECT_EQ(utlLoadMessageStore(u""), nullptr);
  EXPECT_EQ(utlLoadMessageStore(nullptr), nullptr);
  EXPECT_EQ(utlCheckMessageStore(m_dir.Path("absent.kxmsg").u16string().c_str(), nullptr, nullptr),
            -1);
}

struct Problem {
  int nLine;
  int nKind;
  std::string text;
};

std::vector<Problem> Check(const std::u16string& path) {
  std::vector<Problem> problems;
  const int nCount = utlCheckMessageStore(
      path.c_str(),
      [](void* pContext, int nLine, int nKind, const char* lpcszProblem) {
        static_cast<std::vector<Problem>*>(pContext)->push_back({nLine, nKind, lpcszProblem});
      },
      &problems);
  EXPECT_EQ(nCount, static_cast<int>(problems.size()));
  return problems;
}

struct BrokenCase {
  const char* name;
  std::string content;
  int nLine;  // of the one error
};

class BrokenStoreTest : public MessageStoreTest,
                        public ::testing::WithParamInterface<BrokenCase> {};

TEST_P(BrokenStoreTest, DoesNotLoadAndNamesTheLine) {
  const BrokenCase& c = GetParam();
  const std::u16string path = Write(c.content);
  EXPECT_EQ(utlLoadMessageStore(path.c_str()), nullptr);
  const std::vector<Problem> problems = Check(path);
  ASSERT_EQ(problems.size(), 1U);
  EXPECT_EQ(problems[0].nLine, c.nLine);
  EXPECT_EQ(problems[0].nKind, kStoreError);
  EXPECT_FALSE(problems[0].text.empty());
}

#define STORE_HEAD "default 0x0409\nlanguage 0x0409\n"

INSTANTIATE_TEST_SUITE_P(
    utlCheckMessageStore, BrokenStoreTest,
    ::testing::Values(BrokenCase{"NoDefault", "language 0x0409\n1 a\n", 0},
                      BrokenCase{"DefaultMissingAtTheEnd", "# only a comment\n", 0},
                      BrokenCase{"DefaultTwice", "default 0x0409\ndefault 0x0407\n", 2},
                      BrokenCase{"DefaultAfterALanguage", STORE_HEAD "default 0x0407\n", 3},
                      BrokenCase{"DefaultInDecimal", "default 1033\n", 1},
                      BrokenCase{"LanguageZero", "default 0x0409\nlanguage 0x0\n", 2},
                      BrokenCase{"LanguageTooWide", "default 0x0409\nlanguage 0x10409\n", 2},
                      BrokenCase{"LanguageWithoutId", "default 0x0409\nlanguage\n", 2},
                      BrokenCase{"MessageBeforeALanguage", "default 0x0409\n1 a\n", 2},
                      BrokenCase{"IdTooLarge", STORE_HEAD "65536 a\n", 3},
                      BrokenCase{"IdTooLong", STORE_HEAD "000001 a\n", 3},
                      BrokenCase{"NoBlankAfterTheId", STORE_HEAD "15000The file\n", 3},
                      BrokenCase{"NoText", STORE_HEAD "15000   \n", 3},
                      BrokenCase{"UnknownEscape", STORE_HEAD "1 C:\\data\n", 3},
                      BrokenCase{"BackslashAtTheEnd", STORE_HEAD "1 a\\\n", 3},
                      BrokenCase{"ControlByte",
                                 STORE_HEAD "1 a\x01"
                                            "b\n",
                                 3},
                      BrokenCase{"NulByte", STORE_HEAD "1 a\0b\n"s, 3},
                      BrokenCase{"InvalidUtf8", STORE_HEAD "1 caf\xE9\n", 3},
                      BrokenCase{"UnknownWord", STORE_HEAD "message 1 a\n", 3},
                      BrokenCase{"Duplicate", STORE_HEAD "1 a\n2 b\n1 c\n", 5}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(MessageStoreTest, CheckListsEveryProblemInLineOrder) {
  const std::vector<Problem> problems =
      Check(Write("default 0x0409\nlanguage 0x0407\n7 nur hier\nbad line\n8 x\\q\n"));
  ASSERT_EQ(problems.size(), 3U);
  EXPECT_EQ(problems[0].nLine, 3);
  EXPECT_EQ(problems[0].nKind, kStoreWarning);  // 7 has no default-language text
  EXPECT_EQ(problems[1].nLine, 4);
  EXPECT_EQ(problems[1].nKind, kStoreError);
  EXPECT_EQ(problems[2].nLine, 5);
  EXPECT_EQ(problems[2].nKind, kStoreError);
}

TEST_F(MessageStoreTest, WarningsDoNotStopALoad) {
  const std::u16string path = Write("default 0x0409\nlanguage 0x0407\n7 nur hier\n");
  EXPECT_EQ(Check(path).size(), 1U);
  EXPECT_NE(utlLoadMessageStore(path.c_str()), nullptr);
  EXPECT_EQ(Check(Write(kStore, "clean.kxmsg")).size(), 1U);  // 20 is only in German
}

TEST(MessageStoreRc, WritesOneTablePerLanguageWithTheDefaultOneNeutral) {
  std::string rc = "kept";
  EXPECT_FALSE(MessageStoreRc(STORE_HEAD "1 \\x\n", rc));
  EXPECT_EQ(rc, "kept");
  ASSERT_TRUE(
      MessageStoreRc("default 0x0409\nlanguage 0x0407 Deutsch\n"
                     "1 \"Gr\xC3\xBC\xC3\x9F\" \\\\ \xF0\x9D\x84\x9E"
                     "f\\n\\t.\n"
                     "7 nur hier\nlanguage 0x0409 English\n1 Hi\n",
                     rc));
  // Quotes doubled, every non-ASCII unit in four hex digits; 7, which the
  // default language lacks, is there empty in it.
  EXPECT_NE(rc.find("LANGUAGE 0x00, 0x00\nSTRINGTABLE\nBEGIN\n  1, L\"Hi\"\n  7, L\"\"\nEND\n"),
            std::string::npos)
      << rc;
  EXPECT_NE(rc.find("LANGUAGE 0x07, 0x01\nSTRINGTABLE\nBEGIN\n"
                    "  1, L\"\"\"Gr\\x00FC\\x00DF\"\" \\\\ \\xD834\\xDD1Ef\\n\\t.\"\n"
                    "  7, L\"nur hier\"\nEND\n"),
            std::string::npos)
      << rc;
}

// A string table block with "A" in slot 0, slot 1 empty and "BC" in slot 2,
// cut after `nBytes` bytes.
std::vector<std::byte> BlockBytes(std::size_t nBytes) {
  std::vector<std::byte> bytes;
  for (const char16_t unit : {u'\1', u'A', u'\0', u'\2', u'B', u'C'}) {
    bytes.push_back(static_cast<std::byte>(unit & 0xFF));
    bytes.push_back(static_cast<std::byte>(unit >> 8));
  }
  bytes.resize(nBytes);
  return bytes;
}

struct BlockCase {
  std::size_t nBytes;
  int nIndex;
  std::u16string text;
};

TEST(StringOfBlock, ReadsItsSlotAndNothingPastTheBlocksEnd) {
  const std::vector<BlockCase> cases = {{12, 0, u"A"}, {12, 1, u""},  {12, 2, u"BC"},
                                        {12, 3, u""},  {12, 15, u""}, {10, 2, u""},
                                        {11, 2, u""},  {4, 0, u"A"},  {0, 0, u""}};
  for (const BlockCase& c : cases) {
    const std::vector<std::byte> bytes = BlockBytes(c.nBytes);
    EXPECT_EQ(StringOfBlock(bytes, c.nIndex), c.text) << c.nBytes << '/' << c.nIndex;
  }
}

TEST_F(MessageStoreTest, RandomBytesAreAFailedLoad) {
  std::string bytes;
  for (int i = 0; i < 4096; ++i) bytes.push_back(static_cast<char>((i * 7919) % 256));
  EXPECT_EQ(Load(bytes), nullptr);
}

}  // namespace
