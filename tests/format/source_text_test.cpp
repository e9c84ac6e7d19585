// Removing comments from C source text.
#include <kxutils96/format/transforms/source_text.h>

#include <gtest/gtest.h>

namespace {

TEST(kxu_skip_C_comments, RemovesCommentsAndTrims) {
  const struct {
    const char* text;
    int bLeadingOnly;
    const char* expected;
  } rows[] = {{" a /* b */c // d", 0, "a c "},
              {"  int x;  ", 0, "int x;"},
              {"a // x\nb", 0, "a \nb"},  // a line comment keeps its line feed
              {"/*1*//*2*/a", 0, "a"},
              {"s = \"/* no */\"; // yes", 0, "s = \"/* no */\"; "},
              {"/* all */", 0, ""},
              {"", 0, ""},
              {"/*x*/a/*y*/", 1, "a/*y*/"},
              {"/*x*///y\nb // z", 1, "\nb // z"},
              {" code /* c */ ", 1, "code /* c */"}};
  for (const auto& row : rows) {
    CStringUTF8 text(row.text);
    EXPECT_EQ(kxu_skip_C_comments(&text, row.bLeadingOnly), 1) << row.text;
    EXPECT_STREQ(text.GetString(), row.expected) << row.text;
  }
  EXPECT_EQ(kxu_skip_C_comments(nullptr, 0), -1);
}

}  // namespace
