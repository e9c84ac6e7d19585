// A message box for tests: installed for the life of the object, it records
// every box shown (text, style, help id, count) and answers with a button
// the test chooses. The handler before it comes back when the object goes.
#pragma once

#include <string>

#include <kxutils96/platform/framework/afx_message_box.h>

namespace kxu::test {

class MessageBoxRecorder {
 public:
  explicit MessageBoxRecorder(int nAnswer) {
    Shown() = Box{};
    Answer() = nAnswer;
    m_pfnBefore = AfxSetMessageBoxHandler(Record);
  }
  ~MessageBoxRecorder() { AfxSetMessageBoxHandler(m_pfnBefore); }
  MessageBoxRecorder(const MessageBoxRecorder&) = delete;
  MessageBoxRecorder& operator=(const MessageBoxRecorder&) = delete;

  struct Box {
    std::u16string text;
    UINT nType = 0;
    UINT nIDHelp = 0;
    int nCalls = 0;
  };

  // The last box shown, and how many were.
  const Box& Last() const { return Shown(); }

  static int Record(LPCWSTR lpszText, UINT nType, UINT nIDHelp) {
    Box& box = Shown();
    box.text = lpszText;
    box.nType = nType;
    box.nIDHelp = nIDHelp;
    ++box.nCalls;
    return Answer();
  }

 private:
  static Box& Shown() {
    static Box box;
    return box;
  }
  static int& Answer() {
    static int nAnswer = IDOK;
    return nAnswer;
  }

  AfxMessageBoxHandler m_pfnBefore = nullptr;
};

}  // namespace kxu::test
