// AfxMessageBox: the host's handler, or a line on stderr.
#include <kxutils96/platform/afx_message_box.h>

#include <atomic>
#include <cstdio>
#include <string>
#include <string_view>

#include <kxutils96/platform/unicode.h>

namespace {

std::atomic<AfxMessageBoxHandler> g_pfnMessageBox{nullptr};

constexpr WCHAR kEmptyText[] = {0};

}  // namespace

AfxMessageBoxHandler AfxSetMessageBoxHandler(AfxMessageBoxHandler pfnHandler) noexcept {
  return g_pfnMessageBox.exchange(pfnHandler);
}

int AfxMessageBox(LPCWSTR lpszText, UINT nType, UINT nIDHelp) {
  const LPCWSTR lpszShown = lpszText != nullptr ? lpszText : kEmptyText;
  if (const AfxMessageBoxHandler pfnHandler = g_pfnMessageBox.load()) {
    return pfnHandler(lpszShown, nType, nIDHelp);
  }
  const std::string line =
      kxu::platform::Utf16ToUtf8(std::basic_string_view<WCHAR>(lpszShown)) + '\n';
  std::fwrite(line.data(), 1, line.size(), stderr);
  return IDOK;
}
