#include <kxutils96/strings/wide_conversion.h>

#include <algorithm>

#include <kxutils96/host/zutl96/zutl96.h>
#include <kxutils96/platform/win_nls.h>

namespace kxu::strings {
namespace {

// The length the system conversions are given: -1 for every negative length.
int SystemLength(int nLen) noexcept {
  return nLen < 0 ? -1 : nLen;
}

// True when the run of `nLen` units at `p` takes its terminator along: for a
// negative length, or when a NUL lies within the first `nLen` units.
template <class Unit>
bool RunIncludesTerminator(const Unit* p, int nLen) noexcept {
  if (nLen < 0) return true;
  return std::find(p, p + nLen, Unit{}) != p + nLen;
}

UINT ChosenCodePage(int nCodePage) {
  return static_cast<UINT>(utlChooseCodePage(nCodePage));
}

// The length of a result of `nUnits` converted units, without the terminator
// that the run took along.
int ResultLength(int nUnits, bool bTerminated) noexcept {
  return std::max(bTerminated ? nUnits - 1 : nUnits, 0);
}

template <class NarrowString>
int FromWide(NarrowString& strDest, const WCHAR* lpcwszSrc, int nCodePage, int nLen,
             int* pbUsedDefault, DWORD dwFlags) {
  if (lpcwszSrc == nullptr || *lpcwszSrc == 0) {
    strDest.Empty();
    return 0;
  }
  const UINT nPage = ChosenCodePage(nCodePage);
  const int nSystemLength = SystemLength(nLen);
  const int nNeeded = WideCharToMultiByte(nPage, dwFlags, lpcwszSrc, nSystemLength, nullptr, 0,
                                          nullptr, pbUsedDefault);
  if (nNeeded <= 0) {
    strDest.Empty();
    return 0;
  }
  const bool bTerminated = RunIncludesTerminator(lpcwszSrc, nLen);
  char* pBuffer = strDest.GetBuffer(ResultLength(nNeeded, bTerminated));
  const int nWritten = WideCharToMultiByte(nPage, dwFlags, lpcwszSrc, nSystemLength, pBuffer,
                                           nNeeded, nullptr, nullptr);
  if (nWritten != nNeeded) {
    strDest.ReleaseBuffer(0);
    return 0;
  }
  strDest.ReleaseBuffer(ResultLength(nWritten, bTerminated));
  return strDest.GetLength();
}

}  // namespace

WideStringConversion ToWideString(CString& strDest, const char* lpcszSrc, int nCodePage, int nLen) {
  const UINT nPage = ChosenCodePage(nCodePage);
  const int nSystemLength = SystemLength(nLen);
  const int nNeeded = MultiByteToWideChar(nPage, 0, lpcszSrc, nSystemLength, nullptr, 0);
  if (nNeeded <= 0) {
    strDest.Empty();
    return {0, true};
  }
  const bool bTerminated = RunIncludesTerminator(lpcszSrc, nLen);
  WCHAR* pBuffer = strDest.GetBuffer(ResultLength(nNeeded, bTerminated));
  const int nWritten = MultiByteToWideChar(nPage, 0, lpcszSrc, nSystemLength, pBuffer, nNeeded);
  strDest.ReleaseBuffer(ResultLength(nWritten, bTerminated));
  return {strDest.GetLength(), nWritten == nNeeded};
}

int FromWideString(CStringA& strDest, const WCHAR* lpcwszSrc, int nCodePage, int nLen,
                   int* pbUsedDefault, DWORD dwFlags) {
  return FromWide(strDest, lpcwszSrc, nCodePage, nLen, pbUsedDefault, dwFlags);
}

int FromWideString(CStringUTF8& strDest, const WCHAR* lpcwszSrc, int nCodePage, int nLen,
                   int* pbUsedDefault, DWORD dwFlags) {
  return FromWide(strDest, lpcwszSrc, nCodePage, nLen, pbUsedDefault, dwFlags);
}

int ConvertToWide(CString& strResult, const char* lpcszText, int nCodePage, int nLen) {
  if (lpcszText == nullptr || *lpcszText == '\0' || nLen == 0) {
    strResult.Empty();
    return 0;
  }
  const WideStringConversion converted = ToWideString(strResult, lpcszText, nCodePage, nLen);
  if (!converted.bComplete) {
    strResult.Empty();
    return 0;
  }
  return converted.nLength;
}

int ConvertWideToUTF8(CStringUTF8& strResult, const WCHAR* lpcwszText, int nCodePage, int nLen) {
  return FromWide(strResult, lpcwszText, nCodePage, nLen, nullptr, 0);
}

}  // namespace kxu::strings
