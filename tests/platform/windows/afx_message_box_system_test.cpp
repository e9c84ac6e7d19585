// Without a handler, a box on Windows is the system's own message box.
#include <kxutils96/platform/framework/afx_message_box.h>

#include <gtest/gtest.h>

namespace {

TEST(MessageBoxWithoutHandler, IsTheSystemsMessageBox) {
  GTEST_SKIP() << "the system's message box waits for a person to press a button; no test "
                  "program can answer it";
}

}  // namespace
