// The system's message box, without an owner window and with the system's
// default caption.
#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include <windows.h>

#include <kxutils96/platform/framework/system_message_box.h>

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows' wchar_t is one UTF-16 unit");

namespace kxu::platform {

int ShowSystemMessageBox(const char16_t* pszText, unsigned int nType) {
  return ::MessageBoxW(nullptr, reinterpret_cast<LPCWSTR>(pszText), nullptr, nType);
}

}  // namespace kxu::platform
