#include <kxutils96/strings/wide_conversion.h>

#include <algorithm>

#include <kxutils96/host/zutl96/code_page_text.h>
#include <kxutils96/platform/win32/win_nls.h>

namespace kxu::strings {
namespace {

// The source units a conversion reads: `nUnits` for the system conversions
// (-1: through the NUL), and whether the run takes a terminator along.
struct SourceRun {
  int nUnits;
  bool bTerminated;
};

// The run of `nLen` units at `p`: a negative length is the whole text
// through its NUL; otherwise the run ends at the first NUL within `nLen`
// units, that NUL included, so that nothing after a text's end is read (a
// caller's length may exceed the text). The scan reads no unit past the
// run.
template <class Unit>
SourceRun RunOf(const Unit* p, int nLen) noexcept {
  if (nLen < 0) return {-1, true};
  const Unit* const pEnd = p + nLen;
  const Unit* const pNul = std::find(p, pEnd, Unit{});
  if (pNul == pEnd) return {nLen, false};
  return {static_cast<int>(pNul - p) + 1, true};
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
  if (lpcwszSrc == nullptr || nLen == 0 || *lpcwszSrc == 0) {
    strDest.Empty();
    return 0;
  }
  const UINT nPage = ChosenCodePage(nCodePage);
  const SourceRun run = RunOf(lpcwszSrc, nLen);
  const int nNeeded = WideCharToMultiByte(nPage, dwFlags, lpcwszSrc, run.nUnits, nullptr, 0,
                                          nullptr, pbUsedDefault);
  if (nNeeded <= 0) {
    strDest.Empty();
    return 0;
  }
  char* pBuffer = strDest.GetBuffer(ResultLength(nNeeded, run.bTerminated));
  const int nWritten = WideCharToMultiByte(nPage, dwFlags, lpcwszSrc, run.nUnits, pBuffer, nNeeded,
                                           nullptr, nullptr);
  if (nWritten != nNeeded) {
    strDest.ReleaseBuffer(0);
    return 0;
  }
  strDest.ReleaseBuffer(ResultLength(nWritten, run.bTerminated));
  return strDest.GetLength();
}

}  // namespace

WideStringConversion ToWideString(CString& strDest, const char* lpcszSrc, int nCodePage, int nLen) {
  const UINT nPage = ChosenCodePage(nCodePage);
  const SourceRun run = RunOf(lpcszSrc, nLen);
  const int nNeeded = MultiByteToWideChar(nPage, 0, lpcszSrc, run.nUnits, nullptr, 0);
  if (nNeeded <= 0) {
    strDest.Empty();
    return {0, true};
  }
  WCHAR* pBuffer = strDest.GetBuffer(ResultLength(nNeeded, run.bTerminated));
  const int nWritten = MultiByteToWideChar(nPage, 0, lpcszSrc, run.nUnits, pBuffer, nNeeded);
  strDest.ReleaseBuffer(ResultLength(nWritten, run.bTerminated));
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
  if (lpcszText == nullptr || nLen == 0 || *lpcszText == '\0') {
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
