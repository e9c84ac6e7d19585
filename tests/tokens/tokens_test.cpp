// The token family: splitting by a separator, CSV lines, strings and
// letters with numeric suffixes; joining tokens and key-value pairs.
#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include <kxutils96/host/zutl96/zutl96.h>
#include <kxutils96/tokens/csv_line.h>
#include <kxutils96/tokens/detail/csv_field.h>
#include <kxutils96/tokens/join_tokens.h>
#include <kxutils96/tokens/key_values.h>
#include <kxutils96/tokens/numeric_suffix.h>
#include <kxutils96/tokens/separate_by_str.h>
#include <kxutils96/tokens/token_splitter.h>

#include "support/array_text.h"
#include "support/concurrently.h"

using namespace kxu::zutl96;

namespace {

using namespace kxu::test;
using namespace kxu::tokens;

// Each row splits into an array that held a longer old element, and counts
// the same without one.
TEST(kxutilsGetTokens, SplitsAndFinishesTokens) {
  const DWORD kBackslash = DWORD{kSplitExtendedSearch} | DWORD{kCsvBackslashEscapes};
  const DWORD kBothSearches = DWORD{kSplitQuoteAwareSearch} | DWORD{kSplitExtendedSearch};
  // Text, separator, quote option, flags and the tokens.
  const std::tuple<const char*, char, int, DWORD, Texts> cases[] = {
      {nullptr, ',', 0, 0, {""}},  // a null text is one empty token
      {"a,b,", ',', 0, 0, {"a", "b", ""}},
      {"", ',', 0, 0, {}},
      {"\"a,b\",c", ',', 0, 0, {"\"a,b\"", "c"}},
      {"\"a;b\";c", ';', kQuoteDouble, 0, {"\"a;b\"", "c"}},
      {"one\r\ntwo\r\n", '\n', 0, 0, {"one", "two", ""}},
      {"a\r\r\nb", '\n', 0, 0, {"a\r", "b"}},
      {" a,\t b ", ',', kQuoteSkipLeadingWhite, 0, {"a", "b "}},
      {"\"a,b\",c", ',', kQuoteDouble, 0, {"a,b", "c"}},
      {" \"x\"\"y\" ,z", ',', kQuoteDouble, 0, {"x\"y ", "z"}},
      {"a\"b\",c", ',', kQuoteDouble, 0, {"a\"b\"", "c"}},
      {"\"a\\\"b\",c", ',', kQuoteDouble, 0, {"a\\b\"", "c"}},
      {"\"a\\\",b\",c", ',', kQuoteDouble, kBackslash, {"a\",b", "c"}},
      {"<a,b>,c", ',', kQuoteAngleBrackets, 0, {"<a,b>", "c"}},
      // The quote-aware search keeps brackets whole too, angle ones when asked.
      {"<a,b>,c", ',', kQuoteAngleBrackets, kSplitQuoteAwareSearch, {"<a,b>", "c"}},
      {"a,(b,'c),<d,e>", ',', 0, kBothSearches, {"a", "(b,'c)", "<d", "e>"}},
      {"  a \t b\r\nc  ", 0, 0, 0, {"a", "b", "c"}},
      {"   ", 0, 0, 0, {""}},
      {"x \"a b\" y", 0, 0, 0, {"x", "\"a b\"", "y"}},
      {"x \"a b\" 'c' \"\"", 0, '"', 0, {"x", "a b", "'c'", ""}},
      {"'a b' \"c\"", 0, '\'', 0, {"a b", "\"c\""}},
      {"\"a b\" (c d) [e] x", 0, kQuoteUnquoteAll, 0, {"a b", "c d", "e", "x"}},
  };
  for (const auto& [text, chSep, nQuote, dwFlags, expected] : cases) {
    CZQVStringArray tokens = ArrayOf({"a much longer old element", "x", "y", "z"});
    const int nCount = kxutilsGetTokens(text, &tokens, chSep, nullptr, nQuote, dwFlags);
    EXPECT_EQ(TextsOf(tokens), expected) << text;
    EXPECT_EQ(nCount, static_cast<int>(expected.size())) << text;
    EXPECT_EQ(kxutilsGetTokens(text, nullptr, chSep, nullptr, nQuote, dwFlags), nCount) << text;
  }
  // A state that says "inside a double quote" keeps the first comma hidden
  // and comes back outside.
  CZQVStringArray tokens;
  int nState = '"';
  EXPECT_EQ(kxutilsGetTokens("a,b\",c", &tokens, ',', &nState, 0, 0), 2);
  EXPECT_EQ(TextsOf(tokens), (Texts{"a,b\"", "c"}));
  EXPECT_EQ(nState, kSearchOutsideQuotes);
}

TEST(kxutilsTokenizeOneCSVLine, SplitsAndUnquotesFields) {
  const std::pair<std::string, Texts> cases[] = {
      {"\"a,b\",c", {"a,b", "c"}},
      {"1,2,", {"1", "2", ""}},
      {"<a,b>,f(1,2)", {"<a,b>", "f(1,2)"}},
      {"a,\n", {"a", ""}},
      {" a , b ", {" a ", " b "}},
      {"ab\",c", {"ab", "c"}},
      {"", {}},
  };
  for (const auto& [line, expected] : cases) {
    CZQVStringArray fields = ArrayOf({"left over"});
    EXPECT_EQ(kxutilsTokenizeOneCSVLine(line.c_str(), &fields), static_cast<int>(expected.size()));
    EXPECT_EQ(TextsOf(fields), expected) << line;
  }
  EXPECT_EQ(kxutilsTokenizeOneCSVLine("a,b", nullptr), -1);
}

TEST(CsvUnquoteField, ReportsAndKeepsWhatItRead) {
  using namespace kxu::tokens::detail;
  const std::tuple<std::string, int, std::string> cases[] = {
      {"abc", 3, "abc"},
      {"\"", 0, ""},
      {"", 0, ""},
      {"\"a\"\"b\"", 3, "a\"b"},
      {"\"a\"\"", 2, "a\""},
      {"\"ab\"c\"", kFieldLoneQuote, "ab"},
      {"a\"b", kFieldLoneQuote, "a"},
      {"\"abc", kFieldUnterminated, "abc"},
      {"ab\"", 2, "ab"},
      {'"' + std::string(15, 'x') + "\"\"" + std::string(20, 'y') + '"', 36,
       std::string(15, 'x') + '"' + std::string(20, 'y')},
  };
  // Each field alone, and followed by quotes that a read of whole blocks
  // past its end meets.
  for (const auto& [field, nResult, expected] : cases) {
    const std::string text = field + std::string(40, '"');
    for (const std::size_t nReadable : {field.size(), text.size()}) {
      SCOPED_TRACE(testing::Message() << field << " " << nReadable);
      CStringUTF8 strField("left over");
      EXPECT_EQ(CsvUnquoteFieldInto({text.data(), field.size()}, nReadable, strField), nResult);
      EXPECT_EQ(TextOf(strField), expected);
    }
  }
}

// An empty separator or a null array gives -1 and changes nothing; an empty
// or null text, 0. (A text or separator that is a string of the result is the
// aliasing fuzz target's.)
TEST(kxutilsSeparateByStr, CutsAtEveryOccurrence) {
  const std::tuple<const char*, std::string, int, Texts> cases[] = {
      {"abc", ",", 1, {"abc"}},         {"a,b,", ",", 3, {"a", "b", ""}},
      {"a,,b", ",", 3, {"a", "", "b"}}, {"a::b::c", "::", 3, {"a", "b", "c"}},
      {"a:::b", "::", 2, {"a", ":b"}},  {"", ",", 0, {}},
      {"a,b", "", -1, {"left over"}},   {nullptr, ",", 0, {}},
  };
  for (const auto& [text, separator, nResult, expected] : cases) {
    CZQVStringArray result = ArrayOf({"left over"});
    EXPECT_EQ(kxutilsSeparateByStr(text, &result, separator.c_str()), nResult);
    EXPECT_EQ(TextsOf(result), expected) << text;
  }
  EXPECT_EQ(kxutilsSeparateByStr("a,b", nullptr, ","), -1);
  EXPECT_EQ(kxutilsSeparateByStr("", nullptr, ","), 0);
}

// Letters with their digits appended after `before`; then the worksheet
// label letters.
TEST(kxutilsSeparateCharWithNumericSuffix, SplitsLettersWithTheirDigits) {
  // Text, the stand-alone and the suffix letters, the array before, whether
  // duplicates are allowed, result and the array after.
  const std::tuple<const char*, const char*, const char*, Texts, int, int, Texts> cases[] = {
      {"LP12", "LUC", "PD", {}, 0, 2, {"L", "P12"}},
      {"L, P1; D", "LUC", "PD", {"x"}, 0, 4, {"x", "L", "P1", "D"}},
      {"", "LUC", "PD", {"x"}, 0, 1, {"x"}},
      {"L1", "LUC", "PD", {}, 0, kSuffixStrayDigit, {"L"}},
      {"1P", "LUC", "PD", {}, 0, kSuffixLeadingDigit, {}},
      {"LUL", "LUC", "PD", {}, 0, kSuffixDuplicate, {"L", "U"}},
      {"LLU", "LUC", "PD", {}, 0, kSuffixDuplicate, {"L"}},  // a duplicate before the end
      {"LP1LP1", "LUC", "PD", {}, 1, 4, {"L", "P1", "L", "P1"}},
      {"C", "LUC", "PD", {"C"}, 0, kSuffixDuplicate, {"C"}},
      {"P1P12", "LUC", "PD", {}, 0, kSuffixDuplicate, {"P1", "P1"}},
      {"P1P2", "LUC", "PD", {}, 0, 2, {"P1", "P2"}},
      {"PP1", "LUC", "PD", {}, 0, 2, {"P", "P1"}},
      {"P1P", "LUC", "PD", {}, 0, 2, {"P1", "P"}},  // "P" grew into "P1": it is not there any more
      {"LX", "LUC", "PD", {}, 0, kSuffixBadByte, {"L"}},
      {"l", "LUC", "PD", {}, 0, kSuffixBadByte, {}},
      {nullptr, "LUC", "PD", {"x"}, 0, kSuffixMissingArgument, {"x"}},
      {"L", "L", nullptr, {"x"}, 0, kSuffixMissingArgument, {"x"}},
      // A byte from 0x80 on is refused even when a letter set holds it.
      {"\x80", "\x80", "\x80", {"x"}, 0, kSuffixBadByte, {"x"}},
  };
  for (const auto& [text, standAlone, suffixed, before, bAllowDuplicates, nResult, after] : cases) {
    CZQVStringArray result = ArrayOf(before);
    EXPECT_EQ(
        kxutilsSeparateCharWithNumericSuffix(text, &result, standAlone, suffixed, bAllowDuplicates),
        nResult)
        << text;
    EXPECT_EQ(TextsOf(result), after) << text;
  }
  // The label letters, read case aside.
  const std::tuple<std::string, int, int, Texts> labelCases[] = {
      {"lp3", 0, 2, {"L", "P3"}},
      {"LUCSREGFPDO", 0, 11, {"L", "U", "C", "S", "R", "E", "G", "F", "P", "D", "O"}},
      {"LG", kWksWithoutG, kSuffixBadByte, {"L"}},
      {"LL", kWksAllowDuplicates, 2, {"L", "L"}},
  };
  for (const auto& [text, nFlags, nResult, after] : labelCases) {
    CZQVStringArray result;
    EXPECT_EQ(kxutilsSeparateWksLabelsChar(text.c_str(), &result, nFlags), nResult) << text;
    EXPECT_EQ(TextsOf(result), after) << text;
  }
  EXPECT_EQ(kxutilsSeparateWksLabelsChar("L", nullptr, 0), kSuffixMissingArgument);
  // A letter set may be a string of the result: the digits grow the result's
  // last string, which holds the stand-alone set.
  const std::string text = " " + std::string(64, '7');
  CZQVStringArray letters = ArrayOf({"L"});
  EXPECT_EQ(kxutilsSeparateCharWithNumericSuffix(text.c_str(), &letters, letters[0], " ", 0), 1);
  EXPECT_EQ(TextsOf(letters), Texts{"L" + std::string(64, '7')});
}

// Joined with a character and with a text, the result's old text replaced;
// null arguments give -1 and change nothing.
TEST(kxutilsSetTokens, JoinsWithSeparatorBetweenElements) {
  // Tokens, the separator character and text, and the two joined texts.
  const std::tuple<Texts, char, const char*, std::string, std::string> cases[] = {
      {{}, ';', ", ", "", ""},
      {{"a", "b", "c"}, ';', ", ", "a;b;c", "a, b, c"},
      {{"", "", ""}, ';', ", ", ";;", ", , "},
      {{"a", "b"}, '\0', "", std::string("a\0b", 3), "ab"}};
  for (const auto& [texts, chSep, separator, byChar, byText] : cases) {
    CZQVStringArray tokens = ArrayOf(texts);
    CStringUTF8 strResult("old");
    EXPECT_EQ(kxutilsSetTokens(&strResult, &tokens, chSep), static_cast<int>(texts.size()));
    EXPECT_EQ(TextOf(strResult), byChar);
    strResult = "old";
    EXPECT_EQ(kxutilsSetTokensByStr(&strResult, &tokens, separator),
              static_cast<int>(texts.size()));
    EXPECT_EQ(TextOf(strResult), byText);
  }
  CZQVStringArray tokens = ArrayOf({"a", "b"});
  CStringUTF8 strResult("keep");
  EXPECT_EQ(kxutilsSetTokens(&strResult, nullptr, ','), -1);
  EXPECT_EQ(kxutilsSetTokens(nullptr, &tokens, ','), -1);
  EXPECT_EQ(kxutilsSetTokensByStr(&strResult, &tokens, nullptr), -1);
  EXPECT_EQ(strResult, "keep");
}

TEST(kxutilsSeparateKeyValues, SplitsPairsAtTheFirstAssign) {
  const std::tuple<std::string, char, Texts, Texts> cases[] = {
      {"a=1, lone ", ',', {"a", ""}, {"1", "lone"}},
      {"x=y=z", ',', {"x"}, {"y=z"}},
      {" my key = my value ", ',', {"my key"}, {"my value"}},
      {"", ',', {}, {}},
      {"\"k=a,b\",u=1", ',', {"k", "u"}, {"a,b", "1"}},
      {"\"k=v\";w=2", ';', {"\"k", "w"}, {"v\"", "2"}},
      {"a=1 \"b=2 3\"", '\0', {"a", "b"}, {"1", "2 3"}},
  };
  for (const auto& [text, chSep, wantKeys, wantValues] : cases) {
    CZQVStringArray keys = ArrayOf({"old"}), values = ArrayOf({"old", "older"});
    EXPECT_EQ(kxutilsSeparateKeyValues(text.c_str(), &keys, &values, chSep),
              static_cast<int>(wantKeys.size()));
    EXPECT_EQ(TextsOf(keys), wantKeys) << text;
    EXPECT_EQ(TextsOf(values), wantValues) << text;
  }
  CZQVStringArray keys = ArrayOf({"k"});
  EXPECT_EQ(kxutilsSeparateKeyValues("a=1", &keys, nullptr, ','), -1);
  EXPECT_EQ(TextsOf(keys), Texts{"k"});
}

// Appended after "pre:"; arrays of different lengths give 0 and append nothing.
TEST(kxutilsMakeKeyValuesStr, AppendsPairs) {
  // Keys, values, separator, result and the text appended.
  const std::tuple<Texts, Texts, int, int, std::string> cases[] = {
      {{"a", "b"}, {"1", "2"}, ',', 2, "a=1,b=2"},
      {{"", "b"}, {"", ""}, ' ', 2, "= b="},
      {{"a", "b"}, {"1", "2", "3"}, ',', 0, ""},
      {{}, {}, ',', 0, ""}};
  for (const auto& [keyTexts, valueTexts, chSep, nExpected, expected] : cases) {
    CZQVStringArray keys = ArrayOf(keyTexts), values = ArrayOf(valueTexts);
    CStringUTF8 strResult("pre:");
    EXPECT_EQ(kxutilsMakeKeyValuesStr(&strResult, &keys, &values, chSep), nExpected);
    EXPECT_EQ(std::string(strResult), "pre:" + expected);
  }
  CZQVStringArray keys = ArrayOf({"a"});
  CStringUTF8 strResult("keep");
  EXPECT_EQ(kxutilsMakeKeyValuesStr(&strResult, &keys, nullptr, ','), -1);
  EXPECT_EQ(kxutilsMakeKeyValuesStr(nullptr, &keys, &keys, ','), -1);
  EXPECT_EQ(strResult, "keep");
}

// The angle-bracket switch is its thread's: a split honours the setting of its
// own thread, and a split with angle brackets leaves the switch as it was.
TEST(AngleBrackets, EachThreadSplitsWithItsOwnSetting) {
  kxu::test::RunConcurrently(kxu::test::kThreads, [](int k) {
    const bool bAngle = k % 2 == 0;
    set_parenth_use_angle_brackets(bAngle ? 1 : 0);
    for (int i = 0; i < 200; ++i) {
      EXPECT_EQ(kxutilsGetTokens("<a,b>,c", nullptr, ',', nullptr, 0, 0), bAngle ? 2 : 3);
      EXPECT_EQ(kxutilsGetTokens("<a,b>,c", nullptr, ',', nullptr, kQuoteAngleBrackets, 0), 2);
    }
    EXPECT_EQ(set_parenth_use_angle_brackets(0), bAngle ? 1 : 0);
  });
}

}  // namespace
