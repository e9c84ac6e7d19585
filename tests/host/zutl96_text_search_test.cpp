// The quote test, the keyword search and the clean-up of pasted text.
#include <kxutils96/host/zutl96/zutl96.h>

#include <gtest/gtest.h>

#include <string>

using namespace kxu::zutl96;

namespace {

TEST(KESUTIL_is_quote_char, QuotesOnly) {
  EXPECT_EQ(KESUTIL_is_quote_char('"', 0), 1);
  EXPECT_EQ(KESUTIL_is_quote_char('\'', 0), 1);
  for (int c : {int{'`'}, int{'a'}, int{' '}, 0, 0x93 - 256, 0xE2 - 256})
    EXPECT_EQ(KESUTIL_is_quote_char(c, 0), 0) << c;
}

struct FindCase {
  const char* name;
  const char* keyword;
  const char* text;
  int nStart;
  int nOptions;
  int nFound;  // offset in the text, -1 for none
};

class FindTextTest : public ::testing::TestWithParam<FindCase> {};

TEST_P(FindTextTest, FindsFirstAtOrAfterPosition) {
  const FindCase& c = GetParam();
  std::string text(c.text);
  char* pFound = utlFindTextEx(c.keyword, text.data() + c.nStart, c.nOptions);
  if (c.nFound < 0)
    EXPECT_EQ(pFound, nullptr);
  else
    EXPECT_EQ(pFound, text.data() + c.nFound);
}

INSTANTIATE_TEST_SUITE_P(
    utlFindTextEx, FindTextTest,
    ::testing::Values(FindCase{"First", "and", "a and b and", 0, 0, 2},
                      FindCase{"AfterPosition", "and", "a and b and", 3, 0, 8},
                      FindCase{"AtPosition", "and", "a and b", 2, 0, 2},
                      FindCase{"None", "and", "a or b", 0, 0, -1},
                      FindCase{"CaseMatters", "and", "a AND b", 0, 0, -1},
                      FindCase{"IgnoreCase", "and", "a AnD b", 0, kFindTextIgnoreCase, 2},
                      FindCase{"IgnoreCaseKeepsOtherBytes", "[", "{[", 0, kFindTextIgnoreCase, 1},
                      FindCase{"NonAsciiExact", "\xC3\xA9", "e\xC3\x89\xC3\xA9", 0,
                               kFindTextIgnoreCase, 3},
                      FindCase{"KeywordLongerThanRest", "and", "an", 0, 0, -1},
                      FindCase{"EmptyKeyword", "", "abc", 0, 0, -1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(utlFindTextEx, NullArguments) {
  char text[] = "abc";
  EXPECT_EQ(utlFindTextEx(nullptr, text, 0), nullptr);
  EXPECT_EQ(utlFindTextEx("a", nullptr, 0), nullptr);
}

struct ConvertCase {
  const char* name;
  std::string text;
  int nLength;
  std::string expected;
};

class ConvertTextTest : public ::testing::TestWithParam<ConvertCase> {};

TEST_P(ConvertTextTest, ConvertsWithinTheBuffer) {
  const ConvertCase& c = GetParam();
  std::string buffer = c.text;  // its NUL is the last byte the routine may touch
  const int nLength = utlConvertTextInPlace(buffer.data(), c.nLength);
  EXPECT_EQ(nLength, static_cast<int>(c.expected.size()));
  EXPECT_EQ(std::string(buffer.c_str()), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    utlConvertTextInPlace, ConvertTextTest,
    ::testing::Values(ConvertCase{"DoubleQuotes",
                                  "x \xE2\x80\x9C"
                                  "a\xE2\x80\x9D",
                                  -1, "x \"a\""},
                      ConvertCase{"SingleQuotes",
                                  "\xE2\x80\x98"
                                  "b\xE2\x80\x99",
                                  -1, "'b'"},
                      ConvertCase{"NoBreakSpace",
                                  "a\xC2\xA0"
                                  "b",
                                  -1, "a b"},
                      ConvertCase{"Dashes",
                                  "a\xE2\x80\x93"
                                  "b\xE2\x88\x92"
                                  "c",
                                  -1, "a-b-c"},
                      ConvertCase{"OtherUtf8Stays", "\xC3\xA9\xE2\x80\xA6", -1,
                                  "\xC3\xA9\xE2\x80\xA6"},
                      ConvertCase{"PlainStays", "a = b", -1, "a = b"},
                      ConvertCase{"TruncatedSequenceStays", "a\xE2\x80", -1, "a\xE2\x80"},
                      ConvertCase{"PrefixOnly", "\xC2\xA0|\xC2\xA0", 3, " |\xC2\xA0"},
                      ConvertCase{"PrefixCutsSequence", "\xC2\xA0", 1, "\xC2\xA0"},
                      ConvertCase{"LengthPastText", "\xC2\xA0", 50, " "},
                      ConvertCase{"Empty", "", -1, ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(utlConvertTextInPlace, NullGivesZero) {
  EXPECT_EQ(utlConvertTextInPlace(nullptr, -1), 0);
}

}  // namespace
