#include <kxutils96/host/zutl96/zutl96.h>

#include <gtest/gtest.h>

#include <string>

using namespace kxu::zutl96;

namespace {

TEST(utlUnquote, RemovesOnlyAnEnclosingPair) {
  const int Q = kUnquoteQuotes, B = kUnquoteQuotesAndBrackets;
  const struct {
    std::string token;
    int nPairs;
    std::string expected;
    int nRemoved;
  } rows[] = {{"\"a b\"", Q, "a b", 1}, {"'a'", Q, "a", 1},   {"\"a'", Q, "\"a'", 0},
              {"\"", Q, "\"", 0},       {"\"\"", Q, "", 1},   {"(x)", Q, "(x)", 0},
              {"(x)", B, "x", 1},       {"(x]", B, "(x]", 0}, {"<x>", B, "<x>", 0}};
  for (const auto& row : rows) {
    std::string token = row.token;
    int nPairs = row.nPairs;
    EXPECT_EQ(std::string(utlUnquote(token.data(), &nPairs)), row.expected) << row.token;
    EXPECT_EQ(nPairs, row.nRemoved) << row.token;
  }
  EXPECT_EQ(utlUnquote(nullptr, nullptr), nullptr);
  std::string token = "(x)";  // a null option means quotes only
  EXPECT_EQ(std::string(utlUnquote(token.data(), nullptr)), "(x)");
  std::string quoted = "'x'";
  EXPECT_EQ(std::string(utlUnquote(quoted.data(), nullptr)), "x");
}

TEST(utlCsvUnquote, RemovesCsvQuotingInPlace) {
  const struct {
    std::string field;
    DWORD dwFlags;
    std::string expected;
    int nClosed;
  } rows[] = {{"\"a,b\"", 0, "a,b", 1},
              {"\"say \"\"hi\"\"\"", 0, "say \"hi\"", 1},
              {"\"\"", 0, "", 1},
              {"\"ab\"c d", 0, "abc d", 1},  // bytes after the closing quote kept
              {"\"abc", 0, "abc", 0},
              {"\"a\"\"", 0, "a\"", 0},
              {"\"a\\\"b", 0, "a\\b", 1},  // the backslash is literal by default
              {"\"a\\\"b\"", kCsvBackslashEscapes, "a\"b", 1},
              {"\"a\\", kCsvBackslashEscapes, "a\\", 0},  // an escape needs a byte after it
              {"\"a\\\"b", 0x00FFFFFF, "a\\b", 1},        // the low bits are ignored
              {"a\"b\"", 0, "a\"b\"", 0}};
  for (const auto& row : rows) {
    std::string field = row.field;
    int nClosed = 1;
    EXPECT_EQ(utlCsvUnquote(field.data(), &nClosed, row.dwFlags), field.data());
    EXPECT_EQ(std::string(field.c_str()), row.expected) << row.field;
    EXPECT_EQ(nClosed, row.nClosed) << row.field;
  }
  int nClosed = 1;
  EXPECT_EQ(utlCsvUnquote(nullptr, &nClosed, 0), nullptr);
  EXPECT_EQ(nClosed, 0);
}

}  // namespace
