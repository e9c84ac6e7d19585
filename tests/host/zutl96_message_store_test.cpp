// Message stores: their format, lookups with language fallback, cutting to
// the buffer, the problems a broken store reports.
#include <kxutils96/host/zutl96/zutl96.h>

#include <gtest/gtest.h>

#include <cstddef>
#include <filesystem>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "support/file_bytes.h"
#include "support/temp_dir.h"

using namespace kxu::zutl96;

namespace {

using namespace kxu::test;

// A store file in a fresh folder.
class MessageStoreTest : public ::testing::Test {
 protected:
  std::u16string Write(const std::string& content, const char* name = "store.kxmsg") {
    const std::filesystem::path path = m_dir.Path(name);
    WriteBytes(path, content);
    return path.u16string();
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
    "1 abc\xC3\xA9\xE2\x82\xACz\n"
    "65535 Highest id\n"
    "language 0x0407 Deutsch\n"
    "10000 Schlichter Text\n"
    "20 Nur deutsch\n";

// The text found, "<none>" when nothing was copied and the buffer is as it was.
std::string Lookup(HMODULE hStore, int nID, int nLangId, int nBufferSize) {
  std::vector<char> buffer(static_cast<std::size_t>(nBufferSize), '#');
  const int nCopied = utlLoadModuleString(hStore, nID, buffer.data(), nBufferSize, nLangId, 0, 0);
  if (nCopied == 0) return buffer[0] == '#' ? "<none>" : "<touched>";
  EXPECT_EQ(std::string(buffer.data()).size(), static_cast<std::size_t>(nCopied));
  return buffer.data();
}

TEST_F(MessageStoreTest, FindsTextsByIdAndLanguageFallingBackToTheDefaultAndCutsAtCharacters) {
  const HMODULE hStore = utlLoadMessageStore(Write(kStore).c_str());
  ASSERT_NE(hStore, nullptr);
  // Id, language, buffer size and the text found.
  const std::tuple<int, int, int, const char*> rows[] = {
      {10000, 0, 256, "Plain text"},
      {10000, 0x0407, 256, "Schlichter Text"},
      {10001, 0, 256, " Blanks  at the ends "},
      {10002, 0, 256, "Two\nlines\tand a \\ backslash"},
      {65535, 0, 256, "Highest id"},
      {10001, 0x0407, 256, " Blanks  at the ends "},  // the default language's
      {10000, 0x0411, 256, "Plain text"},
      {10000, 0x10407, 256, "Schlichter Text"},  // only 16 bits count
      {20, 0x0407, 256, "Nur deutsch"},          // found in its own language only
      {20, 0, 256, "<none>"},
      {1, 0, 10, "abc\xC3\xA9\xE2\x82\xACz"},  // 9 bytes fit exactly
      {1, 0, 8, "abc\xC3\xA9"},                // the euro sign does not fit whole
      {1, 0, 2, "a"},
      {1, 0, 1, "<none>"},
  };
  for (const auto& [nID, nLangId, nBufferSize, expected] : rows)
    EXPECT_EQ(Lookup(hStore, nID, nLangId, nBufferSize), expected) << nID;
  for (int nID : {-1, 10003}) EXPECT_EQ(Lookup(hStore, nID, 0, 8), "<none>") << nID;
}

TEST_F(MessageStoreTest, RejectsForeignHandlesAndAbsentFiles) {
  int nNotAStore = 0;
  EXPECT_EQ(Lookup(reinterpret_cast<HMODULE>(&nNotAStore), 10000, 0, 16), "<none>");
  EXPECT_EQ(Lookup(nullptr, 10000, 0, 16), "<none>");
  EXPECT_EQ(utlLoadMessageStore(m_dir.Path("absent.kxmsg").u16string().c_str()), nullptr);
  EXPECT_EQ(utlLoadMessageStore(nullptr), nullptr);
}

// The line and kind of each problem the check reports, each with a text.
using Problems = std::vector<std::pair<int, int>>;

// The problems listed; each one is counted unless `pnCount` takes the count.
Problems Check(const std::u16string& path, int* pnCount = nullptr) {
  Problems problems;
  const int nCount = utlCheckMessageStore(
      path.c_str(),
      [](void* pContext, int nLine, int nKind, const char* lpcszProblem) {
        EXPECT_NE(*lpcszProblem, '\0');
        static_cast<Problems*>(pContext)->emplace_back(nLine, nKind);
      },
      &problems);
  if (pnCount != nullptr)
    *pnCount = nCount;
  else
    EXPECT_EQ(nCount, static_cast<int>(problems.size()));
  return problems;
}

#define STORE_HEAD "default 0x0409\nlanguage 0x0409\n"

TEST_F(MessageStoreTest, ABrokenStoreDoesNotLoadAndCheckNamesTheLine) {
  // The store and the line of its one error.
  const std::tuple<std::string, int> rows[] = {
      {"language 0x0409\n1 a\n", 0},                                 // no default
      {STORE_HEAD "default 0x0407\n", 3},    {"default 1033\n", 1},  // not hexadecimal
      {"default 0x0409\nlanguage 0x0\n", 2}, {"default 0x0409\nlanguage 0x10409\n", 2},
      {"default 0x0409\n1 a\n", 2},  // a message before a language
      {STORE_HEAD "65536 a\n", 3},           {STORE_HEAD "000001 a\n", 3},
      {STORE_HEAD "15000The file\n", 3},     {STORE_HEAD "15000   \n", 3},
      {STORE_HEAD "1 C:\\data\n", 3},        {STORE_HEAD "1 a\x01z\n", 3},
      {STORE_HEAD "1 caf\xE9\n", 3},         {STORE_HEAD "message 1 a\n", 3},
      {STORE_HEAD "1 a\n2 b\n1 c\n", 5}};
  int nFile = 0;
  for (const auto& [content, nLine] : rows) {
    const std::u16string path = Write(content, std::to_string(++nFile).c_str());
    EXPECT_EQ(utlLoadMessageStore(path.c_str()), nullptr) << content;
    EXPECT_EQ(Check(path), (Problems{{nLine, kStoreError}})) << content;
  }
}

// 7 has no text in the default language: a warning, which does not stop a load.
TEST_F(MessageStoreTest, CheckListsTheFirstProblemsInLineOrderAndCountsTheRest) {
  EXPECT_EQ(Check(Write("default 0x0409\nlanguage 0x0407\n7 nur hier\nbad line\n8 x\\q\n")),
            (Problems{{3, kStoreWarning}, {4, kStoreError}, {5, kStoreError}}));
  const std::u16string path = Write("default 0x0409\nlanguage 0x0407\n7 nur hier\n", "warned");
  EXPECT_EQ(Check(path), (Problems{{3, kStoreWarning}}));
  EXPECT_NE(utlLoadMessageStore(path.c_str()), nullptr);
  // Past the first problems, one report on line 0 counts the rest; the count is exact.
  std::string junk = "default 0x0409\nlanguage 0x0407\n7 nur hier\n";
  for (int i = 0; i < 3 * kMaxListedStoreProblems; ++i) junk += "x\n";
  int nCount = 0;
  const Problems listed = Check(Write(junk, "junk"), &nCount);
  EXPECT_EQ(nCount, 3 * kMaxListedStoreProblems + 1);
  ASSERT_EQ(listed.size(), kMaxListedStoreProblems + 1U);
  EXPECT_EQ(listed.front(), std::make_pair(3, int{kStoreWarning}));
  EXPECT_EQ(listed[kMaxListedStoreProblems - 1],
            std::make_pair(kMaxListedStoreProblems + 2, int{kStoreError}));
  EXPECT_EQ(listed.back(), std::make_pair(0, int{kStoreError}));
}

// A text's units in the module's wide literal: quotes doubled, backslashes
// and tabs escaped, printable ASCII as it is, a letter past ASCII by its code.
TEST(MessageStoreRc, WritesEachTextAsAWideLiteral) {
  std::string rc;
  ASSERT_TRUE(MessageStoreRc("default 0x0409\nlanguage 0x0409\n1 \"a\"\\\\\\t~ Gr\xC3\xBC\n", rc));
  EXPECT_NE(rc.find(R"(L"""a""\\\t~ Gr\x00FC")"), std::string::npos) << rc;
}

}  // namespace
