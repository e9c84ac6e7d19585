#include <kxutils96/strings/encoding_conversions.h>

#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstring>
#include <exception>
#include <string_view>

#include <kxutils96/host/zutl96/code_page_text.h>
#include <kxutils96/platform/checked_int.h>
#include <kxutils96/platform/framework/afx_exception.h>
#include <kxutils96/platform/win32/win_nls.h>
#include <kxutils96/strings/utf8_buffer_growth.h>
#include <kxutils96/strings/wide_conversion.h>

using namespace kxu::strings;
using namespace kxu::zstrings96;
using namespace kxu::zutl96;

namespace kxu::strings {

// Nothing may escape the growth routine, so a failure to grow is reported
// through the record's flag.
int GrowUtf8Buffer(MbcsConversion* pRecord, int nNewSize) {
  CStringUTF8& str = **static_cast<CStringUTF8**>(pRecord->pOwnerSlot);
  try {
    str.ReleaseBuffer(pRecord->nBufferSize - 1);
    char* pBuffer = str.GetBuffer(nNewSize - 1);
    pRecord->pBuffer = pBuffer;
    pRecord->nBufferSize = nNewSize;
    return pBuffer != nullptr ? 1 : 0;
  } catch (CException* pException) {
    pException->Delete();
  } catch (...) {
  }
  pRecord->bFailed = 1;
  return 0;
}

}  // namespace kxu::strings

int zqMBCStoUTF16(CString& strDest, const char* lpcszSrc, int nCodePage, int nLen) {
  if (lpcszSrc == nullptr || nLen == 0 || *lpcszSrc == '\0') {
    strDest.Empty();
    return 0;
  }
  return ToWideString(strDest, lpcszSrc, nCodePage, nLen);
}

int zqUTF8toUTF16(CString& strDest, const char* lpcszSrc, int nLen) {
  return zqMBCStoUTF16(strDest, lpcszSrc, static_cast<int>(CP_UTF8), nLen);
}

int zqUTF16toMBCS(CStringA& strDest, const WCHAR* lpcwszSrc, int nCodePage, int nLen,
                  int* pbUsedDefault, DWORD dwFlags) {
  return FromWideString(strDest, lpcwszSrc, nCodePage, nLen, pbUsedDefault, dwFlags);
}

int zqUTF16toUTF8(CStringUTF8& strDest, const WCHAR* lpcwszSrc, int nLen) {
  return FromWideString(strDest, lpcwszSrc, static_cast<int>(CP_UTF8), nLen, nullptr, 0);
}

int zqUTF8toMBCS(CStringA& strDest, const char* lpcszSrc, int nCodePage, int nLen) {
  CString strWide;
  zqUTF8toUTF16(strWide, lpcszSrc, nLen);
  return zqUTF16toMBCS(strDest, strWide, nCodePage, -1, nullptr, 0);
}

namespace {

// zqMBCStoUTF8 of a text apart from `strDest` in a single-byte page, written
// straight into the string. The room the string has is tried first (a
// result like the text it held before often fits: one pass); else the
// result is sized, and written into a block of that size.
int SingleByteToUtf8(CStringUTF8& strDest, std::string_view text,
                     const kxu::platform::SingleBytePage& page) {
  using namespace kxu::zutl96;
  const int nRoom = strDest.GetAllocLength();
  if (static_cast<std::size_t>(nRoom) >= text.size() && nRoom > 0) {
    if (const auto nWritten = WriteUtf8Ahead(page, text, strDest.GetBuffer(nRoom), nRoom)) {
      strDest.ReleaseBuffer(kxu::platform::CheckedInt(*nWritten));
      return strDest.GetLength();
    }
  }
  const std::size_t nUtf8 = kxu::zutl96::Utf8LengthIn(page, text);
  const int nLength = kxu::platform::CheckedInt(nUtf8);
  // The old text is not kept, so growing copies nothing.
  strDest.Empty();
  WriteUtf8Ahead(page, text, strDest.GetBuffer(nLength), nUtf8);
  strDest.ReleaseBuffer(nLength);
  return nLength;
}

// zqMBCStoUTF8 of a text apart from `strDest` in another page that is not
// UTF-8 (the double-byte pages): to UTF-16 whole, then into the string's own
// buffer, reused when the result fits it. The UTF-16 form gets room for one
// unit a byte, which every page keeps to, so that it converts in one pass.
int WideRouteToUtf8(CStringUTF8& strDest, const char* lpcszSrc, UINT nPage) {
  CString strWide;
  strWide.Preallocate(kxu::platform::CheckedInt(std::strlen(lpcszSrc)));
  if (ToWideString(strWide, lpcszSrc, static_cast<int>(nPage), -1) == 0) {
    strDest.Empty();
    return 0;
  }
  return FromWideString(strDest, strWide, static_cast<int>(CP_UTF8), strWide.GetLength(), nullptr,
                        0);
}

}  // namespace

int zqMBCStoUTF8(CStringUTF8& strDest, const char* lpcszSrc, int nCodePage) {
  if (lpcszSrc != nullptr && !PointsInto(strDest, lpcszSrc)) {
    const UINT nPage = kxu::zutl96::ConversionPageOf(nCodePage);
    if (const auto* pPage = kxu::platform::SingleBytePageOf(nPage)) {
      return SingleByteToUtf8(strDest, lpcszSrc, *pPage);
    }
    if (nPage != CP_UTF8 && IsValidCodePage(nPage))
      return WideRouteToUtf8(strDest, lpcszSrc, nPage);
  }
  if (lpcszSrc != nullptr) strDest = lpcszSrc;
  if (strDest.IsEmpty()) return 0;
  CStringUTF8* pOwner = &strDest;
  MbcsConversion record{
      &pOwner, &kxu::strings::GrowUtf8Buffer, 0, strDest.GetBuffer(), strDest.GetLength() + 1, 0};
  const int nLength = utlMBCStoUTF8InPlace(&record, nCodePage);
  if (record.bFailed == 0) strDest.ReleaseBuffer(nLength);
  return nLength;
}

int zqUTF16toUTF8(CZQVStringArray& saDest, const CStringArray& saSrc) {
  const int nCount = kxu::platform::CheckedInt(saSrc.GetSize());
  saDest.SetSize(nCount);
  for (int i = 0; i < nCount; ++i) zqUTF16toUTF8(saDest[i], saSrc[i], -1);
  return nCount;
}

int zqUTF8toUTF16(CStringArray& saDest, const CZQVStringArray& saSrc) {
  const int nCount = saSrc.GetSize();
  saDest.SetSize(nCount, -1);
  for (int i = 0; i < nCount; ++i) zqUTF8toUTF16(saDest[i], saSrc[i], -1);
  return nCount;
}

int zqMBCStoUTF8(CZQVStringArray& saDest, int nCodePage) {
  const int nCount = saDest.GetSize();
  for (int i = 0; i < nCount; ++i) zqMBCStoUTF8(saDest[i], nullptr, nCodePage);
  return nCount;
}

int zqUTF8toMBCS(CZQVStringArray& saDest, int nCodePage) {
  const int nCount = saDest.GetSize();
  CStringA strBytes;
  for (int i = 0; i < nCount; ++i) {
    zqUTF8toMBCS(strBytes, saDest[i], nCodePage, -1);
    saDest[i] = CStringUTF8(strBytes.GetString(), strBytes.GetLength());
  }
  return nCount;
}

const char* zqUTF8GetStrAdvancePos(POSITION& pos) {
  const char* pszCurrent = reinterpret_cast<const char*>(pos);
  pos = utlNextStrPos(pos);
  return pszCurrent;
}
