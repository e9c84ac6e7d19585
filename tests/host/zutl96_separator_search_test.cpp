#include <kxutils96/host/zutl96/zutl96.h>

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <thread>
#include <vector>

#include "support/reference_separator_search.h"

using namespace kxu::zutl96;

namespace {

constexpr int kNotFound = -1;

// Position of the separator found in `text`, or kNotFound.
int FoundAt(char* pFound, const std::string& text) {
  return pFound == nullptr ? kNotFound : static_cast<int>(pFound - text.data());
}

struct SearchCase {
  const char* name;
  std::string text;
  char chSep;
  int nMode;
  int nExpected;
};

class FindSeparatorTest : public ::testing::TestWithParam<SearchCase> {};

TEST_P(FindSeparatorTest, FindsTheFirstSeparatorOutsideQuotesAndBrackets) {
  SearchCase c = GetParam();
  EXPECT_EQ(FoundAt(utlFindSeparator(c.text.data(), c.chSep, c.nMode, nullptr), c.text),
            c.nExpected);
}

INSTANTIATE_TEST_SUITE_P(
    utlFindSeparator, FindSeparatorTest,
    ::testing::Values(SearchCase{"Plain", "ab,cd", ',', kFindBrackets, 2},
                      SearchCase{"AtStart", ",x", ',', kFindBrackets, 0},
                      SearchCase{"None", "abc", ',', kFindBrackets, kNotFound},
                      SearchCase{"Empty", "", ',', kFindBrackets, kNotFound},
                      SearchCase{"WhiteSpaceTab", "ab\tc", 0, kFindBrackets, 2},
                      SearchCase{"WhiteSpaceEveryKind", "a\vb", 0, kFindBrackets, 1},
                      SearchCase{"DoubleQuoted", "\"a,b\",c", ',', kFindBrackets, 5},
                      SearchCase{"SingleQuoted", "'a,b',c", ',', kFindBrackets, 5},
                      SearchCase{"OtherQuoteInside", "\"it's,\",c", ',', kFindBrackets, 7},
                      SearchCase{"ApostropheInWord", "Young's,c", ',', kFindBrackets, 7},
                      SearchCase{"InchMarkAfterDigit", "5\",c", ',', kFindBrackets, 2},
                      SearchCase{"QuoteAfterAssign", "k=\"a,b\",c", ',', kFindBrackets, 7},
                      SearchCase{"DoubledQuoteStaysInside", "\"a\"\",b\",c", ',', kFindBrackets, 7},
                      SearchCase{"UnterminatedQuote", "\"a,b,c", ',', kFindBrackets, kNotFound},
                      SearchCase{"Brackets", "f(a,b),c", ',', kFindBrackets, 6},
                      SearchCase{"NestedBrackets", "[(a,b),{c,d}],e", ',', kFindBrackets, 13},
                      SearchCase{"AnyCloserEndsInnermost", "(a],b", ',', kFindBrackets, 3},
                      SearchCase{"QuoteInsideBrackets", "(\")\",x),y", ',', kFindBrackets, 7},
                      SearchCase{"BracketInsideQuotes", "\"(\",y", ',', kFindBrackets, 3},
                      SearchCase{"UnbalancedCloserIsOrdinary", "a),b", ',', kFindBrackets, 2},
                      SearchCase{"UnbalancedOpener", "(a,b", ',', kFindBrackets, kNotFound},
                      SearchCase{"AngleOffByDefault", "<a,b>", ',', kFindBrackets, 2},
                      SearchCase{"BracketsIgnoredWithoutMode", "(a,b)", ',', kFindQuotesOnly, 2},
                      SearchCase{"HighBytesAreOrdinary", "\xC3\xA9,\xFF", ',', kFindBrackets, 2},
                      SearchCase{"SignExtendedSeparator",
                                 "a\xA7"
                                 "b",
                                 static_cast<char>(0xA7), kFindBrackets, 1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(utlFindSeparator, NullPositionGivesNull) {
  EXPECT_EQ(utlFindSeparator(nullptr, ',', kFindBrackets, nullptr), nullptr);
}

TEST(utlFindSeparator, StateResumesInsideAnOpenQuote) {
  // A quoted field that spans two pieces: the first piece ends inside it.
  std::string first = "1,\"a";
  std::string second = "b\",2";
  int nState = kSearchOutsideQuotes;
  char* p = utlFindSeparator(first.data(), ',', kFindBrackets, &nState);
  EXPECT_EQ(FoundAt(p, first), 1);
  EXPECT_EQ(nState, kSearchOutsideQuotes);
  EXPECT_EQ(utlFindSeparator(p + 1, ',', kFindBrackets, &nState), nullptr);
  EXPECT_EQ(nState, '"');
  EXPECT_EQ(FoundAt(utlFindSeparator(second.data(), ',', kFindBrackets, &nState), second), 2);
  EXPECT_EQ(nState, kSearchOutsideQuotes);
}

TEST(utlFindSeparator, StateThatIsNoQuoteStartsOutside) {
  std::string text = "a,b";
  int nState = 'x';
  EXPECT_EQ(FoundAt(utlFindSeparator(text.data(), ',', kFindBrackets, &nState), text), 1);
}

TEST(utlFindSeparator, LongUnbalancedTextEndsInLinearTime) {
  // Ten megabytes behind an unclosed bracket: one pass, no separator.
  std::string text = "(" + std::string(10'000'000, ',');  // NOLINT(bugprone-string-constructor)
  EXPECT_EQ(utlFindSeparator(text.data(), ',', kFindBrackets, nullptr), nullptr);
}

TEST(set_parenth_use_angle_brackets, ReturnsThePreviousSettingAndRuledTheSearches) {
  std::string text = "<a,b>,c";
  const int nBefore = set_parenth_use_angle_brackets(1);
  EXPECT_EQ(nBefore, 0);
  EXPECT_EQ(FoundAt(utlFindSeparator(text.data(), ',', kFindBrackets, nullptr), text), 5);
  EXPECT_EQ(FoundAt(utlFindSeparatorEx(text.data(), ',', kFindBrackets, nullptr, 0, 0), text), 5);
  EXPECT_EQ(set_parenth_use_angle_brackets(nBefore), 1);
  EXPECT_EQ(FoundAt(utlFindSeparator(text.data(), ',', kFindBrackets, nullptr), text), 2);
}

TEST(set_parenth_use_angle_brackets, IsOneSettingPerThread) {
  set_parenth_use_angle_brackets(1);
  int nOtherThread = -1;
  std::thread([&] { nOtherThread = set_parenth_use_angle_brackets(0); }).join();
  EXPECT_EQ(nOtherThread, 0);
  EXPECT_EQ(set_parenth_use_angle_brackets(0), 1);
}

struct EscapeCase {
  const char* name;
  std::string text;
  int chEscape;
  int nExpected;
};

class FindSeparatorExTest : public ::testing::TestWithParam<EscapeCase> {};

TEST_P(FindSeparatorExTest, EscapedQuotesDoNotEndAStretch) {
  EscapeCase c = GetParam();
  EXPECT_EQ(FoundAt(utlFindSeparatorEx(c.text.data(), ',', kFindBrackets, nullptr, c.chEscape, 0),
                    c.text),
            c.nExpected);
}

INSTANTIATE_TEST_SUITE_P(utlFindSeparatorEx, FindSeparatorExTest,
                         ::testing::Values(EscapeCase{"BackslashByDefault", "\"a\\\",b\",c", 0, 7},
                                           EscapeCase{"OtherEscape", "\"a^\",b\",c", '^', 7},
                                           EscapeCase{"EscapeOutsideQuotesIsOrdinary", "a\\,b", 0,
                                                      2},
                                           EscapeCase{"EscapeAtEnd", "\"a\\", 0, kNotFound},
                                           EscapeCase{"NoQuotes", "a,b", 0, 1}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(utlFindSeparatorEx, WithoutEscapesBehavesAsTheGeneralSearch) {
  // The general search ends the stretch at the escaped quote and finds the first comma after it.
  std::string text = "\"a\\\",b\",c";
  EXPECT_EQ(FoundAt(utlFindSeparator(text.data(), ',', kFindBrackets, nullptr), text), 4);
}

struct QuotedCase {
  const char* name;
  std::string text;
  int nKinds;
  int nExpected;
};

class FindSeparatorQuotedTest : public ::testing::TestWithParam<QuotedCase> {};

TEST_P(FindSeparatorQuotedTest, HonoursTheChosenQuotesOnly) {
  QuotedCase c = GetParam();
  EXPECT_EQ(FoundAt(utlFindSeparatorQuoted(c.text.data(), ',', c.nKinds), c.text), c.nExpected);
}

INSTANTIATE_TEST_SUITE_P(
    utlFindSeparatorQuoted, FindSeparatorQuotedTest,
    ::testing::Values(QuotedCase{"DoubleQuotes", "\"a,b\",c", kQuoteKindDouble, 5},
                      QuotedCase{"BracketsAreOrdinary", "(a,b)", kQuoteKindDouble, 2},
                      QuotedCase{"SingleQuotesOrdinaryUnlessChosen", "'a,b'", kQuoteKindDouble, 2},
                      QuotedCase{"SingleQuotesChosen", "'a,b',c",
                                 kQuoteKindDouble | kQuoteKindSingle, 5},
                      QuotedCase{"NoneFound", "\"a,b", kQuoteKindDouble, kNotFound}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(utlFindSeparatorQuoted, IgnoresTheAngleSwitch) {
  std::string text = "<a,b>";
  const int nBefore = set_parenth_use_angle_brackets(1);
  EXPECT_EQ(FoundAt(utlFindSeparatorQuoted(text.data(), ',', kQuoteKindDouble), text), 2);
  set_parenth_use_angle_brackets(nBefore);
}

// Every rule set a search can run under: separator, brackets with the angle
// switch off and on, escape, quote kinds.
std::vector<SeparatorRules> EveryRuleSet() {
  std::vector<SeparatorRules> all;
  for (const unsigned char separator : {',', '\0', '"', '('}) {
    for (const int nBrackets : {0, 1, 2}) {
      for (const unsigned char escape : {'\0', '\\', '^'}) {
        for (const bool bSingleQuotes : {true, false}) {
          all.push_back({separator, true, bSingleQuotes, nBrackets > 0, nBrackets > 1, escape});
        }
      }
    }
  }
  return all;
}

TEST(SeparatorScanner, FindsWhatAByteAtATimeSearchFinds) {
  // Each byte that matters at every position of three 16-byte blocks of
  // plain bytes, multi-byte characters across every block edge, and random
  // mixes; searched from every position in turn, as a splitter does, in
  // every start state.
  const std::vector<std::string> pieces = {",", " ", "\t", "\x01", "\"",       "'",
                                           "(", ")", "[",  "]",    "{",        "}",
                                           "<", ">", "\\", "^",    "\xC3\xA9", "\xE2\x82\xAC"};
  std::vector<std::string> texts;
  for (const std::string& piece : pieces) {
    for (std::size_t i = 0; i < 48; ++i) texts.push_back(std::string(i, '.') + piece + "a.,b");
  }
  std::mt19937 random(23);
  for (int n = 0; n < 400; ++n) {
    std::string text;
    const std::size_t nLength = random() % 56;
    while (text.size() < nLength)
      text += random() % 3 == 0 ? pieces[random() % pieces.size()] : "a.";
    texts.push_back(text);
  }
  const int kStartStates[] = {kSearchOutsideQuotes, '"', '\''};
  for (const SeparatorRules& rules : EveryRuleSet()) {
    for (const std::string& text : texts) {
      int nState = 0;
      SeparatorScanner scanner(text, rules, &nState);
      for (std::size_t nStart = 0; nStart <= text.size(); ++nStart) {
        nState = kStartStates[nStart % 3];
        int nReferenceState = nState;
        const std::size_t nExpected =
            kxu::test::ReferenceFindSeparator(text.substr(nStart), rules, &nReferenceState);
        ASSERT_EQ(scanner.FindFrom(nStart),
                  nExpected == std::string::npos ? nExpected : nStart + nExpected)
            << text << " from " << nStart << " separator " << int{rules.separator} << " escape "
            << int{rules.escape};
        ASSERT_EQ(nState, nReferenceState) << text << " from " << nStart;
      }
    }
  }
}

}  // namespace
