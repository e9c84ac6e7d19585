// AfxMessageBox: the host's handler, or the system's own box.
#include <kxutils96/platform/framework/afx_message_box.h>

#include <atomic>

#include <kxutils96/platform/framework/system_message_box.h>

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
  return kxu::platform::ShowSystemMessageBox(lpszShown, nType);
}
