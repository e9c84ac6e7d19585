// Without a handler, a box on this platform is a line on stderr and IDOK.
#include <kxutils96/platform/framework/afx_message_box.h>

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(MessageBoxWithoutHandler, WritesTheTextToStderrAndAnswersOk) {
  const AfxMessageBoxHandler pfnBefore = AfxSetMessageBoxHandler(nullptr);
  ::testing::internal::CaptureStderr();
  const int nResult = AfxMessageBox(u"Stopped: \u00E9", MB_OKCANCEL | MB_ICONWARNING);
  const std::string written = ::testing::internal::GetCapturedStderr();
  AfxSetMessageBoxHandler(pfnBefore);
  EXPECT_EQ(nResult, IDOK);
  EXPECT_EQ(written, "Stopped: \xC3\xA9\n");
}

}  // namespace
