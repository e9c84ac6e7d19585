// Removing comments from C source text.
#include <kxutils96/format/transforms/source_text.h>

#include <gtest/gtest.h>

#include <tuple>

namespace {

TEST(kxu_skip_C_comments, RemovesCommentsAndTrims) {
  const std::tuple<const char*, int, const char*> rows[] = {
      {" a /* b */c // d", 0, "a c "},
      {"  int x;  ", 0, "int x;"},
      {"a // x\nb", 0, "a \nb"},  // a line comment keeps its line feed
      {"/*1*//*2*/a", 0, "a"},
      {"/* all */", 0, ""},
      {"/*x*/a/*y*/", 1, "a/*y*/"},
      {"/*x*///y\nb // z", 1, "\nb // z"},
      {" code /* c */ ", 1, "code /* c */"}};
  for (const auto& [source, bLeadingOnly, expected] : rows) {
    CStringUTF8 text(source);
    EXPECT_EQ(kxu_skip_C_comments(&text, bLeadingOnly), 1) << source;
    EXPECT_STREQ(text.GetString(), expected) << source;
  }
  EXPECT_EQ(kxu_skip_C_comments(nullptr, 0), -1);
}

}  // namespace
