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

TEST(utlFindTextEx, FindsTheFirstAtOrAfterThePosition) {
  const struct {
    const char* keyword;
    const char* text;
    int nStart, nOptions;
    int nFound;  // offset in the text, -1 for none
  } rows[] = {{"and", "a and b and", 0, 0, 2},
              {"and", "a and b and", 3, 0, 8},
              {"and", "a or b", 0, 0, -1},
              {"and", "a AND b", 0, 0, -1},
              {"and", "a AnD b", 0, kFindTextIgnoreCase, 2},
              {"[", "{[", 0, kFindTextIgnoreCase, 1},  // other bytes keep their case
              {"\xC3\xA9", "e\xC3\x89\xC3\xA9", 0, kFindTextIgnoreCase, 3},
              {"and", "an", 0, 0, -1},
              {"", "abc", 0, 0, -1}};
  for (const auto& row : rows) {
    std::string text(row.text);
    char* pFound = utlFindTextEx(row.keyword, text.data() + row.nStart, row.nOptions);
    EXPECT_EQ(pFound == nullptr ? -1 : pFound - text.data(), row.nFound) << row.text;
  }
  char text[] = "abc";
  EXPECT_EQ(utlFindTextEx(nullptr, text, 0), nullptr);
  EXPECT_EQ(utlFindTextEx("a", nullptr, 0), nullptr);
}

TEST(utlConvertTextInPlace, ConvertsTypographicMarksWithinTheBuffer) {
  const struct {
    std::string text;
    int nLength;
    std::string expected;
  } rows[] = {{"x \xE2\x80\x9C"
               "a\xE2\x80\x9D",
               -1, "x \"a\""},
              {"a\xC2\xA0"
               "b",
               -1, "a b"},
              {"a\xE2\x80\x93"
               "b\xE2\x88\x92"
               "c",
               -1, "a-b-c"},
              {"\xC3\xA9\xE2\x80\xA6", -1, "\xC3\xA9\xE2\x80\xA6"},  // other UTF-8 stays
              {"a\xE2\x80", -1, "a\xE2\x80"},                        // a cut sequence stays
              {"\xC2\xA0|\xC2\xA0", 3, " |\xC2\xA0"},                // the length's prefix only
              {"\xC2\xA0", 1, "\xC2\xA0"},
              {"\xC2\xA0", 50, " "}};
  for (const auto& row : rows) {
    std::string buffer = row.text;  // its NUL is the last byte the routine may touch
    EXPECT_EQ(utlConvertTextInPlace(buffer.data(), row.nLength),
              static_cast<int>(row.expected.size()))
        << row.text;
    EXPECT_EQ(std::string(buffer.c_str()), row.expected);
  }
  EXPECT_EQ(utlConvertTextInPlace(nullptr, -1), 0);
}

}  // namespace
