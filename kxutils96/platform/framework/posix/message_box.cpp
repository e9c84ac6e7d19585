// This platform has no message box of its own: the text goes to the
// standard error stream, one line per box, and the box answers IDOK as if
// the user had pressed its default button.
#include <kxutils96/platform/framework/system_message_box.h>

#include <cstdio>
#include <string>
#include <string_view>

#include <kxutils96/platform/framework/afx_message_box.h>
#include <kxutils96/platform/text/unicode.h>

namespace kxu::platform {

int ShowSystemMessageBox(const char16_t* pszText, unsigned int /*nType*/) {
  const std::string line = Utf16ToUtf8(std::basic_string_view<WCHAR>(pszText)) + '\n';
  std::fwrite(line.data(), 1, line.size(), stderr);
  return IDOK;
}

}  // namespace kxu::platform
