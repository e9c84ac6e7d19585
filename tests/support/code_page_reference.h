// The code-page calls as the library's callers make them: whole conversions
// sized by a first call into no buffer, a failure spelled "<error N>" in the
// result so that a comparison shows it; and the reference for a code page's
// text as UTF-8: the system's conversion to UTF-16, then the codec's to UTF-8
// (undefined bytes become U+FFFD).
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include <kxutils96/platform/text/unicode.h>
#include <kxutils96/platform/win32/win_nls.h>

namespace kxu::test {

// "<error N>" for the last error N, in the units of the result it stands in.
template <class Text = std::string>
Text ErrorText() {
  const std::string text = "<error " + std::to_string(GetLastError()) + ">";
  return Text(text.begin(), text.end());
}

// The units of `bytes`, or "<error N>" when the size query fails with error N.
inline std::basic_string<WCHAR> ToWide(UINT nPage, DWORD dwFlags, std::string_view bytes) {
  const int nLength = static_cast<int>(bytes.size());
  const int nNeeded = MultiByteToWideChar(nPage, dwFlags, bytes.data(), nLength, nullptr, 0);
  if (nNeeded == 0) return ErrorText<std::basic_string<WCHAR>>();
  std::basic_string<WCHAR> out(static_cast<std::size_t>(nNeeded), u'#');
  EXPECT_EQ(MultiByteToWideChar(nPage, dwFlags, bytes.data(), nLength, out.data(), nNeeded),
            nNeeded);
  return out;
}

// The bytes of `units`, or "<error N>" when the size query fails with error
// N; the size query reports whether the default character was used.
inline std::string ToBytes(UINT nPage, DWORD dwFlags, std::basic_string_view<WCHAR> units,
                           BOOL* pbUsedDefault = nullptr, const char* pszDefault = nullptr) {
  const int nLength = static_cast<int>(units.size());
  const int nNeeded = WideCharToMultiByte(nPage, dwFlags, units.data(), nLength, nullptr, 0,
                                          pszDefault, pbUsedDefault);
  if (nNeeded == 0) return ErrorText();
  std::string out(static_cast<std::size_t>(nNeeded), '#');
  EXPECT_EQ(WideCharToMultiByte(nPage, dwFlags, units.data(), nLength, out.data(), nNeeded,
                                pszDefault, nullptr),
            nNeeded);
  return out;
}

inline std::string Utf8ByWayOfUtf16(const std::string& text, UINT nPage) {
  std::basic_string<WCHAR> wide(text.size(), WCHAR{});
  wide.resize(static_cast<std::size_t>(
      MultiByteToWideChar(nPage, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                          static_cast<int>(wide.size()))));
  return kxu::platform::Utf16ToUtf8(wide, kxu::platform::InvalidInput::kReplace);
}

}  // namespace kxu::test
