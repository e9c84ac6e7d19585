// Escapes of single bytes and comments of C source text.
#include <kxutils96/host/zutl96/zutl96.h>

#include <gtest/gtest.h>

#include <string>

using namespace kxu::zutl96;

namespace {

TEST(utlCharToCEscape, WritesTheEscapeOrLeavesTheBuffer) {
  const struct {
    int ch;
    const char* expected;  // empty: the byte stands for itself
  } rows[] = {{'\n', "\\n"},   {'\\', "\\\\"}, {'"', "\\\""}, {0x1F, "\\037"},
              {0x7F, "\\177"}, {' ', ""},      {-61, ""}};
  for (const auto& row : rows) {
    char buffer[kCEscapeBufferSize] = "untouched";
    EXPECT_EQ(utlCharToCEscape(row.ch, buffer, 0),
              static_cast<int>(std::string(row.expected).size()))
        << row.ch;
    EXPECT_STREQ(buffer, *row.expected == '\0' ? "untouched" : row.expected) << row.ch;
  }
  EXPECT_EQ(utlCharToCEscape('\n', nullptr, 0), 0);
}

TEST(Comments, SkipsAndFinds) {
  const struct {
    const char* text;
    int nSkipTo;  // utlSkipComment's result as an offset
    int nFound;   // utlFindComment's result as an offset
  } rows[] = {{"/* a */b", 7, 0},   {"// a\nb", 4, 0},           {"// a", 4, 0},
              {"/* a", 4, 0},       {"/* a * / **/x", 12, 0},    {"a / b * c", 0, 9},
              {"x; /* c */", 0, 3}, {"s = \"//\"; // c", 0, 10}, {"\"\\\"/*\" //", 0, 7},
              {"'\"' /**/", 0, 4},  {"\"open\n// c", 0, 6},      {"", 0, 0}};
  for (const auto& row : rows) {
    std::string text(row.text);
    EXPECT_EQ(utlSkipComment(text.data()), text.data() + row.nSkipTo) << row.text;
    EXPECT_EQ(utlFindComment(text.data()), text.data() + row.nFound) << row.text;
  }
  EXPECT_EQ(utlSkipComment(nullptr), nullptr);
  EXPECT_EQ(utlFindComment(nullptr), nullptr);
}

}  // namespace
