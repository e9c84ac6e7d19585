#include <kxutils96/host/zutl96/zutl96.h>

#include <gtest/gtest.h>

#include <string>

using namespace kxu::zutl96;

namespace {

TEST(utlCharClass, EveryByteOfAGroupHasItsClass) {
  const struct {
    std::string bytes;
    int nClass;
  } rows[] = {{" \t,;:.!?-/)]}", kCharBreakAfter},
              {"AZaz", kCharLetter},
              {"0123456789", kCharDigit},
              {"\r\n\v\f", kCharLineEnd},
              {"\"'", kCharQuote},
              {"([{<", kCharOpening},
              {"#$%&*+=>@\\^_`|~", kCharSymbol},
              {std::string("\0\x01\x1F\x7F", 4), kCharControl},
              {"\x80\xC3\xFF", kCharMultiByte}};
  for (const auto& row : rows) {
    for (const char ch : row.bytes) {
      EXPECT_EQ(utlCharClass(ch), row.nClass) << static_cast<int>(static_cast<unsigned char>(ch));
      EXPECT_EQ(utlCharClass(static_cast<unsigned char>(ch)), row.nClass) << "unsigned value";
    }
  }
}

}  // namespace
