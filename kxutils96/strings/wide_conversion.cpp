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

// The units converted at a time when a text is found and converted piece by
// piece: a piece, read once to find the NUL, is still in the processor's
// cache when it is converted.
constexpr std::size_t kPieceUnits = 8192;

// The outcome of converting a text piece by piece into the room a string has.
enum class PieceOutcome { kDone, kFailed, kRoomShort };

// The units of the piece of the run at `p` that starts `nDone` units in
// (`nLen` units, or -1 through its NUL): up to its NUL or kPieceUnits,
// leaving a high surrogate that ends a full piece to the next one, so that
// no pair is split. Sets `bLast` when the run ends with this piece.
std::size_t NextPiece(const WCHAR* p, int nLen, std::size_t nDone, bool& bLast) {
  const std::size_t nLeft =
      nLen < 0 ? kPieceUnits : std::min(kPieceUnits, static_cast<std::size_t>(nLen) - nDone);
  const std::size_t nBefore = UnitsBeforeNul(p + nDone, nLeft);
  bLast = nBefore < nLeft || (nLen >= 0 && nDone + nLeft == static_cast<std::size_t>(nLen));
  if (bLast) return nBefore;
  const bool bEndsInHighSurrogate = (p[nDone + nBefore - 1] & 0xFC00) == 0xD800;
  return bEndsInHighSurrogate ? nBefore - 1 : nBefore;
}

// UTF-8 conversion of the run of `nLen` units at `lpcwszSrc` (-1: through
// its NUL) into the room `strDest` has, finding the run's end piece by piece
// as it converts (one read of the text instead of two). kRoomShort, with
// `strDest` emptied but keeping its room, when the result does not fit it;
// kFailed, with `strDest` emptied, when the conversion fails.
template <class NarrowString>
PieceOutcome Utf8ByPieces(NarrowString& strDest, const WCHAR* lpcwszSrc, int nLen, DWORD dwFlags) {
  const int nRoom = strDest.GetAllocLength();
  char* const pOut = strDest.GetBuffer(nRoom);
  int nWritten = 0;
  bool bLast = false;
  for (std::size_t nDone = 0; !bLast;) {
    const std::size_t nPiece = NextPiece(lpcwszSrc, nLen, nDone, bLast);
    if (nPiece == 0) break;
    const int nBytes =
        nWritten == nRoom
            ? 0
            : WideCharToMultiByte(CP_UTF8, dwFlags, lpcwszSrc + nDone, static_cast<int>(nPiece),
                                  pOut + nWritten, nRoom - nWritten, nullptr, nullptr);
    if (nBytes == 0 && (nWritten == nRoom || GetLastError() == ERROR_INSUFFICIENT_BUFFER)) {
      strDest.ReleaseBuffer(0);  // the room stays for the whole conversion
      return PieceOutcome::kRoomShort;
    }
    if (nBytes == 0) {
      strDest.Empty();
      return PieceOutcome::kFailed;
    }
    nWritten += nBytes;
    nDone += nPiece;
  }
  strDest.ReleaseBuffer(nWritten);
  return PieceOutcome::kDone;
}

template <class NarrowString>
int FromWide(NarrowString& strDest, const WCHAR* lpcwszSrc, int nCodePage, int nLen,
             int* pbUsedDefault, DWORD dwFlags) {
  if (lpcwszSrc == nullptr || nLen == 0 || *lpcwszSrc == 0) {
    strDest.Empty();
    return 0;
  }
  if (ChosenCodePage(nCodePage) == CP_UTF8 && pbUsedDefault == nullptr &&
      strDest.GetAllocLength() > 0) {
    const PieceOutcome outcome = Utf8ByPieces(strDest, lpcwszSrc, nLen, dwFlags);
    if (outcome != PieceOutcome::kRoomShort) return strDest.GetLength();
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
