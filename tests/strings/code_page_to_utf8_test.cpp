// Code-page text converts to UTF-8 straight from the source into the
// string (single-byte pages through their tables, the others by way of
// UTF-16), or within the string when the source is the string itself. Both
// against the system's conversion to UTF-16 followed by the codec, over
// random texts whose non-ASCII bytes lie anywhere in and across blocks (in
// 932 also cut double-byte codes and lone lead bytes), into a string reused
// from text to text.
#include <gtest/gtest.h>

#include "support/array_text.h"
#include "support/code_page_reference.h"

#include <random>
#include <string>

#include <kxutils96/strings/encoding_conversions.h>

namespace {

using kxu::test::TextOf;

TEST(ZqMBCStoUTF8Test, CodePagesConvertAsTheSystemDoes) {
  std::mt19937 rng(1252);
  CStringUTF8 reused;
  for (const UINT nPage : {1252u, 1251u, 437u, 932u}) {
    for (int round = 0; round < 400; ++round) {
      // Up to nine blocks; from no byte to every byte beyond ASCII.
      std::string text(rng() % 150, ' ');
      const unsigned nHighInFour = rng() % 5;
      for (char& ch : text) {
        ch = static_cast<char>(rng() % 4 < nHighInFour ? 0x80 + rng() % 0x80 : ' ' + rng() % 0x5F);
      }
      const std::string expected = kxu::test::Utf8ByWayOfUtf16(text, nPage);
      SCOPED_TRACE(testing::Message() << "page " << nPage << " round " << round);
      EXPECT_EQ(zqMBCStoUTF8(reused, text.c_str(), static_cast<int>(nPage)),
                static_cast<int>(expected.size()));
      EXPECT_EQ(TextOf(reused), expected);
      CStringUTF8 inPlace(text.c_str());
      EXPECT_EQ(zqMBCStoUTF8(inPlace, nullptr, static_cast<int>(nPage)),
                static_cast<int>(expected.size()));
      EXPECT_EQ(TextOf(inPlace), expected);
    }
  }
}

}  // namespace
