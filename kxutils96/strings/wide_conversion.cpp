#include <kxutils96/strings/wide_conversion.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>

#include <kxutils96/host/zutl96/code_page_text.h>
#include <kxutils96/platform/checked_int.h>
#include <kxutils96/platform/text/nul_scan.h>
#include <kxutils96/platform/win32/win_nls.h>

namespace kxu::strings {
namespace {

// The source units a conversion reads: `nUnits` for the system conversions
// (-1: through the NUL), and whether the run takes a terminator along.
struct SourceRun {
  int nUnits;
  bool bTerminated;
};

// The units before the first NUL among the `nUnits` at `p` (nUnits when
// there is none), and before the NUL that ends `p`.
std::size_t UnitsBeforeNul(const char* p, std::size_t nUnits) noexcept {
  const void* const pNul = std::memchr(p, 0, nUnits);
  return pNul == nullptr ? nUnits : static_cast<std::size_t>(static_cast<const char*>(pNul) - p);
}
std::size_t UnitsBeforeNul(const WCHAR* p, std::size_t nUnits) noexcept {
  return kxu::platform::FindNul(p, nUnits);
}
std::size_t UnitsBeforeNul(const char* p) noexcept {
  return std::strlen(p);
}
std::size_t UnitsBeforeNul(const WCHAR* p) noexcept {
  return kxu::platform::NulTerminatedLength(p);
}

// The run of `nLen` units at `p`: a negative length is the whole text
// through its NUL; otherwise the run ends at the first NUL within `nLen`
// units, that NUL included, so that nothing after a text's end is read (a
// caller's length may exceed the text). The scan reads no unit past the
// run.
template <class Unit>
SourceRun RunOf(const Unit* p, int nLen) {
  if (nLen < 0) return {-1, true};
  const std::size_t nBefore = UnitsBeforeNul(p, static_cast<std::size_t>(nLen));
  if (nBefore == static_cast<std::size_t>(nLen)) return {nLen, false};
  return {kxu::platform::CheckedInt(nBefore + 1), true};
}

// The units of a run that RunOf found, its NUL included. A text through its
// NUL longer than INT_MAX units raises CMemoryException: no string holds it.
template <class Unit>
int UnitsOf(SourceRun run, const Unit* p) {
  return run.nUnits < 0 ? kxu::platform::CheckedInt(UnitsBeforeNul(p) + 1) : run.nUnits;
}

UINT ChosenCodePage(int nCodePage) {
  return static_cast<UINT>(utlChooseCodePage(nCodePage));
}

// A string's buffer handed to a whole conversion (see MultiByteToWideWhole)
// of a run that may end with its terminator, which the string's own NUL
// slot then takes. The buffer the string has is reused when its room
// suffices; otherwise the old text, about to be replaced, is dropped rather
// than copied, and room grown beyond the result is given back once the
// result's length is known.
template <class String>
class ConversionBuffer {
 public:
  ConversionBuffer(String& str, bool bTerminated) noexcept
      : m_str(str), m_nRoomBefore(str.GetAllocLength()), m_nNulSlot(bTerminated ? 1 : 0) {}

  // The room the string has for a conversion without allocating.
  int RoomAtHand() const noexcept { return m_nRoomBefore + m_nNulSlot; }

  auto operator()(int nUnits) {
    const int nRoom = std::max(nUnits - m_nNulSlot, 0);
    if (m_str.GetAllocLength() < nRoom) m_str.Empty();
    return m_str.GetBuffer(nRoom);
  }

  // Ends the conversion of `nUnits` units.
  void Release(int nUnits) {
    m_str.ReleaseBuffer(std::max(nUnits - m_nNulSlot, 0));
    if (m_str.GetAllocLength() > m_nRoomBefore) m_str.FreeExtra();
  }

 private:
  String& m_str;
  int m_nRoomBefore;
  int m_nNulSlot;
};

template <class NarrowString>
int FromWide(NarrowString& strDest, const WCHAR* lpcwszSrc, int nCodePage, int nLen,
             int* pbUsedDefault, DWORD dwFlags) {
  if (lpcwszSrc == nullptr || nLen == 0 || *lpcwszSrc == 0) {
    strDest.Empty();
    return 0;
  }
  const SourceRun run = RunOf(lpcwszSrc, nLen);
  const int nUnits = UnitsOf(run, lpcwszSrc);
  ConversionBuffer buffer(strDest, run.bTerminated);
  const int nWritten =
      kxu::platform::WideToMultiByteWhole(ChosenCodePage(nCodePage), dwFlags, lpcwszSrc, nUnits,
                                          buffer.RoomAtHand(), pbUsedDefault, std::ref(buffer));
  if (nWritten <= 0) {
    strDest.Empty();
    return 0;
  }
  buffer.Release(nWritten);
  return strDest.GetLength();
}

}  // namespace

int ToWideString(CString& strDest, const char* lpcszSrc, int nCodePage, int nLen) {
  const SourceRun run = RunOf(lpcszSrc, nLen);
  const int nBytes = UnitsOf(run, lpcszSrc);
  ConversionBuffer buffer(strDest, run.bTerminated);
  const int nWritten = kxu::platform::MultiByteToWideWhole(
      ChosenCodePage(nCodePage), 0, lpcszSrc, nBytes, buffer.RoomAtHand(), std::ref(buffer));
  if (nWritten <= 0) {
    strDest.Empty();
    return 0;
  }
  buffer.Release(nWritten);
  return strDest.GetLength();
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
  return ToWideString(strResult, lpcszText, nCodePage, nLen);
}

int ConvertWideToUTF8(CStringUTF8& strResult, const WCHAR* lpcwszText, int nCodePage, int nLen) {
  return FromWide(strResult, lpcwszText, nCodePage, nLen, nullptr, 0);
}

}  // namespace kxu::strings
