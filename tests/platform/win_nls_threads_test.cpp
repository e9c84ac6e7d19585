// The code-page tables, built at the first conversion through each page, when
// the first conversions come on several threads at once.
#include <kxutils96/platform/win32/win_nls.h>

#include <gtest/gtest.h>

#include <array>
#include <cstddef>
#include <cstring>

#include "support/concurrently.h"

namespace {

struct PageCase {
  UINT nCodePage;
  const char* bytes;
  WCHAR unit;
};

constexpr std::array<PageCase, 3> kPages = {{
    {1252, "\x80", 0x20AC},     // the euro sign
    {932, "\x82\xA0", 0x3042},  // hiragana a, a double-byte code
    {1251, "\xC0", 0x0410},     // Cyrillic capital A
}};

// Each thread takes the pages in its own order, so that the builds of all
// three overlap; every conversion, the first included, reads a whole table.
TEST(CodePageTableThreads, FirstConversionsOnManyThreadsReadWholeTables) {
  kxu::test::RunConcurrently(kxu::test::kThreads, [](int k) {
    for (std::size_t i = 0; i < kPages.size(); ++i) {
      const PageCase& page = kPages[(i + static_cast<std::size_t>(k)) % kPages.size()];
      const int nBytes = static_cast<int>(std::strlen(page.bytes));
      WCHAR wide[2] = {};
      ASSERT_EQ(MultiByteToWideChar(page.nCodePage, 0, page.bytes, nBytes, wide, 2), 1)
          << page.nCodePage;
      EXPECT_EQ(wide[0], page.unit) << page.nCodePage;
      char back[3] = {};
      EXPECT_EQ(WideCharToMultiByte(page.nCodePage, 0, wide, 1, back, 3, nullptr, nullptr), nBytes)
          << page.nCodePage;
      EXPECT_STREQ(back, page.bytes) << page.nCodePage;
    }
  });
}

}  // namespace
