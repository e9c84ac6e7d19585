// The error store's one-time load, when the first calls of the process come on
// several threads at once.
#include <gtest/gtest.h>

#include <kxutils96/format/messages/message_loading.h>

#include "support/concurrently.h"

namespace {

constexpr int kEnglish = 1;
constexpr int kRounds = 20;

// Each thread may load the store or find the one another loaded; either way
// every lookup finds the message.
TEST(ErrorStoreThreads, FirstLookupsOnManyThreadsAllFindTheMessage) {
  kxu::test::RunConcurrently(kxu::test::kThreads, [](int) {
    for (int i = 0; i < kRounds; ++i) {
      CStringUTF8 text;
      EXPECT_EQ(kxu_load_err_msg_str(15000, &text, kEnglish), 1);
      EXPECT_STREQ(text.GetString(), "ERR0015000: The file %s could not be opened.");
    }
  });
}

}  // namespace
