// The message box that AfxMessageBox falls back on when the host has
// installed none, one per system. Declared with plain C++ types (the same
// ones as LPCWSTR and UINT), so that the Windows form can see <windows.h>.
#pragma once

namespace kxu::platform {

// Shows `pszText` (UTF-16, NUL-terminated, never null) with the style flags
// `nType` and returns the button chosen.
int ShowSystemMessageBox(const char16_t* pszText, unsigned int nType);

}  // namespace kxu::platform
