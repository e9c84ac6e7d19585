// The angle-bracket switch that a split with kQuoteAngleBrackets turns on and
// restores, while other threads split without it.
#include <kxutils96/tokens/token_splitter.h>

#include <gtest/gtest.h>

#include "support/concurrently.h"

namespace {

constexpr int kRounds = 200;

// Only the splits that ask for angle brackets keep "<a,b>" whole.
TEST(AngleBracketThreads, EachSplitSeesOnlyItsOwnSetting) {
  kxu::test::RunConcurrently(kxu::test::kThreads, [](int k) {
    const bool bAngle = k % 2 == 0;
    const int nQuote = bAngle ? kxu::tokens::kQuoteAngleBrackets : 0;
    for (int i = 0; i < kRounds; ++i)
      EXPECT_EQ(kxutilsGetTokens("<a,b>,c", nullptr, ',', nullptr, nQuote, 0), bAngle ? 2 : 3);
  });
}

}  // namespace
