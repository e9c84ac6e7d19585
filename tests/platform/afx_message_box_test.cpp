// The message box with the host's handler installed. (What a box shows
// without one depends on the system; see the system's subfolder.)
#include <kxutils96/platform/framework/afx_message_box.h>

#include <gtest/gtest.h>

#include "support/message_box_recorder.h"

namespace {

using kxu::test::MessageBoxRecorder;

TEST(MessageBoxWithHandler, HandsTextStyleAndHelpIdToTheHandler) {
  const MessageBoxRecorder recorder(IDNO);
  EXPECT_EQ(AfxMessageBox(u"Gr\u00FC\u00DFe", MB_YESNO | MB_ICONQUESTION, 7), IDNO);
  EXPECT_EQ(recorder.Last().nCalls, 1);
  EXPECT_EQ(recorder.Last().text, u"Gr\u00FC\u00DFe");
  EXPECT_EQ(recorder.Last().nType, MB_YESNO | MB_ICONQUESTION);
  EXPECT_EQ(recorder.Last().nIDHelp, 7U);
}

TEST(MessageBoxWithHandler, ANullTextIsShownEmpty) {
  const MessageBoxRecorder recorder(IDNO);
  EXPECT_EQ(AfxMessageBox(nullptr), IDNO);
  EXPECT_EQ(recorder.Last().text, u"");
  EXPECT_EQ(recorder.Last().nType, MB_OK);
}

TEST(MessageBoxWithHandler, SetterReturnsTheHandlerItReplaces) {
  const MessageBoxRecorder recorder(IDOK);
  EXPECT_EQ(AfxSetMessageBoxHandler(nullptr), &MessageBoxRecorder::Record);
  EXPECT_EQ(AfxSetMessageBoxHandler(MessageBoxRecorder::Record), nullptr);
}

}  // namespace
