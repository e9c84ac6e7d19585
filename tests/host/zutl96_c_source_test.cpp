// Escapes of single bytes and comments of C source text.
#include <kxutils96/host/zutl96/zutl96.h>

#include <gtest/gtest.h>

#include <string>

using namespace kxu::zutl96;

namespace {

struct EscapeCase {
  const char* name;
  int ch;
  const char* expected;  // empty: the byte stands for itself
};

class CharToCEscapeTest : public ::testing::TestWithParam<EscapeCase> {};

TEST_P(CharToCEscapeTest, WritesTheEscape) {
  const EscapeCase& c = GetParam();
  char buffer[kCEscapeBufferSize] = "untouched";
  const int nLength = utlCharToCEscape(c.ch, buffer, 0);
  if (*c.expected == '\0') {
    EXPECT_EQ(nLength, 0);
    EXPECT_STREQ(buffer, "untouched");
  } else {
    EXPECT_EQ(nLength, static_cast<int>(std::string(c.expected).size()));
    EXPECT_STREQ(buffer, c.expected);
  }
}

INSTANTIATE_TEST_SUITE_P(
    utlCharToCEscape, CharToCEscapeTest,
    ::testing::Values(EscapeCase{"LineFeed", '\n', "\\n"}, EscapeCase{"Tab", '\t', "\\t"},
                      EscapeCase{"Return", '\r', "\\r"}, EscapeCase{"Bell", '\a', "\\a"},
                      EscapeCase{"Backspace", '\b', "\\b"}, EscapeCase{"FormFeed", '\f', "\\f"},
                      EscapeCase{"VerticalTab", '\v', "\\v"}, EscapeCase{"Backslash", '\\', "\\\\"},
                      EscapeCase{"DoubleQuote", '"', "\\\""}, EscapeCase{"Escape", 0x1B, "\\033"},
                      EscapeCase{"Nul", 0, "\\000"}, EscapeCase{"Delete", 0x7F, "\\177"},
                      EscapeCase{"Letter", 'a', ""}, EscapeCase{"SingleQuote", '\'', ""},
                      EscapeCase{"SignExtendedHigh", -61, ""}, EscapeCase{"HighByte", 0xBC, ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(utlCharToCEscape, NullBuffer) {
  EXPECT_EQ(utlCharToCEscape('\n', nullptr, 0), 0);
}

struct CommentCase {
  const char* name;
  const char* text;
  int nSkipTo;  // utlSkipComment's result as an offset
  int nFound;   // utlFindComment's result as an offset
};

class CommentTest : public ::testing::TestWithParam<CommentCase> {};

TEST_P(CommentTest, SkipsAndFinds) {
  const CommentCase& c = GetParam();
  std::string text(c.text);
  EXPECT_EQ(utlSkipComment(text.data()), text.data() + c.nSkipTo);
  EXPECT_EQ(utlFindComment(text.data()), text.data() + c.nFound);
}

INSTANTIATE_TEST_SUITE_P(
    Comments, CommentTest,
    ::testing::Values(
        CommentCase{"Block", "/* a */b", 7, 0}, CommentCase{"Line", "// a\nb", 4, 0},
        CommentCase{"LineAtEnd", "// a", 4, 0}, CommentCase{"UnterminatedBlock", "/* a", 4, 0},
        CommentCase{"StarSlashInside", "/* a * / **/x", 12, 0},
        CommentCase{"NoComment", "a / b * c", 0, 9}, CommentCase{"AfterCode", "x; /* c */", 0, 3},
        CommentCase{"InString", "s = \"//\"; // c", 0, 10},
        CommentCase{"EscapedQuoteInString", "\"\\\"/*\" //", 0, 7},
        CommentCase{"CharLiteral", "'\"' /**/", 0, 4},
        CommentCase{"LiteralEndsAtLineEnd", "\"open\n// c", 0, 6}, CommentCase{"Empty", "", 0, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Comments, NullPosition) {
  EXPECT_EQ(utlSkipComment(nullptr), nullptr);
  EXPECT_EQ(utlFindComment(nullptr), nullptr);
}

}  // namespace
