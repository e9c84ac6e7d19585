#include <kxutils96/platform/win_user.h>

#include <gtest/gtest.h>

namespace {

TEST(IsCharAlphaA, AsciiLettersOnly) {
  for (int c = 0; c < 256; ++c) {
    const bool bLetter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
    EXPECT_EQ(IsCharAlphaA(static_cast<char>(c)), bLetter ? TRUE : FALSE) << c;
  }
}

}  // namespace
