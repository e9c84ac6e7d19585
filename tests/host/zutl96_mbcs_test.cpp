// Code-page text to UTF-8 within the caller's buffer, grown through the
// caller's routine, and the choice of the host's code page for a negative one
// while the host changes its page on another thread.
#include <kxutils96/host/zutl96/zutl96.h>

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <tuple>
#include <vector>

#include <kxutils96/platform/win32/win_nls.h>

#include "support/code_page_reference.h"
#include "support/concurrently.h"

using namespace kxu::zutl96;

namespace {

// A buffer of the test's own holding a text and its NUL, with a conversion
// record over it whose growth routine records its calls and grows (or
// refuses to).
struct TestBuffer {
  explicit TestBuffer(const std::string& text)
      : bytes(text.c_str(), text.c_str() + text.size() + 1) {}

  MbcsConversion Record() {
    return {&pSelf, &Grow, 0, bytes.data(), static_cast<int>(bytes.size()), 0};
  }
  static int Grow(MbcsConversion* pRecord, int nNewSize) {
    TestBuffer& buffer = **static_cast<TestBuffer**>(pRecord->pOwnerSlot);
    buffer.growCalls.push_back(nNewSize);
    if (buffer.bRefuse) return pRecord->bFailed = 1, 0;
    buffer.bytes.resize(static_cast<std::size_t>(nNewSize));
    pRecord->pBuffer = buffer.bytes.data();
    pRecord->nBufferSize = nNewSize;
    return 1;
  }

  std::vector<char> bytes;
  std::vector<int> growCalls;
  bool bRefuse = false;
  TestBuffer* pSelf = this;
};

TEST(UtlMBCStoUTF8InPlaceTest, ConvertsAndGrowsOnlyWhenNeeded) {
  struct Row {
    std::string text;
    int nCodePage;
    bool bRefuse;
    std::string expected;
    int nResult;
    std::vector<int> growCalls;
  };
  const Row rows[] = {
      {"abc", 1252, false, "abc", 3, {}},
      {"caf\xE9", 1252, false, "caf\xC3\xA9", 5, {6}},  // grows once to the exact size
      {"\xC3\xA9", 65001, false, "\xC3\xA9", 2, {}},
      {"\xFF\xFE", 65001, false, "\xEF\xBF\xBD\xEF\xBF\xBD", 6, {7}},
      {"abc", CP_ACP, false, "abc", 3, {}},
      {"caf\xE9", 12345, false, "caf\xE9", 0, {}},     // an unknown page changes nothing
      {"\xE9t\xE9", 1252, true, "\xE9t\xE9", 0, {6}},  // a refused growth neither
  };
  for (const auto& [text, nCodePage, bRefuse, expected, nResult, growCalls] : rows) {
    TestBuffer buffer(text);
    buffer.bRefuse = bRefuse;
    MbcsConversion record = buffer.Record();
    EXPECT_EQ(utlMBCStoUTF8InPlace(&record, nCodePage), nResult) << text;
    EXPECT_EQ(std::string(buffer.bytes.data()), expected) << text;
    EXPECT_EQ(buffer.growCalls, growCalls) << text;
    EXPECT_EQ(record.bFailed, bRefuse ? 1 : 0) << text;
  }
}

// The whole text through UTF-16 at once, as the system converts it.
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
  std::string everyByteButNul;
  for (int byte = 1; byte < 256; ++byte) everyByteButNul += static_cast<char>(byte);
  const std::tuple<std::string, UINT> rows[] = {
      {Repeated("caf\xE9 na\xEFve \x93x\x94, ", 300000), 1252},
      {Repeated("abc\xE9", 200000) + " tail\xE9", 1252},  // without a chunk end
      {Repeated(everyByteButNul, 70000), 1255},           // undefined bytes too
      {Repeated("\x83\x41\x83\x61\x93\xFA", 200000), 932},
      {Repeated("\x93\xFA\x96\x7B \x8C\xEA", 200000), 932},
      {Repeated("\xA4\xA4\xA4\x40", 150001), 950},
      {Repeated("ab\xFF\xE4\xB8 ", 200000), 65001},
      {"x" + Repeated("\x81\x30\x81\x30\xB0\xA1\xB0\xA1\xB0\xA1", 100000), 54936},
      {"+" + Repeated("Ti1OLU4t", 100000) + "-", 65000},
      {"\x1B$B" + Repeated("\x30\x21", 200000) + "\x1B(B", 50220},
  };
  for (const auto& [text, nPage] : rows) {
    if (!IsValidCodePage(nPage)) continue;
    TestBuffer buffer(text);
    MbcsConversion record = buffer.Record();
    const std::string expected = kxu::test::Utf8ByWayOfUtf16(text, nPage);
    ASSERT_EQ(utlMBCStoUTF8InPlace(&record, static_cast<int>(nPage)),
              static_cast<int>(expected.size()))
        << nPage;
    EXPECT_TRUE(std::string(record.pBuffer) == expected) << nPage;
    EXPECT_EQ(buffer.growCalls.size(), 1u) << nPage;
  }
}

TEST(UtlMBCStoUTF8InPlaceTest, ReadsNoFurtherThanTheBuffer) {
  // No NUL within the size: the text is the size less one byte.
  char bytes[4] = {'a', 'b', 'c', 'd'};
  MbcsConversion record{nullptr, nullptr, 0, bytes, 3, 0};
  EXPECT_EQ(utlMBCStoUTF8InPlace(&record, 1252), 2);
  EXPECT_EQ(std::string(bytes, 3), std::string("ab\0", 3));
  MbcsConversion empty{nullptr, nullptr, 0, nullptr, 0, 0};
  EXPECT_EQ(utlMBCStoUTF8InPlace(&empty, 1252), 0);
}

// The host writes its code page at any time, as one aligned int; a
// conversion that reads it sees either the old or the new page, never a mix
// of the two (here: never the -1 that means "none" instead of the ANSI page).
TEST(HostCodePageThreads, AChoiceSeesOneValueOfTheHostsPage) {
  const int nAnsi = static_cast<int>(GetACP());
  std::atomic_ref<int> hostPage(g_nCodePage);
  const int nSaved = hostPage.load();
  kxu::test::RunConcurrently(kxu::test::kThreads, [&](int k) {
    for (int i = 0; i < 1000; ++i) {
      if (k == 0) {
        hostPage.store(i % 2 == 0 ? 932 : -1);
      } else {
        const int nChosen = utlChooseCodePage(-1);
        EXPECT_TRUE(nChosen == 932 || nChosen == nAnsi) << nChosen;
      }
    }
  });
  hostPage.store(nSaved);
}

}  // namespace
