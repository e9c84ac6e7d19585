#include <kxutils96/host/zutl96/zutl96.h>

#include <gtest/gtest.h>

#include <string>

using namespace kxu::zutl96;

namespace {

struct ClassCase {
  const char* name;
  std::string bytes;
  int nClass;
};

class CharClassTest : public ::testing::TestWithParam<ClassCase> {};

TEST_P(CharClassTest, EveryByteOfTheGroupHasTheClass) {
  ClassCase c = GetParam();
  for (char ch : c.bytes) {
    EXPECT_EQ(utlCharClass(ch), c.nClass)
        << "byte " << static_cast<int>(static_cast<unsigned char>(ch));
    EXPECT_EQ(utlCharClass(static_cast<unsigned char>(ch)), c.nClass) << "unsigned value";
  }
}

INSTANTIATE_TEST_SUITE_P(
    utlCharClass, CharClassTest,
    ::testing::Values(ClassCase{"BreakAfter", " \t,;:.!?-/)]}", kCharBreakAfter},
                      ClassCase{"Letters", "AZaz", kCharLetter},
                      ClassCase{"Digits", "0123456789", kCharDigit},
                      ClassCase{"LineEnds", "\r\n\v\f", kCharLineEnd},
                      ClassCase{"Quotes", "\"'", kCharQuote},
                      ClassCase{"Openings", "([{<", kCharOpening},
                      ClassCase{"Symbols", "#$%&*+=>@\\^_`|~", kCharSymbol},
                      ClassCase{"Controls", std::string("\x01\x1F\x7F", 3), kCharControl},
                      ClassCase{"MultiByte", "\x80\xC3\xFF", kCharMultiByte}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(utlCharClass, NulIsControl) {
  EXPECT_EQ(utlCharClass('\0'), kCharControl);
}

}  // namespace
