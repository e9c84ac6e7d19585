#include <kxutils96/strings/wide_conversion.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>

#include <kxutils96/host/zutl96/code_page_text.h>
#include <kxutils96/platform/checked_int.h>
#include <kxutils96/platform/text/nul_scan.h>
#include <kxutils96/platform/text/simd.h>
#include <kxutils96/platform/text/unicode.h>
#include <kxutils96/platform/win32/win_nls.h>

namespace kxu::strings {
namespace {

using kxu::platform::WholeCharacterUnits;

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

// The source converted at a time when a text is found and converted piece by
// piece: a piece, read once to find the NUL, is still in the processor's
// cache when it is converted. Its size is counted in bytes, as memory is
// read: in larger pieces the text is read in while no output goes out, and
// written out while nothing comes in (UTF-16 text took 10 to 20% longer in
// 16 KiB pieces than in 8 KiB ones), and smaller ones cost more a piece than
// they save (European UTF-8 took 10% longer in 4 KiB pieces).
constexpr std::size_t kPieceBytes = 8192;
template <class Unit>
constexpr std::size_t kPieceUnits = kPieceBytes / sizeof(Unit);

// A text converted piece by piece writes its ASCII from this many units on
// around the caches (see simd::Stores): its output has outgrown them.
constexpr std::size_t kUnitsCachesHold = std::size_t{1} << 20;

// The outcome of converting a text piece by piece into the room a string has.
enum class PieceOutcome { kDone, kFailed, kRoomShort };

// The units of the piece of the run at `p` that starts `nDone` units in
// (`nLen` units, or -1 through its NUL): up to its NUL or kPieceUnits, with
// no character split (see WholeCharacterUnits). Sets `bLast` when the run
// ends with this piece.
template <class Unit>
std::size_t NextPiece(const Unit* p, int nLen, std::size_t nDone, bool& bLast) {
  const std::size_t nLeft =
      nLen < 0 ? kPieceUnits<Unit>
               : std::min(kPieceUnits<Unit>, static_cast<std::size_t>(nLen) - nDone);
  const std::size_t nBefore = UnitsBeforeNul(p + nDone, nLeft);
  bLast = nBefore < nLeft || (nLen >= 0 && nDone + nLeft == static_cast<std::size_t>(nLen));
  return bLast ? nBefore : WholeCharacterUnits(p + nDone, nBefore);
}

// UTF-8 <-> UTF-16 conversion of a piece into `nRoom` units at `out`, as
// the system call gives it (0 with the last error set when it fails).
int ConvertPiece(const WCHAR* p, std::size_t nUnits, char* out, int nRoom, DWORD dwFlags) {
  return WideCharToMultiByte(CP_UTF8, dwFlags, p, static_cast<int>(nUnits), out, nRoom, nullptr,
                             nullptr);
}
int ConvertPiece(const char* p, std::size_t nBytes, WCHAR* out, int nRoom, DWORD dwFlags) {
  return MultiByteToWideChar(CP_UTF8, dwFlags, p, static_cast<int>(nBytes), out, nRoom);
}

// The ASCII that begins the `nMost` units at `p`, written around the caches
// at `out` in the other form; returns its units.
std::size_t PutAsciiAroundCaches(const WCHAR* p, std::size_t nMost, char* out) noexcept {
  return kxu::platform::simd::NarrowAscii(p, nMost, out,
                                          kxu::platform::simd::Stores::kAroundCaches);
}
std::size_t PutAsciiAroundCaches(const char* p, std::size_t nMost, WCHAR* out) noexcept {
  return kxu::platform::simd::WidenAscii(reinterpret_cast<const unsigned char*>(p), nMost, out,
                                         kxu::platform::simd::Stores::kAroundCaches);
}

// UTF-8 <-> UTF-16 conversion of the run of `nLen` units at `lpSrc` (-1:
// through its NUL) into the room `strDest` has, finding the run's end piece
// by piece as it converts (one read of the text instead of two). kRoomShort,
// with `strDest` emptied but keeping its room, when the result does not fit
// it; kFailed, with `strDest` emptied, when the conversion fails.
template <class String, class Unit>
PieceOutcome ConvertByPieces(String& strDest, const Unit* lpSrc, int nLen, DWORD dwFlags) {
  const int nRoom = strDest.GetAllocLength();
  auto* const pOut = strDest.GetBuffer(nRoom);
  int nWritten = 0;
  bool bLast = false;
  for (std::size_t nDone = 0; !bLast;) {
    std::size_t nPiece = NextPiece(lpSrc, nLen, nDone, bLast);
    if (nDone >= kUnitsCachesHold) {
      const std::size_t nAscii = PutAsciiAroundCaches(
          lpSrc + nDone, std::min(nPiece, static_cast<std::size_t>(nRoom - nWritten)),
          pOut + nWritten);
      nDone += nAscii;
      nPiece -= nAscii;
      nWritten += static_cast<int>(nAscii);
    }
    if (nPiece == 0) continue;
    const int nUnits = nWritten == nRoom ? 0
                                         : ConvertPiece(lpSrc + nDone, nPiece, pOut + nWritten,
                                                        nRoom - nWritten, dwFlags);
    if (nUnits == 0 && (nWritten == nRoom || GetLastError() == ERROR_INSUFFICIENT_BUFFER)) {
      strDest.ReleaseBuffer(0);  // the room stays for the whole conversion
      return PieceOutcome::kRoomShort;
    }
    if (nUnits == 0) {
      strDest.Empty();
      return PieceOutcome::kFailed;
    }
    nWritten += nUnits;
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
    const PieceOutcome outcome = ConvertByPieces(strDest, lpcwszSrc, nLen, dwFlags);
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
  if (ChosenCodePage(nCodePage) == CP_UTF8 && strDest.GetAllocLength() > 0) {
    const PieceOutcome outcome = ConvertByPieces(strDest, lpcszSrc, nLen, 0);
    if (outcome != PieceOutcome::kRoomShort) return strDest.GetLength();
  }
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
