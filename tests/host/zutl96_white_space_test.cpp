#include <kxutils96/host/zutl96/zutl96.h>

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr int kNull = -1;

TEST(utlSkipWhite, SkipsLeadingWhiteSpaceOnly) {
  const struct {
    std::string text;
    int nSkipWhite, nSkipAfterSep;  // offsets, kNull for null
  } rows[] = {{"ab ", 0, 0},  {" \t\r\n\v\fx", 6, 6}, {" \t ", 3, kNull},
              {"", 0, kNull}, {"\xA0x", 0, 0},        {"\x01x", 0, 0}};
  for (const auto& row : rows) {
    std::string text = row.text;
    auto offset = [&](const char* p) {
      return p == nullptr ? kNull : static_cast<int>(p - text.data());
    };
    EXPECT_EQ(offset(utlSkipWhite(text.data())), row.nSkipWhite) << row.text;
    EXPECT_EQ(offset(utlSkipWhiteAfterSep(text.data())), row.nSkipAfterSep) << row.text;
    EXPECT_EQ(text, row.text);  // trailing white space is not cut
  }
  EXPECT_EQ(utlSkipWhite(nullptr), nullptr);
  EXPECT_EQ(utlSkipWhiteAfterSep(nullptr), nullptr);
}

}  // namespace
