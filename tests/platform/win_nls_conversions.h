// Whole conversions through the system's code-page functions, sized by a
// first call into no buffer, as the library's callers convert.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include <kxutils96/platform/win32/win_nls.h>

namespace kxu::test {

using U16 = std::basic_string<WCHAR>;

inline U16 ToWide(UINT nPage, DWORD dwFlags, std::string_view bytes) {
  const int nLength = static_cast<int>(bytes.size());
  const int nNeeded = MultiByteToWideChar(nPage, dwFlags, bytes.data(), nLength, nullptr, 0);
  EXPECT_GT(nNeeded, 0) << "error " << GetLastError();
  U16 out(static_cast<std::size_t>(nNeeded), u'#');
  EXPECT_EQ(MultiByteToWideChar(nPage, dwFlags, bytes.data(), nLength, out.data(), nNeeded),
            nNeeded);
  return out;
}

// The bytes, or "<error N>" when the size query fails with error N.
inline std::string ToBytes(UINT nPage, DWORD dwFlags, const U16& units,
                           BOOL* pbUsedDefault = nullptr, const char* pszDefault = nullptr) {
  const int nLength = static_cast<int>(units.size());
  const int nNeeded = WideCharToMultiByte(nPage, dwFlags, units.data(), nLength, nullptr, 0,
                                          pszDefault, pbUsedDefault);
  if (nNeeded == 0) return "<error " + std::to_string(GetLastError()) + ">";
  std::string out(static_cast<std::size_t>(nNeeded), '#');
  EXPECT_EQ(WideCharToMultiByte(nPage, dwFlags, units.data(), nLength, out.data(), nNeeded,
                                pszDefault, nullptr),
            nNeeded);
  return out;
}

}  // namespace kxu::test
