// Removing comments from C source text.
#include <kxutils96/format/transforms/source_text.h>

#include <gtest/gtest.h>

#include <string>

namespace {

struct CommentCase {
  const char* name;
  const char* text;
  int bLeadingOnly;
  const char* expected;
};

class SkipCommentsTest : public ::testing::TestWithParam<CommentCase> {};

TEST_P(SkipCommentsTest, RemovesComments) {
  const CommentCase& c = GetParam();
  CStringUTF8 text(c.text);
  EXPECT_EQ(kxu_skip_C_comments(&text, c.bLeadingOnly), 1);
  EXPECT_STREQ(text.GetString(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    kxu_skip_C_comments, SkipCommentsTest,
    ::testing::Values(CommentCase{"BlockAndLine", " a /* b */c // d", 0, "a c "},
                      CommentCase{"NoComments", "  int x;  ", 0, "int x;"},
                      CommentCase{"LineCommentKeepsLineFeed", "a // x\nb", 0, "a \nb"},
                      CommentCase{"AdjacentComments", "/*1*//*2*/a", 0, "a"},
                      CommentCase{"UnterminatedBlock", "a /* open", 0, "a "},
                      CommentCase{"MarkerInString", "s = \"/* no */\"; // yes", 0,
                                  "s = \"/* no */\"; "},
                      CommentCase{"MarkerInCharLiteral", "c = '/'; /**/d", 0, "c = '/'; d"},
                      CommentCase{"EscapedQuoteInString", "\"a\\\"//\" b", 0, "\"a\\\"//\" b"},
                      CommentCase{"OnlyComment", "/* all */", 0, ""},
                      CommentCase{"Empty", "", 0, ""},
                      CommentCase{"LeadingOnlyKeepsLater", "/*x*/a/*y*/", 1, "a/*y*/"},
                      CommentCase{"LeadingOnlyChain", "/*x*///y\nb // z", 1, "\nb // z"},
                      CommentCase{"LeadingOnlyNoComment", " code /* c */ ", 1, "code /* c */"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(kxu_skip_C_comments, NullPointer) {
  EXPECT_EQ(kxu_skip_C_comments(nullptr, 0), -1);
}

}  // namespace
