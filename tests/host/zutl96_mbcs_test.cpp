#include <kxutils96/host/zutl96/zutl96.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include <kxutils96/platform/win32/win_nls.h>

using namespace kxu::zutl96;

namespace {

int GrowTestBuffer(MbcsConversion* pRecord, int nNewSize);

// A buffer of the test's own holding a text and its NUL, with a conversion
// record over it whose growth routine records its calls and grows (or
// refuses to).
struct TestBuffer {
  explicit TestBuffer(const std::string& text) : bytes(text.begin(), text.end()) {
    bytes.push_back('\0');
  }
  TestBuffer(const TestBuffer&) = delete;
  TestBuffer& operator=(const TestBuffer&) = delete;

  MbcsConversion Record() {
    return {&pSelf, &GrowTestBuffer, 0, bytes.data(), static_cast<int>(bytes.size()), 0};
  }

  std::vector<char> bytes;
  std::vector<int> growCalls;
  bool bRefuse = false;
  TestBuffer* pSelf = this;
};

int GrowTestBuffer(MbcsConversion* pRecord, int nNewSize) {
  TestBuffer& buffer = **static_cast<TestBuffer**>(pRecord->pOwnerSlot);
  buffer.growCalls.push_back(nNewSize);
  if (buffer.bRefuse) {
    pRecord->bFailed = 1;
    return 0;
  }
  buffer.bytes.resize(static_cast<std::size_t>(nNewSize));
  pRecord->pBuffer = buffer.bytes.data();
  pRecord->nBufferSize = nNewSize;
  return 1;
}

TEST(UtlMBCStoUTF8InPlaceTest, ConvertsAndGrowsOnlyWhenNeeded) {
  const struct {
    const char* name;
    std::string text;
    int nCodePage;
    std::string expected;
    int nResult;
    std::vector<int> growCalls;
  } rows[] = {
      {"fits without growing", "abc", 1252, "abc", 3, {}},
      {"grows once to the exact size", "caf\xE9", 1252, "caf\xC3\xA9", 5, {6}},
      {"valid UTF-8 is its own result", "\xC3\xA9", 65001, "\xC3\xA9", 2, {}},
      {"invalid UTF-8 becomes U+FFFD", "\xFF\xFE", 65001, "\xEF\xBF\xBD\xEF\xBF\xBD", 6, {7}},
      {"CP_ACP stands for the ANSI page", "abc", CP_ACP, "abc", 3, {}},
      {"unknown page changes nothing", "caf\xE9", 12345, "caf\xE9", 0, {}},
  };
  for (const auto& row : rows) {
    TestBuffer buffer(row.text);
    MbcsConversion record = buffer.Record();
    EXPECT_EQ(utlMBCStoUTF8InPlace(&record, row.nCodePage), row.nResult) << row.name;
    EXPECT_EQ(std::string(record.pBuffer), row.expected) << row.name;
    EXPECT_EQ(buffer.growCalls, row.growCalls) << row.name;
    EXPECT_EQ(record.bFailed, 0) << row.name;
  }
}

// The whole text through UTF-16 at once, as the system converts it.
std::string Utf8Of(const std::string& text, UINT nPage) {
  const int nLength = static_cast<int>(text.size());
  std::basic_string<WCHAR> wide(text.size(), 0);
  wide.resize(static_cast<std::size_t>(
      MultiByteToWideChar(nPage, 0, text.data(), nLength, wide.data(), nLength)));
  std::string utf8(wide.size() * 3, '\0');
  utf8.resize(static_cast<std::size_t>(
      WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), utf8.data(),
                          static_cast<int>(utf8.size()), nullptr, nullptr)));
  return utf8;
}

std::string EveryByteButNul() {
  std::string bytes;
  for (int byte = 1; byte < 256; ++byte) bytes += static_cast<char>(byte);
  return bytes;
}

std::string Repeated(const std::string& piece, std::size_t nBytes) {
  std::string text;
  while (text.size() < nBytes) text += piece;
  return text;
}

// Long texts, with double-byte codes whose trail bytes look like ASCII
// letters, and in the pages only some systems serve, codes with bytes of
// every value (GB18030's four-byte codes) and codes that carry a state
// (UTF-7, ISO-2022-JP): a cut after any byte below 0x40 would split them.
TEST(UtlMBCStoUTF8InPlaceTest, LongTextsConvertAsAWhole) {
  const struct {
    const char* name;
    std::string text;
    UINT nPage;
  } rows[] = {
      {"1252 words", Repeated("caf\xE9 na\xEFve \x93x\x94, ", 300000), 1252},
      {"1252 without a chunk end", Repeated("abc\xE9", 200000) + " tail\xE9", 1252},
      {"1255 every byte, undefined ones too", Repeated(EveryByteButNul(), 70000), 1255},
      {"932 codes with letter trails", Repeated("\x83\x41\x83\x61\x93\xFA", 200000), 932},
      {"932 with blanks", Repeated("\x93\xFA\x96\x7B \x8C\xEA", 200000), 932},
      {"950 codes", Repeated("\xA4\xA4\xA4\x40", 150001), 950},
      {"invalid UTF-8", Repeated("ab\xFF\xE4\xB8 ", 200000), 65001},
      {"GB18030 four-byte codes", "x" + Repeated("\x81\x30\x81\x30", 200000), 54936},
      {"UTF-7", "+" + Repeated("Ti1OLU4t", 100000) + "-", 65000},
      {"ISO-2022-JP", "\x1B$B" + Repeated("\x30\x21", 200000) + "\x1B(B", 50220},
  };
  for (const auto& row : rows) {
    if (!IsValidCodePage(row.nPage)) continue;
    TestBuffer buffer(row.text);
    MbcsConversion record = buffer.Record();
    const std::string expected = Utf8Of(row.text, row.nPage);
    ASSERT_EQ(utlMBCStoUTF8InPlace(&record, static_cast<int>(row.nPage)),
              static_cast<int>(expected.size()))
        << row.name;
    EXPECT_TRUE(std::string(record.pBuffer) == expected) << row.name;
    EXPECT_EQ(buffer.growCalls.size(), 1u) << row.name;
  }
}

TEST(UtlMBCStoUTF8InPlaceTest, RefusedGrowthLeavesTheTextAndReturnsZero) {
  TestBuffer buffer("\xE9t\xE9");
  buffer.bRefuse = true;
  MbcsConversion record = buffer.Record();
  EXPECT_EQ(utlMBCStoUTF8InPlace(&record, 1252), 0);
  EXPECT_EQ(record.bFailed, 1);
  EXPECT_EQ(std::string(buffer.bytes.data()), "\xE9t\xE9");
  EXPECT_EQ(buffer.growCalls, std::vector<int>{6});
}

TEST(UtlMBCStoUTF8InPlaceTest, ReadsNoFurtherThanTheBufferAndGrowsOnlyThroughItsRoutine) {
  // No NUL within the size: the text is the size less one byte.
  char bytes[4] = {'a', 'b', 'c', 'd'};
  MbcsConversion record{nullptr, nullptr, 0, bytes, 3, 0};
  EXPECT_EQ(utlMBCStoUTF8InPlace(&record, 1252), 2);
  EXPECT_EQ(std::string(bytes, 3), std::string("ab\0", 3));
  EXPECT_EQ(utlMBCStoUTF8InPlace(nullptr, 1252), 0);
  MbcsConversion empty{nullptr, nullptr, 0, nullptr, 0, 0};
  EXPECT_EQ(utlMBCStoUTF8InPlace(&empty, 1252), 0);
  // Without a growth routine a longer result fails.
  char longer[] = "\xE9";
  MbcsConversion fixed{nullptr, nullptr, 0, longer, 2, 0};
  EXPECT_EQ(utlMBCStoUTF8InPlace(&fixed, 1252), 0);
  EXPECT_STREQ(longer, "\xE9");
}

TEST(UtlChooseCodePageTest, NegativeSelectsHostThenAnsi) {
  const int nSaved = g_nCodePage;
  EXPECT_EQ(nSaved, -1) << "the host's code page starts at -1";
  const struct {
    int nHost;
    int nGiven;
    int nChosen;
  } rows[] = {
      {-1, 932, 932},   {-1, 0, 0},         {1251, 1252, 1252},
      {1251, -1, 1251}, {1251, -100, 1251}, {-1, -1, static_cast<int>(GetACP())},
  };
  for (const auto& row : rows) {
    g_nCodePage = row.nHost;
    EXPECT_EQ(utlChooseCodePage(row.nGiven), row.nChosen) << row.nHost << " " << row.nGiven;
  }
  g_nCodePage = nSaved;
}

}  // namespace
