// UTF-8 <-> UTF-16 for the platform's own needs (file names, wide file lines).
// Invalid input never fails: each maximal invalid UTF-8 subsequence, and each
// lone surrogate, becomes U+FFFD.
#pragma once

#include <string>
#include <string_view>

#include <kxutils96/platform/win_types.h>

namespace kxu::platform {

std::string Utf16ToUtf8(std::basic_string_view<WCHAR> text);
std::basic_string<WCHAR> Utf8ToUtf16(std::string_view text);
// True when `text` is well-formed UTF-8 (no overlongs, surrogates or values
// past U+10FFFF).
bool IsValidUtf8(std::string_view text) noexcept;

}  // namespace kxu::platform
