#include <kxutils96/tokens/numeric_suffix.h>

#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "support/array_text.h"

namespace {

using namespace kxu::test;
using namespace kxu::tokens;

// Stand-alone letters "LUC", suffix letters "PD", appended after `before`.
TEST(kxutilsSeparateCharWithNumericSuffix, SplitsLettersWithTheirDigits) {
  const std::tuple<std::string, Texts, int, int, Texts> cases[] = {
      {"LP12", {}, 0, 2, {"L", "P12"}},
      {"L, P1; D", {"x"}, 0, 4, {"x", "L", "P1", "D"}},
      {"", {"x"}, 0, 1, {"x"}},
      {"L1", {}, 0, kSuffixStrayDigit, {"L"}},
      {"1P", {}, 0, kSuffixLeadingDigit, {}},
      {"LUL", {}, 0, kSuffixDuplicate, {"L", "U"}},
      {"LUL", {}, 1, 3, {"L", "U", "L"}},
      {"C", {"C"}, 0, kSuffixDuplicate, {"C"}},
      {"P1P12", {}, 0, kSuffixDuplicate, {"P1", "P1"}},
      {"P1P2", {}, 0, 2, {"P1", "P2"}},
      {"PP1", {}, 0, 2, {"P", "P1"}},
      {"LX", {}, 0, kSuffixBadByte, {"L"}},
      {"l", {}, 0, kSuffixBadByte, {}},
  };
  for (const auto& [text, before, bAllowDuplicates, nResult, after] : cases) {
    CZQVStringArray result = ArrayOf(before);
    EXPECT_EQ(
        kxutilsSeparateCharWithNumericSuffix(text.c_str(), &result, "LUC", "PD", bAllowDuplicates),
        nResult)
        << text;
    EXPECT_EQ(TextsOf(result), after) << text;
  }
}

TEST(kxutilsSeparateCharWithNumericSuffix, NullArgumentsChangeNothing) {
  CZQVStringArray result = ArrayOf({"x"});
  EXPECT_EQ(kxutilsSeparateCharWithNumericSuffix(nullptr, &result, "L", "P", 0),
            kSuffixMissingArgument);
  EXPECT_EQ(kxutilsSeparateCharWithNumericSuffix("L", &result, "L", nullptr, 0),
            kSuffixMissingArgument);
  EXPECT_EQ(TextsOf(result), Texts{"x"});
  EXPECT_EQ(kxutilsSeparateWksLabelsChar("L", nullptr, 0), kSuffixMissingArgument);
}

TEST(kxutilsSeparateCharWithNumericSuffix, ALetterSetMayBeAStringOfTheResult) {
  // The digits grow the result's last string, which holds the stand-alone set.
  const std::string text = " " + std::string(64, '7');
  CZQVStringArray result = ArrayOf({"L"});
  EXPECT_EQ(kxutilsSeparateCharWithNumericSuffix(text.c_str(), &result, result[0], " ", 0), 1);
  EXPECT_EQ(TextsOf(result), Texts{"L" + std::string(64, '7')});
}

TEST(kxutilsSeparateWksLabelsChar, UsesTheLabelLetters) {
  const std::tuple<std::string, int, int, Texts> cases[] = {
      {"lp3", 0, 2, {"L", "P3"}},
      {"LUCSREGFPDO", 0, 11, {"L", "U", "C", "S", "R", "E", "G", "F", "P", "D", "O"}},
      {"LG", kWksWithoutG, kSuffixBadByte, {"L"}},
      {"LL", kWksAllowDuplicates, 2, {"L", "L"}},
  };
  for (const auto& [text, nFlags, nResult, after] : cases) {
    CZQVStringArray result;
    EXPECT_EQ(kxutilsSeparateWksLabelsChar(text.c_str(), &result, nFlags), nResult) << text;
    EXPECT_EQ(TextsOf(result), after) << text;
  }
}

}  // namespace
