// The library's one substring search: it finds what std::string_view::find
// finds, with and without ASCII case, and compares each text byte a bounded
// number of times whatever the pattern.
#include <kxutils96/platform/substring_search.h>

#include <gtest/gtest.h>

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

using kxu::platform::AsciiCaselessUnits;
using kxu::platform::SubstringSearch;

// Every text of up to `nLength` bytes drawn from `alphabet`.
std::vector<std::string> AllTexts(std::string_view alphabet, std::size_t nLength) {
  std::vector<std::string> texts = {""};
  for (std::size_t i = 0; i < texts.size(); ++i) {
    if (texts[i].size() == nLength) continue;
    for (const char c : alphabet) texts.push_back(texts[i] + c);
  }
  return texts;
}

std::string AsciiLower(std::string text) {
  for (char& c : text) c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
  return text;
}

// Periodic and aperiodic patterns, repeats and near-repeats, a byte above
// 0x7F (negative as a char) and both letter cases, from every start.
TEST(SubstringSearchTest, FindsWhatStringViewFindFindsWithAndWithoutCase) {
  const std::vector<std::string> texts = AllTexts("abA\xC3", 5);
  for (const std::string& pattern : AllTexts("abA\xC3", 4)) {
    const SubstringSearch<char> exact(pattern);
    const SubstringSearch<char, AsciiCaselessUnits> caseless(pattern);
    const std::string lowerPattern = AsciiLower(pattern);
    for (const std::string& text : texts) {
      const std::string lowerText = AsciiLower(text);
      for (std::size_t nFrom = 0; nFrom <= text.size() + 1; ++nFrom) {
        ASSERT_EQ(exact.Find(text, nFrom), text.find(pattern, nFrom)) << text << '/' << pattern;
        ASSERT_EQ(caseless.Find(text, nFrom), lowerText.find(lowerPattern, nFrom))
            << text << '/' << pattern;
      }
    }
  }
  EXPECT_EQ(SubstringSearch<wchar_t>(L"\x20AC\x20AC!").Find(L"\x20AC\x20AC\x20AC!"), 1U);
}

// Units compared as they are, counting the comparisons.
struct CountedUnits {
  static inline std::size_t nComparisons = 0;
  static bool Same(char a, char b) {
    ++nComparisons;
    return a == b;
  }
  static bool Less(char a, char b) {
    ++nComparisons;
    return a < b;
  }
};

// Patterns that almost match everywhere: a search that tries every start
// compares about text x pattern bytes here.
TEST(SubstringSearchTest, ComparesInTimeLinearInTextAndPattern) {
  constexpr std::size_t n = 1 << 14;
  constexpr std::size_t m = 1 << 11;
  std::string ab;
  for (std::size_t i = 0; i < n; ++i) ab += "ab"[i % 2];
  const std::string as(n, 'a');
  // Text, pattern.
  const std::pair<std::string, std::string> rows[] = {
      {as, std::string(m, 'a') + 'b'},
      {as, 'b' + std::string(m, 'a')},
      {ab, ab.substr(0, m) + 'c'},
      {ab, ab.substr(0, m) + "b"},
      {as + 'b', std::string(m, 'a') + 'b'}};
  for (const auto& [text, pattern] : rows) {
    CountedUnits::nComparisons = 0;
    const std::size_t nAt = SubstringSearch<char, CountedUnits>(pattern).Find(text);
    EXPECT_EQ(nAt, text.find(pattern));
    EXPECT_LE(CountedUnits::nComparisons, 2 * n + 4 * m) << pattern.substr(0, 8);
  }
}

}  // namespace
