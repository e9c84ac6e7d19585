// Texts at the ends of what a scan may read. Texts longer than an int counts,
// handed to every entry that narrows their length into one: each refuses the
// whole text with the outcome its contract names, never converting a part of
// it nor writing past a buffer sized from a cut length (the asan preset
// reports such a write; elsewhere it crashes). The texts cost address space,
// not memory, so they exist on 64-bit only. And texts that end right before a
// page the process may not read.
#include <kxutils96/format/messages/detail/supplied_format.h>
#include <kxutils96/host/zutl96/text_search.h>
#include <kxutils96/kxutils96.h>
#include <kxutils96/platform/text/nul_scan.h>

#include <sys/mman.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <functional>
#include <iterator>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>

#include "support/caught_exception.h"

namespace {

// A multiple of every page size, and few enough mappings for 8 GiB.
constexpr std::size_t kChunk = std::size_t{1} << 20;

void* Checked(void* p) {
  if (p == MAP_FAILED) throw std::runtime_error("HugeText: mmap failed");
  return p;
}

// A text of gigabytes that costs address space, not memory: `nBytes` bytes of
// `pattern` repeated (its size must divide 1 MiB). One small in-memory file
// holding the pattern over and over is mapped many times, end to end, into
// one reserved range, and the few bytes past the last whole mapping lie in a
// zeroed page of their own, so zero units follow the text. The text is
// read-only: a write into it crashes the test.
class HugeText {
 public:
  HugeText(std::string_view pattern, std::size_t nBytes) {
    if (pattern.empty() || kChunk % pattern.size() != 0)
      throw std::invalid_argument("HugeText: the pattern must divide 1 MiB");
    const std::size_t nWhole = nBytes / kChunk * kChunk;
    m_nReserved = nWhole + kChunk;  // the tail and at least one page of zeros
    m_pText = static_cast<char*>(
        Checked(mmap(nullptr, m_nReserved, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0)));
    const int fd = memfd_create("huge_text", 0);
    std::string chunk;
    while (chunk.size() < kChunk) chunk += pattern;
    const bool bWritten =
        fd >= 0 && write(fd, chunk.data(), kChunk) == static_cast<ssize_t>(kChunk);
    for (std::size_t at = 0; bWritten && at < nWhole; at += kChunk)
      Checked(mmap(m_pText + at, kChunk, PROT_READ, MAP_SHARED | MAP_FIXED, fd, 0));
    if (fd >= 0) close(fd);
    if (!bWritten) throw std::runtime_error("HugeText: memfd failed");
    char* pTail = static_cast<char*>(Checked(mmap(m_pText + nWhole, kChunk, PROT_READ | PROT_WRITE,
                                                  MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0)));
    std::memcpy(pTail, chunk.data(), nBytes - nWhole);
    mprotect(pTail, kChunk, PROT_READ);
  }
  HugeText(const HugeText&) = delete;
  HugeText& operator=(const HugeText&) = delete;
  ~HugeText() { munmap(m_pText, m_nReserved); }

  const char* data() const { return m_pText; }

 private:
  char* m_pText = nullptr;
  std::size_t m_nReserved = 0;
};

// Past 4 GiB a bare cast keeps the low bits (4); past 2 GiB it is negative.
constexpr std::uint64_t kLengths[] = {(std::uint64_t{1} << 32) + 4, (std::uint64_t{1} << 31) + 4};

struct Crossing {
  const char* name;
  std::string_view pattern;  // what the text repeats
  std::function<void(const char*)> call;
  std::size_t nUnitBytes = 1;
  std::size_t nLengths = std::size(kLengths);  // the splits, slow to scan, take the first only
};

TEST(TextPastInt, EveryCrossingRaisesMemoryExceptionForTheWholeText) {
  if (sizeof(std::size_t) < sizeof(std::uint64_t)) GTEST_SKIP() << "needs 64-bit addresses";
  const auto wide = [](const char* p) { return reinterpret_cast<const WCHAR*>(p); };
  // Quotes are rare in the quoted texts: where they abound, splitting takes long.
  std::string quoted(std::size_t{1} << 20, 'a');
  std::string inner = quoted;
  quoted.front() = quoted.back() = '"';
  inner.replace(1, 2, "\"\"");
  // What the calls write to; a refusal leaves no part of the text in them.
  CZQVStringArray a;
  CString w;
  CStringUTF8 s;
  const Crossing crossings[] = {
      {"CSV field with quotes", inner, [&](const char* p) { kxutilsTokenizeOneCSVLine(p, &a); }, 1,
       1},
      {"quoted token", quoted,
       [&](const char* p) { kxutilsGetTokens(p, &a, ',', nullptr, kxu::tokens::kQuoteDouble, 0); },
       1, 1},
      {"piece", "a", [&](const char* p) { kxutilsSeparateByStr(p, &a, ";"); }},
      {"UTF-8", "a", [&](const char* p) { zqUTF8toUTF16(w, p, -1); }},
      {"code page", "a", [&](const char* p) { zqMBCStoUTF16(w, p, 1252, -1); }},
      {"double-byte page", "a", [&](const char* p) { zqMBCStoUTF8(s, p, 936); }},
      {"UTF-16", {"a\0", 2}, [&](const char* p) { zqUTF16toUTF8(s, wide(p), -1); }, 2},
      {"printf text", "a",
       [&](const char* p) {
         kxu::format::FormatSupplied(s, "%s", {{kxu::format::SuppliedValue::Text(p)}});
       }},
      {"text in place", "a",
       [](const char* p) { utlConvertTextInPlace(const_cast<char*>(p), -1); }},
  };
  for (const Crossing& crossing : crossings) {
    for (const std::uint64_t nUnits : std::span(kLengths).first(crossing.nLengths)) {
      SCOPED_TRACE(testing::Message() << crossing.name << ", units: " << nUnits);
      const HugeText text(crossing.pattern, static_cast<std::size_t>(nUnits * crossing.nUnitBytes));
      EXPECT_TRUE(kxu::test::Caught<CMemoryException>([&] { crossing.call(text.data()); }));
      EXPECT_TRUE(w.IsEmpty() && s.IsEmpty());
    }
  }
}

// Padding reads no further than the width: a text of any length is cut.
TEST(TextPastInt, PaddingCutsItToTheWidth) {
  if (sizeof(std::size_t) < sizeof(std::uint64_t)) GTEST_SKIP() << "needs 64-bit addresses";
  for (const std::uint64_t nBytes : kLengths) {
    const HugeText text("a", static_cast<std::size_t>(nBytes));
    EXPECT_STREQ(kxu_str_pad_char(text.data(), 8, kPadAlignLeft, '*'), "aaaaaaaa");
  }
}

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
