// The text scans: the library's one substring search finds what
// std::string_view::find finds, with and without ASCII case, and compares each
// text byte a bounded number of times whatever the pattern; the NUL scan
// agrees with a unit-by-unit scan.
#include <kxutils96/platform/text/nul_scan.h>
#include <kxutils96/platform/text/substring_search.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

using namespace kxu::platform;

std::string AsciiLower(std::string text) {
  for (char& c : text) c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
  return text;
}

// Every pattern of up to 4 bytes in every text of up to 5 over "abA\xC3",
// from every start: periodic and aperiodic patterns, repeats and near-repeats,
// both letter cases and a byte above 0x7F (negative as a char).
TEST(SubstringSearchTest, FindsWhatStringViewFindFindsWithAndWithoutCase) {
  std::vector<std::string> texts = {""};
  for (std::size_t i = 0; texts[i].size() < 5; ++i)
    for (const char c : std::string("abA\xC3")) texts.push_back(texts[i] + c);
  for (const std::string& pattern : texts) {
    if (pattern.size() > 4) break;
    const SubstringSearch<char> exact(pattern);
    const SubstringSearch<char, AsciiCaselessUnits> caseless(pattern);
    const std::string lowerPattern = AsciiLower(pattern);
    for (const std::string& text : texts) {
      for (std::size_t nFrom = 0; nFrom <= text.size() + 1; ++nFrom) {
        ASSERT_EQ(exact.Find(text, nFrom), text.find(pattern, nFrom)) << text << '/' << pattern;
        ASSERT_EQ(caseless.Find(text, nFrom), AsciiLower(text).find(lowerPattern, nFrom))
            << text << '/' << pattern;
      }
    }
  }
}

// Units compared as they are, counting the comparisons.
struct CountedUnits {
  static inline std::size_t nComparisons = 0;
  static bool Same(char a, char b) { return ++nComparisons != 0 && a == b; }
  static bool Less(char a, char b) { return ++nComparisons != 0 && a < b; }
};

// Patterns that almost match everywhere: a search that tries every start
// compares about text x pattern bytes here.
TEST(SubstringSearchTest, ComparesInTimeLinearInTextAndPattern) {
  constexpr std::size_t n = 1 << 14;
  constexpr std::size_t m = 1 << 11;
  std::string ab;
  while (ab.size() < n) ab += "ab";
  const std::string as(n, 'a');
  // Text, pattern.
  const std::pair<std::string, std::string> rows[] = {{as, std::string(m, 'a') + 'b'},
                                                      {as, 'b' + std::string(m, 'a')},
                                                      {ab, ab.substr(0, m) + 'c'},
                                                      {ab, ab.substr(0, m) + 'b'},
                                                      {as + 'b', std::string(m, 'a') + 'b'}};
  for (const auto& [text, pattern] : rows) {
    CountedUnits::nComparisons = 0;
    const SubstringSearch<char, CountedUnits> search(pattern);
    EXPECT_EQ(search.Find(text), text.find(pattern));
    EXPECT_LE(CountedUnits::nComparisons, 2 * n + 4 * m) << pattern.substr(0, 8);
  }
}

// Every start (aligned to the scan's blocks or not) and every NUL position
// over three blocks, against a unit-by-unit scan's answers, with bounds
// before, at and past the NUL.
TEST(NulScan, AgreesWithAUnitByUnitScanAtEveryStartAndEnd) {
  constexpr std::size_t kUnits = 48;
  std::vector<char16_t> units(kUnits * 2);
  for (std::size_t start = 0; start < 32; ++start) {
    for (std::size_t nul = start; nul < start + kUnits; ++nul) {
      std::fill(units.begin(), units.end(), u'\u0100');
      units[nul] = 0;
      const char16_t* p = units.data() + start;
      ASSERT_EQ(NulTerminatedLength(p), nul - start) << start << " " << nul;
      for (std::size_t bound : {nul - start, nul - start + 1, kUnits})
        ASSERT_EQ(FindNul(p, bound), std::min(nul - start, bound)) << start << " " << nul;
    }
  }
}

// A text whose NUL is the last unit of its allocation, at every length: the
// length scan's whole blocks may pass the allocation's end only as far as an
// aligned block reaches, which the address checker must not report.
TEST(NulScan, ReadsNoFurtherThanTheAlignedBlockHoldingTheNul) {
  for (std::size_t nUnits = 1; nUnits <= 40; ++nUnits) {
    const auto text = std::make_unique<char16_t[]>(nUnits);
    std::fill_n(text.get(), nUnits - 1, u'a');
    text[nUnits - 1] = 0;
    ASSERT_EQ(NulTerminatedLength(text.get()), nUnits - 1);
  }
}

}  // namespace
