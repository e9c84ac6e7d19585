#include <kxutils96/platform/text/nul_scan.h>

#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>

namespace {

// Texts that end right before a page the process may not read, with bounds
// past their NUL: every scan must stop in the text's own page.
TEST(NulScanAtAPageEnd, NeverTouchesTheNextPage) {
  const auto nPage = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
  void* const pages =
      mmap(nullptr, 2 * nPage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  ASSERT_NE(pages, MAP_FAILED);
  ASSERT_EQ(mprotect(static_cast<char*>(pages) + nPage, nPage, PROT_NONE), 0);
  auto* const pageEnd = reinterpret_cast<char16_t*>(static_cast<char*>(pages) + nPage);
  for (std::size_t nUnits = 1; nUnits <= 40; ++nUnits) {
    char16_t* const text = pageEnd - nUnits;
    std::fill_n(text, nUnits - 1, u'a');
    text[nUnits - 1] = 0;
    EXPECT_EQ(kxu::platform::NulTerminatedLength(text), nUnits - 1);
    EXPECT_EQ(kxu::platform::FindNul(text, nUnits + 100), nUnits - 1);
  }
  munmap(pages, 2 * nPage);
}

}  // namespace
