#include <kxutils96/tokens/numeric_suffix.h>

#include <gtest/gtest.h>

#include <string>

#include "support/array_text.h"

namespace {

using kxu::test::ArrayOf;
using kxu::test::Texts;
using kxu::test::TextsOf;
using namespace kxu::tokens;

struct SuffixCase {
  const char* name;
  std::string text;
  Texts before;
  int bAllowDuplicates;
  int nResult;
  Texts after;
};

class SeparateCharWithNumericSuffixTest : public ::testing::TestWithParam<SuffixCase> {};

// Stand-alone letters "LUC", suffix letters "PD".
TEST_P(SeparateCharWithNumericSuffixTest, SplitsLettersWithTheirDigits) {
  const SuffixCase& c = GetParam();
  CZQVStringArray result = ArrayOf(c.before);
  EXPECT_EQ(kxutilsSeparateCharWithNumericSuffix(c.text.c_str(), &result, "LUC", "PD",
                                                 c.bAllowDuplicates),
            c.nResult);
  EXPECT_EQ(TextsOf(result), c.after);
}

INSTANTIATE_TEST_SUITE_P(
    kxutilsSeparateCharWithNumericSuffix, SeparateCharWithNumericSuffixTest,
    ::testing::Values(
        SuffixCase{"LetterThenSuffixWithDigits", "LP12", {}, 0, 2, {"L", "P12"}},
        SuffixCase{"SuffixWithoutDigits", "PL", {}, 0, 2, {"P", "L"}},
        SuffixCase{"SkipsClassEight", "L, P1; D", {}, 0, 3, {"L", "P1", "D"}},
        SuffixCase{"AppendsAfterExisting", "U", {"x"}, 0, 2, {"x", "U"}},
        SuffixCase{"Empty", "", {"x"}, 0, 1, {"x"}},
        SuffixCase{"StandAloneThenDigit", "L1", {}, 0, kSuffixStrayDigit, {"L"}},
        SuffixCase{"LeadingDigit", "1P", {}, 0, kSuffixLeadingDigit, {}},
        SuffixCase{"RepeatedLetter", "LUL", {}, 0, kSuffixDuplicate, {"L", "U"}},
        SuffixCase{"RepeatedLetterAllowed", "LUL", {}, 1, 3, {"L", "U", "L"}},
        SuffixCase{"RepeatOfExistingElement", "C", {"C"}, 0, kSuffixDuplicate, {"C"}},
        SuffixCase{"ShorterEarlierEqualsGrowing", "P1P12", {}, 0, kSuffixDuplicate, {"P1", "P1"}},
        SuffixCase{"SameSuffixDifferentDigits", "P1P2", {}, 0, 2, {"P1", "P2"}},
        SuffixCase{"SuffixLetterRepeatsBeforeDigits", "PP1", {}, 0, 2, {"P", "P1"}},
        SuffixCase{"SkippedByteBeforeDigit", "P 1", {}, 0, kSuffixStrayDigit, {"P"}},
        SuffixCase{"UnknownLetter", "LX", {}, 0, kSuffixBadByte, {"L"}},
        SuffixCase{"HighByte", "L\xC3\xA9", {}, 0, kSuffixBadByte, {"L"}},
        SuffixCase{"LowerCaseNotALetter", "l", {}, 0, kSuffixBadByte, {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(kxutilsSeparateCharWithNumericSuffix, NullArgumentsChangeNothing) {
  CZQVStringArray result = ArrayOf({"x"});
  EXPECT_EQ(kxutilsSeparateCharWithNumericSuffix("L", nullptr, "L", "P", 0),
            kSuffixMissingArgument);
  EXPECT_EQ(kxutilsSeparateCharWithNumericSuffix(nullptr, &result, "L", "P", 0),
            kSuffixMissingArgument);
  EXPECT_EQ(kxutilsSeparateCharWithNumericSuffix("L", &result, nullptr, "P", 0),
            kSuffixMissingArgument);
  EXPECT_EQ(kxutilsSeparateCharWithNumericSuffix("L", &result, "L", nullptr, 0),
            kSuffixMissingArgument);
  EXPECT_EQ(TextsOf(result), Texts{"x"});
}

TEST(kxutilsSeparateCharWithNumericSuffix, ALetterSetMayBeAStringOfTheResult) {
  // The digits grow the result's last string, which holds the stand-alone set.
  const std::string text = " " + std::string(64, '7');
  CZQVStringArray result = ArrayOf({"L"});
  EXPECT_EQ(kxutilsSeparateCharWithNumericSuffix(text.c_str(), &result, result[0], " ", 0), 1);
  EXPECT_EQ(TextsOf(result), Texts{"L" + std::string(64, '7')});
}

TEST(kxutilsSeparateCharWithNumericSuffix, ManyElementsStayFast) {
  // 200000 distinct suffixed elements: the duplicate test must not walk the array.
  std::string text;
  for (int i = 0; i < 200'000; ++i)
    text += "P" + std::to_string(100'000 + i);  // same width: no element is a prefix of another
  CZQVStringArray result;
  EXPECT_EQ(kxutilsSeparateCharWithNumericSuffix(text.c_str(), &result, "", "P", 0), 200'000);
}

struct WksCase {
  const char* name;
  std::string text;
  int nFlags;
  int nResult;
  Texts after;
};

class SeparateWksLabelsCharTest : public ::testing::TestWithParam<WksCase> {};

TEST_P(SeparateWksLabelsCharTest, UsesTheLabelLetters) {
  const WksCase& c = GetParam();
  CZQVStringArray result;
  EXPECT_EQ(kxutilsSeparateWksLabelsChar(c.text.c_str(), &result, c.nFlags), c.nResult);
  EXPECT_EQ(TextsOf(result), c.after);
}

INSTANTIATE_TEST_SUITE_P(
    kxutilsSeparateWksLabelsChar, SeparateWksLabelsCharTest,
    ::testing::Values(WksCase{"LowerCaseAccepted", "lp3", 0, 2, {"L", "P3"}},
                      WksCase{"AllLetters",
                              "LUCSREGFPDO",
                              0,
                              11,
                              {"L", "U", "C", "S", "R", "E", "G", "F", "P", "D", "O"}},
                      WksCase{"WithoutG", "LG", kWksWithoutG, kSuffixBadByte, {"L"}},
                      WksCase{"DuplicatesAllowed", "LL", kWksAllowDuplicates, 2, {"L", "L"}},
                      WksCase{"DuplicatesRefused", "LL", 0, kSuffixDuplicate, {"L"}},
                      WksCase{"OSuffix", "O12,D1", 0, 2, {"O12", "D1"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(kxutilsSeparateWksLabelsChar, NullArgumentsGiveMissingArgument) {
  CZQVStringArray result;
  EXPECT_EQ(kxutilsSeparateWksLabelsChar(nullptr, &result, 0), kSuffixMissingArgument);
  EXPECT_EQ(kxutilsSeparateWksLabelsChar("L", nullptr, 0), kSuffixMissingArgument);
}

}  // namespace
