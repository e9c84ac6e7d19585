#include <kxutils96/platform/win32/win_user.h>

#include <gtest/gtest.h>

namespace {

// Only the ASCII bytes have one answer on every system; above them Windows
// answers from its ANSI code page.
TEST(IsCharAlphaA, LettersAmongAsciiBytes) {
  for (int c = 0; c < 128; ++c) {
    const bool bLetter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
    EXPECT_EQ(IsCharAlphaA(static_cast<char>(c)), bLetter ? TRUE : FALSE) << c;
  }
}

}  // namespace
