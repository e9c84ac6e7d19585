// The reference for a code page's text as UTF-8: the system's conversion to
// UTF-16, then the codec's to UTF-8 (undefined bytes become U+FFFD).
#pragma once

#include <string>

#include <kxutils96/platform/text/unicode.h>
#include <kxutils96/platform/win32/win_nls.h>

namespace kxu::test {

inline std::string Utf8ByWayOfUtf16(const std::string& text, UINT nPage) {
  std::basic_string<WCHAR> wide(text.size(), WCHAR{});
  wide.resize(static_cast<std::size_t>(
      MultiByteToWideChar(nPage, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                          static_cast<int>(wide.size()))));
  return kxu::platform::Utf16ToUtf8(wide, kxu::platform::InvalidInput::kReplace);
}

}  // namespace kxu::test
